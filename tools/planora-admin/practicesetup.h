#pragma once

#include "status.h"
#include "userconfig.h"

#include <QDate>
#include <QString>
#include <QStringList>

// "init": a new practice folder with an empty AGENDAS.MDB, Utilisat.agc and
// the names database.
namespace PracticeSetup {

// User 1 named, on the 15-minute grid; users 2 to 6 unassigned.
UserConfig firstUsers();

// Creates the folder when needed, then AGENDAS.MDB from the built-in schema.
// Refuses when the folder already holds an AGENDAS.MDB (whatever the case of
// its name). An Utilisat.agc or a names database already there is kept as it
// is and said so in notes. sampleNames invented patients fill a new names
// database. A valid demoToday makes a demo practice around that day: three
// users and six weeks of appointments whose names come from the names
// database.
Status init(const QString &folder, qint64 sampleNames, QStringList &notes, QDate demoToday = {});

} // namespace PracticeSetup
