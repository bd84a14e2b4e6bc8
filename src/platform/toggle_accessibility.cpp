#include "platform/toggle_accessibility.h"

#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QPushButton>

namespace velmora::platform {

namespace {

// Whether a button is checkable is asked each time: the interface may be
// made before the template's kind has been applied to the button.
class AccessiblePushButton : public QAccessibleWidget {
public:
    explicit AccessiblePushButton(QPushButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::Role role() const override
    {
        if (!Button()->isCheckable()) {
            return QAccessible::Button;
        }
        return Button()->group() ? QAccessible::RadioButton : QAccessible::CheckBox;
    }

    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty()) {
            text = Button()->text().remove(QLatin1Char('&'));
        }
        return text;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = Button()->isDown();
        s.checkable = Button()->isCheckable();
        s.checked = Button()->isChecked();
        s.defaultButton = Button()->isDefault();
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (Button()->isEnabled()) {
            names << (Button()->isCheckable() ? toggleAction() : pressAction());
        }
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action != toggleAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
        } else if (Button()->isEnabled()) {
            Button()->click();
        }
    }

private:
    QPushButton* Button() const { return static_cast<QPushButton*>(widget()); }
};

QAccessibleInterface* PushButtonFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String("QPushButton")) {
        return nullptr;
    }
    auto* button = qobject_cast<QPushButton*>(object);
    return button ? new AccessiblePushButton(button) : nullptr;
}

}  // namespace

void InstallToggleAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(PushButtonFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace velmora::platform
