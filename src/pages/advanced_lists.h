#pragma once
// The texts of the Advanced page's lists, in list order; entry n goes out as
// n + 1. Tabs and blanks are part of the texts.

#include "protocol/advanced_commands.h"

#include <array>
#include <string_view>

namespace velmora::pages::advanced_lists {

using Entries = std::array<std::string_view, protocol::kAdvancedListCount>;

inline constexpr Entries kSerialBaud{
    "\t4800 \t", "\t9600 \t", "\t19200 \t", "\t38400 \t", "\t57600\t", "\t115200\t",
};
inline constexpr Entries kSleepTimer{
    "\tOFF \t", "\t15 seconds \t", "\t1 minute \t", "\t5 minutes \t", "\t15 minutes \t", "\t60 minutes\t",
};
inline constexpr Entries kOsdTimeout{
    "\t5 seconds  \t", "\t10 seconds  ", "\t15 seconds  ", "\t20 seconds  ", "\t25 seconds \t", "\t30 seconds \t",
};

// Selected when the page is made: 115200, OFF and 5 seconds.
inline constexpr int kSerialBaudInitial = 5;
inline constexpr int kSleepTimerInitial = 0;
inline constexpr int kOsdTimeoutInitial = 0;

}  // namespace velmora::pages::advanced_lists
