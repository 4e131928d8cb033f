#pragma once

#include "sqliteconnection.h"
#include "statementcache.h"
#include "status.h"
#include "view.h"

#include <QHash>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

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

    // True when `path` still names the very file this connection was opened
    // on, untouched since: same device and inode, same size and change time.
    // Reusing the connection is then as good as opening the file again.
    // False when closed, for another path, or when the file was removed,
    // replaced, written or had its permission changed since.
    bool isUnchangedAt(const QString &path) const;

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

    // One write made of several operations: BEGIN IMMEDIATE, waiting for
    // another workstation's lock through the busy timeout. What is read and
    // updated through this database's views until commit() or rollback()
    // happens inside it, with no other workstation writing in between.
    Status beginWrite();
    // After a successful commit the file's new stamp is taken as this
    // connection's own (see isUnchangedAt), so that the next positioning
    // keeps the connection instead of opening the file again.
    Status commit();
    void rollback();

    // The raw connection, for the few callers that need SQLite itself
    // (backups, the supervisor's tool). Null when closed.
    sqlite3 *handle() const;

private:
    // What stat() says of the file: which file it is and whether anything
    // touched it.
    struct FileStamp
    {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 changeSeconds = 0;
        qint64 changeNanoseconds = 0;
        bool regularFile = false;
        bool operator==(const FileStamp &) const = default;
    };
    static std::optional<FileStamp> stampOf(const QString &path);

    // The columns of `table`, from the cache while the schema is unchanged.
    Status tableColumns(const QString &table, std::vector<View::Column> &columns);
    Status readSchemaVersion(qint64 &version);

    std::shared_ptr<SqliteConnection> m_connection;
    std::shared_ptr<StatementCache> m_statements; // shared with the views, which may outlive this handle
    QString m_path;
    bool m_readOnly = false;
    int m_busyTimeoutMs = DefaultBusyTimeoutMs;
    std::optional<FileStamp> m_stamp; // taken just before the file was opened

    // Column lists by upper-case table name, valid for schema version
    // m_schemaVersion of this connection's file.
    QHash<QString, std::vector<View::Column>> m_columnsByTable;
    qint64 m_schemaVersion = -1;
};
