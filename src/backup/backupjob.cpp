#include "backupjob.h"

#include "agcfile.h"
#include "atomicwrite.h"
#include "programfolder.h"

#include <QFile>
#include <QFileInfo>

namespace BackupJob {

BackupResult backup(const QString &database, const QString &usersFolder, const QString &backupFolder)
{
    BackupResult result;
    result.database = DatabaseCopy::snapshot(database, joinPath(backupFolder, DatabaseFileName));
    result.usersCopied = result.database.ok() && copyUsersFile(usersFolder, backupFolder);
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
        result.usersCopied = copyUsersFile(usersFolderOfBackup(backupFile), usersFolder);
    }
    return result;
}

QString usersFolderOfBackup(const QString &backupFile)
{
    return backupFile.chopped(qMin(backupFile.size(), (QLatin1Char('/') + DatabaseFileName).size()));
}

bool copyUsersFile(const QString &fromFolder, const QString &toFolder)
{
    QFile source(AgcFile::locate(fromFolder, UsersFileName));
    if (!QFileInfo(source).isFile() || !source.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = source.readAll();
    return source.error() == QFileDevice::NoError && writeFileAtomically(AgcFile::locate(toFolder, UsersFileName), bytes);
}

} // namespace BackupJob
