#include "platform/toggle_accessibility.h"

#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

namespace velmora::platform {

namespace {

// Whether a button is checkable is asked each time: the interface may be
// made before the template's kind has been applied to the button.
class AccessibleButton : public QAccessibleWidget {
public:
    explicit AccessibleButton(QAbstractButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::Role role() const override
    {
        if (qobject_cast<QCheckBox*>(Button())) {
            return QAccessible::CheckBox;
        }
        if (qobject_cast<QRadioButton*>(Button())) {
            return QAccessible::RadioButton;
        }
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
        if (auto* push = qobject_cast<QPushButton*>(Button())) {
            s.defaultButton = push->isDefault();
        }
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
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* ButtonFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String("QPushButton") && className != QLatin1String("QCheckBox") &&
        className != QLatin1String("QRadioButton")) {
        return nullptr;
    }
    auto* button = qobject_cast<QAbstractButton*>(object);
    return button ? new AccessibleButton(button) : nullptr;
}

}  // namespace

void InstallToggleAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(ButtonFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace velmora::platform
