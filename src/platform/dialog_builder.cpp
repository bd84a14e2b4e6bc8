#include "platform/dialog_builder.h"

#include "platform/accessibility.h"
#include "platform/combo_box.h"
#include "platform/dialog_units.h"
#include "platform/group_box.h"
#include "platform/ip_address_edit.h"
#include "platform/slider.h"
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

#include <map>
#include <optional>
#include <set>
#include <vector>

namespace velmora::platform {

namespace {

constexpr int kListFieldHeight = 13;  // dialog units of a list's closed field

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

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

// Push buttons (plain or push-like), check boxes and radio buttons: each
// reports a click.
QAbstractButton* MakeButton(Window& window, const ControlTemplate& c)
{
    QAbstractButton* button = nullptr;
    if (c.kind == ControlKind::CheckBox) {
        button = new QCheckBox(Text(c.text), &window);
    } else if (c.kind == ControlKind::RadioButton) {
        button = new QRadioButton(Text(c.text), &window);
        button->setAutoExclusive(false);
    } else {
        auto* push = new QPushButton(Text(c.text), &window);
        push->setAutoDefault(false);
        push->setCheckable(c.kind != ControlKind::PushButton);
        button = push;
    }
    const int id = c.id;
    QObject::connect(button, &QAbstractButton::clicked, &window,
                     [&window, id] { window.OnCommand(id, Notify::Clicked, 0); });
    return button;
}

Slider* MakeSlider(Window& window, const ControlTemplate& c)
{
    const int id = c.id;
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
        auto* group = new GroupBox(Text(c.text), &window);
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        return group;
    }
    case ControlKind::PushButton:
    case ControlKind::PushLikeCheckBox:
    case ControlKind::PushLikeRadio:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        return MakeButton(window, c);
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
    case ControlKind::Slider:
        return MakeSlider(window, c);
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

// Controls that show no text of their own are announced by the label that
// names them.
bool NeedsLabel(ControlKind kind)
{
    switch (kind) {
    case ControlKind::DropList:
    case ControlKind::DropDown:
    case ControlKind::Edit:
    case ControlKind::MultiLineEdit:
    case ControlKind::Slider:
    case ControlKind::UpDown:
    case ControlKind::IpAddress:
        return true;
    default:
        return false;
    }
}

constexpr int kBesideGap = 8;  // dialog units from a label's right edge to its control
constexpr int kAboveGap = 6;  // dialog units from a label's bottom edge to its control
constexpr int kOverlap = 2;  // a label may reach this far into its control

int FieldHeight(const ControlTemplate& c)
{
    const bool list = c.kind == ControlKind::DropList || c.kind == ControlKind::DropDown;
    return list ? std::min(c.cy, kListFieldHeight) : c.cy;
}

// How far the label is from the control it would name: a label that ends
// just left of the control on the row of its field, or else one just above
// it; nothing farther.
std::optional<int> LabelDistance(const ControlTemplate& label, const ControlTemplate& c)
{
    const int labelMiddle = label.y + label.cy / 2;
    const int besideGap = c.x - (label.x + label.cx);
    if (labelMiddle >= c.y && labelMiddle < c.y + FieldHeight(c) && besideGap >= -kOverlap && besideGap <= kBesideGap) {
        return besideGap;
    }
    const int aboveGap = c.y - (label.y + label.cy);
    const bool overlapsColumns = label.x < c.x + c.cx && c.x < label.x + label.cx;
    if (overlapsColumns && aboveGap >= -kOverlap && aboveGap <= kAboveGap) {
        return kBesideGap + kOverlap + 1 + aboveGap;  // a label beside wins over one above
    }
    return std::nullopt;
}

std::optional<std::size_t> IndexOf(const DialogTemplate& tpl, int id)
{
    for (std::size_t i = 0; i < tpl.controls.size(); ++i) {
        if (tpl.controls[i].id == id) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> IndexOfText(const DialogTemplate& tpl, std::string_view text)
{
    for (std::size_t i = 0; i < tpl.controls.size(); ++i) {
        const ControlTemplate& c = tpl.controls[i];
        if ((c.kind == ControlKind::Label || c.kind == ControlKind::GroupBox) && c.text == text) {
            return i;
        }
    }
    return std::nullopt;
}

// How a text on screen names a control for screen readers.
enum class Naming {
    Buddy,  // the label is the control's buddy: its name and labelled-by relation
    Name,  // the text is the control's accessible name
    Description,  // the control names itself; the text says which row it belongs to
};

struct LabelUse {
    std::size_t control;
    std::size_t label;
    Naming how;
};

// The template's own table: a label is the buddy of the first control it
// names, the name of any further one, and a button's description.
std::vector<LabelUse> TableLabels(const DialogTemplate& tpl, std::set<std::size_t>& named, std::set<std::size_t>& taken)
{
    std::vector<LabelUse> uses;
    for (const LabelFor& pair : tpl.labels) {
        const auto control = IndexOf(tpl, pair.control);
        const auto label = IndexOfText(tpl, pair.label);
        if (!control || !label) {
            continue;
        }
        Naming how = Naming::Name;
        if (!NeedsLabel(tpl.controls[*control].kind)) {
            how = Naming::Description;
        } else if (tpl.controls[*label].kind == ControlKind::Label && !taken.count(*label)) {
            how = Naming::Buddy;
        }
        uses.push_back({*control, *label, how});
        named.insert(*control);
        taken.insert(*label);
    }
    return uses;
}

// For every other control that needs one, the nearest label by place, both
// by their place in the template. A label names one control.
std::vector<LabelUse> NamingLabels(const DialogTemplate& tpl)
{
    std::set<std::size_t> named;
    std::set<std::size_t> taken;
    std::vector<LabelUse> uses = TableLabels(tpl, named, taken);
    for (std::size_t i = 0; i < tpl.controls.size(); ++i) {
        const ControlTemplate& c = tpl.controls[i];
        if (!NeedsLabel(c.kind) || named.count(i)) {
            continue;
        }
        std::optional<std::size_t> best;
        int bestDistance = 0;
        for (std::size_t j = 0; j < tpl.controls.size(); ++j) {
            const ControlTemplate& label = tpl.controls[j];
            if (label.kind != ControlKind::Label || label.text.empty() || taken.count(j)) {
                continue;
            }
            const auto distance = LabelDistance(label, c);
            if (distance && (!best || *distance < bestDistance)) {
                best = j;
                bestDistance = *distance;
            }
        }
        if (best) {
            uses.push_back({i, *best, Naming::Buddy});
            taken.insert(*best);
        }
    }
    return uses;
}

// Qt hands a label to screen readers through its buddy: the control is
// named by the label's text and related to it as labelled by it. A button,
// a check box or a label names itself by its text.
void LabelControls(const std::vector<QWidget*>& widgets, const DialogTemplate& tpl)
{
    for (const LabelUse& use : NamingLabels(tpl)) {
        QWidget* control = widgets[use.control];
        if (!control || !widgets[use.label]) {
            continue;
        }
        const QString text = Text(tpl.controls[use.label].text);
        switch (use.how) {
        case Naming::Buddy:
            if (auto* label = qobject_cast<QLabel*>(widgets[use.label])) {
                label->setBuddy(control);
            }
            break;
        case Naming::Name:
            control->setAccessibleName(text);
            break;
        case Naming::Description:
            control->setAccessibleDescription(text);
            break;
        }
    }
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
    InstallAccessibility();
    const BaseUnits base = BaseUnitsFor(tpl.font, tpl.pointSize);
    window.setFont(TemplateFont(tpl));
    window.setFixedSize(DluToPixels(tpl.cx, tpl.cy, base));
    if (!tpl.caption.empty()) {
        window.setWindowTitle(Text(tpl.caption));
    }
    QButtonGroup* radios = nullptr;
    QWidget* previous = nullptr;
    std::vector<QWidget*> widgets(tpl.controls.size(), nullptr);
    for (std::size_t i = 0; i < tpl.controls.size(); ++i) {
        const ControlTemplate& c = tpl.controls[i];
        QWidget* widget = MakeControl(window, c);
        if (!widget) {
            continue;
        }
        widgets[i] = widget;
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
        if (c.id != kNoId) {
            widget->setObjectName(QStringLiteral("ctl%1").arg(c.id));
            window.RegisterControl(c.id, widget);
        }
    }
    LabelControls(widgets, tpl);
    // A control placed outside the window works when operated, but the
    // keyboard does not stop at what nobody can see.
    window.DropTabStopsOutside(window.rect());
}

}  // namespace velmora::platform
