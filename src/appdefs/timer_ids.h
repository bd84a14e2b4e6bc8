#pragma once
// Timer identifiers and periods of the panel's windows.

#include <cstdint>

namespace velmora::timer {

// Main window.
inline constexpr int kPortRefresh = 1;
inline constexpr int kSearchSuccess = 1004;
inline constexpr int kSearchClose = 1005;
inline constexpr int kConfigTimeout = 1008;
inline constexpr int kResetResend = 2500;
inline constexpr int kResetTimeout = 2501;
inline constexpr int kDrawingHold = 3000;

inline constexpr int kPortRefreshMs = 600;
inline constexpr int kSearchSuccessMs = 900;
inline constexpr int kSearchCloseMs = 900;
inline constexpr int kConfigTimeoutMs = 15000;
inline constexpr int kResetResendMs = 3000;
inline constexpr int kResetTimeoutMs = 3000;
inline constexpr int kDrawingHoldMs = 15;  // under one frame of a 60 Hz screen

// Audio page: mixer audio volume answer.
inline constexpr int kMixerAnswer = 400;
inline constexpr int kMixerRetry = 401;
inline constexpr int kMixerAnswerMs = 2000;

// Progress popup: the dot animation.
inline constexpr int kDots1 = 1001;
inline constexpr int kDots2 = 1002;
inline constexpr int kDots3 = 1003;
inline constexpr int kDotsMs = 300;

}  // namespace velmora::timer
