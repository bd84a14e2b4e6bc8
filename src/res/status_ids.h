#pragma once
// Control ids of the progress popup (template 142).

namespace velmora::ctl::status {

inline constexpr int kText = 1086;  // the status text with its trail of dots
inline constexpr int kCheckMark = 1087;  // bitmap 143, shown once the operation succeeded

}  // namespace velmora::ctl::status
