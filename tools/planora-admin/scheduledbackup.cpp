#include "scheduledbackup.h"

#include "agcfile.h"
#include "databasecopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace ScheduledBackup {

namespace {

const QString databaseFileName = u"AGENDAS.MDB"_s;
const QString usersFileName = u"Utilisat.agc"_s;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The backup folders in `folder`, newest first (their names sort by time).
QStringList backupFolders(const QString &folder)
{
    static const QRegularExpression backupName(u"^\\d{8}-\\d{6}$"_s);
    QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    names.removeIf([](const QString &name) { return !backupName.match(name).hasMatch(); });
    return names;
}

Status copyInto(const Request &request, const QString &target)
{
    const DatabaseCopy::Result copied = DatabaseCopy::snapshot(request.database, target + u'/' + databaseFileName);
    if (!copied.ok())
        return Status::failure(DatabaseCopy::describe(copied, request.database));
    const QString users = AgcFile::locate(request.usersFolder, usersFileName);
    if (!QFileInfo(users).isFile())
        return Status::failure(u"%1 introuvable : donnez avec --users le dossier qui le contient."_s.arg(shown(users)));
    if (!QFile::copy(users, target + u'/' + usersFileName))
        return Status::failure(u"Impossible de copier %1 dans %2."_s.arg(shown(users), shown(target)));
    return Status::success();
}

} // namespace

QString folderName(const QDateTime &when)
{
    return when.toString(u"yyyyMMdd-HHmmss"_s);
}

Status run(const Request &request, QStringList &notes)
{
    if (!QFileInfo(request.folder).isDir())
        // Not made here: a backup folder on a network share that is not
        // mounted must fail loudly, not fill the local disk.
        return Status::failure(u"Le dossier de sauvegarde %1 n'existe pas."_s.arg(shown(request.folder)));
    const QString target = QDir(request.folder).filePath(folderName(request.when));
    if (QFileInfo::exists(target))
        return Status::failure(u"%1 existe déjà : une sauvegarde a été faite dans la même seconde."_s.arg(shown(target)));
    if (!QDir().mkdir(target))
        return Status::failure(u"Impossible de créer %1 : dossier protégé en écriture ?"_s.arg(shown(target)));

    if (Status copied = copyInto(request, target); !copied.ok()) {
        QDir(target).removeRecursively();
        return copied;
    }
    notes.append(u"Sauvegarde : %1 (%2, %3)"_s.arg(shown(target), databaseFileName, usersFileName));

    if (request.keep <= 0)
        return Status::success();
    const QStringList backups = backupFolders(request.folder);
    for (qsizetype i = request.keep; i < backups.size(); ++i) {
        const QString old = QDir(request.folder).filePath(backups.at(i));
        if (!QDir(old).removeRecursively())
            return Status::failure(u"Sauvegarde faite, mais impossible de supprimer l'ancienne %1."_s.arg(shown(old)));
        notes.append(u"Supprimée : %1"_s.arg(shown(old)));
    }
    return Status::success();
}

} // namespace ScheduledBackup
