#pragma once
// The main window's send and receive logs as an operator reads them: the
// text that waits to go in (for an answer, or for someone to look) has gone in.

#include "app/main_window.h"

#include <QPlainTextEdit>

namespace velmora::test {

inline QString LogText(app::CVelmoraDlg& panel, int editId) { return panel.LogText(editId); }

}  // namespace velmora::test
