#pragma once

#include <QString>

class DayCursor;
class Prompts;

// What the week view reads and does in the main window: its state at the
// time of each click, its day cursor, and the showing of a day.
class WeekViewHost
{
public:
    virtual ~WeekViewHost() = default;

    virtual Prompts &prompts() = 0;
    // The database file, the setting CHEMIN read again (AGENDAS.MDB in the
    // program's folder when it is empty).
    virtual QString databasePath() const = 0;
    virtual int shownUser() const = 0;
    // The interval minutes as LblHorImp shows them.
    virtual int intervalMinutes() const = 0;
    // The shown date number as Label2 holds it.
    virtual qint32 shownDateNumber() const = 0;
    virtual DayCursor &dayCursor() = 0;
    // ENREG_01 when the changed flag is set; false when the day could not be
    // saved (the main window has said why).
    virtual bool saveChangedDay() = 0;
    // Shows the day of dateNumber, the day cursor standing on its row
    // (found) or on none: AFFICHE_JOUR, or the panels hidden and VIDE_JOUR;
    // then LblDate and Label2.
    virtual void showDay(qint32 dateNumber, bool found) = 0;
};
