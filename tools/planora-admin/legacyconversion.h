#pragma once

#include "status.h"

#include <QString>
#include <QStringList>

// "convert": a legacy Access AGENDAS.MDB made into a new SQLite one, read
// through mdbtools' mdb-export (Debian package mdbtools).
namespace LegacyConversion {

// destination: a folder (the new file is AGENDAS.MDB in it) or a file name;
// an existing file is never replaced. Every table of the schema is copied
// column by column, by name; a table missing from the old file stays empty
// and is said so in notes. The new file is checked afterwards.
Status convert(const QString &legacyPath, const QString &destination, QStringList &notes);

} // namespace LegacyConversion
