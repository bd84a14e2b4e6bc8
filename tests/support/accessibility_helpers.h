#pragma once
// Reading a window as a screen reader does: the interfaces below it, and
// what each control is announced as.

#include <QAccessible>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace velmora::test {

inline QAccessibleInterface* Iface(QObject* object) { return QAccessible::queryAccessibleInterface(object); }

// What a screen reader announces a control as: the label it is labelled by
// (Qt reports a label's buddy that way), or else its own name.
inline QString Announced(QAccessibleInterface* iface)
{
    const auto labels = iface->relations(QAccessible::Label);
    return labels.isEmpty() ? iface->text(QAccessible::Name) : labels.first().first->text(QAccessible::Name);
}

// Every interface below root, depth first, as a screen reader walks them.
inline void Walk(QAccessibleInterface* root, std::vector<QAccessibleInterface*>& all, int depth = 0)
{
    constexpr int kMaxDepth = 8;
    if (!root || depth > kMaxDepth) {
        return;
    }
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        all.push_back(child);
        Walk(child, all, depth + 1);
    }
}

inline std::vector<QAccessibleInterface*> Tree(QWidget* window)
{
    std::vector<QAccessibleInterface*> all;
    Walk(Iface(window), all);
    return all;
}

inline QAccessibleInterface* FindByRole(const std::vector<QAccessibleInterface*>& tree, QAccessible::Role role)
{
    const auto it = std::find_if(tree.begin(), tree.end(), [role](auto* iface) { return iface->role() == role; });
    return it == tree.end() ? nullptr : *it;
}

}  // namespace velmora::test
