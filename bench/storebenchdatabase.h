#pragma once

// The store benchmarks' practice: 20 years x 6 users of full days (53
// filled slots each, about 17 MB of slot text per user), generated once
// into the temporary folder and reused.
#include "dayrecord.h"
#include "sqlitestatement.h"

#include <sqlite3.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace StoreBenchDatabase {

inline constexpr int Users = 6;
inline constexpr qint32 FirstDay = 37622; // 1 January 2003
inline constexpr qint32 DayCount = 7305;  // 20 years

inline DayRecord fullDay(qint32 date, int user)
{
    DayRecord record;
    for (int i = 0; i < SlotCount; ++i) {
        record.slots[std::size_t(i)] =
            QStringLiteral("PATIENT%1 Prénom%2 06 12 34 56 78 contrôle").arg(date % 997 + i).arg(user);
        record.checks[std::size_t(i)] = i % 4 == 0;
    }
    record.postit = QStringLiteral("Rappeler le laboratoire");
    record.bloc = QStringLiteral("8h cholécystectomie\r\n10h hernie");
    return record;
}

inline bool exec(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

inline QByteArray schemaText()
{
    QFile schemaFile(QStringLiteral(PLANORA_SCHEMA_FILE));
    return schemaFile.open(QIODevice::ReadOnly) ? schemaFile.readAll() : QByteArray();
}

// Made with plain SQLite in one transaction: `days` days of `users` users;
// renamed into place only when complete, so an interrupted run never leaves
// a short file to be reused.
inline QString makeDatabase(const QString &path, const QByteArray &schema, int users, qint32 days)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString partial = path + QStringLiteral(".partial");
    QFile::remove(partial);
    sqlite3 *db = nullptr;
    sqlite3_open(partial.toUtf8().constData(), &db);
    bool ok = !schema.isEmpty() && exec(db, schema.constData()) && exec(db, "BEGIN");
    for (int user = 1; ok && user <= users; ++user) {
        SqliteStatement insert;
        ok = insert.prepare(db, QStringLiteral("INSERT INTO RVOUS%1(AGENDATE, RVOUS, Postit, Bloc, COCHE) "
                                               "VALUES (?, ?, ?, ?, ?)")
                                    .arg(user))
             == SQLITE_OK;
        for (qint32 date = FirstDay; ok && date < FirstDay + days; ++date) {
            const DayRecord record = fullDay(date, user);
            insert.bind(1, qint64(date));
            insert.bind(2, DayEncoding::encodeSlots(record.slots));
            insert.bind(3, record.postit);
            insert.bind(4, record.bloc);
            insert.bind(5, DayEncoding::encodeChecks(record.checks));
            ok = insert.step() == SqliteStatement::Step::Done;
            insert.reset();
        }
    }
    ok = ok && exec(db, "COMMIT");
    sqlite3_close(db);
    return ok && QFile::rename(partial, path) ? path : QString();
}

// The 20-year practice. The folder's name carries a digest of the schema
// file, so that a file made from an older schema is never reused.
inline QString benchDatabase()
{
    const QByteArray schema = schemaText();
    const QString folder = QDir::temp().filePath(
        QStringLiteral("planora-store-bench-")
        + QString::fromLatin1(QCryptographicHash::hash(schema, QCryptographicHash::Sha1).toHex().left(12)));
    const QString path = QDir(folder).filePath(QStringLiteral("AGENDAS.MDB"));
    return QFile::exists(path) ? path : makeDatabase(path, schema, Users, DayCount);
}

// PLANORA_BENCH_DATABASE, when set, names another file with the same days
// (an older one, say) to measure instead.
inline const QString &databasePath()
{
    static const QString path = qEnvironmentVariableIsSet("PLANORA_BENCH_DATABASE")
                                    ? qEnvironmentVariable("PLANORA_BENCH_DATABASE")
                                    : benchDatabase();
    return path;
}

} // namespace StoreBenchDatabase
