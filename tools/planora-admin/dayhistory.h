#pragma once

#include "status.h"

#include <QDate>
#include <QString>
#include <QStringList>

// "history": the versions of a day that saves replaced, kept in the table
// HISTORIQUE by the schema's triggers. A version is named by its number
// (NUMERO), unique in the file.
namespace DayHistory {

// The versions of one user's day, newest first, each with the slots (and
// the other fields) in which it differs from the version that replaced it.
Status list(const QString &path, int user, QDate date, QStringList &lines);

// Writes version `number` back as the day's content, as a new save: the
// content it replaces goes to the history in turn.
Status restore(const QString &path, qint64 number, QStringList &notes);

// Removes the versions replaced before the given day.
Status prune(const QString &path, QDate before, QStringList &notes);

} // namespace DayHistory
