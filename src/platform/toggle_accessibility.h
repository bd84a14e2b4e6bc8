#pragma once
// Buttons as assistive technology operates them. A checkable one (a check
// box, a radio button, a mute box, a push-like radio, an input button) is
// toggled by a click, so its window hears of it exactly as of a mouse
// click; Qt's own interface flips the check state without a click, and no
// command would be sent.

namespace velmora::platform {

// Installs the accessible interface of buttons; once is enough.
void InstallToggleAccessibility();

}  // namespace velmora::platform
