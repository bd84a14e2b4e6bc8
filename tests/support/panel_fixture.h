#pragma once
// A main window on the offscreen platform with a pseudo-terminal as COM 7:
// the test plays the switcher on the far end.

#include "app/main_window.h"
#include "gui_helpers.h"
#include "pages/message_box.h"
#include "pages/progress_popup.h"
#include "panel_logs.h"
#include "platform/combo_box.h"
#include "platform/slider.h"
#include "platform/timers.h"
#include "protocol/commands.h"
#include "res/main_ids.h"
#include "serial/pty_support.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <memory>

namespace velmora::test {

namespace c = ctl::main;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

inline constexpr int kPanelPort = 7;

inline Bytes FrameVector(const protocol::FrameBytes& f) { return {f.begin(), f.end()}; }

// The main window's controls by id, as an operator reaches them.
class PanelControls {
protected:
    template <class T>
    T* Ctl(int id)
    {
        return panel->ControlAs<T>(id);
    }
    platform::ComboBox* List(int id) { return Ctl<platform::ComboBox>(id); }
    QAbstractButton* Button(int id) { return Ctl<QAbstractButton>(id); }
    void Choose(int listId, int position)
    {
        List(listId)->SetCurSel(position);
        emit List(listId)->activated(position);
    }

    std::unique_ptr<app::CVelmoraDlg> panel;
};

class PanelTest : public ::testing::Test, protected PanelControls {
protected:
    void SetUp() override
    {
        platform::TimerScheduler::Instance().UseManualClock(true);
        pages::MessageText().clear();  // as at the program's start
        pty = std::make_unique<serial_test::PtyPair>(kPanelPort);
        panel = std::make_unique<app::CVelmoraDlg>();
        panel->show();
    }
    void TearDown() override
    {
        panel.reset();
        pty.reset();
        platform::TimerScheduler::Instance().UseManualClock(false);
    }

    void Advance(int ms) { platform::TimerScheduler::Instance().Advance(ms); }

    // Selects the pty's entry and clicks Connect; the panel asks for the General status at once.
    void Connect()
    {
        auto* ports = List(c::kPortList);
        const int entry = ports->FindStringExact(QStringLiteral("COM%1").arg(kPanelPort));
        ASSERT_GE(entry, 0) << "the pty is listed";
        ports->SetCurSel(entry);
        Button(c::kComConnect)->click();
        ASSERT_TRUE(panel->Connection().ComOpen());
        EXPECT_EQ(ReadFrame(), FrameVector(protocol::MakeFrame(protocol::kGeneralStatus)));
    }

    // Reads from the far end while the panel keeps handling its events (the
    // serial worker waits for the window to take each byte it delivers).
    Bytes ReadFrame(std::size_t size = protocol::kFrameSize, std::chrono::milliseconds limit = 3000ms)
    {
        Bytes got;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (got.size() < size && std::chrono::steady_clock::now() < deadline) {
            const auto part = pty->ReadMaster(size - got.size(), 5ms);
            got.insert(got.end(), part.begin(), part.end());
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return got;
    }
    // Nothing more arrives on the line for a while.
    bool LineQuiet() { return ReadFrame(1, 150ms).empty(); }

    void Answer(const protocol::FrameBytes& frame)
    {
        const int before = panel->ReceiveLogFrames();
        ASSERT_TRUE(pty->WriteMaster(FrameVector(frame)));
        ASSERT_TRUE(PumpUntil([&] { return panel->ReceiveLogFrames() != before; }));
    }
    // The switcher's echo of a frame just read.
    void Acknowledge(const Bytes& frame)
    {
        ASSERT_EQ(frame.size(), protocol::kFrameSize);
        protocol::FrameBytes echo{};
        std::copy(frame.begin(), frame.end(), echo.begin());
        Answer(echo);
    }

    Bytes Frame(protocol::Command command, std::initializer_list<std::pair<std::size_t, std::uint8_t>> params = {})
    {
        return FrameVector(protocol::MakeFrame(command, params));
    }
    QString SendLog() { return LogText(*panel, c::kSendLog); }

    std::unique_ptr<serial_test::PtyPair> pty;
};

// A page window, connected: the page's tab is chosen and its status query read and answered.
class PageTest : public PanelTest {
protected:
    void OpenPage(int tabId, protocol::Command statusQuery, const protocol::FrameBytes& status)
    {
        Connect();
        Answer(protocol::MakeFrame(protocol::kGeneralStatus));
        ClickChildOf(panel.get(), Ctl<QWidget>(tabId));
        page = panel->Pages().Existing(panel->CurrentPage());
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(ReadFrame(), FrameVector(protocol::MakeFrame(statusQuery)));
        Answer(status);
    }

    template <class T>
    T* PageCtl(int id)
    {
        return page->ControlAs<T>(id);
    }
    QAbstractButton* PageButton(int id) { return PageCtl<QAbstractButton>(id); }
    QString BoxText(int id) { return PageCtl<QLineEdit>(id)->text(); }

    // Presses and lets go of the slider's thumb where it stands: the setting goes out at its position.
    void ClickThumb(int sliderId)
    {
        auto* slider = PageCtl<platform::Slider>(sliderId);
        Click(slider, ThumbRect(slider).center());
    }
    // A press at the far end of the channel: one page step towards it.
    void ClickChannelEnd(int sliderId)
    {
        auto* slider = PageCtl<platform::Slider>(sliderId);
        Click(slider, QPoint(slider->width() - 2, slider->height() / 2));
    }

    pages::PageWindow* page = nullptr;
};

}  // namespace velmora::test
