#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// planora-admin run as its own process, the way a supervisor or a timer runs it.
struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs planora-admin with its own settings folder, so that no run touches the
// user's; path holds the folders searched for mdbtools.
inline ToolRun runTool(const QStringList &arguments, const QString &settingsFolder,
                       const QString &workingFolder = {}, const QString &path = qEnvironmentVariable("PATH"))
{
    using namespace Qt::StringLiterals;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, settingsFolder);
    environment.insert(u"PATH"_s, path);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingFolder);
    process.start(QStringLiteral(PLANORA_ADMIN_PATH), arguments);
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

