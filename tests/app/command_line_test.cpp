// The command lines of the panel and the simulated switcher: what each option
// gives, the mistakes and their messages, and the programs run without a display.

#include "app/options.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using app::Options;
using app::ParseOptions;

Options Parse(QStringList arguments)
{
    arguments.prepend(QStringLiteral("velmora"));
    return ParseOptions(arguments);
}

TEST(PanelCommandLine, OptionsAndQtsOwnOptions)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Options none = Parse({});
    EXPECT_FALSE(none.exitCode);
    EXPECT_FALSE(none.demo);
    const Options both = Parse({QStringLiteral("--demo"), QStringLiteral("--port-dir"), dir.path()});
    EXPECT_FALSE(both.exitCode) << both.message.toStdString();
    EXPECT_TRUE(both.demo);
    EXPECT_EQ(both.portDir, dir.path());
    EXPECT_EQ(Parse({QStringLiteral("--port-dir=") + dir.path()}).portDir, dir.path());
    for (const QStringList& qt : {QStringList{"-platform", "offscreen"}, QStringList{"--style=fusion"},
                                  QStringList{"-style", "fusion", "-reverse"}}) {
        const Options o = Parse(qt);
        EXPECT_FALSE(o.exitCode) << qt.join(' ').toStdString() << ": " << o.message.toStdString();
    }
}

TEST(PanelCommandLine, HelpVersionAndMistakes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("com5"));
    QFile(file).open(QIODevice::WriteOnly);
    const QString missing = dir.filePath(QStringLiteral("ports"));
    const struct {
        QStringList arguments;
        int code;
        const char* says;
    } cases[] = {
        {{QStringLiteral("--help")}, 0, "VELMORA_PORT_DIR"},
        {{QStringLiteral("-h")}, 0, "COM33-64 /dev/ttyUSB0-31"},
        {{QStringLiteral("--version")}, 0, "velmora " VELMORA_VERSION},
        {{QStringLiteral("--frobnicate")}, 2, "unknown option '--frobnicate'"},
        {{QStringLiteral("COM3")}, 2, "unexpected argument 'COM3'"},
        {{QStringLiteral("--port-dir")}, 2, "--port-dir needs a directory"},
        {{QStringLiteral("--port-dir"), missing}, 2, "no such directory"},
        {{QStringLiteral("--port-dir"), file}, 2, "not a directory"},
        {{QStringLiteral("-platform")}, 2, "-platform needs a value"},
    };
    for (const auto& c : cases) {
        const Options o = Parse(c.arguments);
        const std::string what = c.arguments.join(' ').toStdString();
        ASSERT_TRUE(o.exitCode) << what;
        EXPECT_EQ(*o.exitCode, c.code) << what;
        EXPECT_TRUE(o.message.contains(QLatin1String(c.says))) << what << ": " << o.message.toStdString();
        if (c.code != 0) {
            EXPECT_TRUE(o.message.contains(QLatin1String("--help"))) << what << " points to --help";
        }
    }
    EXPECT_FALSE(QDir(missing).exists()) << "the port directory is never created";
}

struct Finished {
    int code = -1;
    QString out;
    QString err;
};

// Runs a program as from a shell on a machine without a display.
Finished RunWithoutDisplay(const QString& program, const QStringList& arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QLatin1String(name));
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    Finished run;
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

TEST(ProgramsWithoutADisplay, HelpVersionAndMistakes)
{
    const QString panel = QStringLiteral(VELMORA_BIN);
    const QString sim = QStringLiteral(VELMORA_SIM_BIN);
    const struct {
        QString program;
        QStringList arguments;
        int code;
        const char* says;  // in the output for 0, else in the error output
    } cases[] = {
        {panel, {QStringLiteral("--help")}, 0, "VELMORA_PORT_DIR"},
        {panel, {QStringLiteral("--port-dir"), QStringLiteral("/nonexistent/velmora-ports")}, 2, "no such directory"},
        {sim, {QStringLiteral("--version")}, 0, "velmora-sim " VELMORA_VERSION},
        {sim, {QStringLiteral("--help")}, 0, "--port-dir"},
        {sim, {QStringLiteral("--com"), QStringLiteral("3")}, 2, "--com needs --port-dir"},
        {sim, {QStringLiteral("stray")}, 2, "velmora-sim --help"},
    };
    for (const auto& c : cases) {
        const Finished run = RunWithoutDisplay(c.program, c.arguments);
        const std::string what = (c.program.section('/', -1) + ' ' + c.arguments.join(' ')).toStdString();
        EXPECT_EQ(run.code, c.code) << what << "\n" << run.err.toStdString();
        EXPECT_TRUE((c.code == 0 ? run.out : run.err).contains(QLatin1String(c.says)))
            << what << ": " << run.out.toStdString() << run.err.toStdString();
    }
    EXPECT_FALSE(QDir(QStringLiteral("/nonexistent/velmora-ports")).exists());
}

}  // namespace
}  // namespace velmora::test
