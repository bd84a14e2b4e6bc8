#pragma once
// How the panel's windows and template controls present themselves to
// screen readers, beyond what Qt's own accessibility gives every widget:
// - a top-level window is a frame (a dialog for dialog windows) named by its title;
// - a template button is announced by its text as it is now, with the role
//   of what it is (push button, toggle button, check box, radio button), and
//   its accessible action is a click: the window acts on it exactly as on a
//   click with the mouse, not only the check mark changes.

#include <QAccessible>

namespace velmora::platform {

// Installs the panel's accessibility factory once; later calls do nothing.
void InstallAccessibility();
// Installs a factory of accessible interfaces unless it already is.
void InstallFactoryOnce(QAccessible::InterfaceFactory factory);

}  // namespace velmora::platform
