#include "platform/ip_address_edit.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
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
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [this, i] { OnTextEdited(i); });
        row->addWidget(box);
        boxes_[i] = box;
    }
    // A label's buddy and the Tab key land in the first box.
    setFocusProxy(boxes_[0]);
}

void IpAddressEdit::FocusBox(std::size_t index)
{
    boxes_[index]->setFocus(Qt::OtherFocusReason);
    boxes_[index]->selectAll();
}

void IpAddressEdit::OnTextEdited(std::size_t index)
{
    constexpr int kOctetDigits = 3;
    if (boxes_[index]->text().size() == kOctetDigits && index + 1 < boxes_.size()) {
        FocusBox(index + 1);
    }
    emit edited();
}

bool IpAddressEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    const auto it = std::find(boxes_.begin(), boxes_.end(), watched);
    if (it == boxes_.end()) {
        return QWidget::eventFilter(watched, event);
    }
    const auto index = static_cast<std::size_t>(it - boxes_.begin());
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->text() == QStringLiteral(".")) {
        // A dot after an empty box, or after the last one, is swallowed.
        if (!(*it)->text().isEmpty() && index + 1 < boxes_.size()) {
            FocusBox(index + 1);
        }
        return true;
    }
    if (key->key() == Qt::Key_Backspace && (*it)->text().isEmpty() && index > 0) {
        boxes_[index - 1]->setFocus(Qt::OtherFocusReason);
        boxes_[index - 1]->end(false);
        return true;
    }
    return QWidget::eventFilter(watched, event);
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
