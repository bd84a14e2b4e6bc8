#include "platform/accessibility.h"

#include "platform/combo_box_accessible.h"
#include "platform/slider.h"
#include "platform/window.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include <set>

namespace velmora::platform {

namespace {

QString StripAmpersands(QString text)
{
    // "&&" is a literal ampersand; a single one marks the mnemonic.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            text.remove(i, 1);
        }
    }
    return text;
}

// A button of a template. Qt has no role of its own for a toggle button: it
// is a push button whose state says it is checkable, as here.
class TemplateButton : public QAccessibleWidget {
public:
    explicit TemplateButton(QAbstractButton* button) : QAccessibleWidget(button, RoleOf(button)) {}

    // Asked anew: the interface may be made before the button joins its group.
    QAccessible::Role role() const override { return RoleOf(Button()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const QString name = widget()->accessibleName();
            return name.isEmpty() ? StripAmpersands(Button()->text()) : name;
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        const QAbstractButton* button = Button();
        state.checkable = button->isCheckable();
        state.checked = button->isChecked();
        state.pressed = button->isDown();
        if (const auto* push = qobject_cast<const QPushButton*>(button)) {
            state.defaultButton = push->isDefault();
        }
        return state;
    }

    QStringList actionNames() const override { return QStringList{ClickAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString& action) override
    {
        if (action != ClickAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // Clicked from the event loop, not from inside the screen reader's
        // call: a click may open a modal box.
        QAbstractButton* button = Button();
        if (button->isEnabled()) {
            QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
        }
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        return action == ClickAction() ? QStringList() : QAccessibleWidget::keyBindingsForAction(action);
    }

private:
    static QAccessible::Role RoleOf(const QAbstractButton* button)
    {
        // A push-like radio is checkable and one of a group.
        if (qobject_cast<const QRadioButton*>(button) || (button->isCheckable() && button->group())) {
            return QAccessible::RadioButton;
        }
        if (qobject_cast<const QCheckBox*>(button)) {
            return QAccessible::CheckBox;
        }
        return QAccessible::Button;
    }

    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
    QString ClickAction() const { return Button()->isCheckable() ? toggleAction() : pressAction(); }
};

// A slider set by a screen reader: the new value is the operator's whole
// gesture, so it ends as letting go of the thumb does and the setting is sent.
class TemplateSlider : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TemplateSlider(Slider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return TheSlider()->value(); }
    QVariant maximumValue() const override { return TheSlider()->maximum(); }
    QVariant minimumValue() const override { return TheSlider()->minimum(); }
    QVariant minimumStepSize() const override { return std::max(1, TheSlider()->pageStep()); }

    void setCurrentValue(const QVariant& value) override
    {
        Slider* slider = TheSlider();
        if (!slider->isEnabled()) {
            return;
        }
        slider->setValue(value.toInt());
        QMetaObject::invokeMethod(slider, &Slider::EndGesture, Qt::QueuedConnection);
    }

private:
    Slider* TheSlider() const { return static_cast<Slider*>(widget()); }
};

QAccessibleInterface* PanelFactory(const QString&, QObject* object)
{
    if (auto* slider = qobject_cast<Slider*>(object)) {
        return new TemplateSlider(slider);
    }
    if (QAccessibleInterface* combo = MakeAccessibleComboBox(object)) {
        return combo;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        if (qobject_cast<Window*>(button->parentWidget())) {
            return new TemplateButton(button);
        }
        return nullptr;
    }
    if (auto* window = qobject_cast<Window*>(object); window && window->isWindow()) {
        const bool dialog = (window->windowFlags() & Qt::WindowType_Mask) == Qt::Dialog;
        return new QAccessibleWidget(window, dialog ? QAccessible::Dialog : QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

void InstallFactoryOnce(QAccessible::InterfaceFactory factory)
{
    static std::set<QAccessible::InterfaceFactory> installed;
    if (installed.insert(factory).second) {
        QAccessible::installFactory(factory);
    }
}

void InstallAccessibility() { InstallFactoryOnce(PanelFactory); }

}  // namespace velmora::platform
