#pragma once
// The platform's plain message box: the text, no title, only OK.

#include <QString>

namespace velmora::platform {

// What a page says here when a typed value cannot be sent (the leading blank is the panel's).
inline constexpr char kInputValueError[] = " Input value error!";

// Modal; returns when the operator has closed the box.
void ShowSystemMessage(const QString& text);

}  // namespace velmora::platform
