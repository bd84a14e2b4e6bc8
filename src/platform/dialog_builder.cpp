#include "platform/dialog_builder.h"

#include "platform/combo_box.h"
#include "platform/dialog_units.h"
#include "platform/ip_address_edit.h"
#include "platform/slider.h"
#include "platform/toggle_accessibility.h"
#include "platform/up_down.h"
#include "platform/window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace velmora::platform {

namespace {

constexpr int kListFieldHeight = 13;  // dialog units of a list's closed field

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* MakeLabel(const ControlTemplate& c, QWidget* parent)
{
    auto* label = new QLabel(Text(c.text), parent);
    Qt::Alignment align = Qt::AlignVCenter;
    align |= (c.styles & style::kCentered) ? Qt::AlignHCenter
             : (c.styles & style::kRight)  ? Qt::AlignRight
                                           : Qt::AlignLeft;
    label->setAlignment(align);
    if (c.styles & style::kNoMouse) {
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    return label;
}

QWidget* MakeControl(Window& window, const ControlTemplate& c)
{
    const int id = c.id;
    switch (c.kind) {
    case ControlKind::Label:
        return MakeLabel(c, &window);
    case ControlKind::Picture: {
        auto* picture = new QLabel(&window);
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return picture;
    }
    case ControlKind::GroupBox: {
        auto* group = new QGroupBox(Text(c.text), &window);
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        return group;
    }
    case ControlKind::PushButton:
    case ControlKind::PushLikeCheckBox:
    case ControlKind::PushLikeRadio: {
        auto* button = new QPushButton(Text(c.text), &window);
        button->setAutoDefault(false);
        button->setCheckable(c.kind != ControlKind::PushButton);
        QObject::connect(button, &QPushButton::clicked, &window,
                         [&window, id] { window.OnCommand(id, Notify::Clicked, 0); });
        return button;
    }
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: {
        QAbstractButton* button = nullptr;
        if (c.kind == ControlKind::CheckBox) {
            button = new QCheckBox(Text(c.text), &window);
        } else {
            button = new QRadioButton(Text(c.text), &window);
            button->setAutoExclusive(false);
        }
        QObject::connect(button, &QAbstractButton::clicked, &window,
                         [&window, id] { window.OnCommand(id, Notify::Clicked, 0); });
        return button;
    }
    case ControlKind::DropList:
    case ControlKind::DropDown: {
        auto* combo = new ComboBox((c.styles & style::kSorted) != 0, c.kind == ControlKind::DropDown, &window);
        QObject::connect(combo, qOverload<int>(&QComboBox::activated), &window,
                         [&window, id](int position) { window.OnCommand(id, Notify::SelChange, position); });
        return combo;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(Text(c.text), &window);
        edit->setReadOnly((c.styles & style::kReadOnly) != 0);
        if (c.styles & style::kNumber) {
            edit->setInputMask(QString());
        }
        QObject::connect(edit, &QLineEdit::textEdited, &window,
                         [&window, id] { window.OnCommand(id, Notify::EditChange, 0); });
        QObject::connect(edit, &QLineEdit::editingFinished, &window,
                         [&window, id] { window.OnCommand(id, Notify::EditKillFocus, 0); });
        return edit;
    }
    case ControlKind::MultiLineEdit: {
        auto* edit = new QPlainTextEdit(Text(c.text), &window);
        edit->setReadOnly((c.styles & style::kReadOnly) != 0);
        edit->setUndoRedoEnabled(false);
        return edit;
    }
    case ControlKind::Slider: {
        auto* slider = new Slider((c.styles & style::kVertical) ? Qt::Vertical : Qt::Horizontal, &window);
        if (c.styles & style::kTicks) {
            slider->setTickPosition(QSlider::TicksBelow);
        }
        QObject::connect(slider, &QSlider::actionTriggered, &window, [&window, slider, id] {
            // actionTriggered runs before the value moves; report the new one.
            window.OnCommand(id, Notify::Scroll, slider->sliderPosition());
        });
        QObject::connect(slider, &QSlider::valueChanged, &window,
                         [&window, id](int position) { window.OnCommand(id, Notify::Moved, position); });
        QObject::connect(slider, &Slider::released, &window,
                         [&window, id](int position) { window.OnCommand(id, Notify::Released, position); });
        return slider;
    }
    case ControlKind::UpDown: {
        auto* arrows = new UpDown(&window);
        QObject::connect(arrows, &UpDown::stepped, &window,
                         [&window, id](int delta) { window.OnCommand(id, Notify::UpDown, delta); });
        return arrows;
    }
    case ControlKind::IpAddress: {
        auto* address = new IpAddressEdit(&window);
        QObject::connect(address, &IpAddressEdit::edited, &window,
                         [&window, id] { window.OnCommand(id, Notify::EditChange, 0); });
        return address;
    }
    }
    return nullptr;
}

bool HasOwnText(const ControlTemplate& c)
{
    return !c.text.empty() && c.kind != ControlKind::Edit && c.kind != ControlKind::MultiLineEdit;
}

// The label that names a control without text: the nearest label ending to
// its left on the same row, or else the nearest one just above it.
const ControlTemplate* LabelBeside(const DialogTemplate& tpl, const ControlTemplate& c)
{
    const ControlTemplate* best = nullptr;
    int bestDistance = 1 << 30;
    // A list stands on the row of its closed field, not of its dropped-down part.
    const bool list = c.kind == ControlKind::DropList || c.kind == ControlKind::DropDown;
    const int height = list ? std::min(c.cy, kListFieldHeight) : c.cy;
    for (const auto& other : tpl.controls) {
        if (other.kind != ControlKind::Label || other.text.empty()) {
            continue;
        }
        const bool sameRow = other.y < c.y + height && c.y < other.y + other.cy;
        const bool leftOf = other.x + other.cx <= c.x + 2;
        const bool above = other.y + other.cy <= c.y + 2 && other.x < c.x + c.cx && c.x < other.x + other.cx;
        int distance = 1 << 30;
        if (sameRow && leftOf) {
            distance = c.x - (other.x + other.cx);
        } else if (above) {
            distance = 1000 + c.y - (other.y + other.cy);
        }
        if (distance < bestDistance && distance < 1000 + 30) {
            bestDistance = distance;
            best = &other;
        }
    }
    return best;
}

void NameControl(const DialogTemplate& tpl, const ControlTemplate& c, QWidget* widget)
{
    widget->setObjectName(QStringLiteral("ctl%1").arg(c.id));
    QString name;
    if (HasOwnText(c)) {
        name = Text(c.text).trimmed();
    } else if (const auto* label = LabelBeside(tpl, c)) {
        name = Text(label->text).trimmed();
        name.remove(QLatin1Char(':'));
    }
    widget->setAccessibleName(name.isEmpty() ? QStringLiteral("control %1").arg(c.id) : name);
}

}  // namespace

QFont TemplateFont(const DialogTemplate& tpl)
{
    // The panel's dialogs name a Chinese UI font; the nearest packaged face
    // is WenQuanYi Micro Hei. The classic dialog font of the pages has the
    // widths of Liberation Sans, to which their labels are cut. Pixel sizes
    // keep layouts the same at any dpi.
    QFont font(tpl.font == "MS Shell Dlg" ? QStringLiteral("Liberation Sans") : QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(tpl.pointSize * 96 / 72);
    return font;
}

void BuildDialog(Window& window, const DialogTemplate& tpl)
{
    InstallToggleAccessibility();
    const BaseUnits base = BaseUnitsFor(tpl.font, tpl.pointSize);
    window.setFont(TemplateFont(tpl));
    window.setFixedSize(DluToPixels(tpl.cx, tpl.cy, base));
    if (!tpl.caption.empty()) {
        window.setWindowTitle(Text(tpl.caption));
    }
    QButtonGroup* radios = nullptr;
    QWidget* previous = nullptr;
    for (const auto& c : tpl.controls) {
        QWidget* widget = MakeControl(window, c);
        if (!widget) {
            continue;
        }
        // Up-down arrows take the edit made just before them as their buddy.
        if (auto* arrows = qobject_cast<UpDown*>(widget)) {
            arrows->SetBuddy(qobject_cast<QLineEdit*>(previous));
        }
        previous = widget;
        // Consecutive radio buttons form one group, as in a dialog template.
        if (c.kind == ControlKind::RadioButton || c.kind == ControlKind::PushLikeRadio) {
            if (!radios) {
                radios = new QButtonGroup(&window);
            }
            radios->addButton(static_cast<QAbstractButton*>(widget));
        } else {
            radios = nullptr;
        }
        QRect place = DluToPixels(c.x, c.y, c.cx, c.cy, base);
        // A list's template height includes its dropped-down part.
        if (c.kind == ControlKind::DropList || c.kind == ControlKind::DropDown) {
            place.setHeight(std::min(place.height(), DluToPixelsY(kListFieldHeight, base)));
        }
        widget->setGeometry(place);
        // The arrows sit at the buddy's right edge, inside its rectangle.
        if (auto* arrows = qobject_cast<UpDown*>(widget); arrows && arrows->Buddy()) {
            QRect buddy = arrows->Buddy()->geometry();
            buddy.setWidth(std::max(1, buddy.width() - place.width()));
            arrows->Buddy()->setGeometry(buddy);
            widget->move(buddy.right() + 1, buddy.top());
            widget->resize(place.width(), buddy.height());
        }
        widget->setEnabled((c.styles & style::kDisabled) == 0);
        widget->setVisible((c.styles & style::kHidden) == 0);
        if (c.kind == ControlKind::GroupBox) {
            widget->lower();
        }
        NameControl(tpl, c, widget);
        if (c.id != kNoId) {
            window.RegisterControl(c.id, widget);
        }
    }
}

}  // namespace velmora::platform
