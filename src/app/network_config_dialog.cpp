#include "app/network_config_dialog.h"

#include "app/switcher_search.h"
#include "platform/dialog_builder.h"
#include "platform/ip_address_edit.h"
#include "res/config_ids.h"
#include "res/templates.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace velmora::app {

namespace c = ctl::config;

CNetworkConfigDlg::CNetworkConfigDlg(const QString& address, const protocol::MacAddress& target,
                                     std::function<void(const QString&)> complain, QWidget* parent)
    : ModalPopup(parent, Qt::Dialog), target_(target), complain_(std::move(complain))
{
    platform::BuildDialog(*this, res::ConfigTemplate());
    QString mac = MacText(target);
    for (int i = mac.size() - 2; i > 0; i -= 2) {
        mac.insert(i, QLatin1Char(':'));
    }
    ControlAs<QLabel>(c::kTarget)->setText(QStringLiteral("%1   (%2)").arg(address, mac));
    ControlAs<QAbstractButton>(c::kDhcp)->setChecked(true);
    ControlAs<QLineEdit>(c::kMac)->setPlaceholderText(QStringLiteral("00:1A:2B:3C:4D:5E"));
    EnableStaticFields();
}

void CNetworkConfigDlg::OnCommand(int id, platform::Notify, int)
{
    switch (id) {
    case c::kDhcp:
    case c::kStatic:
        EnableStaticFields();
        break;
    case c::kSend:
        OnSend();
        break;
    case c::kCancel:
        EndModal(pages::kResultCancel);
        break;
    default:
        break;
    }
}

ConfigInput CNetworkConfigDlg::Input() const
{
    ConfigInput input;
    input.dhcp = ControlAs<QAbstractButton>(c::kDhcp)->isChecked();
    input.octets = ControlAs<platform::IpAddressEdit>(c::kIp)->Octets();
    input.mac = ControlAs<QLineEdit>(c::kMac)->text();
    return input;
}

void CNetworkConfigDlg::EnableStaticFields()
{
    const bool staticMode = ControlAs<QAbstractButton>(c::kStatic)->isChecked();
    Control(c::kIp)->setEnabled(staticMode);
    Control(c::kIpLabel)->setEnabled(staticMode);
}

void CNetworkConfigDlg::OnSend()
{
    const ConfigCheck check = CheckConfigInput(target_, Input());
    if (!check.request) {
        complain_(check.error);
        return;
    }
    request_ = *check.request;
    EndModal(pages::kResultOk);
}

void CNetworkConfigDlg::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        EndModal(pages::kResultCancel);
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        // The focused button answers (Return on Cancel cancels); elsewhere Send does.
        if (!ClickFocusedButton()) {
            OnSend();
        }
        return;
    }
    ModalPopup::keyPressEvent(e);
}

void CNetworkConfigDlg::closeEvent(QCloseEvent* e)
{
    if (!Ended()) {
        EndModal(pages::kResultCancel);
    }
    e->accept();
}

}  // namespace velmora::app
