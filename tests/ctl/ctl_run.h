#pragma once
// Runs velmoractl as a script would, and reads what it printed.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>

namespace velmora::test {

struct CtlRun {
    int exit = -1;
    QString out;
    QString err;

    QJsonObject Json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

// Bounded: a velmoractl that does not end is killed and the test fails.
inline CtlRun RunCtl(const QStringList& args, int limitMs = 30000)
{
    QProcess process;
    process.start(QStringLiteral(VELMORACTL_BIN), args);
    CtlRun run;
    if (!process.waitForFinished(limitMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "velmoractl " << args.join(' ').toStdString() << " did not end";
        return run;
    }
    run.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

inline std::string Shown(const CtlRun& run)
{
    return "exit " + std::to_string(run.exit) + "\nout: " + run.out.toStdString() + "\nerr: " + run.err.toStdString();
}

}  // namespace velmora::test
