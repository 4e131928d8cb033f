#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Checks an appointment database against the schema built into the tool:
// the file is a whole SQLite database, its integrity check passes, and every
// table of the schema is there with every column, of the same kind, and the
// same unique columns. Read-only: the file is never changed.
namespace DatabaseCheck {

// Every problem found, in plain French words, one per line; empty when the
// database is sound.
QStringList problems(const QString &path);

// What the first bytes of a file say is wrong with it as a database (not a
// database at all, a legacy Access file, cut short), or nothing.
QString headerProblem(const QByteArray &firstBytes, qint64 fileSize);

// The first bytes of a Microsoft Access (Jet 3/4 or ACE) file.
bool isLegacyAccessHeader(const QByteArray &firstBytes);

} // namespace DatabaseCheck
