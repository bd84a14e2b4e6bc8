#pragma once
// Identifiers of the panel's dialog templates, icons, bitmaps and strings.

namespace velmora::res {

// Dialog templates.
inline constexpr int kAboutTemplate = 100;
inline constexpr int kMainTemplate = 102;
inline constexpr int kVideoTemplate = 134;
inline constexpr int kMessageTemplate = 135;
inline constexpr int kStatusTemplate = 142;
inline constexpr int kAudioTemplate = 198;
inline constexpr int kNetworkTemplate = 199;
inline constexpr int kAdvancedTemplate = 200;
inline constexpr int kConfigTemplate = 201;  // network configuration (Config...)

// Icons and bitmaps.
inline constexpr int kAppIcon = 128;
inline constexpr int kCloseIcon = 129;
inline constexpr int kMinimizeIcon = 130;
inline constexpr int kMinimizeHoverIcon = 131;
inline constexpr int kCloseHoverIcon = 132;
inline constexpr int kMessageBitmap = 136;
inline constexpr int kCheckMarkBitmap = 143;

// Strings.
inline constexpr int kAboutMenuString = 101;

}  // namespace velmora::res
