#include "backupjob.h"

#include "agcfile.h"
#include "atomicwrite.h"
#include "programfolder.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace BackupJob {

namespace {

// Utilisat.agc of the folder, found without regard to case; nothing when it
// is missing or cannot be read.
std::optional<QByteArray> readUsersFile(const QString &folder)
{
    QFile source(AgcFile::locate(folder, UsersFileName));
    if (!QFileInfo(source).isFile() || !source.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = source.readAll();
    return source.error() == QFileDevice::NoError ? std::optional(bytes) : std::nullopt;
}

bool writeUsersFile(const QString &folder, const QByteArray &bytes)
{
    return writeFileAtomically(AgcFile::locate(folder, UsersFileName), bytes);
}

} // namespace

// Utilisat.agc is read before anything is written, so that a backup that
// cannot be whole leaves the earlier one as it was.
BackupResult backup(const QString &database, const QString &usersFolder, const QString &backupFolder)
{
    BackupResult result;
    const std::optional<QByteArray> users = readUsersFile(usersFolder);
    result.usersRead = users.has_value();
    if (!users)
        return result;
    result.database = DatabaseCopy::snapshot(database, joinPath(backupFolder, DatabaseFileName));
    result.usersCopied = result.database.ok() && writeUsersFile(backupFolder, *users);
    return result;
}

RestoreResult restore(const QString &backupFile, const QString &database, const QString &usersFolder,
                      const QDateTime &now)
{
    RestoreResult result;
    const QString safetyCopy = DatabaseCopy::safetyCopyPath(database, now);
    result.database = DatabaseCopy::restore(backupFile, database, safetyCopy);
    if (result.database.ok()) {
        result.safetyCopy = QFileInfo::exists(safetyCopy) ? safetyCopy : QString();
        const std::optional<QByteArray> users = readUsersFile(usersFolderOfBackup(backupFile));
        // The users' configuration being replaced is kept too, dated alike;
        // when it cannot be kept, it is not replaced.
        const QString current = AgcFile::locate(usersFolder, UsersFileName);
        const QString kept = DatabaseCopy::safetyCopyPath(current, now);
        const bool hadUsers = QFileInfo::exists(current);
        if (users && (!hadUsers || QFile::copy(current, kept))) {
            result.usersSafetyCopy = hadUsers ? kept : QString();
            result.usersCopied = writeUsersFile(usersFolder, *users);
        }
    }
    return result;
}

QString usersFolderOfBackup(const QString &backupFile)
{
    return backupFile.chopped(qMin(backupFile.size(), (QLatin1Char('/') + DatabaseFileName).size()));
}

} // namespace BackupJob
