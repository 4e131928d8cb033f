#pragma once

#include "status.h"

#include <QString>

// The patient names database that the name lookup reads: one table of at
// least the text columns NOM and PRENOM, indexed in the lookup's order.
namespace NamesDatabase {

// Its file in a practice folder made by "init", and the table name written
// to Alpha.agc unless the supervisor names another.
inline QString fileName() { return QStringLiteral("NOMS.db"); }
inline QString tableName() { return QStringLiteral("PATIENTS"); }

// Creates the file with an empty table PATIENTS and its index, then adds
// sampleCount invented patients (NameGenerator) in one transaction.
Status create(const QString &path, qint64 sampleCount);

} // namespace NamesDatabase
