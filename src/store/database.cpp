#include "database.h"

#include "sqlitestatement.h"
#include "storemessages.h"
#include "textrules.h"
#include "view.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>

namespace {

enum class FileKind { Sqlite, LegacyAccess, Other };

// What the first bytes say the file is. Jet and ACE (Access) files carry
// their engine's name at offset 4.
FileKind kindOf(const QByteArray &header)
{
    if (header.startsWith(QByteArrayView("SQLite format 3\0", 16))) {
        return FileKind::Sqlite;
    }
    const QByteArray engine = header.mid(4, 15);
    if (engine == "Standard Jet DB" || engine == "Standard ACE DB") {
        return FileKind::LegacyAccess;
    }
    return FileKind::Other;
}

QStringList requiredColumns(const ViewQuery &query)
{
    QStringList columns;
    if (query.order == ViewQuery::Order::Date || query.dateEquals || query.dateFrom) {
        columns << QStringLiteral("AGENDATE");
    }
    if (query.order == ViewQuery::Order::Name) {
        columns << QStringLiteral("NOM") << QStringLiteral("PRENOM");
    }
    if (query.rvousPattern) {
        columns << QStringLiteral("RVOUS");
    }
    return columns;
}

} // namespace

Database::Database() = default;
Database::~Database() = default;

Status Database::open(const QString &path, SqliteConnection::Mode mode)
{
    close();
    const QFileInfo info(path);
    if (!info.exists()) {
        return StoreMessages::missingFile(path);
    }
    if (!info.isFile()) {
        return StoreMessages::notAFile(path);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return StoreMessages::fromSqlite(SQLITE_CANTOPEN, path, m_busyTimeoutMs, file.errorString());
    }
    switch (kindOf(file.read(100))) {
    case FileKind::LegacyAccess:
        return StoreMessages::legacyAccess(path);
    case FileKind::Other:
        return StoreMessages::notSqlite(path);
    case FileKind::Sqlite:
        break;
    }
    file.close();

    auto connection = std::make_shared<SqliteConnection>();
    bool readOnly = mode == SqliteConnection::Mode::ReadOnly || !info.isWritable();
    int rc = connection->open(path, readOnly ? SqliteConnection::Mode::ReadOnly : SqliteConnection::Mode::ReadWrite);
    if (!readOnly && (rc == SQLITE_READONLY || rc == SQLITE_CANTOPEN || rc == SQLITE_PERM)) {
        readOnly = true;
        rc = connection->open(path, SqliteConnection::Mode::ReadOnly);
    }
    if (rc != SQLITE_OK) {
        return StoreMessages::fromSqlite(rc, path, m_busyTimeoutMs, QString());
    }
    connection->setBusyTimeout(m_busyTimeoutMs);
    // Journal DELETE and FULL sync: safe on a shared folder, where WAL's
    // shared-memory index does not work across machines. Reading the schema
    // here also tells a damaged file at once rather than at the first view.
    rc = connection->exec("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA locking_mode=NORMAL;"
                          "SELECT count(*) FROM sqlite_schema");
    if (rc == SQLITE_OK) {
        rc = registerTextRules(connection->handle());
    }
    if (rc != SQLITE_OK) {
        return StoreMessages::fromSqlite(rc, path, m_busyTimeoutMs, connection->lastErrorText());
    }
    m_connection = std::move(connection);
    m_path = path;
    m_readOnly = readOnly;
    return Status::success();
}

void Database::close()
{
    m_connection.reset();
    m_readOnly = false;
}

bool Database::isOpen() const
{
    return m_connection != nullptr;
}

bool Database::isReadOnly() const
{
    return m_readOnly;
}

void Database::setBusyTimeout(int milliseconds)
{
    m_busyTimeoutMs = milliseconds;
    if (m_connection) {
        m_connection->setBusyTimeout(milliseconds);
    }
}

sqlite3 *Database::handle() const
{
    return m_connection ? m_connection->handle() : nullptr;
}

Status Database::openView(const QString &sqlText, std::unique_ptr<View> &view)
{
    view.reset();
    if (!m_connection) {
        return Status::failure(QStringLiteral("La base de données n'est pas ouverte."));
    }
    ViewQuery query;
    if (const Status status = Dialect::parseQuery(sqlText, query); !status) {
        return status;
    }

    // The table name is a checked plain identifier, so it may stand in the
    // text; a pragma takes no bound parameter.
    SqliteStatement tableInfo;
    int rc = tableInfo.prepare(m_connection->handle(), QStringLiteral("PRAGMA table_info(\"%1\")").arg(query.table));
    std::vector<View::Column> columns;
    while (rc == SQLITE_OK && tableInfo.step() == SqliteStatement::Step::Row) {
        // table_info columns: cid, name, type, notnull, dflt_value, pk
        columns.push_back({tableInfo.text(1), tableInfo.text(2).contains(QLatin1String("INT"), Qt::CaseInsensitive),
                           tableInfo.integer(3) != 0});
    }
    if (rc == SQLITE_OK && tableInfo.lastResultCode() != SQLITE_DONE) {
        rc = tableInfo.lastResultCode();
    }
    if (rc != SQLITE_OK) {
        return StoreMessages::fromSqlite(rc, m_path, m_busyTimeoutMs, m_connection->lastErrorText());
    }
    if (columns.empty()) {
        return StoreMessages::missingTable(query.table, m_path);
    }
    for (const QString &required : requiredColumns(query)) {
        const bool present = std::any_of(columns.begin(), columns.end(), [&](const View::Column &column) {
            return column.name.compare(required, Qt::CaseInsensitive) == 0;
        });
        if (!present) {
            return StoreMessages::missingColumn(required, query.table, m_path);
        }
    }
    view = std::make_unique<View>(m_connection, m_path, m_readOnly, m_busyTimeoutMs, sqlText, query,
                                  std::move(columns));
    return Status::success();
}
