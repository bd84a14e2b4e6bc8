#pragma once
// The texts of the General page's lists, in list order. A list setting goes
// out as its position plus 1; the status answer carries the plain position.

#include <array>
#include <string_view>

namespace velmora::pages::general_lists {

inline constexpr std::string_view kAudioEmbedded = "\tEmb \t";
inline constexpr std::array<std::string_view, 6> kAudio{
    kAudioEmbedded, "\tExt 1 \t", "\tExt 2 \t", "\tExt 3 \t", "\tExt 4 \t", "\tExt 5\t",
};
inline constexpr std::string_view kAudioFirstExternal = "\tExt 1 \t";

inline constexpr std::array<std::string_view, 4> kAutoSwitch{
    "OFF", "Last Connected Mode", "First Connected Mode", "Priority Mode",
};

inline constexpr std::array<std::string_view, 13> kResolution{
    "3840x2160@30", "3840x2160@25", "1920x1080@60", "1920x1080@50", "1280x720@60",
    "1280x720@50",  "1920x1200@60", "1680x1050@60", "1400x1050@60", "1360x768@60",
    "1280x800@60",  "1024x768@60",  "AUTO",
};

inline constexpr std::array<std::string_view, 3> kAspectRatio{"4:3 ", "16:9  ", "16:10  "};

inline constexpr std::array<std::string_view, 5> kEdid{
    "EDID 1.4", "EDID 2.0", "EDID From HDMI", "EDID HDBT", "EDID AUTO",
};

inline constexpr std::array<std::string_view, 2> kHdcp{"HDCP 1.4", "Pass Through"};

// The Baud list shows protocol::kBaudRates in decimal.

}  // namespace velmora::pages::general_lists
