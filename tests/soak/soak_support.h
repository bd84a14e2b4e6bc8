#pragma once
// What both soaks use: how many rounds they run, a receiver that records
// every reply the General page handles, the count of frames dispatched, and
// the program's threads and descriptors.

#include "app/main_window.h"
#include "appdefs/page_codes.h"
#include "gui_helpers.h"
#include "platform/combo_box.h"
#include "protocol/commands.h"
#include "res/main_ids.h"

#include <QWindow>
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <string>
#include <vector>

namespace velmora::test {

namespace c = ctl::main;
using namespace std::chrono_literals;

// Full length under the sanitizers (CI runs them there); a short run in
// the ordinary build keeps ./x test quick while still covering the path.
#if VELMORA_SOAK_FULL
inline constexpr int kPtyCycles = 200;
inline constexpr int kTcpReconnects = 100;
#else
inline constexpr int kPtyCycles = 20;
inline constexpr int kTcpReconnects = 10;
#endif

inline int CountEntries(const char* directory)
{
    int count = 0;
    if (DIR* dir = opendir(directory)) {
        while (const dirent* entry = readdir(dir)) {
            count += entry->d_name[0] != '.' ? 1 : 0;
        }
        closedir(dir);
    }
    return count;
}

// Threads of this program with the given name.
inline int ThreadsNamed(const std::string& name)
{
    int count = 0;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(dir)) {
            std::ifstream comm(std::string("/proc/self/task/") + entry->d_name + "/comm");
            std::string text;
            count += entry->d_name[0] != '.' && std::getline(comm, text) && text == name ? 1 : 0;
        }
        closedir(dir);
    }
    return count;
}

// Qt paints large areas with threads of a pool of its own, started at the
// first such paint and kept while painting goes on: a soak counts from a
// window painted once.
inline bool PaintOnce(QWidget& window)
{
    if (!PumpUntil([&] { return window.windowHandle() && window.windowHandle()->isExposed(); })) {
        return false;
    }
    window.repaint();
    return true;
}

struct ProcessCounts {
    int threads = CountEntries("/proc/self/task");
    int descriptors = CountEntries("/proc/self/fd");
    // Nothing more than at 'start'. Fewer is no leak: Qt ends the threads of
    // its pool (which painting may have started) after half a minute idle.
    bool NoMoreThan(const ProcessCounts& start) const
    {
        return threads <= start.threads && descriptors <= start.descriptors;
    }
};

// Class, command and first parameter: enough to tell the soak's answers apart.
struct Reply {
    std::uint8_t cls = 0;
    std::uint8_t cmd = 0;
    std::uint8_t value = 0;
    friend bool operator==(const Reply&, const Reply&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Reply& r)
    {
        return out << std::hex << int(r.cls) << ' ' << int(r.cmd) << ' ' << int(r.value) << std::dec;
    }
};

inline Reply ReplyOf(std::span<const std::uint8_t> frame)
{
    return {frame[protocol::kClassByte], frame[protocol::kCommandByte], frame[protocol::kFirstParam]};
}

// Stands in front of the General page while alive: every checked reply is
// recorded and then handled by the page as usual.
class RecordingReceiver : public protocol::ReplyReceiver {
public:
    explicit RecordingReceiver(app::CVelmoraDlg& panel) : panel_(panel)
    {
        panel_.Dispatcher().SetReceiver(page::kGeneral, this);
    }
    ~RecordingReceiver() override { panel_.Dispatcher().SetReceiver(page::kGeneral, &panel_.General()); }
    void HandleReply(std::span<const std::uint8_t, protocol::kFrameSize> frame) override
    {
        handled.push_back(ReplyOf(frame));
        panel_.General().HandleReply(frame);
    }
    std::vector<Reply> handled;

private:
    app::CVelmoraDlg& panel_;
};

// Frames dispatched (logged) since `before` was read, for fewer than the
// receive log's 60 entries.
inline int FramesSince(app::CVelmoraDlg& panel, int before)
{
    constexpr int kEntries = protocol::kLogEntriesBeforeClear;
    return (panel.ReceiveLogFrames() - before + kEntries) % kEntries;
}

// A General page list set to a position, as the operator's choice does;
// the reply the switcher echoes.
inline Reply ChooseFromList(app::CVelmoraDlg& panel, int listId, int position)
{
    auto* list = panel.ControlAs<platform::ComboBox>(listId);
    list->SetCurSel(position);
    emit list->activated(position);
    return {panel.Send().Frame().At(protocol::kClassByte), panel.Send().Frame().At(protocol::kCommandByte),
            static_cast<std::uint8_t>(position + 1)};
}

}  // namespace velmora::test
