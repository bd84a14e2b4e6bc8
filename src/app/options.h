#pragma once
// The panel's command line, read before the window system is touched, so
// that --help and --version work without a display.

#include <QString>
#include <QStringList>

#include <optional>

namespace velmora::app {

struct Options {
    bool demo = false;
    QString portDir;  // empty: the environment's, if any
    // Set after --help, --version or a mistake: print `message` (to the
    // error output for a code other than 0) and end with this code.
    std::optional<int> exitCode;
    QString message;
};

inline constexpr int kUsageError = 2;

// arguments[0] is the program. Qt's own options (-platform, -style, ...)
// are left for the application object.
Options ParseOptions(const QStringList& arguments);
QString HelpText();

}  // namespace velmora::app
