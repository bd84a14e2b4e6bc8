#pragma once
// A part of a widget that screen readers see as a child of its own (a tab of
// the tab strip, an entry of a list): it has no widget, its owner answers for
// it. And the items of one owner, registered with Qt once each and released
// with the owner's interface.

#include <QAccessible>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>

namespace velmora::platform {

class AccessibleItem : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit AccessibleItem(QWidget* owner) : owner_(owner) {}

    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    void* interface_cast(QAccessible::InterfaceType type) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

protected:
    QWidget* Owner() const { return owner_.data(); }
    // Runs `act` from the event loop, not inside the screen reader's call:
    // what it does may open a modal box.
    void Later(std::function<void()> act) const;

private:
    QPointer<QWidget> owner_;
};

class AccessibleItems {
public:
    using Make = std::function<QAccessibleInterface*(int index)>;

    AccessibleItems() = default;
    AccessibleItems(const AccessibleItems&) = delete;
    AccessibleItems& operator=(const AccessibleItems&) = delete;
    ~AccessibleItems();

    // The item at index, made on first use.
    QAccessibleInterface* At(int index, const Make& make);
    // The index of an item among the first `count`, or -1.
    int IndexOf(const QAccessibleInterface* item, int count, const Make& make);

private:
    std::map<int, QAccessible::Id> ids_;
};

}  // namespace velmora::platform
