#pragma once

#include "status.h"

#include <QString>
#include <QStringList>

class SettingsStore;

// "settings": where this workstation finds the practice's files.
struct WorkstationSettings
{
    QString databasePath;  // CHEMIN: must name a file AGENDAS.MDB
    QString usersFolder;   // CheminUt
    QString namesPath;     // CheminNoms
    QString programFolder; // where Alpha.agc goes
    QString tableName;     // empty: not given on the command line

    // Writes CHEMIN, CheminUt and CheminNoms as absolute paths, then
    // Alpha.agc in the program folder: lookup on with the table (PATIENTS
    // when none is given). An Alpha.agc already there is kept as it is
    // unless a table is given: a re-run does not undo the supervisor's
    // choice. Paths that do not exist yet are written all the same and said
    // so in notes (the shared folder may not be mounted yet).
    Status write(SettingsStore &store, QStringList &notes) const;
};
