#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

// What the supervisor asked for on the command line. Each command has a fixed
// number of positional arguments, a set of "--name value" options (also
// written "--name=value") and of "--name" switches; the table in
// commandline.cpp is the one place that says which.
struct CommandLine
{
    enum class Command { Help, Init, Settings, Check, Convert, Export, Backup, Upgrade, History };

    Command command = Command::Help;
    QStringList arguments;           // positional arguments, in order
    QHash<QString, QString> options; // option name without "--" -> value
    QStringList switches;            // switch names without "--"

    QString option(const QString &name) const { return options.value(name); }
    bool has(const QString &name) const { return options.contains(name); }
    bool isOn(const QString &name) const { return switches.contains(name); }
};

struct CommandLineParse
{
    CommandLine commandLine;
    QString error; // empty when the words were understood
    bool ok() const { return error.isEmpty(); }
};

// Reads the words after the program's name. "--help", "-h" or "help"
// anywhere ask for the help text.
CommandLineParse parseCommandLine(const QStringList &words);

// The help text: every command with its arguments.
QString usageText();

// A date written 2026-12-31 or 31/12/2026; invalid otherwise.
QDate parseDate(const QString &text);

// A table name the names database and the lookup accept: a plain identifier.
bool isPlainIdentifier(const QString &name);
