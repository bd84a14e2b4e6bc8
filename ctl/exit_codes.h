#pragma once
// What velmoractl's exit status says happened.

namespace velmora::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;  // the line broke, or the switcher refused a configuration
inline constexpr int kExitUsage = 2;  // unknown command, setting or option
inline constexpr int kExitTimeout = 3;  // no answer within the time-out, after one retry
inline constexpr int kExitUnreachable = 4;  // no such port, or the host refused or cannot be reached
inline constexpr int kExitBusy = 5;  // another program holds the port
inline constexpr int kExitRefusedValue = 6;  // a value out of range, refused before anything was sent

}  // namespace velmora::cli
