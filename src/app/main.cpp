// The panel's entry point: the command line first (it needs no display), then
// the main window and, with --demo, a simulated switcher attached to it.

#include "app/options.h"
#include "app/session.h"

#include <QApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const velmora::app::Options options = velmora::app::ParseOptions(arguments);
    if (options.exitCode) {
        std::fputs(qPrintable(options.message), *options.exitCode == 0 ? stdout : stderr);
        return *options.exitCode;
    }
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    velmora::app::Session session(options);
    return session.Run();
}
