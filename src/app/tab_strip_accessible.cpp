#include "app/tab_strip_accessible.h"

#include "app/tab_strip.h"
#include "platform/accessibility.h"
#include "platform/accessible_item.h"

#include <QAccessibleWidget>
#include <QPointer>

namespace velmora::app {

namespace {

// One tab of the strip.
class PageTab : public platform::AccessibleItem {
public:
    PageTab(TabStrip* strip, int index) : AccessibleItem(strip), index_(index) {}

    bool isValid() const override { return Strip() && index_ < Strip()->Count(); }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && Strip() ? Strip()->Text(index_) : QString();
    }
    QRect rect() const override
    {
        if (!Strip()) {
            return {};
        }
        const QRect local = Strip()->TabRect(index_);
        return QRect(Strip()->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!Strip()) {
            return state;
        }
        const bool current = Strip()->Current() == index_;
        state.focusable = true;
        state.selectable = true;
        state.selected = current;
        state.focused = current && Strip()->hasFocus();
        state.invisible = !Strip()->isVisible();
        return state;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction() && Strip()) {
            Later([strip = QPointer<TabStrip>(Strip()), index = index_] {
                if (strip) {
                    strip->Choose(index);
                }
            });
        }
    }

private:
    TabStrip* Strip() const { return static_cast<TabStrip*>(Owner()); }

    int index_;
};

class PageTabList : public QAccessibleWidget {
public:
    explicit PageTabList(TabStrip* strip) : QAccessibleWidget(strip, QAccessible::PageTabList) {}

    int childCount() const override { return Strip()->Count(); }
    QAccessibleInterface* child(int index) const override
    {
        return index >= 0 && index < childCount() ? tabs_.At(index, Maker()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return tabs_.IndexOf(child, childCount(), Maker());
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int k = 0; k < childCount(); ++k) {
            if (child(k)->rect().contains(x, y)) {
                return child(k);
            }
        }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        return Strip()->hasFocus() ? child(Strip()->Current()) : nullptr;
    }

private:
    TabStrip* Strip() const { return static_cast<TabStrip*>(widget()); }
    platform::AccessibleItems::Make Maker() const
    {
        return [strip = Strip()](int index) { return new PageTab(strip, index); };
    }

    mutable platform::AccessibleItems tabs_;
};

QAccessibleInterface* TabStripFactory(const QString&, QObject* object)
{
    if (auto* strip = qobject_cast<TabStrip*>(object)) {
        return new PageTabList(strip);
    }
    return nullptr;
}

}  // namespace

void InstallTabStripAccessibility() { platform::InstallFactoryOnce(TabStripFactory); }

}  // namespace velmora::app
