#include "agendaexport.h"

#include "agcfile.h"
#include "configfiles.h"
#include "database.h"
#include "datenumber.h"
#include "slotgrid.h"
#include "slottimes.h"
#include "sqlitestatement.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace AgendaExport {

namespace {

// An empty mark text would make an event without a title.
QString markTitle(const HalfDayMark &mark, const QString &fallback)
{
    const QString text = mark.text.trimmed();
    return text.isEmpty() ? fallback : text;
}

SlotGrid::SlotRange slotsOf(bool morning)
{
    return SlotGrid::slotRange(morning ? SlotGrid::HalfDay::Morning : SlotGrid::HalfDay::Afternoon);
}

void addMarks(QList<Event> &events, QDate day, const DayRecord &record, int minutes, bool morning)
{
    const SlotGrid::SlotRange range = slotsOf(morning);
    const SlotTimes::Span span = SlotTimes::frameSpan(minutes, range.first, range.first + range.count - 1);
    const int length = int(span.start.secsTo(span.end) / 60);
    const HalfDayMark &absence = morning ? record.absent1 : record.absent2;
    const HalfDayMark &echo = morning ? record.echo1 : record.echo2;
    if (absence.set)
        events.append({day, span.start, length, Event::Kind::Absence, markTitle(absence, u"Absent"_s), -1, morning});
    if (echo.set)
        events.append({day, span.start, length, Event::Kind::Echography, markTitle(echo, u"Echographies"_s), -1,
                       morning});
}

void addSlots(QList<Event> &events, QDate day, const DayRecord &record, int minutes, bool morning)
{
    const SlotGrid::SlotRange range = slotsOf(morning);
    for (int slot = range.first; slot < range.first + range.count; ++slot) {
        const QString text = record.slots[slot].trimmed();
        if (text.isEmpty())
            continue;
        events.append({day, SlotTimes::startOf(minutes, slot), minutes, Event::Kind::Appointment, text, slot,
                       morning, record.checks[slot]});
    }
}

HalfDayMark markOf(const SqliteStatement &row, int column)
{
    return {row.integer(column) != 0, row.text(column + 1)};
}

Status readFailure(const QString &databasePath, sqlite3 *db)
{
    return Status::failure(u"Lecture de %1 impossible : %2"_s.arg(QDir::toNativeSeparators(databasePath),
                                                                    QString::fromUtf8(sqlite3_errmsg(db))));
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

Status readUser(const QString &usersFolder, int user, QString &name, int &minutes)
{
    const QString path = AgcFile::locate(usersFolder, u"Utilisat.agc"_s);
    if (!QFileInfo(path).isFile())
        return Status::failure(u"%1 introuvable : donnez avec --users le dossier qui le contient."_s.arg(shown(path)));
    const UserConfigRead config = ConfigFiles::readUserConfig(usersFolder);
    if (!config.valid)
        return Status::failure(config.message);
    const UserEntry &entry = config.users[user - 1];
    minutes = SlotGrid::minutesOfIndex(entry.intervalIndex);
    if (minutes == 0)
        return Status::failure(u"L'utilisateur %1 n'a pas de grille choisie dans %2."_s.arg(user).arg(shown(path)));
    name = entry.name;
    return Status::success();
}

} // namespace

QString kindName(Event::Kind kind)
{
    switch (kind) {
    case Event::Kind::Absence:
        return u"Absence"_s;
    case Event::Kind::Echography:
        return u"Echographies"_s;
    case Event::Kind::Appointment:
        break;
    }
    return u"Rendez-vous"_s;
}

QList<Event> eventsOfDay(QDate day, const DayRecord &record, int minutes)
{
    QList<Event> events;
    for (const bool morning : {true, false}) {
        addMarks(events, day, record, minutes, morning);
        addSlots(events, day, record, minutes, morning);
    }
    return events;
}

Status read(const QString &databasePath, const QString &usersFolder, int user, QDate from, QDate to,
            Agenda &agenda)
{
    Database database;
    if (Status opened = database.open(databasePath, SqliteConnection::Mode::ReadOnly); !opened.ok())
        return opened;
    int minutes = 0;
    agenda.user = user;
    if (Status known = readUser(usersFolder, user, agenda.userName, minutes); !known.ok())
        return known;
    SqliteStatement days;
    const QString sql = u"SELECT AGENDATE, RVOUS, COCHE, ABSENT1, ABSENT1_TXT, ABSENT2, ABSENT2_TXT, ECHO1, ECHO1_TXT,"
                        " ECHO2, ECHO2_TXT FROM RVOUS%1 WHERE AGENDATE BETWEEN ? AND ? ORDER BY AGENDATE"_s.arg(user);
    if (days.prepare(database.handle(), sql) != SQLITE_OK)
        return readFailure(databasePath, database.handle());
    days.bind(1, qint64(DateNumber::fromDate(from)));
    days.bind(2, qint64(DateNumber::fromDate(to)));
    SqliteStatement::Step step;
    while ((step = days.step()) == SqliteStatement::Step::Row) {
        DayRecord record;
        record.slots = DayEncoding::decodeSlots(days.text(1));
        record.checks = DayEncoding::decodeChecks(days.text(2));
        record.absent1 = markOf(days, 3);
        record.absent2 = markOf(days, 5);
        record.echo1 = markOf(days, 7);
        record.echo2 = markOf(days, 9);
        agenda.events.append(eventsOfDay(DateNumber::toDate(qint32(days.integer(0))), record, minutes));
    }
    if (step == SqliteStatement::Step::Error)
        return readFailure(databasePath, database.handle());
    return Status::success();
}

} // namespace AgendaExport
