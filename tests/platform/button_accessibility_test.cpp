// Buttons built from a template, operated through their accessible actions:
// each reaches its window exactly as a mouse click does.

#include "platform/dialog_builder.h"
#include "platform/window.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCoreApplication>
#include <gtest/gtest.h>

#include <vector>

using namespace velmora::platform;

namespace {

class ClickWindow : public Window {
public:
    void OnCommand(int id, Notify code, int) override
    {
        if (code == Notify::Clicked) {
            clicks.push_back({id, ControlAs<QAbstractButton>(id)->isChecked()});
        }
    }
    std::vector<std::pair<int, bool>> clicks;  // id, checked when it arrived
};

constexpr ControlTemplate kButtons[] = {
    {1, ControlKind::PushButton, "Set", 0, 0, 30, 12},
    {2, ControlKind::PushLikeCheckBox, "Mute", 0, 20, 30, 12},
    {3, ControlKind::PushLikeRadio, "ON", 0, 40, 30, 12},
    {4, ControlKind::PushLikeRadio, "OFF", 40, 40, 30, 12},
    {5, ControlKind::PushButton, "Off", 0, 60, 30, 12, style::kDisabled},
    {6, ControlKind::CheckBox, "Beep", 40, 0, 30, 10},
    {7, ControlKind::RadioButton, "COM", 40, 20, 30, 10},
};
constexpr DialogTemplate kTemplate{900, "", 100, 80, "MS Shell Dlg", 8, kButtons};

}  // namespace

TEST(ButtonAccessibility, EachButtonsActionIsAClick)
{
    struct Case {
        int id;
        QAccessible::Role role;
        QString action;
        std::vector<std::pair<int, bool>> clicks;  // after the action
    };
    const QString press = QAccessibleActionInterface::pressAction();
    const QString toggle = QAccessibleActionInterface::toggleAction();
    const Case cases[] = {
        {1, QAccessible::Button, press, {{1, false}}},
        {2, QAccessible::Button, toggle, {{1, false}, {2, true}}},
        {2, QAccessible::Button, toggle, {{1, false}, {2, true}, {2, false}}},
        {3, QAccessible::RadioButton, toggle, {{1, false}, {2, true}, {2, false}, {3, true}}},
        {4, QAccessible::RadioButton, toggle, {{1, false}, {2, true}, {2, false}, {3, true}, {4, true}}},
        {5, QAccessible::Button, press, {{1, false}, {2, true}, {2, false}, {3, true}, {4, true}}},
        {6, QAccessible::CheckBox, toggle, {{1, false}, {2, true}, {2, false}, {3, true}, {4, true}, {6, true}}},
        {7,
         QAccessible::RadioButton,
         toggle,
         {{1, false}, {2, true}, {2, false}, {3, true}, {4, true}, {6, true}, {7, true}}},
    };
    ClickWindow window;
    BuildDialog(window, kTemplate);
    window.show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(window.Control(c.id));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->role(), c.role);
        EXPECT_TRUE(button->actionInterface()->actionNames().contains(c.action));
        button->actionInterface()->doAction(c.action);
        QCoreApplication::processEvents();  // the click is queued, as a screen reader's call returns first
        EXPECT_EQ(window.clicks, c.clicks);
        EXPECT_EQ(button->state().checkable, window.ControlAs<QAbstractButton>(c.id)->isCheckable());
        EXPECT_EQ(button->state().checked, window.ControlAs<QAbstractButton>(c.id)->isChecked());
    }
    EXPECT_FALSE(window.ControlAs<QAbstractButton>(3)->isChecked()) << "the radios stay one group";
}
