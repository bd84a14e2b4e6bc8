#include "app/options.h"

#include "transport/port_map.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <string_view>

namespace velmora::app {

namespace {

// The options every Qt program takes; the application object reads them.
constexpr std::array<std::string_view, 11> kQtOptionsWithValue{
    "-platform",    "-platformpluginpath", "-platformtheme", "-plugin",     "-qwindowgeometry",
    "-qwindowicon", "-qwindowtitle",       "-style",         "-stylesheet", "-display",
    "-session",
};
constexpr std::array<std::string_view, 5> kQtFlags{"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& names, const QString& name)
{
    return std::any_of(names.begin(), names.end(),
                       [&](std::string_view n) { return name == QLatin1String(n.data(), n.size()); });
}

// Qt reads "-name" and "--name" alike, and "-name=value".
enum class QtOption { No, Flag, WithValue, WithValueAttached };

QtOption QtOptionKind(const QString& argument)
{
    QString name = argument.startsWith(QLatin1String("--")) ? argument.mid(1) : argument;
    const bool attached = name.contains(QLatin1Char('='));
    name = name.section(QLatin1Char('='), 0, 0);
    if (Contains(kQtOptionsWithValue, name)) {
        return attached ? QtOption::WithValueAttached : QtOption::WithValue;
    }
    return !attached && Contains(kQtFlags, name) ? QtOption::Flag : QtOption::No;
}

Options Stop(int code, const QString& message)
{
    Options options;
    options.exitCode = code;
    options.message = message;
    return options;
}

Options Mistake(const QString& what)
{
    return Stop(kUsageError, QStringLiteral("velmora: %1\nTry 'velmora --help'.\n").arg(what));
}

// The port map directory must exist: the panel never creates it.
QString PortDirProblem(const QString& dir)
{
    const QFileInfo info(dir);
    if (!info.exists()) {
        return QStringLiteral("--port-dir %1: no such directory").arg(dir);
    }
    if (!info.isDir()) {
        return QStringLiteral("--port-dir %1: not a directory").arg(dir);
    }
    return {};
}

}  // namespace

QString HelpText()
{
    return QStringLiteral("Usage: velmora [options]\n"
                          "Control panel for the 5x1 presentation switcher, over a serial port or TCP.\n"
                          "\n"
                          "Options:\n"
                          "  --demo            attach a built-in simulated switcher: one more serial port\n"
                          "                    (COM99) and an address of its own on loopback, which\n"
                          "                    Search finds\n"
                          "  --port-dir DIR    directory of comN links that add serial ports (see below);\n"
                          "                    it must exist, the panel never creates it\n"
                          "  -h, --help        this text\n"
                          "  -v, --version     the version\n"
                          "\n"
                          "Serial ports are numbered as COM ports: COM1-32 are /dev/ttyS0-31,\n"
                          "COM33-64 /dev/ttyUSB0-31 and COM65-96 /dev/ttyACM0-31. A port map directory\n"
                          "adds ports: each link comN in it names the device of COM N (1-255), for\n"
                          "example a USB adapter's /dev/serial/by-id name. Without --port-dir the\n"
                          "directory in the environment variable %1 is used, if it is set.\n"
                          "\n"
                          "Qt's own options (-platform, -style, -reverse, ...) are taken as by every Qt\n"
                          "program.\n")
        .arg(QLatin1String(transport::kPortDirEnv));
}

Options ParseOptions(const QStringList& arguments)
{
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            return Stop(0, HelpText());
        }
        if (arg == QLatin1String("-v") || arg == QLatin1String("--version")) {
            return Stop(0, QStringLiteral("velmora %1\n").arg(QLatin1String(VELMORA_VERSION)));
        }
        if (arg == QLatin1String("--demo")) {
            options.demo = true;
        } else if (arg == QLatin1String("--port-dir") || arg.startsWith(QLatin1String("--port-dir="))) {
            const bool attached = arg.contains(QLatin1Char('='));
            if (!attached && i + 1 >= arguments.size()) {
                return Mistake(QStringLiteral("--port-dir needs a directory"));
            }
            options.portDir = attached ? arg.section(QLatin1Char('='), 1) : arguments[++i];
            if (const QString problem = PortDirProblem(options.portDir); !problem.isEmpty()) {
                return Mistake(problem);
            }
        } else if (const QtOption qt = QtOptionKind(arg); qt != QtOption::No) {
            if (qt == QtOption::WithValue && ++i >= arguments.size()) {
                return Mistake(QStringLiteral("%1 needs a value").arg(arg));
            }
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return Mistake(QStringLiteral("unknown option '%1'").arg(arg));
        } else {
            return Mistake(QStringLiteral("unexpected argument '%1'").arg(arg));
        }
    }
    return options;
}

}  // namespace velmora::app
