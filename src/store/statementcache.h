#pragma once

#include "sqlitestatement.h"

#include <QString>

#include <memory>
#include <optional>
#include <unordered_map>

class SqliteConnection;

// The prepared statements of one connection, kept by SQL text for as long as
// the connection lives. A view's queries differ from one call to the next
// only in their bound values, and preparing one costs several times what
// running it on a day does.
class StatementCache
{
public:
    static constexpr std::size_t MaxStatements = 48;

    explicit StatementCache(std::shared_ptr<SqliteConnection> connection);
    // Every statement is finalized before the connection is let go, so that
    // closing it really closes the file.
    ~StatementCache();
    StatementCache(const StatementCache &) = delete;
    StatementCache &operator=(const StatementCache &) = delete;

    // One statement in use, from the cache or prepared for this use alone
    // (its text already in use further up the call, or nothing evictable).
    // On leaving it is reset: its read transaction ends and its bindings are
    // cleared, so no lock outlives the operation that ran it.
    class Use
    {
    public:
        Use(StatementCache &cache, const QString &sql);
        ~Use();
        Use(const Use &) = delete;
        Use &operator=(const Use &) = delete;

        // SQLITE_OK, or why the text could not be prepared.
        int resultCode() const { return m_resultCode; }
        SqliteStatement &statement() { return *m_statement; }

    private:
        SqliteStatement *m_statement = nullptr;
        bool *m_inUse = nullptr;
        std::optional<SqliteStatement> m_own;
        int m_resultCode = 0;
    };

    std::size_t size() const { return m_entries.size(); }

private:
    struct Entry
    {
        SqliteStatement statement;
        bool inUse = false;
    };

    // Makes room for one more entry; false when every entry is in use.
    bool makeRoom();

    std::shared_ptr<SqliteConnection> m_connection;
    std::unordered_map<QString, Entry> m_entries; // nodes stay put while others come and go
};
