#pragma once
// The texts of the General page's lists, in list order. A list setting goes
// out as its position plus 1; the status answer carries the plain position.

#include "protocol/list_texts.h"

#include <array>
#include <string_view>

namespace velmora::pages::general_lists {

using protocol::list_texts::kAudio;
using protocol::list_texts::kAudioEmbedded;
inline constexpr std::string_view kAudioFirstExternal = kAudio[1];
using protocol::list_texts::kAspectRatio;
using protocol::list_texts::kAutoSwitch;
using protocol::list_texts::kEdid;
using protocol::list_texts::kHdcp;
using protocol::list_texts::kResolution;

// The Baud list shows protocol::kBaudRates in decimal.

}  // namespace velmora::pages::general_lists
