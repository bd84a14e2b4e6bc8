// The message box on real widgets: where the text and the picture go for each
// text, the buttons of the plain and the question mode, the answers, a second
// show while one is open, the painted bands and the drag by the body.

#include "popup_steps.h"

#include "platform/dialog_units.h"
#include "res/message_ids.h"
#include "res/skin.h"
#include "res/templates.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
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

QPoint Dlu(int x, int y)
{
    const auto& t = res::MessageTemplate();
    const auto base = platform::BaseUnitsFor(t.font, t.pointSize);
    return {platform::DluToPixelsX(x, base), platform::DluToPixelsY(y, base)};
}

template <class T = QWidget>
T* Ctl(CMessageDlg* box, int id)
{
    return box->ControlAs<T>(id);
}

QString NameOf(QObject* object) { return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name); }

// Shows the box for `text` (as a question when asked), runs `check` while it
// is open, then closes it with the close button.
void WhileShowing(const QString& text, const std::function<void(CMessageDlg*)>& check, bool question = false)
{
    pages::MessageText() = text;
    auto step = WhenMessageBoxOpen([&](CMessageDlg* box) {
        check(box);
        Ctl<QAbstractButton>(box, c::kClose)->click();
    });
    question ? void(pages::AskQuestion(true)) : pages::ShowMessage();
    EXPECT_TRUE(step->Finished());
    EXPECT_FALSE(pages::MessageBoxShowing());
    EXPECT_FALSE(pages::ConfirmMode()) << "cleared after the question";
}

// The bounding box of the pixels inside `area` darker (or, for light text, lighter) than mid grey.
QRect InkBounds(const QImage& image, const QRect& area, bool light = false)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if ((qGray(image.pixel(x, y)) < 128) != light) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

TEST(MessageBoxLayout, EachTextGetsItsRectangleItsPictureAndItsButtonsAndIsDrawnCentred)
{
    const struct {
        QString text;
        QRect rect;  // left, top, right, bottom as the layout table gives them
        bool question;
    } cases[] = {
        {kConnectFailed, QRect(QPoint(100, 60), QPoint(254, 99)), false},
        {kResetQuestion, QRect(QPoint(50, 60), QPoint(319, 99)), true},
        {kPowerQuestion, QRect(QPoint(50, 60), QPoint(319, 99)), false},
        {kTimeOut, QRect(QPoint(100, 60), QPoint(219, 99)), false},
        // The comparison is exact: another case is "any other text".
        {QStringLiteral("connect to matrix failed!"), QRect(QPoint(100, 60), QPoint(219, 99)), false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.text.toStdString());
        WhileShowing(
            k.text,
            [&](CMessageDlg* box) {
                box->ApplyLayout();
                EXPECT_EQ(box->TextRect(), k.rect);
                const bool wide = k.rect.left() == 50;
                EXPECT_EQ(Ctl(box, c::kPicture)->pos(), wide ? QPoint(9, 60) : Dlu(26, 29));
                EXPECT_TRUE(Ctl(box, c::kPicture)->isVisible());
                EXPECT_EQ(Ctl(box, c::kOk)->pos(), k.question ? Dlu(94, 60) : Dlu(137, 60));
                EXPECT_EQ(Ctl(box, c::kCancel)->isVisible(), k.question);
                EXPECT_EQ(Ctl(box, c::kNoLongerRemind)->isVisible(), k.question);
                if (k.question) {
                    EXPECT_EQ(Ctl(box, c::kCancel)->pos(), Dlu(137, 60));
                }
                const QImage image = box->PaintBackground().toImage();
                const QRect ink = InkBounds(image, k.rect.intersected(image.rect()));
                ASSERT_FALSE(ink.isEmpty());
                EXPECT_NEAR(ink.center().x(), k.rect.center().x(), 3);
                EXPECT_NEAR(ink.center().y(), k.rect.center().y(), 3);
            },
            k.question);
    }
}

TEST(MessageBoxLook, PaintedBandsLinesCloseButtonAndBodyFollowingThePalette)
{
    WhileShowing(kTimeOut, [](CMessageDlg* box) {
        box->ApplyLayout();
        const int w = box->width();
        const int h = box->height();
        EXPECT_EQ(Ctl(box, c::kClose)->geometry(), QRect(w - 26, 1, 25, 25));
        QImage image = box->PaintBackground().toImage();
        EXPECT_EQ(image.pixelColor(w / 2, 12), res::kAccent) << "title band";
        for (const QPoint line : {QPoint(w / 2, 0), QPoint(0, 12), QPoint(w - 1, 12)}) {
            EXPECT_EQ(image.pixelColor(line), QColor(30, 120, 255)) << line.x() << "," << line.y();
        }
        EXPECT_EQ(image.pixelColor(w / 2, 40), QColor(Qt::white)) << "body";
        if (h > 122) {
            const QColor face = QApplication::palette().color(QPalette::Button);
            const QColor band((face.red() + 5) % 256, (face.green() + 10) % 256, face.blue());
            EXPECT_EQ(image.pixelColor(w / 2, h - 2), band) << "bottom band";
        }
        QPalette dark = QApplication::palette();
        dark.setColor(QPalette::Base, QColor(30, 30, 32));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        box->setPalette(dark);
        image = box->PaintBackground().toImage();
        EXPECT_EQ(image.pixelColor(w / 2, 40), QColor(30, 30, 32)) << "body";
        EXPECT_FALSE(InkBounds(image, box->TextRect().intersected(image.rect()), true).isEmpty())
            << "light text on the dark body";
    });
}

TEST(MessageBoxButtons, EachWayOfClosingGivesItsAnswer)
{
    const auto key = [](Qt::Key k) {
        return [k](CMessageDlg* box) {
            QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
            QCoreApplication::sendEvent(box, &press);
        };
    };
    // The key goes to the focused control, as the keyboard sends it.
    const auto focusedKey = [](int id, Qt::Key k = Qt::Key_Return) {
        return [id, k](CMessageDlg* box) {
            Ctl(box, id)->setFocus(Qt::TabFocusReason);
            QTest::keyClick(Ctl(box, id), k);
        };
    };
    const auto click = [](int id) { return [id](CMessageDlg* box) { Ctl<QAbstractButton>(box, id)->click(); }; };
    const struct {
        const char* name;
        std::function<void(CMessageDlg*)> close;
        int result;
    } ways[] = {
        {"Ok", click(c::kOk), 1},
        {"Cancel", click(c::kCancel), 2},
        {"close button", click(c::kClose), 2},
        {"Escape", key(Qt::Key_Escape), 2},
        {"Return", key(Qt::Key_Return), 1},
        {"Return on the focused Cancel", focusedKey(c::kCancel), 2},
        {"Return on the focused Ok", focusedKey(c::kOk), 1},
        {"Enter on the focused Cancel", focusedKey(c::kCancel, Qt::Key_Enter), 2},
        {"Return on the focused check box", focusedKey(c::kNoLongerRemind), 1},
        {"window closed", [](CMessageDlg* box) { box->close(); }, 2},
    };
    for (const auto& way : ways) {
        pages::MessageText() = kPowerQuestion;
        auto step = WhenMessageBoxOpen(way.close);
        EXPECT_EQ(pages::AskQuestion(true), way.result) << way.name;
        EXPECT_TRUE(step->Finished()) << way.name;
        EXPECT_FALSE(pages::MessageBoxShowing()) << way.name;
        EXPECT_EQ(VisibleWindows<CMessageDlg>(), 0) << way.name;
    }
}

TEST(MessageBoxButtons, NoLongerRemindFollowsEveryClickAndANewShowingStartsUnchecked)
{
    ASSERT_FALSE(pages::SkipResetConfirm());
    WhileShowing(
        kResetQuestion,
        [](CMessageDlg* box) {
            auto* remind = Ctl<QAbstractButton>(box, c::kNoLongerRemind);
            remind->click();
            EXPECT_TRUE(pages::SkipResetConfirm());
            EXPECT_TRUE(box->isVisible()) << "the box stays open";
            remind->click();
            EXPECT_FALSE(pages::SkipResetConfirm());
            remind->click();
        },
        true);
    EXPECT_TRUE(pages::SkipResetConfirm()) << "whatever closes the box";
    WhileShowing(kResetQuestion,
                 [](CMessageDlg* box) { EXPECT_FALSE(Ctl<QAbstractButton>(box, c::kNoLongerRemind)->isChecked()); });
}

TEST(MessageBoxReentry, SecondShowReplacesTheTextAndItsNameAndOpensNoSecondBox)
{
    pages::MessageText() = kConnectFailed;
    int questionWhileOpen = -1;
    auto step = WhenMessageBoxOpen([&](CMessageDlg* box) {
        EXPECT_EQ(QAccessible::queryAccessibleInterface(box)->role(), QAccessible::Dialog);
        EXPECT_EQ(NameOf(box), kConnectFailed) << "the text reaches screen readers";
        pages::MessageText() = kTimeOut;
        pages::ShowMessage();  // returns at once
        EXPECT_EQ(NameOf(box), kTimeOut);
        EXPECT_EQ(VisibleWindows<CMessageDlg>(), 1);
        EXPECT_EQ(pages::OpenMessageBox(), box);
        EXPECT_EQ(box->TextRect().right(), 219) << "the open box takes the new text's layout";
        questionWhileOpen = pages::AskQuestion(true);
        EXPECT_EQ(VisibleWindows<CMessageDlg>(), 1);
        EXPECT_FALSE(Ctl(box, c::kCancel)->isVisible()) << "the open box keeps its own mode";
        Ctl<QAbstractButton>(box, c::kOk)->click();
    });
    pages::ShowMessage();
    EXPECT_TRUE(step->Finished());
    EXPECT_EQ(questionWhileOpen, 0) << "a question while a box is open is dropped";
    EXPECT_FALSE(pages::MessageBoxShowing());
}

TEST(MessageBoxPlace, CentredOnTheScreenOrItsOwnerAndMovedByADragOnTheBody)
{
    ASSERT_EQ(platform::MainWindow(), nullptr);
    WhileShowing(kTimeOut, [](CMessageDlg* box) {
        const QPoint centre = box->screen()->availableGeometry().center();
        EXPECT_LE((box->frameGeometry().center() - centre).manhattanLength(), 2);
        const QPoint before = box->pos();
        const QPoint grab(40, 50);  // body, away from every control
        ASSERT_EQ(box->childAt(grab), nullptr);
        const QPoint from = box->mapToGlobal(grab);
        const QPoint to = from + QPoint(30, 20);
        const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(box->mapFromGlobal(at)), QPointF(at), button, held, Qt::NoModifier);
            QCoreApplication::sendEvent(box, &event);
        };
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        EXPECT_EQ(box->pos(), before + QPoint(30, 20));
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

}  // namespace
}  // namespace velmora::test
