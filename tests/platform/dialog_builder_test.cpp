// Windows built from templates: which label names which control for screen
// readers (a label's buddy), no Tab stops outside the window, and buttons
// operated through their accessible actions exactly as by a mouse click.

#include "platform/dialog_builder.h"
#include "platform/window.h"

#include "gui_helpers.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;

constexpr ControlTemplate kControls[] = {
    {10, ControlKind::Label, "Port", 10, 12, 20, 10},      {11, ControlKind::DropList, "", 32, 10, 50, 120},
    {12, ControlKind::DropList, "", 90, 10, 40, 120},      {13, ControlKind::Label, "Receive", 10, 30, 60, 10},
    {14, ControlKind::MultiLineEdit, "", 10, 42, 100, 40}, {15, ControlKind::Label, "Far", 150, 50, 30, 10},
    {16, ControlKind::Edit, "", 190, 50, 40, 12},          {17, ControlKind::Label, "Mode", 150, 70, 30, 10},
    {18, ControlKind::Edit, "", 184, 70, 40, 12},          {19, ControlKind::Label, "Override", 150, 90, 30, 10},
    {20, ControlKind::PushButton, "Go", 10, 90, 30, 14},   {21, ControlKind::PushButton, "Outside", 400, 10, 30, 14},
    {22, ControlKind::Label, "Level", 10, 110, 30, 10},    {23, ControlKind::Slider, "", 10, 121, 100, 12},
    {24, ControlKind::Label, "Upper", 125, 140, 30, 8},    {25, ControlKind::DropList, "", 160, 139, 60, 30},
    {26, ControlKind::Label, "Lower", 130, 160, 30, 8},    {27, ControlKind::DropList, "", 160, 159, 60, 30},
};
constexpr platform::LabelFor kLabels[] = {{"Override", 18}};
constexpr platform::DialogTemplate kTemplate{901, "Labels", 260, 200, "微软雅黑", 9, kControls, kLabels};

QAccessibleInterface* Iface(platform::Window& window, int id)
{
    return QAccessible::queryAccessibleInterface(window.Control(id));
}

TEST(TemplateLabels, EachControlIsNamedByTheLabelThatNamesItOnScreen)
{
    platform::Window window;
    platform::BuildDialog(window, kTemplate);
    const struct {
        int id;
        const char* label;  // empty: no label names it
        const char* why;
    } cases[] = {
        {11, "Port", "beside, on the row of its field"},
        {12, "", "the label beside the list before it is not its own"},
        {14, "Receive", "just above"},
        {16, "", "beside but too far away"},
        {18, "Override", "the template's table wins over the label beside"},
        {23, "Level", "a slider under its label"},
        // The lower label is nearer, but only the upper list's dropped-down part reaches its row.
        {25, "Upper", "the label on its closed field's row"},
        {27, "Lower", "the label on its closed field's row"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LabelOf(window.Control(c.id)), c.label) << c.why;
        EXPECT_EQ(Iface(window, c.id)->text(QAccessible::Name), c.label) << c.why;
    }
    EXPECT_EQ(window.ControlAs<QLabel>(17)->buddy(), nullptr) << "a label names one control at most";
    EXPECT_EQ(Iface(window, 20)->text(QAccessible::Name), "Go") << "a button names itself";
    EXPECT_EQ(Iface(window, 10)->text(QAccessible::Name), "Port") << "a label reads its text";
    EXPECT_EQ(window.Control(21)->focusPolicy(), Qt::NoFocus) << "outside the window: no Tab stop";
    EXPECT_NE(window.Control(20)->focusPolicy() & Qt::TabFocus, 0);
}

class ClickWindow : public platform::Window {
public:
    void OnCommand(int id, platform::Notify code, int) override
    {
        if (code == platform::Notify::Clicked) {
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
    {5, ControlKind::PushButton, "Off", 0, 60, 30, 12, platform::style::kDisabled},
    {6, ControlKind::CheckBox, "Beep", 40, 0, 30, 10},
    {7, ControlKind::RadioButton, "COM", 40, 20, 30, 10},
};

TEST(ButtonAccessibility, EachButtonsActionIsAClick)
{
    const QString press = QAccessibleActionInterface::pressAction();
    const QString toggle = QAccessibleActionInterface::toggleAction();
    const struct {
        int id;
        QAccessible::Role role;
        QString action;
        std::pair<int, bool> click;  // the click that arrives; none for the disabled button
    } cases[] = {
        {1, QAccessible::Button, press, {1, false}},      {2, QAccessible::Button, toggle, {2, true}},
        {2, QAccessible::Button, toggle, {2, false}},     {3, QAccessible::RadioButton, toggle, {3, true}},
        {4, QAccessible::RadioButton, toggle, {4, true}}, {5, QAccessible::Button, press, {}},
        {6, QAccessible::CheckBox, toggle, {6, true}},    {7, QAccessible::RadioButton, toggle, {7, true}},
    };
    ClickWindow window;
    platform::BuildDialog(window, {900, "", 100, 80, "MS Shell Dlg", 8, kButtons});
    window.show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        QAccessibleInterface* button = Iface(window, c.id);
        EXPECT_EQ(button->role(), c.role);
        EXPECT_TRUE(button->actionInterface()->actionNames().contains(c.action));
        const std::size_t before = window.clicks.size();
        button->actionInterface()->doAction(c.action);
        QCoreApplication::processEvents();  // the click is queued, as a screen reader's call returns first
        ASSERT_EQ(window.clicks.size(), before + (c.click.first ? 1 : 0));
        if (c.click.first) {
            EXPECT_EQ(window.clicks.back(), c.click);
        }
        EXPECT_EQ(button->state().checkable, window.ControlAs<QAbstractButton>(c.id)->isCheckable());
        EXPECT_EQ(button->state().checked, window.ControlAs<QAbstractButton>(c.id)->isChecked());
    }
    EXPECT_FALSE(window.ControlAs<QAbstractButton>(3)->isChecked()) << "the radios stay one group";
}

}  // namespace
}  // namespace velmora::test
