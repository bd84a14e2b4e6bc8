#pragma once
// The platform's plain message box: the text, no title, only OK.

#include <QString>

namespace velmora::platform {

// Modal; returns when the operator has closed the box.
void ShowSystemMessage(const QString& text);

}  // namespace velmora::platform
