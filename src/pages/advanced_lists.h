#pragma once
// The texts of the Advanced page's lists, in list order; entry n goes out as
// n + 1. Tabs and blanks are part of the texts.

#include "protocol/list_texts.h"

#include <array>
#include <string_view>

namespace velmora::pages::advanced_lists {

using Entries = protocol::list_texts::AdvancedEntries;
using protocol::list_texts::kOsdTimeout;
using protocol::list_texts::kSerialBaud;
using protocol::list_texts::kSleepTimer;

// Selected when the page is made: 115200, OFF and 5 seconds.
inline constexpr int kSerialBaudInitial = 5;
inline constexpr int kSleepTimerInitial = 0;
inline constexpr int kOsdTimeoutInitial = 0;

}  // namespace velmora::pages::advanced_lists
