#pragma once

#include "dayrecord.h"
#include "status.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

// "export": one user's appointments over a range of days, as events with a
// start and a length, for a calendar or a spreadsheet.
namespace AgendaExport {

struct Event
{
    enum class Kind { Appointment, Absence, Echography };

    QDate day;
    QTime start;
    int minutes = 0;
    Kind kind = Kind::Appointment;
    QString text;
    int slot = -1;        // the slot of an appointment; -1 for a half-day mark
    bool morning = true;  // the frame of a half-day mark
    bool checked = false; // the slot's check mark

    bool operator==(const Event &) const = default;
};

// "Rendez-vous", "Absence" or "Echographies".
QString kindName(Event::Kind kind);

struct Agenda
{
    int user = 0;
    QString userName;
    QList<Event> events;
};

// The events of one day of a user on a grid of `minutes`: one per slot that
// holds text (a slot without a time of its own starts with the slot above
// it), and one over the whole morning or afternoon for each absence or
// echography mark, in order of the day.
QList<Event> eventsOfDay(QDate day, const DayRecord &record, int minutes);

// Reads the user's days from..to (both included) from the database, and the
// user's name and grid from Utilisat.agc in usersFolder.
Status read(const QString &databasePath, const QString &usersFolder, int user, QDate from, QDate to,
            Agenda &agenda);

} // namespace AgendaExport
