#pragma once
// Runs a program as a script would and keeps what it printed. Bounded: one
// that does not end is killed and the test fails.

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>

namespace velmora::test {

struct ProgramRun {
    int exit = -1;
    QString out;
    QString err;

    QJsonObject Json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
    std::string Shown() const
    {
        return "exit " + std::to_string(exit) + "\nout: " + out.toStdString() + "\nerr: " + err.toStdString();
    }
};

inline ProgramRun RunProgram(const QString& program, const QStringList& args, int limitMs = 60000)
{
    QProcess process;
    process.start(program, args);
    ProgramRun run;
    if (!process.waitForFinished(limitMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString() << ' ' << args.join(' ').toStdString() << " did not end";
        return run;
    }
    run.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

}  // namespace velmora::test
