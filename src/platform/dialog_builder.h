#pragma once
// Builds a window's controls from its template: real Qt widgets placed in
// pixels, registered by id, wired to the window's OnCommand, and given an
// accessible name so that screen readers and GUI test tools find them.

#include "platform/dialog_template.h"

#include <QFont>

namespace velmora::platform {

class Window;

QFont TemplateFont(const DialogTemplate& tpl);
// Sizes the window and creates every control of the template in it.
void BuildDialog(Window& window, const DialogTemplate& tpl);

}  // namespace velmora::platform
