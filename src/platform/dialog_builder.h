#pragma once
// Builds a window's controls from its template: real Qt widgets placed in
// pixels, registered by id and wired to the window's OnCommand. Screen
// readers find every control by what names it on screen: its own text, or
// the label the template puts beside or above it (the label's buddy).
// Controls placed outside the window are no Tab stops.

#include "platform/dialog_template.h"

#include <QFont>

namespace velmora::platform {

class Window;

QFont TemplateFont(const DialogTemplate& tpl);
// Sizes the window and creates every control of the template in it.
void BuildDialog(Window& window, const DialogTemplate& tpl);

}  // namespace velmora::platform
