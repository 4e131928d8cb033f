#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// The supervisor's tool as a whole: reads the command line, runs the
// command, writes what it did to out and what went wrong to err.
namespace AdminTool {

enum ExitCode { Success = 0, Failure = 1, UsageError = 2 };

// words: the command line without the program's name. programFolder: the
// default of --program-folder.
int run(const QStringList &words, const QString &programFolder, QTextStream &out, QTextStream &err);

} // namespace AdminTool
