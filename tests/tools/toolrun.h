#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A program run to its end, as a supervisor or a timer runs it: its exit code
// (-1 when it did not end by itself) and what it printed.
struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// environment: NAME=value entries set on top of this process's own.
inline ToolRun runProgram(const QString &program, const QStringList &arguments, const QString &workingFolder = {},
                          const QStringList &environment = {})
{
    QProcess process;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : environment)
        variables.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    process.setProcessEnvironment(variables);
    process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    if (!process.waitForFinished(540000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

#ifdef PLANORA_ADMIN_PATH
// planora-admin with its own settings folder, so that no run touches the
// user's; path holds the folders searched for mdbtools.
inline ToolRun runTool(const QStringList &arguments, const QString &settingsFolder, const QString &workingFolder = {},
                       const QString &path = qEnvironmentVariable("PATH"))
{
    return runProgram(QStringLiteral(PLANORA_ADMIN_PATH), arguments, workingFolder,
                      {QStringLiteral("XDG_CONFIG_HOME=") + settingsFolder, QStringLiteral("PATH=") + path});
}
#endif
