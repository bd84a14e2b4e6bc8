// Windows built from templates: a list is named by the label on its closed
// field's row, not by one its dropped-down part reaches.

#include "platform/dialog_builder.h"
#include "platform/window.h"

#include <gtest/gtest.h>

using namespace velmora::platform;

namespace {

constexpr int kUpperList = 20;
constexpr int kLowerList = 21;

constexpr ControlTemplate kControls[] = {
    {kNoId, ControlKind::Label, "Upper", 10, 40, 30, 8},
    {kUpperList, ControlKind::DropList, "", 60, 39, 60, 30},
    {kNoId, ControlKind::Label, "Lower", 20, 60, 30, 8},
    {kLowerList, ControlKind::DropList, "", 60, 59, 60, 30},
};
constexpr DialogTemplate kTemplate{999, "", 130, 100, "MS Shell Dlg", 8, kControls};

}  // namespace

TEST(DialogBuilder, AListIsNamedByTheLabelOnItsClosedFieldsRow)
{
    Window window;
    BuildDialog(window, kTemplate);
    // The lower label is nearer, but only the upper list's dropped-down part reaches its row.
    EXPECT_EQ(window.Control(kUpperList)->accessibleName(), "Upper");
    EXPECT_EQ(window.Control(kLowerList)->accessibleName(), "Lower");
}
