// A group box under controls that change: its even inside is filled
// rather than the whole box drawn again, looking as it always did.

#include "platform/dialog_builder.h"
#include "platform/group_box.h"
#include "platform/window.h"

#include "gui_helpers.h"

#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmora::platform;

namespace {

constexpr int kGroup = 30;
constexpr int kFirst = 31;
constexpr int kSecond = 32;

constexpr ControlTemplate kControls[] = {
    {kGroup, ControlKind::GroupBox, "INPUT", 6, 6, 150, 40},
    {kFirst, ControlKind::RadioButton, "HDMI 1", 14, 20, 50, 10},
    {kSecond, ControlKind::RadioButton, "DP", 80, 20, 50, 10},
};
constexpr DialogTemplate kTemplate{998, "", 170, 60, "MS Shell Dlg", 8, kControls};

class GroupBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildDialog(window, kTemplate);
        window.show();
        group = window.ControlAs<GroupBox>(kGroup);
        ASSERT_NE(group, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        group->repaint();  // painted whole
    }
    QRadioButton* Radio(int id) { return window.ControlAs<QRadioButton>(id); }

    Window window;
    GroupBox* group = nullptr;
};

TEST_F(GroupBoxTest, ItsEvenInsideIsFoundOncePerSizeAndTitle)
{
    const QRect inside = group->Inside();
    ASSERT_FALSE(inside.isEmpty()) << "the style draws an even inside";
    const QRect first = Radio(kFirst)->geometry().translated(-group->pos());
    EXPECT_TRUE(inside.contains(first)) << "the buttons lie inside";
    EXPECT_FALSE(inside.contains(QRect(0, 0, 8, 8))) << "the frame's corner is no part of it";
    const int measured = group->Measured();
    for (int i = 0; i < 4; ++i) {
        Radio(kFirst)->setChecked(i % 2 == 0);
        Radio(kSecond)->setChecked(i % 2 != 0);
        group->repaint(first);
    }
    EXPECT_EQ(group->Measured(), measured) << "changes inside it need no new look";

    // Each change repaints the whole box first (which needs no inside).
    group->setTitle("OUTPUT");
    group->repaint();
    group->repaint(first);
    EXPECT_EQ(group->Measured(), measured + 1) << "a new title";
    group->resize(group->width() + 10, group->height());
    group->repaint();
    group->repaint(first);
    EXPECT_EQ(group->Measured(), measured + 2) << "a new size";
}

TEST_F(GroupBoxTest, PartsPaintedAloneLookAsTheBoxPaintedWhole)
{
    const QImage whole = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRect box = group->geometry();
    const QRect parts[] = {
        Radio(kFirst)->geometry(),
        {box.left(), box.top(), box.width(), 12},  // frame and title
        group->Inside().translated(box.topLeft()),  // all of the inside
    };
    for (const QRect& part : parts) {
        // render() puts the part's top-left corner at the given point.
        QImage alone(part.size(), QImage::Format_ARGB32);
        alone.fill(Qt::transparent);
        window.render(&alone, QPoint(), QRegion(part));
        for (int y = part.top(); y <= part.bottom(); ++y) {
            for (int x = part.left(); x <= part.right(); ++x) {
                ASSERT_EQ(alone.pixel(x - part.left(), y - part.top()), whole.pixel(x, y)) << "at " << x << "," << y;
            }
        }
    }
}

}  // namespace
