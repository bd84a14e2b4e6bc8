#pragma once
// Runs velmoractl as a script would, and reads what it printed.

#include "program_run.h"

#include <QJsonArray>

namespace velmora::test {

using CtlRun = ProgramRun;

inline CtlRun RunCtl(const QStringList& args) { return RunProgram(QStringLiteral(VELMORACTL_BIN), args); }
inline std::string Shown(const CtlRun& run) { return run.Shown(); }

}  // namespace velmora::test
