#include "platform/accessible_item.h"

#include <QWindow>

namespace velmora::platform {

QWindow* AccessibleItem::window() const { return owner_ ? owner_->window()->windowHandle() : nullptr; }

QAccessibleInterface* AccessibleItem::parent() const { return QAccessible::queryAccessibleInterface(owner_.data()); }

void* AccessibleItem::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

void AccessibleItem::Later(std::function<void()> act) const
{
    if (owner_) {
        QMetaObject::invokeMethod(owner_.data(), std::move(act), Qt::QueuedConnection);
    }
}

AccessibleItems::~AccessibleItems()
{
    for (const auto& [index, id] : ids_) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

QAccessibleInterface* AccessibleItems::At(int index, const Make& make)
{
    auto it = ids_.find(index);
    if (it == ids_.end()) {
        it = ids_.emplace(index, QAccessible::registerAccessibleInterface(make(index))).first;
    }
    return QAccessible::accessibleInterface(it->second);
}

int AccessibleItems::IndexOf(const QAccessibleInterface* item, int count, const Make& make)
{
    for (int k = 0; k < count; ++k) {
        if (At(k, make) == item) {
            return k;
        }
    }
    return -1;
}

}  // namespace velmora::platform
