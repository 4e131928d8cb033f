#pragma once

#include "sqliteconnection.h"
#include "status.h"

#include <QList>
#include <QString>

// The versions of the appointment database. data/schema.sql is a sequence
// of steps, each ending with "PRAGMA user_version = N;": a new database runs
// them all, an older one the steps past its version.
namespace SchemaUpgrade {

struct Step
{
    int version = 0; // reached at the end of the step
    QString sql;
};

// The steps of the built-in schema, in order.
const QList<Step> &steps();

// The version a new database gets: the last step's.
int currentVersion();

// The file's schema version. A file that has the day tables but no version
// (made before versions were kept) counts as version 1; -1 when it cannot
// be read.
int versionOf(const SqliteConnection &db);

// Brings the open database to the current version in one IMMEDIATE
// transaction (no workstation writes between the version read and the last
// step; a failure leaves the file as it was). `from` gets the version the
// file was at; `shown` names the file in the messages.
Status upgradeOpened(SqliteConnection &db, const QString &shown, int &from);

} // namespace SchemaUpgrade
