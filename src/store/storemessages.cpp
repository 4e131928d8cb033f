#include "storemessages.h"

#include <sqlite3.h>

#include <QDir>

namespace StoreMessages {

namespace {
QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}
} // namespace

Status missingFile(const QString &path)
{
    return Status::failure(QStringLiteral("La base de données %1 est introuvable.\n"
                                          "Vérifiez le chemin de la base dans la configuration.")
                               .arg(shown(path)));
}

Status notAFile(const QString &path)
{
    return Status::failure(QStringLiteral("%1 n'est pas un fichier de base de données.").arg(shown(path)));
}

Status legacyAccess(const QString &path)
{
    return Status::failure(
        QStringLiteral("Le fichier %1 est une base Access d'une ancienne version de PLANORA.\n"
                       "Convertissez-la d'abord avec la commande « planora-admin convert ».")
            .arg(shown(path)));
}

Status notSqlite(const QString &path)
{
    return Status::failure(QStringLiteral("Le fichier %1 n'est pas une base de données PLANORA, "
                                          "ou il est endommagé.")
                               .arg(shown(path)));
}

Status missingTable(const QString &table, const QString &path)
{
    return Status::failure(
        QStringLiteral("La table %1 est absente de la base de données %2.").arg(table, shown(path)));
}

Status missingColumn(const QString &column, const QString &table, const QString &path)
{
    return Status::failure(QStringLiteral("Le champ %1 est absent de la table %2 de la base de données %3.")
                               .arg(column, table, shown(path)));
}

Status readOnly(const QString &path)
{
    return Status::failure(QStringLiteral("La base de données %1 est en lecture seule : "
                                          "la modification n'a pas été enregistrée.")
                               .arg(shown(path)));
}

Status busy(const QString &path, int busyTimeoutMs)
{
    return Status::failure(QStringLiteral("La base de données %1 est occupée par un autre poste "
                                          "depuis plus de %2 secondes : l'opération n'a pas été faite.\n"
                                          "Réessayez dans un instant.")
                               .arg(shown(path))
                               .arg(busyTimeoutMs / 1000.0, 0, 'g', 3));
}

Status noCurrentRow()
{
    return Status::failure(QStringLiteral("Aucun enregistrement courant."));
}

Status notEditing()
{
    return Status::failure(QStringLiteral("Aucune modification en cours sur cet enregistrement."));
}

Status unknownField(const QString &field)
{
    return Status::failure(QStringLiteral("Le champ %1 n'existe pas.").arg(field));
}

Status unknownUser(int user)
{
    return Status::failure(QStringLiteral("L'utilisateur %1 n'existe pas (1 à 6).").arg(user));
}

Status fromSqlite(int code, const QString &path, int busyTimeoutMs, const QString &detail)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return busy(path, busyTimeoutMs);
    case SQLITE_READONLY:
        return readOnly(path);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return notSqlite(path);
    case SQLITE_CANTOPEN:
        return Status::failure(QStringLiteral("Impossible d'ouvrir la base de données %1 "
                                              "(fichier ou dossier inaccessible).")
                                   .arg(shown(path)));
    case SQLITE_FULL:
        return Status::failure(
            QStringLiteral("Le disque de la base de données %1 est plein : rien n'a été enregistré.")
                .arg(shown(path)));
    case SQLITE_IOERR:
        return Status::failure(QStringLiteral("Erreur de lecture ou d'écriture sur la base de données %1.\n"
                                              "Vérifiez la connexion au dossier partagé.")
                                   .arg(shown(path)));
    default:
        return Status::failure(
            QStringLiteral("Erreur de la base de données %1 : %2").arg(shown(path), detail));
    }
}

} // namespace StoreMessages
