#pragma once

#include <QProcess>

// A program run to its end, as a supervisor or a timer runs it: its exit code
// (-1 when it did not end by itself) and what it printed.
struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

inline ToolRun runProgram(const QString &program, const QStringList &arguments, const QString &workingFolder = {},
                          const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    if (!process.waitForFinished(540000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}
