// The message box on real widgets: where the text and the picture go for each
// text, the buttons of the plain and the question mode, the answers, a second
// show while one is open, the painted bands and the drag by the body.

#include "popup_steps.h"

#include "platform/dialog_units.h"
#include "res/message_ids.h"
#include "res/skin.h"
#include "res/templates.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>

namespace velmora::test {
namespace {

namespace c = ctl::message;
using pages::CMessageDlg;

const QString kConnectFailed = QStringLiteral("Connect to Matrix failed!");
const QString kResetQuestion = QStringLiteral("Do you want to reset to factory settings?");
const QString kPowerQuestion = QStringLiteral("Are you sure you want to power off?");
const QString kTimeOut = QStringLiteral("Time out!");

int DluX(int dlu)
{
    const auto& t = res::MessageTemplate();
    return platform::DluToPixelsX(dlu, platform::BaseUnitsFor(t.font, t.pointSize));
}

int DluY(int dlu)
{
    const auto& t = res::MessageTemplate();
    return platform::DluToPixelsY(dlu, platform::BaseUnitsFor(t.font, t.pointSize));
}

template <class T = QWidget>
T* Ctl(CMessageDlg* box, int id)
{
    return box->ControlAs<T>(id);
}

// Shows the box for `text` through ShowMessage, runs `check` while it is open,
// then closes it with the close button.
void WhileShowing(const QString& text, const std::function<void(CMessageDlg*)>& check)
{
    pages::MessageText() = text;
    auto step = WhenMessageBoxOpen([&](CMessageDlg* box) {
        check(box);
        Ctl<QAbstractButton>(box, c::kClose)->click();
    });
    pages::ShowMessage();
    EXPECT_TRUE(step->Ran());
    EXPECT_FALSE(pages::MessageBoxShowing());
}

// The bounding box of the dark (text) pixels inside `area` of a painted box.
QRect InkBounds(const QImage& image, const QRect& area)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

struct LayoutCase {
    QString text;
    QRect rect;  // left, top, right, bottom as the layout table gives them
    bool pictureMoved;
};

TEST(MessageBoxLayout, EachTextGetsItsRectangleAndPicturePlace)
{
    const QPoint templatePicture(DluX(26), DluY(29));
    const std::vector<LayoutCase> cases = {
        {kConnectFailed, QRect(QPoint(100, 60), QPoint(254, 99)), false},
        {kResetQuestion, QRect(QPoint(50, 60), QPoint(319, 99)), true},
        {kPowerQuestion, QRect(QPoint(50, 60), QPoint(319, 99)), true},
        {kTimeOut, QRect(QPoint(100, 60), QPoint(219, 99)), false},
        {QStringLiteral("Open COM failed!"), QRect(QPoint(100, 60), QPoint(219, 99)), false},
        // The comparison is exact: another case is "any other text".
        {QStringLiteral("connect to matrix failed!"), QRect(QPoint(100, 60), QPoint(219, 99)), false},
    };
    for (const LayoutCase& expected : cases) {
        WhileShowing(expected.text, [&](CMessageDlg* box) {
            box->ApplyLayout();
            EXPECT_EQ(box->TextRect(), expected.rect) << expected.text.toStdString();
            const QPoint picture = Ctl(box, c::kPicture)->pos();
            EXPECT_EQ(picture, expected.pictureMoved ? QPoint(9, 60) : templatePicture) << expected.text.toStdString();
        });
    }
}

TEST(MessageBoxLayout, TextIsDrawnCentredInItsRectangle)
{
    for (const QString& text : {kTimeOut, kConnectFailed}) {
        WhileShowing(text, [&](CMessageDlg* box) {
            box->ApplyLayout();
            const QImage image = box->PaintBackground().toImage();
            const QRect rect = box->TextRect();
            const QRect ink = InkBounds(image, rect.intersected(image.rect()));
            ASSERT_FALSE(ink.isEmpty()) << text.toStdString();
            EXPECT_NEAR(ink.center().x(), rect.center().x(), 3) << text.toStdString();
            EXPECT_NEAR(ink.center().y(), rect.center().y(), 3) << text.toStdString();
        });
    }
}

TEST(MessageBoxLayout, PaintedBandsLinesAndCloseButton)
{
    WhileShowing(kTimeOut, [](CMessageDlg* box) {
        box->ApplyLayout();
        const int w = box->width();
        const int h = box->height();
        EXPECT_EQ(Ctl(box, c::kClose)->geometry(), QRect(w - 26, 1, 25, 25));

        const QImage image = box->PaintBackground().toImage();
        EXPECT_EQ(QColor(image.pixel(w / 2, 12)), res::kAccent) << "title band";
        EXPECT_EQ(QColor(image.pixel(w / 2, 0)), QColor(30, 120, 255)) << "top line";
        EXPECT_EQ(QColor(image.pixel(0, 12)), QColor(30, 120, 255)) << "left line";
        EXPECT_EQ(QColor(image.pixel(w - 1, 12)), QColor(30, 120, 255)) << "right line";
        EXPECT_EQ(QColor(image.pixel(w / 2, 40)), QColor(Qt::white)) << "body";
        if (h > 122) {
            const QColor face = QApplication::palette().color(QPalette::Button);
            const QColor band((face.red() + 5) % 256, (face.green() + 10) % 256, face.blue());
            EXPECT_EQ(QColor(image.pixel(w / 2, h - 2)), band) << "bottom band";
        }
    });
}

TEST(MessageBoxButtons, PlainModeHasOkOnTheRightAndNoCancel)
{
    WhileShowing(kTimeOut, [](CMessageDlg* box) {
        EXPECT_EQ(Ctl(box, c::kOk)->x(), DluX(137));
        EXPECT_EQ(Ctl(box, c::kOk)->y(), DluY(60));
        EXPECT_FALSE(Ctl(box, c::kCancel)->isVisible());
        EXPECT_FALSE(Ctl(box, c::kNoLongerRemind)->isVisible());
        EXPECT_TRUE(Ctl(box, c::kPicture)->isVisible());
    });
}

TEST(MessageBoxButtons, QuestionModeSwapsOkAndCancel)
{
    pages::MessageText() = kResetQuestion;
    auto step = WhenMessageBoxOpen([](CMessageDlg* box) {
        EXPECT_EQ(Ctl(box, c::kOk)->x(), DluX(94));
        EXPECT_EQ(Ctl(box, c::kCancel)->x(), DluX(137));
        EXPECT_EQ(Ctl(box, c::kOk)->y(), Ctl(box, c::kCancel)->y());
        EXPECT_TRUE(Ctl(box, c::kCancel)->isVisible());
        EXPECT_TRUE(Ctl(box, c::kNoLongerRemind)->isVisible());
        Ctl<QAbstractButton>(box, c::kCancel)->click();
    });
    EXPECT_EQ(pages::AskQuestion(true), 2);
    EXPECT_TRUE(step->Ran());
    EXPECT_FALSE(pages::ConfirmMode()) << "cleared after the question";
}

TEST(MessageBoxButtons, EachWayOfClosingGivesItsAnswer)
{
    struct Way {
        const char* name;
        std::function<void(CMessageDlg*)> close;
        int result;
    };
    const auto key = [](Qt::Key k) {
        return [k](CMessageDlg* box) {
            QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
            QCoreApplication::sendEvent(box, &press);
        };
    };
    // The key goes to the focused control, as the keyboard sends it.
    const auto focusedKey = [](int id, Qt::Key k) {
        return [id, k](CMessageDlg* box) {
            QWidget* control = Ctl(box, id);
            control->setFocus(Qt::TabFocusReason);
            QTest::keyClick(control, k);
        };
    };
    const auto focusedReturn = [&](int id) { return focusedKey(id, Qt::Key_Return); };
    const std::vector<Way> ways = {
        {"Ok", [](CMessageDlg* box) { Ctl<QAbstractButton>(box, c::kOk)->click(); }, 1},
        {"Cancel", [](CMessageDlg* box) { Ctl<QAbstractButton>(box, c::kCancel)->click(); }, 2},
        {"close button", [](CMessageDlg* box) { Ctl<QAbstractButton>(box, c::kClose)->click(); }, 2},
        {"Escape", key(Qt::Key_Escape), 2},
        {"Return", key(Qt::Key_Return), 1},
        {"Return on the focused Cancel", focusedReturn(c::kCancel), 2},
        {"Return on the focused Ok", focusedReturn(c::kOk), 1},
        {"Enter on the focused Cancel", focusedKey(c::kCancel, Qt::Key_Enter), 2},
        {"Return on the focused check box", focusedReturn(c::kNoLongerRemind), 1},
        {"window closed", [](CMessageDlg* box) { box->close(); }, 2},
    };
    for (const Way& way : ways) {
        pages::MessageText() = kPowerQuestion;
        auto step = WhenMessageBoxOpen(way.close);
        EXPECT_EQ(pages::AskQuestion(true), way.result) << way.name;
        EXPECT_TRUE(step->Ran()) << way.name;
        EXPECT_FALSE(pages::MessageBoxShowing()) << way.name;
        EXPECT_EQ(VisibleWindows<CMessageDlg>(), 0) << way.name;
    }
}

TEST(MessageBoxButtons, NoLongerRemindFollowsEveryClickWhateverCloses)
{
    ASSERT_FALSE(pages::SkipResetConfirm());
    pages::MessageText() = kResetQuestion;
    auto step = WhenMessageBoxOpen([](CMessageDlg* box) {
        auto* remind = Ctl<QAbstractButton>(box, c::kNoLongerRemind);
        remind->click();
        EXPECT_TRUE(pages::SkipResetConfirm());
        EXPECT_TRUE(box->isVisible()) << "the box stays open";
        remind->click();
        EXPECT_FALSE(pages::SkipResetConfirm());
        Ctl<QAbstractButton>(box, c::kCancel)->click();
    });
    EXPECT_EQ(pages::AskQuestion(true), 2);
    EXPECT_TRUE(step->Ran());

    // A new showing starts from the template: unchecked and, without the
    // question mode, hidden.
    WhileShowing(kTimeOut, [](CMessageDlg* box) {
        EXPECT_FALSE(Ctl<QAbstractButton>(box, c::kNoLongerRemind)->isChecked());
        EXPECT_FALSE(Ctl(box, c::kNoLongerRemind)->isVisible());
    });
}

TEST(MessageBoxReentry, SecondShowReplacesTheTextAndOpensNoSecondBox)
{
    pages::MessageText() = kConnectFailed;
    int questionWhileOpen = -1;
    auto step = WhenMessageBoxOpen([&](CMessageDlg* box) {
        EXPECT_EQ(box->TextRect().right(), 254);
        pages::MessageText() = kTimeOut;
        pages::ShowMessage();  // returns at once
        EXPECT_EQ(VisibleWindows<CMessageDlg>(), 1);
        EXPECT_EQ(pages::OpenMessageBox(), box);
        EXPECT_EQ(box->TextRect().right(), 219) << "the open box takes the new text's layout";
        questionWhileOpen = pages::AskQuestion(true);
        EXPECT_EQ(VisibleWindows<CMessageDlg>(), 1);
        EXPECT_FALSE(Ctl(box, c::kCancel)->isVisible()) << "the open box keeps its own mode";
        Ctl<QAbstractButton>(box, c::kOk)->click();
    });
    pages::ShowMessage();
    EXPECT_TRUE(step->Ran());
    EXPECT_EQ(questionWhileOpen, 0) << "a question while a box is open is dropped";
    EXPECT_FALSE(pages::MessageBoxShowing());
}

TEST(MessageBoxDrag, PressOnTheBodyMovesTheBox)
{
    WhileShowing(kTimeOut, [](CMessageDlg* box) {
        const QPoint before = box->pos();
        const QPoint grab(40, 50);  // body, away from every control
        ASSERT_EQ(box->childAt(grab), nullptr);
        const QPoint global = box->mapToGlobal(grab);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(grab), QPointF(global), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(box, &press);
        const QPoint to = global + QPoint(30, 20);
        QMouseEvent move(QEvent::MouseMove, QPointF(box->mapFromGlobal(to)), QPointF(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(box, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(box->mapFromGlobal(to)), QPointF(to), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &release);
        EXPECT_EQ(box->pos(), before + QPoint(30, 20));
    });
}

TEST(MessageBoxPlace, WithoutAnOwnerShownItOpensCentredOnTheScreen)
{
    ASSERT_EQ(platform::MainWindow(), nullptr);
    WhileShowing(kTimeOut, [](CMessageDlg* box) {
        const QPoint centre = box->screen()->availableGeometry().center();
        EXPECT_LE((box->frameGeometry().center() - centre).manhattanLength(), 2);
    });
    platform::Window owner;
    platform::SetMainWindow(&owner);
    owner.setGeometry(100, 80, 500, 400);
    owner.show();
    WhileShowing(kTimeOut, [&](CMessageDlg* box) {
        EXPECT_EQ(box->parentWidget(), &owner) << "owned by the main window";
        EXPECT_LE((box->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
    });
    platform::SetMainWindow(nullptr);
}

TEST(MessageBoxLook, BodyAndTextFollowThePalette)
{
    QPalette dark = QApplication::palette();
    dark.setColor(QPalette::Base, QColor(30, 30, 32));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    WhileShowing(kTimeOut, [&](CMessageDlg* box) {
        box->setPalette(dark);
        box->ApplyLayout();
        const QImage image = box->PaintBackground().toImage();
        EXPECT_EQ(image.pixelColor(box->width() / 2, 40), QColor(30, 30, 32)) << "body";
        int light = 0;
        const QRect text = box->TextRect().intersected(image.rect());
        for (int y = text.top(); y <= text.bottom(); ++y) {
            for (int x = text.left(); x <= text.right(); ++x) {
                light += qGray(image.pixel(x, y)) > 160;
            }
        }
        EXPECT_GT(light, 10) << "light text on the dark body";
    });
}

}  // namespace
}  // namespace velmora::test
