// Windows built from templates: a list is named by the label on its closed
// field's row, not by one its dropped-down part reaches.

#include "platform/dialog_builder.h"
#include "platform/window.h"

#include "gui_helpers.h"

#include <gtest/gtest.h>

using namespace velmora::platform;
using velmora::test::LabelOf;

namespace {

constexpr int kUpperList = 20;
constexpr int kLowerList = 21;

constexpr ControlTemplate kControls[] = {
    {kNoId, ControlKind::Label, "Upper", 25, 40, 30, 8},
    {kUpperList, ControlKind::DropList, "", 60, 39, 60, 30},
    {kNoId, ControlKind::Label, "Lower", 30, 60, 30, 8},
    {kLowerList, ControlKind::DropList, "", 60, 59, 60, 30},
};
constexpr DialogTemplate kTemplate{999, "", 130, 100, "MS Shell Dlg", 8, kControls};

}  // namespace

TEST(DialogBuilder, AListIsNamedByTheLabelOnItsClosedFieldsRow)
{
    Window window;
    BuildDialog(window, kTemplate);
    // The lower label is nearer, but only the upper list's dropped-down part reaches its row.
    EXPECT_EQ(LabelOf(window.Control(kUpperList)), "Upper");
    EXPECT_EQ(LabelOf(window.Control(kLowerList)), "Lower");
}
