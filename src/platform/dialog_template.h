#pragma once
// Dialog templates as data: every window is laid out in dialog units, and its
// controls are reached by numeric id, as the panel's resources describe them.

#include <cstdint>
#include <span>
#include <string_view>

namespace velmora::platform {

enum class ControlKind {
    Label,
    GroupBox,
    PushButton,
    CheckBox,
    PushLikeCheckBox,  // a check box drawn as a push button (the input buttons)
    RadioButton,
    PushLikeRadio,  // a radio button drawn as a push button
    DropList,  // drop-down list, no typing
    DropDown,  // drop-down with an edit field
    Edit,
    MultiLineEdit,
    Slider,
    UpDown,  // up-down arrows attached to the edit before them
    IpAddress,
    Picture,
};

// Style bits, named after what they do to the control.
namespace style {
inline constexpr std::uint32_t kHidden = 0x0001;  // created invisible
inline constexpr std::uint32_t kDisabled = 0x0002;
inline constexpr std::uint32_t kSorted = 0x0004;  // lists: AddString keeps text order
inline constexpr std::uint32_t kCentered = 0x0008;  // labels: centred text
inline constexpr std::uint32_t kReadOnly = 0x0010;
inline constexpr std::uint32_t kVertical = 0x0020;  // sliders
inline constexpr std::uint32_t kNumber = 0x0040;  // edits: digits only
inline constexpr std::uint32_t kNoMouse = 0x0080;  // labels that let presses through
inline constexpr std::uint32_t kRight = 0x0100;  // labels: right-aligned text
inline constexpr std::uint32_t kTicks = 0x0200;  // sliders: tick marks
}  // namespace style

// The id of a control that is never addressed (a frame or a fixed label).
inline constexpr int kNoId = -1;

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string_view text;
    int x, y, cx, cy;  // dialog units
    std::uint32_t styles = 0;
};

// The text on screen that names a control, for places where the layout alone
// leaves it open: a label or a group box's title, by its text (fixed labels
// have no id). A control without text of its own is named by it; a button,
// which names itself, gets it as its description, the row it belongs to.
struct LabelFor {
    std::string_view label;
    int control;
};

struct DialogTemplate {
    int id;
    std::string_view caption;
    int cx, cy;  // dialog units
    std::string_view font;
    int pointSize;
    std::span<const ControlTemplate> controls;
    std::span<const LabelFor> labels = {};
};

}  // namespace velmora::platform
