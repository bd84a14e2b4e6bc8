// The panel's entry point: the main window, and with --demo a simulated
// switcher attached to it.

#include "app/options.h"
#include "app/session.h"

#include <QApplication>

#include <csignal>

int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    const velmora::app::Options options = velmora::app::ParseOptions(QApplication::arguments());
    if (options.exitCode) {
        return *options.exitCode;
    }
    velmora::app::Session session(options);
    return session.Run();
}
