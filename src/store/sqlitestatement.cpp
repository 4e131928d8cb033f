#include "sqlitestatement.h"

#include <sqlite3.h>

#include <utility>

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

SqliteStatement::SqliteStatement(SqliteStatement &&other) noexcept
    : m_stmt(std::exchange(other.m_stmt, nullptr)), m_lastResult(other.m_lastResult)
{
}

SqliteStatement &SqliteStatement::operator=(SqliteStatement &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_lastResult = other.m_lastResult;
    }
    return *this;
}

int SqliteStatement::prepare(sqlite3 *db, const QString &sql)
{
    sqlite3_finalize(std::exchange(m_stmt, nullptr));
    const QByteArray utf8 = sql.toUtf8();
    m_lastResult = db ? sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr)
                      : SQLITE_MISUSE;
    if (m_lastResult != SQLITE_OK) {
        sqlite3_finalize(std::exchange(m_stmt, nullptr));
    }
    return m_lastResult;
}

void SqliteStatement::bindNull(int parameter)
{
    sqlite3_bind_null(m_stmt, parameter);
}

void SqliteStatement::bind(int parameter, qint64 value)
{
    sqlite3_bind_int64(m_stmt, parameter, value);
}

void SqliteStatement::bind(int parameter, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(m_stmt, parameter, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bind(int parameter, const QVariant &value)
{
    if (value.isNull()) {
        bindNull(parameter);
    } else if (value.typeId() == QMetaType::QString) {
        bind(parameter, value.toString());
    } else {
        bind(parameter, value.toLongLong());
    }
}

SqliteStatement::Step SqliteStatement::step()
{
    m_lastResult = m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE;
    switch (m_lastResult) {
    case SQLITE_ROW:
        return Step::Row;
    case SQLITE_DONE:
        return Step::Done;
    default:
        return Step::Error;
    }
}

void SqliteStatement::reset()
{
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QString SqliteStatement::text(int column) const
{
    // Read the text before its size, as SQLite asks.
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return data ? QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, column)) : QStringLiteral("");
}

QVariant SqliteStatement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return integer(column);
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, column);
    default:
        return text(column);
    }
}
