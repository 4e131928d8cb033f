#include "backupmessages.h"

#include <QDir>
#include <QFileInfo>

namespace BackupMessages {

using DatabaseCopy::Outcome;

QString backupDone()
{
    return QStringLiteral("Sauvegarde terminée");
}

QString backupFailed(const BackupJob::BackupResult &result, const QString &usersFolder)
{
    QString text = QStringLiteral("Assurez vous que tous les utilisateurs aient quitté le programme");
    if (!result.usersRead) {
        text += QStringLiteral("\n\nLe fichier %1 est introuvable ou illisible dans %2 : rien n'a été sauvegardé.")
                    .arg(BackupJob::UsersFileName, QDir::toNativeSeparators(usersFolder));
    } else if (result.database.outcome == Outcome::SameFile) {
        text += QStringLiteral("\n\nLe répertoire de sauvegarde est celui de la base AGENDAS.MDB elle-même : "
                               "choisissez-en un autre.");
    }
    return text;
}

QString restoreFileMissing()
{
    return QStringLiteral("Fichier AGENDAS.MDB non existant à cet endroit");
}

QString restoreDone(const BackupJob::RestoreResult &result, const QString &usersSourceFolder)
{
    QString text = QStringLiteral("Restauration effectuée");
    if (!result.safetyCopy.isEmpty()) {
        text += QStringLiteral("\n\nLa base remplacée est gardée sous :\n%1")
                    .arg(QDir::toNativeSeparators(result.safetyCopy));
    }
    if (!result.usersSafetyCopy.isEmpty()) {
        text += QStringLiteral("\nLa configuration des utilisateurs remplacée est gardée sous :\n%1")
                    .arg(QDir::toNativeSeparators(result.usersSafetyCopy));
    }
    if (!result.usersCopied) {
        text += QStringLiteral("\n\nLe fichier %1 n'a pas pu être copié depuis %2 : "
                               "la configuration des utilisateurs n'a pas été restaurée.")
                    .arg(BackupJob::UsersFileName, QDir::toNativeSeparators(usersSourceFolder));
    }
    return text;
}

QString restoreFailed(const BackupJob::RestoreResult &result, const QString &backupFile, const QString &database)
{
    const QString backupShown = QDir::toNativeSeparators(backupFile);
    switch (result.database.outcome) {
    case Outcome::SourceMissing:
    case Outcome::SourceUnreadable:
        return restoreFileMissing();
    case Outcome::NotPlanora:
        return QStringLiteral("Le fichier %1 n'est pas une sauvegarde de la base AGENDAS.MDB de PLANORA.\n"
                              "Rien n'a été restauré.")
            .arg(backupShown);
    case Outcome::Damaged:
        return QStringLiteral("La sauvegarde %1 est endommagée.\nRien n'a été restauré.").arg(backupShown);
    case Outcome::SafetyCopyFailed:
        return QStringLiteral("La base actuelle n'a pas pu être mise de côté avant la restauration "
                              "(dossier %1 protégé en écriture ou plein).\nRien n'a été restauré.")
            .arg(QDir::toNativeSeparators(QFileInfo(database).path()));
    case Outcome::Busy:
        return QStringLiteral("La base %1 est occupée par un autre poste.\nRien n'a été restauré : "
                              "réessayez quand les autres postes auront enregistré.")
            .arg(QDir::toNativeSeparators(database));
    case Outcome::TargetUnwritable:
        return QStringLiteral("La base %1 ne peut pas être modifiée (protégée en écriture).\n"
                              "Rien n'a été restauré.")
            .arg(QDir::toNativeSeparators(database));
    case Outcome::SameFile:
        return QStringLiteral("Le fichier %1 est la base AGENDAS.MDB elle-même.\nRien n'a été restauré.")
            .arg(backupShown);
    case Outcome::Done:
    case Outcome::Failed:
        break;
    }
    return QStringLiteral("La restauration a échoué : %1\nLa base actuelle n'a pas été modifiée.")
        .arg(DatabaseCopy::describe(result.database, backupFile));
}

} // namespace BackupMessages
