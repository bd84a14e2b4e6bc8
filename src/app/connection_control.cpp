#include "app/connection_control.h"

#include "appdefs/timer_ids.h"
#include "platform/combo_box.h"
#include "platform/window.h"
#include "protocol/baud_rates.h"
#include "protocol/commands.h"
#include "res/main_ids.h"
#include "transport/port_names.h"

#include <QAbstractButton>

namespace velmora::app {

namespace c = ctl::main;
using protocol::kFrameSize;

ConnectionControl::ConnectionControl(platform::Window& window, transport::SerialConnection& serial,
                                     transport::TcpClient& tcp, protocol::SendPath& send, protocol::LinkToken& token,
                                     ConnectionHooks hooks)
    : window_(window), serial_(serial), tcp_(tcp), send_(send), token_(token), hooks_(std::move(hooks))
{}

void ConnectionControl::Start()
{
    window_.ControlAs<platform::ComboBox>(c::kBaudList)->SetCurSel(static_cast<int>(protocol::kDefaultBaudIndex));
    window_.ControlAs<QAbstractButton>(c::kComMode)->setChecked(true);
    ApplyConnectionMode();
}

bool ConnectionControl::OnCommand(int id)
{
    switch (id) {
    case c::kComMode:
    case c::kTcpMode:
        ApplyConnectionMode();
        return true;
    case c::kComConnect:
        serial_.IsOpen() ? Disconnect() : OnComConnect();
        return true;
    case c::kFactoryReset:
        OnFactoryReset();
        return true;
    default:
        return false;
    }
}

int ConnectionControl::Mode() const
{
    const auto* radio = window_.ControlAs<QAbstractButton>(c::kComMode);
    return radio && radio->isChecked() ? kComControl : kTcpControl;
}

bool ConnectionControl::LinkOpen() const { return Mode() == kComControl ? serial_.IsOpen() : tcp_.TcpConnected(); }

void ConnectionControl::ApplyConnectionMode()
{
    const std::initializer_list<int> tcpControls{c::kTcpConnect, c::kTcpGroup, c::kSwitcherIpLabel,
                                                 c::kSearch,     c::kConfig,   c::kSwitcherIp};
    const std::initializer_list<int> comControls{c::kComGroup, c::kPortLabel, c::kComConnect, c::kPortList};
    if (Mode() != kComControl) {
        serial_.Close();
        SetText(c::kComConnect, kConnectText);
        SetEnabled(tcpControls, true);
        SetEnabled(comControls, false);
    } else {
        tcp_.Close();
        SetText(c::kTcpConnect, kConnectText);
        SetEnabled(tcpControls, false);
        SetEnabled(comControls, true);
    }
}

void ConnectionControl::OnComConnect()
{
    auto* ports = window_.ControlAs<platform::ComboBox>(c::kPortList);
    const std::uint8_t portNumber = transport::PortNumberFromText(ports->currentText().toStdString());
    const int baudIndex = window_.ControlAs<platform::ComboBox>(c::kBaudList)->GetCurSel();
    if (baudIndex >= 0 && baudIndex < static_cast<int>(protocol::kBaudRates.size())) {
        baud_ = protocol::kBaudRates[static_cast<std::size_t>(baudIndex)];
    }
    if (!serial_.Open(portNumber, baud_)) {
        hooks_.showMessage(QString::fromLatin1(kOpenComFailed));
        return;
    }
    SetText(c::kComConnect, kDisconnectText);
    window_.KillTimer(timer::kPortRefresh);
    ports->setEnabled(false);
    if (hooks_.comOpened) {
        hooks_.comOpened();
    }
    // The status query waits for nothing: a link made frees the panel.
    send_.Send(protocol::kGeneralStatus);
    token_.AfterSend(protocol::Answer::None);
}

void ConnectionControl::Disconnect()
{
    serial_.Close();
    SetText(c::kComConnect, kConnectText);
    window_.SetTimer(timer::kPortRefresh, timer::kPortRefreshMs);
    window_.Control(c::kPortList)->setEnabled(true);
}

void ConnectionControl::OnSerialFailed(std::uintptr_t wParam)
{
    if (transport::SerialConnection::PortFailed(wParam)) {
        Disconnect();
    }
}

bool ConnectionControl::CheckConnection()
{
    const bool com = Mode() == kComControl;
    if (com && !serial_.IsOpen()) {
        hooks_.showMessage(QString::fromLatin1(kOpenComFailed));
        return false;
    }
    if (!com && !tcp_.TcpConnected()) {
        hooks_.showMessage(QString::fromLatin1(kConnectFailed));
        return false;
    }
    return token_.Take();
}

void ConnectionControl::OnFactoryReset()
{
    if (!CheckConnection()) {
        return;
    }
    // Declined, or not asked because a box is open: the token must not be
    // lost with the unsent command.
    if (!hooks_.confirmFactoryReset()) {
        token_.Refused();
        return;
    }
    protocol::BuildFactoryReset(send_.Frame());
    send_.SendFrame(protocol::kResetFrameSize);
    window_.SetTimer(timer::kResetResend, timer::kResetResendMs);
    hooks_.showStatus(QString::fromLatin1(pages::kSettingStatus));
}

bool ConnectionControl::OnTimer(int id)
{
    if (id == timer::kResetResend) {
        window_.KillTimer(timer::kResetResend);
        send_.SendFrame(protocol::kResetFrameSize);
        window_.SetTimer(timer::kResetTimeout, timer::kResetTimeoutMs);
        return true;
    }
    if (id == timer::kResetTimeout) {
        window_.KillTimer(timer::kResetTimeout);
        hooks_.closeStatus();
        hooks_.showMessage(QString::fromLatin1(kTimeOut));
        token_.GiveBack();
        return true;
    }
    return false;
}

void ConnectionControl::SetEnabled(std::initializer_list<int> ids, bool enabled)
{
    for (const int id : ids) {
        if (auto* control = window_.Control(id)) {
            control->setEnabled(enabled);
        }
    }
}

void ConnectionControl::SetText(int id, const char* text)
{
    if (auto* button = window_.ControlAs<QAbstractButton>(id)) {
        button->setText(QString::fromLatin1(text));
    }
}

}  // namespace velmora::app
