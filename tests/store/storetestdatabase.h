#pragma once

#include "sqliteconnection.h"
#include "sqlitestatement.h"
#include "textrules.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <QVariant>

// Test databases made the way the supervisor's tool makes them: from the
// schema file of the empty database. Raw SQL here is the tests' own look at
// the file, apart from the engine under test.
namespace StoreTestDatabase {

inline bool run(const QString &path, const QString &sql)
{
    // Created here on purpose: the program itself never creates a database.
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
              == SQLITE_OK;
    ok = ok && TextRules::registerTextRules(db) == SQLITE_OK;
    ok = ok && sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

inline QString create(const QString &folder, const QString &name = QStringLiteral("AGENDAS.MDB"))
{
    QFile schema(QStringLiteral(PLANORA_SCHEMA_FILE));
    if (!schema.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QString path = QDir(folder).filePath(name);
    return run(path, QString::fromUtf8(schema.readAll())) ? path : QString();
}

// The rows of a query, each as its column values.
inline QList<QVariantList> rows(const QString &path, const QString &sql, const QVariantList &values = {})
{
    SqliteConnection connection;
    QList<QVariantList> result;
    if (connection.open(path, SqliteConnection::Mode::ReadOnly) != SQLITE_OK) {
        return result;
    }
    connection.setBusyTimeout(30000);
    TextRules::registerTextRules(connection.handle());
    SqliteStatement statement;
    if (statement.prepare(connection.handle(), sql) != SQLITE_OK) {
        return result;
    }
    for (qsizetype i = 0; i < values.size(); ++i) {
        statement.bind(int(i) + 1, values.at(i));
    }
    while (statement.step() == SqliteStatement::Step::Row) {
        QVariantList row;
        for (int column = 0; column < statement.columnCount(); ++column) {
            row << statement.value(column);
        }
        result << row;
    }
    return result;
}

inline QVariant scalar(const QString &path, const QString &sql, const QVariantList &values = {})
{
    const QList<QVariantList> result = rows(path, sql, values);
    return result.isEmpty() || result.first().isEmpty() ? QVariant() : result.first().first();
}

} // namespace StoreTestDatabase
