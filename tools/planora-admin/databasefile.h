#pragma once

#include "sqliteconnection.h"
#include "status.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The few whole-file SQLite operations of the supervisor's tool: make a new
// database file in one piece, run a statement, read the rows of a query.
namespace DatabaseFile {

// Builds the database in a temporary file beside path, runs fill on it, and
// only when everything succeeded renames it to path. A failure leaves no
// half-made file behind, and an existing file at path is never replaced.
Status create(const QString &path, const std::function<Status(SqliteConnection &)> &fill);

// A private database in memory.
SqliteConnection inMemory();

Status execute(SqliteConnection &db, const char *sql);

// Opens an existing appointment database to change it: refuses a missing
// file, a folder, anything that is not a whole SQLite file, and a file that
// cannot be written, each with its own message. Waits up to 10 s for
// another workstation's lock.
Status openExisting(const QString &path, SqliteConnection &db);

// Every row of the query, each column as text (NULL as an empty text).
// Values are bound in order to the ?s of the query.
struct Rows
{
    QList<QStringList> rows;
    QString error; // SQLite's message when the query failed
};
Rows query(const SqliteConnection &db, const QString &sql, const QStringList &values = {});

} // namespace DatabaseFile
