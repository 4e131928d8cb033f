#pragma once

#include <QString>

struct sqlite3;

// Owns one SQLite connection (sqlite3_open_v2 / sqlite3_close_v2). Move-only.
// Knows nothing of our tables: the policy (never create, pragmas, messages)
// lives in Database.
class SqliteConnection
{
public:
    enum class Mode { ReadWrite, ReadOnly };

    SqliteConnection() = default;
    ~SqliteConnection();
    SqliteConnection(SqliteConnection &&other) noexcept;
    SqliteConnection &operator=(SqliteConnection &&other) noexcept;
    SqliteConnection(const SqliteConnection &) = delete;
    SqliteConnection &operator=(const SqliteConnection &) = delete;

    // Opens an existing file only (never SQLITE_OPEN_CREATE). Returns the
    // SQLite result code; on failure the connection stays closed.
    int open(const QString &path, Mode mode);
    void close();

    bool isOpen() const { return m_db != nullptr; }
    sqlite3 *handle() const { return m_db; }

    // Runs SQL text holding no value from outside (pragmas, BEGIN, COMMIT).
    int exec(const char *sql);
    // True between a BEGIN and its COMMIT or ROLLBACK.
    bool inTransaction() const;
    void setBusyTimeout(int milliseconds);
    QString lastErrorText() const;

private:
    sqlite3 *m_db = nullptr;
};
