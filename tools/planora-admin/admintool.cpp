#include "admintool.h"

#include "agendaexport.h"
#include "atomicwrite.h"
#include "csvexport.h"
#include "icalendartext.h"

#include "commandline.h"
#include "databasecheck.h"
#include "dayhistory.h"
#include "legacyconversion.h"
#include "practicesetup.h"
#include "scheduledbackup.h"
#include "schemaupgrade.h"
#include "settingsstore.h"
#include "workstationsettings.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

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
    const bool demo = line.isOn(u"demo"_s);
    // The demo's appointments take their names from the names database, so
    // a demo practice has some unless told otherwise.
    constexpr qint64 demoSampleNames = 2000;
    const qint64 samples = line.has(u"sample-names"_s) ? line.option(u"sample-names"_s).toLongLong()
                           : demo                      ? demoSampleNames
                                                       : 0;
    return finish(PracticeSetup::init(line.arguments.at(0), samples, notes, demo ? QDate::currentDate() : QDate()),
                  notes, out, err);
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

int backup(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString database = line.arguments.at(0);
    const ScheduledBackup::Request request{
        database, line.has(u"users"_s) ? line.option(u"users"_s) : QFileInfo(database).absolutePath(),
        line.arguments.at(1), line.has(u"keep"_s) ? line.option(u"keep"_s).toInt() : 0,
        QDateTime::currentDateTime()};
    QStringList notes;
    return finish(ScheduledBackup::run(request, notes), notes, out, err);
}

int exportAgenda(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString database = line.arguments.at(0);
    const QString usersFolder =
        line.has(u"users"_s) ? line.option(u"users"_s) : QFileInfo(database).absolutePath();
    AgendaExport::Agenda agenda;
    const Status read = AgendaExport::read(database, usersFolder, line.option(u"user"_s).toInt(),
                                           parseDate(line.option(u"from"_s)), parseDate(line.option(u"to"_s)),
                                           agenda);
    if (!read.ok())
        return finish(read, {}, out, err);
    const QByteArray bytes = line.option(u"format"_s) == "ics"_L1
                                 ? ICalendarText::write(agenda, QDateTime::currentDateTimeUtc())
                                 : CsvExport::write(agenda);
    if (!line.has(u"output"_s)) {
        out << QString::fromUtf8(bytes);
        return Success;
    }
    // Replaced in one piece, so that a calendar reading the file while the
    // timer refreshes it gets the old file or the new one, never half.
    const QString output = line.option(u"output"_s);
    if (!writeFileAtomically(output, bytes))
        return finish(Status::failure(u"Impossible d'écrire %1."_s.arg(QDir::toNativeSeparators(output))), {}, out,
                      err);
    out << u"%1 événements exportés dans %2"_s.arg(agenda.events.size()).arg(QDir::toNativeSeparators(output))
        << '\n';
    return Success;
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
    case CommandLine::Command::Export:
        return exportAgenda(line, out, err);
    case CommandLine::Command::Backup:
        return backup(line, out, err);
    case CommandLine::Command::Upgrade:
        return upgrade(line, out, err);
    case CommandLine::Command::History:
        return history(line, out, err);
    }
    return UsageError;
}

} // namespace AdminTool
