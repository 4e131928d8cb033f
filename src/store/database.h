#pragma once

#include "sqliteconnection.h"
#include "status.h"

#include <QString>

#include <memory>

class View;

// An Access-style database over one SQLite file: opened by path (never
// created), several workstations at once. Every write goes through a View in
// one short BEGIN IMMEDIATE transaction; between operations no lock is held.
class Database
{
public:
    static constexpr int DefaultBusyTimeoutMs = 8000;

    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Recognises before opening: a missing file, a legacy Access file, a file
    // that is not SQLite. ReadWrite falls back to read-only when the file
    // cannot be written; isReadOnly() tells which one it got.
    Status open(const QString &path, SqliteConnection::Mode mode = SqliteConnection::Mode::ReadWrite);

    // Releases this handle on the file. Views opened on it keep the
    // connection alive until they are gone too.
    void close();

    bool isOpen() const;
    bool isReadOnly() const;
    QString path() const { return m_path; }

    // How long to wait for another workstation's lock before giving up with
    // a message. Applies to the open connection and to later opens.
    void setBusyTimeout(int milliseconds);
    int busyTimeout() const { return m_busyTimeoutMs; }

    // An updatable ordered view from one of the program's SQL texts (see
    // Dialect); any other text is refused with a message and never run.
    Status openView(const QString &sqlText, std::unique_ptr<View> &view);

    // The raw connection, for the few callers that need SQLite itself
    // (backups, the supervisor's tool). Null when closed.
    sqlite3 *handle() const;

private:
    std::shared_ptr<SqliteConnection> m_connection;
    QString m_path;
    bool m_readOnly = false;
    int m_busyTimeoutMs = DefaultBusyTimeoutMs;
};
