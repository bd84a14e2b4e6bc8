#include "platform/combo_box_accessible.h"

#include "platform/combo_box.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <map>

namespace velmora::platform {

namespace {

// One entry of the list. It has no widget of its own: the list answers for it.
class ListEntry : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ListEntry(ComboBox* combo, int index) : combo_(combo), index_(index) {}

    bool isValid() const override { return combo_ && index_ < combo_->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return combo_ ? combo_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(combo_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? combo_->itemText(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.selectable = true;
        state.selected = isValid() && combo_->currentIndex() == index_;
        state.invisible = true;  // until the list drops down
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction(), toggleAction()}; }
    void doAction(const QString& action) override
    {
        if ((action != pressAction() && action != toggleAction()) || !isValid() || !combo_->isEnabled()) {
            return;
        }
        // Chosen from the event loop: the window's answer may open a message box.
        QMetaObject::invokeMethod(combo_.data(), [combo = combo_, index = index_] {
            if (combo && index < combo->count()) {
                combo->setCurrentIndex(index);
                emit combo->activated(index);
            }
        }, Qt::QueuedConnection);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<ComboBox> combo_;
    int index_;
};

class AccessibleComboBox : public QAccessibleWidget {
public:
    explicit AccessibleComboBox(ComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}
    ~AccessibleComboBox() override
    {
        for (const auto& [index, id] : entries_) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

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
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        auto it = entries_.find(index);
        if (it == entries_.end()) {
            it = entries_.emplace(index, QAccessible::registerAccessibleInterface(new ListEntry(Combo(), index))).first;
        }
        return QAccessible::accessibleInterface(it->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int k = 0; k < childCount(); ++k) {
            if (this->child(k) == child) {
                return k;
            }
        }
        return -1;
    }

    QStringList actionNames() const override { return QStringList{showMenuAction()} + QAccessibleWidget::actionNames(); }
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

    mutable std::map<int, QAccessible::Id> entries_;
};

}  // namespace

QAccessibleInterface* MakeAccessibleComboBox(QObject* object)
{
    auto* combo = qobject_cast<ComboBox*>(object);
    return combo ? new AccessibleComboBox(combo) : nullptr;
}

}  // namespace velmora::platform
