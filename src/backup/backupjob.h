#pragma once

#include "databasecopy.h"

#include <QDateTime>
#include <QString>

// What the backup window does to the files, without the window: the
// database copied with the backup API, Utilisat.agc copied beside it, and
// back again.
namespace BackupJob {

inline const QString DatabaseFileName = QStringLiteral("AGENDAS.MDB");
inline const QString UsersFileName = QStringLiteral("Utilisat.agc");

struct BackupResult
{
    bool usersRead = false; // Utilisat.agc could be read; nothing is copied otherwise
    DatabaseCopy::Result database;
    bool usersCopied = false;
    bool ok() const { return usersRead && database.ok() && usersCopied; }
};

// `database` to `backupFolder`/AGENDAS.MDB (an earlier one there replaced
// once the new copy is whole and checked), then Utilisat.agc from
// `usersFolder` to `backupFolder`. Stops at the first failure; a missing
// Utilisat.agc stops it before anything is written.
BackupResult backup(const QString &database, const QString &usersFolder, const QString &backupFolder);

struct RestoreResult
{
    DatabaseCopy::Result database;
    QString safetyCopy;       // where the replaced database is kept (when it was)
    bool usersCopied = false; // Utilisat.agc restored too
    QString usersSafetyCopy;  // where the replaced Utilisat.agc is kept (when there was one)
};

// `backupFile` into the live `database` (checked first, the live one kept as
// a dated safety copy beside it), then Utilisat.agc from the backup's folder
// to `usersFolder`, only when the database was restored.
RestoreResult restore(const QString &backupFile, const QString &database, const QString &usersFolder,
                      const QDateTime &now);

// The folder a restore takes Utilisat.agc from: the backup file's path cut
// by the length of "/AGENDAS.MDB", whatever the file is called.
QString usersFolderOfBackup(const QString &backupFile);

} // namespace BackupJob
