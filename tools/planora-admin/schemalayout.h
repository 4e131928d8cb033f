#pragma once

#include "sqliteconnection.h"

#include <QList>
#include <QString>
#include <QStringList>

// The tables of an appointment database as SQLite describes them: names,
// columns with their declared types, one-column unique indexes. The expected
// layout is read from the schema built into the tool, so the check and the
// conversion follow data/schema.sql without a copy of it.
namespace SchemaLayout {

struct Column
{
    QString name;
    QString type; // as declared

    // SQLite's affinity of the declared type: INTEGER, TEXT, BLOB, REAL or NUMERIC.
    QString affinity() const;
};

struct Table
{
    QString name;
    QList<Column> columns;
    QStringList uniqueColumns; // upper case

    const Column *column(const QString &name) const; // without regard to case
};

// The tables of data/schema.sql, by name.
const QList<Table> &expected();

// The tables that hold the users' days (RVOUS1 to RVOUS6), by name.
QList<Table> dayTables();

struct Trigger
{
    QString name;
    QString sql; // as written, blanks and line breaks included
};

// The triggers of data/schema.sql, by name.
const QList<Trigger> &expectedTriggers();

// The trigger as found in the database; an empty text when it is missing.
QString triggerSql(const SqliteConnection &db, const QString &name);

// The table as found in the database; no columns when it does not exist.
Table read(const SqliteConnection &db, const QString &table);

} // namespace SchemaLayout
