#pragma once
// A main window on the offscreen platform with a pseudo-terminal as COM 7:
// the test plays the switcher on the far end.

#include "app/main_window.h"
#include "gui_helpers.h"
#include "pages/message_box.h"
#include "pages/progress_popup.h"
#include "panel_logs.h"
#include "platform/combo_box.h"
#include "platform/timers.h"
#include "protocol/commands.h"
#include "res/main_ids.h"
#include "serial/pty_support.h"

#include <QAbstractButton>
#include <QPlainTextEdit>

#include <memory>

namespace velmora::test {

namespace c = ctl::main;
using namespace std::chrono_literals;

inline constexpr int kPanelPort = 7;

inline std::vector<std::uint8_t> FrameVector(const protocol::FrameBytes& f) { return {f.begin(), f.end()}; }

class PanelTest : public ::testing::Test {
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

    template <class T>
    T* Ctl(int id)
    {
        return panel->ControlAs<T>(id);
    }
    platform::ComboBox* List(int id) { return Ctl<platform::ComboBox>(id); }
    QAbstractButton* Button(int id) { return Ctl<QAbstractButton>(id); }

    // Selects the pty's entry and clicks Connect; the panel asks for the
    // General status at once.
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
    std::vector<std::uint8_t> ReadFrame(std::size_t size = protocol::kFrameSize,
                                        std::chrono::milliseconds limit = 3000ms)
    {
        std::vector<std::uint8_t> got;
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

    QString SendLog() { return LogText(*panel, c::kSendLog); }

    std::unique_ptr<serial_test::PtyPair> pty;
    std::unique_ptr<app::CVelmoraDlg> panel;
};

}  // namespace velmora::test
