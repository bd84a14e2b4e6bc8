// The hex logs keep their text without laying out what nobody sees; the main
// window repaints only what changed, and a part painted alone looks as in the whole.

#include "app/log_view.h"
#include "appdefs/timer_ids.h"
#include "panel_fixture.h"
#include "protocol/hex_log.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

namespace velmora::test {
namespace {

constexpr int kLogId = 4242;

// The log as the edit was always filled: each piece at the end, "\r\n" as the line break.
class ReferenceLogView : public protocol::LogView {
public:
    void Append(std::string_view text) override
    {
        QString piece = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        piece.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QTextCursor cursor(edit.document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(piece);
    }
    void Clear() override { edit.clear(); }
    QPlainTextEdit edit;
};

std::vector<std::uint8_t> SomeFrame(unsigned k)
{
    std::vector<std::uint8_t> frame(protocol::kFrameSize);
    for (std::size_t i = 0; i < frame.size(); ++i) {
        frame[i] = static_cast<std::uint8_t>(k * 37 + i * 11);
    }
    return frame;
}

class HexLogView : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(200, 120);
        edit = new QPlainTextEdit(&window);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);  // as the main window's logs
        edit->setGeometry(330, 10, 230, 90);  // right of the window's edge, as in the main window
        window.RegisterControl(kLogId, edit);
        window.show();
    }

    platform::Window window;
    QPlainTextEdit* edit = nullptr;
    app::EditLogView view{window, kLogId};
};

TEST_F(HexLogView, TextIsExactlyAsBeforeThroughEveryEmptyingAndNothingUnseenIsLaidOut)
{
    ReferenceLogView reference;
    // Line breaks wherever they fall.
    for (const std::string_view piece :
         {"0A \r\n", "1B\r", "\n2C ", "\r\r\n", "\n\n", "3D\r\n4E\r\n", "\r", "", "71"}) {
        view.Append(piece);
        reference.Append(piece);
        view.Flush();
        ASSERT_EQ(edit->toPlainText(), reference.edit.toPlainText()) << testing::PrintToString(piece);
    }
    protocol::ReceiveLog receive(view);
    protocol::ReceiveLog expectedReceive(reference);
    protocol::SendLog send(view);
    protocol::SendLog expectedSend(reference);
    for (unsigned k = 0; k < 150; ++k) {
        const auto frame = SomeFrame(k);
        if (k % 7 == 3) {
            // A command of an odd length, as the factory reset's 13 bytes.
            send.Append(std::span(frame).first(13));
            expectedSend.Append(std::span(frame).first(13));
        } else if (k % 5 == 1) {
            receive.AppendDatagram(std::span(frame).first(k % 18 + 1));
            expectedReceive.AppendDatagram(std::span(frame).first(k % 18 + 1));
        } else {
            receive.AppendFrame(frame);
            expectedReceive.AppendFrame(frame);
        }
        view.Flush();
        ASSERT_EQ(edit->toPlainText(), reference.edit.toPlainText()) << "after entry " << k;
    }
    EXPECT_EQ(edit->document()->blockCount(), reference.edit.document()->blockCount());
    EXPECT_TRUE(view.LayoutDeferred());
    // The edit's own emptying may lay out the one empty line it leaves; what
    // was added after it never is.
    for (QTextBlock block = edit->document()->begin().next(); block.isValid(); block = block.next()) {
        ASSERT_EQ(block.layout()->lineCount(), 0) << "line " << block.blockNumber() << " was laid out unseen";
    }
}

// What makes a log nobody could see or read put its waiting text in.
const std::pair<const char*, std::function<void(QPlainTextEdit&)>> kLogComesIntoUse[] = {
    {"painted", [](QPlainTextEdit& edit) { edit.viewport()->grab(); }},
    {"focused",
     [](QPlainTextEdit& edit) {
         QFocusEvent in(QEvent::FocusIn);
         QCoreApplication::sendEvent(&edit, &in);
     }},
    {"assistive technology listens", [](QPlainTextEdit&) { QAccessible::setActive(true); }},
};

TEST_F(HexLogView, TextWaitsWhileNobodyCanSeeOrReadTheLogAndGoesInWhenSomeoneCan)
{
    protocol::ReceiveLog receive(view);
    ReferenceLogView reference;
    protocol::ReceiveLog expected(reference);
    for (const auto& [use, bringIntoUse] : kLogComesIntoUse) {
        SCOPED_TRACE(use);
        const QString before = edit->toPlainText();
        for (unsigned k = 0; k < 3; ++k) {
            receive.AppendFrame(SomeFrame(k));
            expected.AppendFrame(SomeFrame(k));
        }
        view.FlushIfObserved();
        QCoreApplication::processEvents();
        EXPECT_TRUE(view.TextWaiting());
        EXPECT_EQ(edit->toPlainText(), before);

        bringIntoUse(*edit);
        EXPECT_FALSE(view.TextWaiting());
        EXPECT_EQ(edit->toPlainText(), reference.edit.toPlainText());
    }
}

TEST_F(HexLogView, ALogThatComesIntoSightTakesNewTextAtOnce)
{
    protocol::ReceiveLog receive(view);
    receive.AppendFrame(SomeFrame(0));
    QCoreApplication::processEvents();
    ASSERT_TRUE(view.TextWaiting());
    view.Clear();  // emptied unseen: nothing waits when it is painted
    edit->move(0, 0);
    edit->viewport()->grab();
    QCoreApplication::processEvents();  // every paint due is done

    receive.AppendFrame(SomeFrame(1));
    EXPECT_TRUE(PumpUntil([&] { return !view.TextWaiting(); }));
    EXPECT_EQ(edit->document()->blockCount(), 2);
}

TEST_F(HexLogView, TextComingIntoSightIsLaidOutBeforeItIsPainted)
{
    protocol::ReceiveLog receive(view);
    for (unsigned k = 0; k < 5; ++k) {
        receive.AppendFrame(SomeFrame(k));
    }
    view.Flush();
    ASSERT_TRUE(view.LayoutDeferred());

    edit->move(0, 0);
    const QImage seen = edit->viewport()->grab().toImage();
    EXPECT_FALSE(view.LayoutDeferred());
    const QTextBlock first = edit->document()->firstBlock();
    ASSERT_NE(first.layout(), nullptr);
    EXPECT_GT(first.layout()->lineCount(), 0);
    const QRgb background = seen.pixel(seen.width() - 1, seen.height() - 1);
    bool inked = false;
    for (int y = 0; y < seen.height(); ++y) {
        for (int x = 0; x < seen.width(); ++x) {
            inked = inked || seen.pixel(x, y) != background;
        }
    }
    EXPECT_TRUE(inked) << "the lines are painted";

    // While it can be seen, each line is laid out as it comes.
    receive.AppendFrame(SomeFrame(9));
    view.Flush();
    EXPECT_FALSE(view.LayoutDeferred());
}

// ---- painting --------------------------------------------------------------

// Collects the parts of a widget that get painted.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++paints;
        }
        return false;
    }
    QRegion painted;
    int paints = 0;
};

using MainWindowPaint = PanelTest;

TEST_F(MainWindowPaint, AnInputButtonMarkedRepaintsOnlyItsPlace)
{
    PaintWatch watch(panel.get());
    ASSERT_TRUE(PumpUntil([&] { return watch.paints > 0; })) << "first paint";
    panel->repaint();  // whatever else was due is painted now
    watch.painted = {};
    watch.paints = 0;

    Button(c::kDp)->setChecked(true);
    ASSERT_TRUE(PumpUntil([&] { return watch.paints > 0; }));
    const QRect place = Ctl<QWidget>(c::kDp)->geometry();
    EXPECT_TRUE(watch.painted.boundingRect().intersects(place));
    EXPECT_TRUE(watch.painted.subtracted(place.adjusted(-2, -2, 2, 2)).isEmpty())
        << "painted " << watch.painted.boundingRect().x() << "," << watch.painted.boundingRect().y() << " "
        << watch.painted.boundingRect().width() << "x" << watch.painted.boundingRect().height();
}

// Connected with the status answered and everything painted: a paint
// watch counts what comes next. The window is widened to bring the logs into
// sight, so that their text is due at once and waits only for the answer.
class HeldPaint : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        panel->setFixedWidth(Ctl<QWidget>(c::kSendLog)->geometry().right() + 1);
        Connect();
        Answer(protocol::MakeFrame(protocol::kGeneralStatus));
        ASSERT_FALSE(panel->DrawingHeld());
        panel->repaint();
        watch = std::make_unique<PaintWatch>(panel.get());
    }
    bool Painted(int id) { return watch->painted.boundingRect().intersects(Ctl<QWidget>(id)->geometry()); }

    std::unique_ptr<PaintWatch> watch;
};

TEST_F(HeldPaint, AChainIsPaintedAfterItsLastAnswerNotBetweenItsCommands)
{
    using namespace protocol;
    Button(c::kHdmi2)->click();
    ASSERT_EQ(ReadFrame(),
              FrameVector(MakeFrame(kSelectInput, {{kInputByte, 2}, {kSelectInputFlagByte, kSelectInputByte7}})));
    EXPECT_TRUE(panel->DrawingHeld()) << "the click's repaint waits with the command";
    Answer(MakeFrame(kSelectInput, {{kInputByte, kInputAccepted}}));
    ASSERT_EQ(ReadFrame(), FrameVector(MakeFrame(kQueryAudioSource, {{kInputByte, 2}})));
    Answer(MakeFrame(kQueryAudioSource, {{kInputByte, 2}, {kAudioSourceByte, 0}}));
    ASSERT_EQ(ReadFrame(), FrameVector(MakeFrame(kInputChangeDone)));
    EXPECT_TRUE(panel->DrawingHeld());
    EXPECT_EQ(watch->paints, 0);

    Answer(MakeFrame(kInputChangeDone));
    ASSERT_TRUE(PumpUntil([&] { return watch->paints > 0; }));
    EXPECT_FALSE(panel->DrawingHeld());
    EXPECT_TRUE(Painted(c::kHdmi2));
    EXPECT_TRUE(Button(c::kHdmi2)->isChecked());
}

TEST_F(HeldPaint, AnAnswerThatNeverComesHoldsDrawingOnlyUntilTheLimit)
{
    Button(c::kHdmi3)->click();
    ASSERT_EQ(ReadFrame().size(), protocol::kFrameSize);
    platform::TimerScheduler::Instance().Advance(timer::kDrawingHoldMs - 1);
    EXPECT_TRUE(panel->DrawingHeld());
    EXPECT_EQ(watch->paints, 0);
    EXPECT_TRUE(panel->LogTextWaiting());
    platform::TimerScheduler::Instance().Advance(1);
    ASSERT_TRUE(PumpUntil([&] { return watch->paints > 0; }));
    EXPECT_TRUE(Painted(c::kHdmi3));
    EXPECT_FALSE(panel->LogTextWaiting());

    // The answer is still out, but nothing waits for it any more.
    Button(c::kVga)->setChecked(true);
    ASSERT_TRUE(PumpUntil([&] { return Painted(c::kVga); }));
    EXPECT_FALSE(panel->DrawingHeld());
}

TEST_F(HeldPaint, LogTextWaitsForTheChainAndGoesInWhole)
{
    using namespace protocol;
    const QString before = Ctl<QPlainTextEdit>(c::kSendLog)->toPlainText();
    Button(c::kHdmi2)->click();
    ASSERT_EQ(ReadFrame().size(), kFrameSize);
    EXPECT_TRUE(panel->LogTextWaiting());
    EXPECT_EQ(Ctl<QPlainTextEdit>(c::kSendLog)->toPlainText(), before) << "the command's line waits with the repaint";
    Answer(MakeFrame(kSelectInput, {{kInputByte, kInputAccepted}}));
    ASSERT_EQ(ReadFrame().size(), kFrameSize);
    Answer(MakeFrame(kQueryAudioSource, {{kInputByte, 2}, {kAudioSourceByte, 0}}));
    ASSERT_EQ(ReadFrame().size(), kFrameSize);
    Answer(MakeFrame(kInputChangeDone));
    ASSERT_TRUE(PumpUntil([&] { return !panel->LogTextWaiting(); }));
    const QString sent = Ctl<QPlainTextEdit>(c::kSendLog)->toPlainText().mid(before.size());
    EXPECT_EQ(sent.count('\n'), 3) << sent.toStdString();
    EXPECT_TRUE(sent.startsWith("50 56 54 02 03 ")) << sent.toStdString();
    EXPECT_EQ(Ctl<QPlainTextEdit>(c::kReceiveLog)->toPlainText().count('\n'), 4) << "the status and three answers";
}

TEST_F(HeldPaint, ClearingTheLogsDropsTheTextThatWaits)
{
    Button(c::kHdmi2)->click();
    ASSERT_EQ(ReadFrame().size(), protocol::kFrameSize);
    ASSERT_TRUE(panel->LogTextWaiting());
    Button(c::kClear)->click();
    EXPECT_FALSE(panel->LogTextWaiting());
    platform::TimerScheduler::Instance().Advance(timer::kDrawingHoldMs);
    ASSERT_FALSE(panel->DrawingHeld());
    EXPECT_TRUE(Ctl<QPlainTextEdit>(c::kSendLog)->toPlainText().isEmpty());
    EXPECT_TRUE(Ctl<QPlainTextEdit>(c::kReceiveLog)->toPlainText().isEmpty());
}

TEST_F(MainWindowPaint, PartsPaintedAloneLookAsInTheWholeWindow)
{
    const QImage whole = panel->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const int W = panel->width();
    const QRect parts[] = {
        {0, 0, 40, 12},  // the band's corner
        {W / 2 - 30, 4, 60, 20},  // the middle of the title
        Ctl<QWidget>(c::kDp)->geometry(),  // an input button
        {3, 20, W - 6, 30},  // across the band's lower edge
        {W - 8, 60, 8, 40},  // the right edge
    };
    for (const QRect& part : parts) {
        // render() puts the part's top-left corner at the given point.
        QImage alone(part.size(), QImage::Format_ARGB32);
        alone.fill(Qt::transparent);
        panel->render(&alone, QPoint(), QRegion(part));
        for (int y = part.top(); y <= part.bottom(); ++y) {
            for (int x = part.left(); x <= part.right(); ++x) {
                ASSERT_EQ(alone.pixel(x - part.left(), y - part.top()), whole.pixel(x, y)) << "at " << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace velmora::test
