#include "statementcache.h"

#include "sqliteconnection.h"

#include <sqlite3.h>

StatementCache::StatementCache(std::shared_ptr<SqliteConnection> connection)
    : m_connection(std::move(connection))
{
}

StatementCache::~StatementCache()
{
    m_entries.clear(); // before m_connection goes, whatever the member order
}

bool StatementCache::makeRoom()
{
    if (m_entries.size() < MaxStatements) {
        return true;
    }
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (!it->second.inUse) {
            m_entries.erase(it);
            return true;
        }
    }
    return false;
}

StatementCache::Use::Use(StatementCache &cache, const QString &sql)
{
    if (const auto found = cache.m_entries.find(sql); found != cache.m_entries.end() && !found->second.inUse) {
        m_statement = &found->second.statement;
        m_inUse = &found->second.inUse;
        *m_inUse = true;
        m_resultCode = SQLITE_OK;
        return;
    }
    SqliteStatement prepared;
    m_resultCode = prepared.prepare(cache.m_connection->handle(), sql);
    if (m_resultCode == SQLITE_OK && !cache.m_entries.contains(sql) && cache.makeRoom()) {
        Entry &entry = cache.m_entries.emplace(sql, Entry{std::move(prepared), true}).first->second;
        m_statement = &entry.statement;
        m_inUse = &entry.inUse;
        return;
    }
    m_statement = &m_own.emplace(std::move(prepared));
}

StatementCache::Use::~Use()
{
    m_statement->reset();
    if (m_inUse) {
        *m_inUse = false;
    }
}
