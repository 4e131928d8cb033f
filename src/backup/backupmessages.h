#pragma once

#include "backupjob.h"

#include <QString>

// The texts the backup window shows at the end of a backup or a restore.
namespace BackupMessages {

QString backupDone();
// The message of a failed backup; a second paragraph says why when the
// backup folder is the database's own or Utilisat.agc cannot be read.
QString backupFailed(const BackupJob::BackupResult &result, const QString &usersFolder);
QString restoreFileMissing();

// What the user is told after a restore that went through: the restore, and
// what else happened (the safety copy kept, Utilisat.agc not copied).
QString restoreDone(const BackupJob::RestoreResult &result, const QString &usersSourceFolder);

// Why a restore was refused or failed; the live database is as it was.
QString restoreFailed(const BackupJob::RestoreResult &result, const QString &backupFile,
                      const QString &database);

} // namespace BackupMessages
