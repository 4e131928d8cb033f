#include "databasecheck.h"

#include "databasefile.h"
#include "schemalayout.h"
#include "schemaupgrade.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace DatabaseCheck {

namespace {

constexpr qsizetype headerSize = 100;
constexpr QByteArrayView sqliteMagic("SQLite format 3\0", 16);
constexpr int integrityLinesShown = 10;

quint32 bigEndian32(const QByteArray &bytes, qsizetype offset)
{
    return qFromBigEndian<quint32>(bytes.constData() + offset);
}

QStringList layoutProblems(const SqliteConnection &db)
{
    QStringList problems;
    for (const SchemaLayout::Table &expected : SchemaLayout::expected()) {
        const SchemaLayout::Table found = SchemaLayout::read(db, expected.name);
        if (found.columns.isEmpty()) {
            problems.append(u"La table %1 manque."_s.arg(expected.name));
            continue;
        }
        for (const SchemaLayout::Column &wanted : expected.columns) {
            const SchemaLayout::Column *column = found.column(wanted.name);
            if (!column) {
                problems.append(u"La table %1 n'a pas de colonne %2."_s.arg(expected.name, wanted.name));
            } else if (column->affinity() != wanted.affinity()) {
                problems.append(u"La colonne %2 de la table %1 est de type %3 au lieu de %4."_s.arg(
                    expected.name, wanted.name, column->type.isEmpty() ? u"(aucun)"_s : column->type,
                    wanted.type));
            }
        }
        for (const QString &column : expected.uniqueColumns) {
            if (!found.uniqueColumns.contains(column))
                problems.append(u"La colonne %2 de la table %1 n'est pas unique : un même jour pourrait y avoir deux lignes."_s
                                    .arg(expected.name, column));
        }
    }
    return problems;
}

// The history of the days is kept by triggers: each one must be there, as
// the schema writes it (blanks aside).
QStringList historyProblems(const SqliteConnection &db)
{
    const int version = SchemaUpgrade::versionOf(db);
    if (version < SchemaUpgrade::currentVersion())
        return {u"La base est en version %1, l'outil en version %2 : mettez-la à jour avec « planora-admin "
                "upgrade »."_s.arg(version).arg(SchemaUpgrade::currentVersion())};
    const auto simplified = [](const QString &sql) { return sql.simplified(); };
    QStringList problems;
    for (const SchemaLayout::Trigger &trigger : SchemaLayout::expectedTriggers()) {
        const QString found = SchemaLayout::triggerSql(db, trigger.name);
        if (found.isEmpty())
            problems.append(u"Le déclencheur %1 manque : l'historique des jours n'est plus tenu."_s.arg(trigger.name));
        else if (simplified(found) != simplified(trigger.sql))
            problems.append(u"Le déclencheur %1 n'est pas celui du schéma : l'historique des jours n'est pas sûr."_s
                                .arg(trigger.name));
    }
    return problems;
}

QStringList integrityProblems(const SqliteConnection &db)
{
    const auto result = DatabaseFile::query(db, u"PRAGMA integrity_check(%1)"_s.arg(integrityLinesShown));
    if (!result.error.isEmpty())
        return {u"Le fichier est abîmé ou verrouillé, la vérification d'intégrité n'a pas pu se faire : %1."_s
                    .arg(result.error)};
    if (result.rows.size() == 1 && result.rows.at(0).value(0) == "ok"_L1)
        return {};
    QStringList problems;
    for (const QStringList &row : result.rows)
        problems.append(u"Intégrité : %1"_s.arg(row.value(0)));
    return problems;
}

} // namespace

bool isLegacyAccessHeader(const QByteArray &firstBytes)
{
    const QByteArray engine = firstBytes.mid(4, 15);
    return engine == "Standard Jet DB" || engine == "Standard ACE DB";
}

QString headerProblem(const QByteArray &firstBytes, qint64 fileSize)
{
    if (fileSize == 0)
        return u"Le fichier est vide : ce n'est pas une base de données."_s;
    if (isLegacyAccessHeader(firstBytes))
        return u"C'est une ancienne base Access : convertissez-la avec « planora-admin convert »."_s;
    const qsizetype compared = qMin(firstBytes.size(), sqliteMagic.size());
    if (QByteArrayView(firstBytes).first(compared) != sqliteMagic.first(compared))
        return u"Ce n'est pas une base de données (son en-tête n'est pas celui d'un fichier SQLite)."_s;
    if (fileSize < headerSize)
        return u"Le fichier est tronqué : %1 octets seulement, moins que son seul en-tête."_s.arg(fileSize);

    quint32 pageSize = qFromBigEndian<quint16>(firstBytes.constData() + 16);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        return u"L'en-tête du fichier est abîmé (taille de page %1 impossible)."_s.arg(pageSize);
    // The page count at offset 28 is only trusted when the change counter at
    // 24 matches the "version valid for" number at 92, as SQLite itself does.
    const quint32 pageCount = bigEndian32(firstBytes, 28);
    if (pageCount > 0 && bigEndian32(firstBytes, 24) == bigEndian32(firstBytes, 92)) {
        const qint64 expected = qint64(pageCount) * pageSize;
        if (fileSize < expected)
            return u"Le fichier est tronqué : il fait %1 octets alors que son en-tête en annonce %2."_s.arg(
                fileSize).arg(expected);
    }
    if (fileSize % pageSize != 0)
        return u"Le fichier est tronqué : %1 octets, pas un nombre entier de pages de %2 octets."_s.arg(
            fileSize).arg(pageSize);
    return {};
}

QStringList problems(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists())
        return {u"Le fichier %1 n'existe pas."_s.arg(shown)};
    if (info.isDir())
        return {u"%1 est un dossier, pas un fichier de base de données."_s.arg(shown)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {u"Le fichier %1 ne peut pas être lu : %2"_s.arg(shown, file.errorString())};
    const QString header = headerProblem(file.read(headerSize), file.size());
    file.close();
    if (!header.isEmpty())
        return {header};

    SqliteConnection db;
    if (db.open(path, SqliteConnection::Mode::ReadOnly) != SQLITE_OK)
        return {u"Le fichier %1 ne peut pas être ouvert par SQLite."_s.arg(shown)};
    db.setBusyTimeout(5000);
    QStringList problems = integrityProblems(db);
    problems += layoutProblems(db);
    problems += historyProblems(db);
    return problems;
}

} // namespace DatabaseCheck
