#include "platform/ip_address_edit.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace velmora::platform {

IpAddressEdit::IpAddressEdit(QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        if (i > 0) {
            row->addWidget(new QLabel(QStringLiteral("."), this));
        }
        auto* box = new QLineEdit(this);
        box->setValidator(new QIntValidator(0, 255, box));
        box->setAlignment(Qt::AlignCenter);
        box->setMaxLength(3);
        box->setFrame(false);
        box->setAccessibleName(QStringLiteral("octet %1").arg(i + 1));
        connect(box, &QLineEdit::textEdited, this, &IpAddressEdit::edited);
        row->addWidget(box);
        boxes_[i] = box;
    }
}

void IpAddressEdit::SetAddress(std::uint32_t address)
{
    SetOctets({static_cast<std::uint8_t>(address >> 24), static_cast<std::uint8_t>(address >> 16),
               static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address)});
}

void IpAddressEdit::SetOctets(const std::array<std::uint8_t, 4>& octets)
{
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i]->setText(QString::number(octets[i]));
    }
}

std::optional<std::array<std::uint8_t, 4>> IpAddressEdit::Octets() const
{
    std::array<std::uint8_t, 4> octets{};
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        bool ok = false;
        const int value = boxes_[i]->text().toInt(&ok);
        if (!ok || value < 0 || value > 255) {
            return std::nullopt;
        }
        octets[i] = static_cast<std::uint8_t>(value);
    }
    return octets;
}

std::array<std::uint8_t, 4> IpAddressEdit::Fields() const
{
    std::array<std::uint8_t, 4> fields{};
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        fields[i] = static_cast<std::uint8_t>(std::clamp(boxes_[i]->text().toInt(), 0, 255));
    }
    return fields;
}

void IpAddressEdit::Clear()
{
    for (auto* box : boxes_) {
        box->clear();
    }
}

QString IpAddressEdit::Text() const
{
    QStringList parts;
    for (auto* box : boxes_) {
        parts << box->text();
    }
    return parts.join(QLatin1Char('.'));
}

}  // namespace velmora::platform
