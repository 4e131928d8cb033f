#pragma once

#include "schemasteps.h"

#include <QStringList>

namespace SchemaUpgrade {

// Brings the database at path to the current version in one transaction;
// a database already there is left untouched and said so in notes.
Status upgrade(const QString &path, QStringList &notes);

} // namespace SchemaUpgrade
