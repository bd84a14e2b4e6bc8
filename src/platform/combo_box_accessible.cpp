#include "platform/combo_box_accessible.h"

#include "platform/accessible_item.h"
#include "platform/combo_box.h"

#include <QAccessibleWidget>

namespace velmora::platform {

namespace {

// One entry of the list.
class ListEntry : public AccessibleItem {
public:
    ListEntry(ComboBox* combo, int index) : AccessibleItem(combo), index_(index) {}

    bool isValid() const override { return Combo() && index_ < Combo()->count(); }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? Combo()->itemText(index_) : QString();
    }
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.selectable = true;
        state.selected = isValid() && Combo()->currentIndex() == index_;
        state.invisible = true;  // until the list drops down
        return state;
    }

    QStringList actionNames() const override { return {pressAction(), toggleAction()}; }
    void doAction(const QString& action) override
    {
        if ((action != pressAction() && action != toggleAction()) || !isValid() || !Combo()->isEnabled()) {
            return;
        }
        Later([combo = QPointer<ComboBox>(Combo()), index = index_] {
            if (combo && index < combo->count()) {
                combo->setCurrentIndex(index);
                emit combo->activated(index);
            }
        });
    }

private:
    ComboBox* Combo() const { return static_cast<ComboBox*>(Owner()); }

    int index_;
};

class AccessibleComboBox : public QAccessibleWidget {
public:
    explicit AccessibleComboBox(ComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) {
            return Combo()->currentText();
        }
        if (t == QAccessible::Name) {
            const QString name = QAccessibleWidget::text(t);
            return name.isEmpty() ? Combo()->currentText() : name;
        }
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return Combo()->count(); }
    QAccessibleInterface* child(int index) const override
    {
        return index >= 0 && index < childCount() ? entries_.At(index, Maker()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return entries_.IndexOf(child, childCount(), Maker());
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction()) {
            QMetaObject::invokeMethod(Combo(), &QComboBox::showPopup, Qt::QueuedConnection);
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    ComboBox* Combo() const { return static_cast<ComboBox*>(widget()); }
    AccessibleItems::Make Maker() const
    {
        return [combo = Combo()](int index) { return new ListEntry(combo, index); };
    }

    mutable AccessibleItems entries_;
};

}  // namespace

QAccessibleInterface* MakeAccessibleComboBox(QObject* object)
{
    auto* combo = qobject_cast<ComboBox*>(object);
    return combo ? new AccessibleComboBox(combo) : nullptr;
}

}  // namespace velmora::platform
