#include "app/tab_strip_accessible.h"

#include "app/tab_strip.h"
#include "platform/accessibility.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <map>

namespace velmora::app {

namespace {

// One tab of the strip. It has no widget of its own: the strip answers for it.
class PageTab : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PageTab(TabStrip* strip, int index) : strip_(strip), index_(index) {}

    bool isValid() const override { return strip_ && index_ < strip_->Count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return strip_ ? strip_->window()->windowHandle() : nullptr; }

    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(strip_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && strip_ ? strip_->Text(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!strip_) {
            return {};
        }
        const QRect local = strip_->TabRect(index_);
        return QRect(strip_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!strip_) {
            return state;
        }
        const bool current = strip_->Current() == index_;
        state.focusable = true;
        state.selectable = true;
        state.selected = current;
        state.focused = current && strip_->hasFocus();
        state.invisible = !strip_->isVisible();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        // Chosen from the event loop: changing the page may open a message box.
        if (action == pressAction() && strip_) {
            const int index = index_;
            QMetaObject::invokeMethod(strip_.data(), [strip = strip_, index] {
                if (strip) {
                    strip->Choose(index);
                }
            }, Qt::QueuedConnection);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TabStrip> strip_;
    int index_;
};

class PageTabList : public QAccessibleWidget {
public:
    explicit PageTabList(TabStrip* strip) : QAccessibleWidget(strip, QAccessible::PageTabList) {}
    ~PageTabList() override
    {
        for (const auto& [index, id] : tabs_) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override { return Strip()->Count(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        auto it = tabs_.find(index);
        if (it == tabs_.end()) {
            auto* tab = new PageTab(Strip(), index);
            it = tabs_.emplace(index, QAccessible::registerAccessibleInterface(tab)).first;
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

    mutable std::map<int, QAccessible::Id> tabs_;
};

QAccessibleInterface* TabStripFactory(const QString&, QObject* object)
{
    if (auto* strip = qobject_cast<TabStrip*>(object)) {
        return new PageTabList(strip);
    }
    return nullptr;
}

}  // namespace

void InstallTabStripAccessibility()
{
    platform::InstallFactoryOnce(TabStripFactory);
}

}  // namespace velmora::app
