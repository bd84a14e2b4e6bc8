#include "app/options.h"

#include <QCommandLineParser>

#include <cstdio>

namespace velmora::app {

Options ParseOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Control panel for the 5x1 presentation switcher."));
    parser.addHelpOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Attach a built-in simulated switcher: one more COM port and a "
                                                 "TCP address on loopback."));
    const QCommandLineOption portDir(QStringLiteral("port-dir"),
                                     QStringLiteral("Directory of comN links that add serial ports (COM N -> device)."),
                                     QStringLiteral("dir"));
    parser.addOption(demo);
    parser.addOption(portDir);
    Options options;
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        options.exitCode = 2;
        return options;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(parser.helpText()));
        options.exitCode = 0;
        return options;
    }
    options.demo = parser.isSet(demo);
    options.portDir = parser.value(portDir);
    return options;
}

}  // namespace velmora::app
