#include "admintool.h"

#include "commandline.h"
#include "databasecheck.h"
#include "dayhistory.h"
#include "legacyconversion.h"
#include "practicesetup.h"
#include "schemaupgrade.h"
#include "settingsstore.h"
#include "workstationsettings.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace AdminTool {

namespace {

int finish(const Status &status, const QStringList &notes, QTextStream &out, QTextStream &err)
{
    for (const QString &note : notes)
        out << note << '\n';
    if (status.ok())
        return Success;
    err << u"Erreur : "_s << status.message() << '\n';
    return Failure;
}

int init(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    QStringList notes;
    const qint64 samples = line.has(u"sample-names"_s) ? line.option(u"sample-names"_s).toLongLong() : 0;
    return finish(PracticeSetup::init(line.arguments.at(0), samples, notes), notes, out, err);
}

int settings(const CommandLine &line, const QString &programFolder, QTextStream &out, QTextStream &err)
{
    const WorkstationSettings settings{
        line.option(u"database"_s), line.option(u"users"_s), line.option(u"names"_s),
        line.has(u"program-folder"_s) ? line.option(u"program-folder"_s) : programFolder,
        line.option(u"table"_s)};
    SettingsStore store;
    QStringList notes;
    return finish(settings.write(store, notes), notes, out, err);
}

int check(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString path = line.arguments.at(0);
    const QStringList problems = DatabaseCheck::problems(path);
    if (problems.isEmpty()) {
        out << QDir::toNativeSeparators(path) << u" : base correcte."_s << '\n';
        return Success;
    }
    err << QDir::toNativeSeparators(path) << u" : "_s << problems.size()
        << (problems.size() == 1 ? u" problème"_s : u" problèmes"_s) << '\n';
    for (const QString &problem : problems)
        err << u"  - "_s << problem << '\n';
    return Failure;
}

int convert(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    QStringList notes;
    return finish(LegacyConversion::convert(line.arguments.at(0), line.arguments.at(1), notes), notes, out,
                  err);
}

int upgrade(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    QStringList notes;
    return finish(SchemaUpgrade::upgrade(line.arguments.at(0), notes), notes, out, err);
}

int history(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString path = line.arguments.at(0);
    QStringList notes;
    if (line.has(u"restore"_s))
        return finish(DayHistory::restore(path, line.option(u"restore"_s).toLongLong(), notes), notes, out, err);
    if (line.has(u"prune-before"_s))
        return finish(DayHistory::prune(path, QDate::fromString(line.option(u"prune-before"_s), Qt::ISODate), notes),
                      notes, out, err);
    return finish(DayHistory::list(path, line.option(u"user"_s).toInt(),
                                   QDate::fromString(line.option(u"date"_s), Qt::ISODate), notes),
                  notes, out, err);
}

} // namespace

int run(const QStringList &words, const QString &programFolder, QTextStream &out, QTextStream &err)
{
    const CommandLineParse parse = parseCommandLine(words);
    if (!parse.ok()) {
        err << u"Erreur : "_s << parse.error << "\n\n" << usageText();
        return UsageError;
    }
    const CommandLine &line = parse.commandLine;
    switch (line.command) {
    case CommandLine::Command::Help:
        out << usageText();
        return Success;
    case CommandLine::Command::Init:
        return init(line, out, err);
    case CommandLine::Command::Settings:
        return settings(line, programFolder, out, err);
    case CommandLine::Command::Check:
        return check(line, out, err);
    case CommandLine::Command::Convert:
        return convert(line, out, err);
    case CommandLine::Command::Upgrade:
        return upgrade(line, out, err);
    case CommandLine::Command::History:
        return history(line, out, err);
    }
    return UsageError;
}

} // namespace AdminTool
