#include "sqliteconnection.h"

#include <sqlite3.h>

#include <utility>

SqliteConnection::~SqliteConnection()
{
    close();
}

SqliteConnection::SqliteConnection(SqliteConnection &&other) noexcept
    : m_db(std::exchange(other.m_db, nullptr))
{
}

SqliteConnection &SqliteConnection::operator=(SqliteConnection &&other) noexcept
{
    if (this != &other) {
        close();
        m_db = std::exchange(other.m_db, nullptr);
    }
    return *this;
}

int SqliteConnection::open(const QString &path, Mode mode)
{
    close();
    // No SQLITE_OPEN_CREATE: a missing file is an error, never a new database.
    const int flags = (mode == Mode::ReadWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY)
                      | SQLITE_OPEN_NOMUTEX;
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db); // a handle is returned even on failure
        return rc;
    }
    sqlite3_extended_result_codes(db, 0);
    m_db = db;
    return SQLITE_OK;
}

void SqliteConnection::close()
{
    if (m_db) {
        sqlite3_close_v2(std::exchange(m_db, nullptr));
    }
}

int SqliteConnection::exec(const char *sql)
{
    return m_db ? sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) : SQLITE_MISUSE;
}

bool SqliteConnection::inTransaction() const
{
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

void SqliteConnection::setBusyTimeout(int milliseconds)
{
    if (m_db) {
        sqlite3_busy_timeout(m_db, milliseconds);
    }
}

QString SqliteConnection::lastErrorText() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
}
