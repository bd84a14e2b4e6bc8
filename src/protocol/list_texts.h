#pragma once
// The texts the panel shows for the values of its lists and buttons, in
// list order. Tabs and blanks are part of the texts. The panel's lists, the
// command-line program and the traffic log all name values by these.

#include "protocol/advanced_commands.h"
#include "protocol/commands.h"

#include <array>
#include <string_view>

namespace velmora::protocol::list_texts {

// The input buttons, by input number - 1.
inline constexpr std::array<std::string_view, kInputCount> kInputs{"HDMI 1", "HDMI 2", "HDMI 3", "DP", "VGA"};

// Audio sources, by source number (0 embedded, 1..5 external).
inline constexpr std::string_view kAudioEmbedded = "\tEmb \t";
inline constexpr std::array<std::string_view, 6> kAudio{
    kAudioEmbedded, "\tExt 1 \t", "\tExt 2 \t", "\tExt 3 \t", "\tExt 4 \t", "\tExt 5\t",
};

inline constexpr std::array<std::string_view, 4> kAutoSwitch{
    "OFF",
    "Last Connected Mode",
    "First Connected Mode",
    "Priority Mode",
};

inline constexpr std::array<std::string_view, 13> kResolution{
    "3840x2160@30", "3840x2160@25", "1920x1080@60", "1920x1080@50", "1280x720@60", "1280x720@50", "1920x1200@60",
    "1680x1050@60", "1400x1050@60", "1360x768@60",  "1280x800@60",  "1024x768@60", "AUTO",
};

inline constexpr std::array<std::string_view, 3> kAspectRatio{"4:3 ", "16:9  ", "16:10  "};

inline constexpr std::array<std::string_view, 5> kEdid{
    "EDID 1.4", "EDID 2.0", "EDID From HDMI", "EDID HDBT", "EDID AUTO",
};

inline constexpr std::array<std::string_view, 2> kHdcp{"HDCP 1.4", "Pass Through"};

// The microphone mixer's buttons, by mode value - 1 (1 ON, 2 OFF, 3 AUTO).
inline constexpr std::array<std::string_view, 3> kMixer{"ON", "OFF", "AUTO"};

using AdvancedEntries = std::array<std::string_view, kAdvancedListCount>;
inline constexpr AdvancedEntries kSerialBaud{
    "\t4800 \t", "\t9600 \t", "\t19200 \t", "\t38400 \t", "\t57600\t", "\t115200\t",
};
inline constexpr AdvancedEntries kSleepTimer{
    "\tOFF \t", "\t15 seconds \t", "\t1 minute \t", "\t5 minutes \t", "\t15 minutes \t", "\t60 minutes\t",
};
inline constexpr AdvancedEntries kOsdTimeout{
    "\t5 seconds  \t", "\t10 seconds  ", "\t15 seconds  ", "\t20 seconds  ", "\t25 seconds \t", "\t30 seconds \t",
};

}  // namespace velmora::protocol::list_texts
