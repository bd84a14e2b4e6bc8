// The panel on a screen scaled by 2 (this program sets QT_SCALE_FACTOR=2):
// the title band, the title buttons' icons and the bitmaps are drawn at the
// screen's resolution, not drawn at scale 1 and stretched.

#include "app/main_window.h"
#include "app/tab_strip.h"
#include "pages/message_box.h"
#include "res/artwork.h"
#include "res/main_ids.h"
#include "res/message_ids.h"
#include "res/resource_ids.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace velmora::test {
namespace {

constexpr qreal kScale = 2.0;

// Set before main() makes the application object, which reads it.
const bool kScaledScreen = qputenv("QT_SCALE_FACTOR", "2");

// Drawn at scale 1 and stretched, every 2 x 2 block of device pixels that
// covers one logical pixel is one colour; drawn at scale 2, edges fall inside
// blocks. Counts the blocks of `logical` that are not one colour.
int FineBlocks(const QImage& image, const QRect& logical)
{
    int fine = 0;
    for (int y = logical.top(); y <= logical.bottom(); ++y) {
        for (int x = logical.left(); x <= logical.right(); ++x) {
            const QRgb a = image.pixel(2 * x, 2 * y);
            fine += a != image.pixel(2 * x + 1, 2 * y) || a != image.pixel(2 * x, 2 * y + 1) ||
                    a != image.pixel(2 * x + 1, 2 * y + 1);
        }
    }
    return fine;
}

TEST(ScaledScreen, TitleBandTitleButtonsAndTabsAreDrawnAtTheScreensResolution)
{
    ASSERT_TRUE(kScaledScreen);
    ASSERT_EQ(qApp->devicePixelRatio(), kScale);
    app::CVelmoraDlg panel;
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    const QImage image = panel.grab().toImage();
    ASSERT_EQ(image.size(), panel.size() * kScale);
    EXPECT_GT(FineBlocks(image, app::kTitleTextRect), 20) << "the title text";

    QWidget* close = panel.Control(ctl::main::kClose);
    EXPECT_GT(FineBlocks(image, close->geometry()), 4) << "the close glyph";
    QWidget* video = panel.Control(ctl::main::kTabVideo);
    EXPECT_GT(FineBlocks(image, QRect(video->mapTo(&panel, QPoint(0, 0)), video->size())), 4) << "a tab label";
}

TEST(ScaledScreen, BitmapsAndIconsAreDrawnForTheScale)
{
    for (const int id : {res::kMessageBitmap, res::kCheckMarkBitmap}) {
        const QPixmap bitmap = res::Bitmap(id, kScale);
        EXPECT_EQ(bitmap.deviceIndependentSize().toSize(), res::BitmapSize(id)) << id;
        EXPECT_EQ(bitmap.size(), res::BitmapSize(id) * kScale) << id;
        EXPECT_GT(FineBlocks(bitmap.toImage(), QRect(QPoint(0, 0), res::BitmapSize(id))), 10) << id;
    }
    for (const int id :
         {res::kAppIcon, res::kCloseIcon, res::kCloseHoverIcon, res::kMinimizeIcon, res::kMinimizeHoverIcon}) {
        const QPixmap icon = res::IconSet(id).pixmap(QSize(16, 16), kScale);
        EXPECT_EQ(icon.size(), QSize(32, 32)) << id;
        EXPECT_GT(FineBlocks(icon.toImage(), QRect(0, 0, 16, 16)), 4) << id;
    }
}

TEST(ScaledScreen, MessageBoxPaintsAtTheScreensResolution)
{
    pages::CMessageDlg box(false);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.PaintBackground().devicePixelRatio(), kScale);
    const QPixmap picture = box.ControlAs<QLabel>(ctl::message::kPicture)->pixmap();
    EXPECT_EQ(picture.devicePixelRatio(), kScale);
    EXPECT_EQ(picture.size(), res::BitmapSize(res::kMessageBitmap) * kScale);
}

}  // namespace
}  // namespace velmora::test
