#pragma once

#include "sqliteconnection.h"
#include "sqlitestatement.h"
#include "textrules.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QVariant>

// Test databases made the way the supervisor's tool makes them: from the
// schema file of the empty database. Raw SQL here is the tests' own look at
// the file, apart from the engine under test.
namespace StoreTestDatabase {

// The first bytes of a legacy Access (Jet) file.
inline const QByteArray JetHeader("\0\1\0\0Standard Jet DB\0\0\0", 22);

inline bool run(const QString &path, const QString &sql)
{
    // Created here on purpose: the program itself never creates a database.
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
                        == SQLITE_OK
                    && TextRules::registerTextRules(db) == SQLITE_OK
                    && sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

inline QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Written through the same inode, as a plain file copy over the file does.
inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A new empty appointment database in `folder`, then `sql` run on it; an
// empty path when either fails.
inline QString create(const QString &folder, const QString &sql = QString())
{
    static int count = 0;
    const QString path = QDir(folder).filePath(QStringLiteral("AGENDAS%1.MDB").arg(++count));
    const QByteArray schema = contents(QStringLiteral(PLANORA_SCHEMA_FILE));
    const bool made = !schema.isEmpty() && run(path, QString::fromUtf8(schema)) && (sql.isEmpty() || run(path, sql));
    return made ? path : QString();
}

// The rows of a query, each as its column values, through our text rules.
inline QList<QVariantList> rows(const QString &path, const QString &sql, const QVariantList &values = {})
{
    SqliteConnection connection;
    QList<QVariantList> result;
    SqliteStatement statement;
    if (connection.open(path, SqliteConnection::Mode::ReadOnly) != SQLITE_OK
        || TextRules::registerTextRules(connection.handle()) != SQLITE_OK
        || statement.prepare(connection.handle(), sql) != SQLITE_OK)
        return result;
    connection.setBusyTimeout(30000);
    for (qsizetype i = 0; i < values.size(); ++i)
        statement.bind(int(i) + 1, values.at(i)); // parameters count from 1
    while (statement.step() == SqliteStatement::Step::Row) {
        result.append(QVariantList());
        for (int column = 0; column < statement.columnCount(); ++column)
            result.last() << statement.value(column);
    }
    return result;
}

inline QVariant scalar(const QString &path, const QString &sql, const QVariantList &values = {})
{
    return rows(path, sql, values).value(0).value(0);
}

// Whether another workstation could take the write lock at once: nothing
// of ours holds a lock on the file.
inline bool lockFree(const QString &path)
{
    SqliteConnection other;
    return other.open(path, SqliteConnection::Mode::ReadWrite) == SQLITE_OK
           && other.exec("BEGIN EXCLUSIVE") == SQLITE_OK && other.exec("ROLLBACK") == SQLITE_OK;
}

} // namespace StoreTestDatabase
