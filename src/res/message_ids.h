#pragma once
// Control ids of the message box (template 135).

namespace velmora::ctl::message {

inline constexpr int kClose = 1057;  // skinned close button of the title band
inline constexpr int kOk = 1058;
inline constexpr int kCancel = 1099;  // question mode only
inline constexpr int kPicture = 1100;  // bitmap 136
inline constexpr int kNoLongerRemind = 1101;  // question mode only

}  // namespace velmora::ctl::message
