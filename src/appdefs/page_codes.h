#pragma once
// Page values: the selected page, the receiver of replies, and the code a
// page posts with SendRequest.

#include <cstdint>

namespace velmora::page {

inline constexpr std::uint8_t kGeneral = 1;
inline constexpr std::uint8_t kVideo = 4;
inline constexpr std::uint8_t kAudio = 5;
inline constexpr std::uint8_t kNetwork = 6;
inline constexpr std::uint8_t kAdvanced = 7;

constexpr bool IsChildPage(std::uint8_t page) { return page >= kVideo && page <= kAdvanced; }

}  // namespace velmora::page
