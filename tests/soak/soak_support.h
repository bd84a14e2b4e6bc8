#pragma once
// What both soaks use: their length, the replies handled, frames dispatched,
// and the program's threads and descriptors.

#include "app/main_window.h"
#include "appdefs/page_codes.h"
#include "gui_helpers.h"
#include "platform/combo_box.h"
#include "protocol/commands.h"
#include "res/main_ids.h"
#include "serial/pty_support.h"

#include <QWindow>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace velmora::test {

namespace c = ctl::main;
using namespace std::chrono_literals;

// Full length under the sanitizers (CI runs them there); a short run in
// the ordinary build keeps ./x test quick while still covering the path.
inline constexpr int kPtyCycles = VELMORA_SOAK_FULL ? 200 : 20;
inline constexpr int kTcpReconnects = VELMORA_SOAK_FULL ? 100 : 10;

// The entries of a /proc directory, or those whose comm file holds `name`.
inline int CountEntries(const char* directory, const std::string& name = {})
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        std::string text;
        count += name.empty() || (std::getline(std::ifstream(entry.path() / "comm"), text) && text == name) ? 1 : 0;
    }
    return count;
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
    std::string Text() const { return std::to_string(threads) + " threads, " + std::to_string(descriptors) + " fds"; }
};

// Class, command and first parameter: enough to tell the soak's answers apart.
using Reply = std::array<std::uint8_t, 3>;

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
        handled.push_back({frame[protocol::kClassByte], frame[protocol::kCommandByte], frame[protocol::kFirstParam]});
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
