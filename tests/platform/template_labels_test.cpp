// Which label names which control of a template, as screen readers are told
// through Qt (a label's buddy): the label beside a control on the row of its
// field, else the one just above it, nothing farther; the template's own
// table where the places leave it open; and controls placed outside the
// window are no Tab stops.

#include "platform/dialog_builder.h"
#include "platform/window.h"

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
};
constexpr platform::LabelFor kLabels[] = {{"Override", 18}};
constexpr platform::DialogTemplate kTemplate{901, "Labels", 260, 140, "微软雅黑", 9, kControls, kLabels};

QAccessibleInterface* Iface(platform::Window& window, int id)
{
    return QAccessible::queryAccessibleInterface(window.Control(id));
}

QString LabelledBy(platform::Window& window, int id)
{
    const auto labels = Iface(window, id)->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
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
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LabelledBy(window, c.id), c.label) << c.why;
        if (*c.label) {
            EXPECT_EQ(Iface(window, c.id)->text(QAccessible::Name), c.label) << c.why;
        }
    }
    EXPECT_EQ(window.ControlAs<QLabel>(17)->buddy(), nullptr) << "a label names one control at most";
    EXPECT_EQ(Iface(window, 20)->text(QAccessible::Name), "Go") << "a button names itself";
    EXPECT_EQ(Iface(window, 10)->text(QAccessible::Name), "Port") << "a label reads its text";
}

TEST(TemplateLabels, ControlsOutsideTheWindowAreNoTabStops)
{
    platform::Window window;
    platform::BuildDialog(window, kTemplate);
    EXPECT_EQ(window.Control(21)->focusPolicy(), Qt::NoFocus);
    EXPECT_NE(window.Control(20)->focusPolicy() & Qt::TabFocus, 0);
    EXPECT_NE(window.Control(11)->focusPolicy() & Qt::TabFocus, 0);
}

}  // namespace
}  // namespace velmora::test
