#pragma once
// A drop-down list as screen readers meet it: named by its label, its
// current entry as its value, and one list item per entry whose action
// chooses that entry exactly as a click on it in the open list does.

#include <QAccessible>

namespace velmora::platform {

QAccessibleInterface* MakeAccessibleComboBox(QObject* object);

}  // namespace velmora::platform
