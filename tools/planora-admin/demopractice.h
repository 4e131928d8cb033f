#pragma once

#include "namegenerator.h"
#include "sqliteconnection.h"
#include "status.h"
#include "userconfig.h"

#include <QDate>
#include <QList>

// "init --demo": a practice that looks lived in, for a first look at the
// program. Three practitioners on different grids and colours, and six weeks
// of appointments around today.
namespace DemoPractice {

// Users 1 to 3 named, on the 15-, 20- and 30-minute grids; 4 to 6 unassigned.
UserConfig users();

// The six weeks: from the Monday three weeks before today's week to the
// Sunday two weeks after it.
struct Weeks
{
    QDate first;
    QDate last;
};
Weeks weeksAround(QDate today);

// Writes the days of users 1 to 3 into a database that has the tables
// already, in one transaction. patients: the names the appointments use
// (from the names database); when empty, invented ones. The same today and
// patients always give the same days.
Status fill(SqliteConnection &db, QDate today, QList<NameGenerator::Patient> patients);

} // namespace DemoPractice
