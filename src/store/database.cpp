#include "database.h"

#include "sqlitestatement.h"
#include "storemessages.h"
#include "textrules.h"
#include "view.h"

#include <sqlite3.h>

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // Taken before SQLite opens the file: should the file be replaced or
    // written in between, the stamp is the older one and the next
    // isUnchangedAt() asks for a fresh open, never the other way round.
    const std::optional<FileStamp> stamp = stampOf(path);
    if (!stamp) {
        return StoreMessages::missingFile(path);
    }
    if (!stamp->regularFile) {
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
    // The effective user's right to write, as open() will meet it.
    bool readOnly = mode == SqliteConnection::Mode::ReadOnly
                    || ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) != 0;
    int rc = connection->open(path, readOnly ? SqliteConnection::Mode::ReadOnly : SqliteConnection::Mode::ReadWrite);
    if (!readOnly && (rc == SQLITE_READONLY || rc == SQLITE_CANTOPEN || rc == SQLITE_PERM)) {
        readOnly = true;
        rc = connection->open(path, SqliteConnection::Mode::ReadOnly);
    }
    if (rc != SQLITE_OK) {
        return StoreMessages::fromSqlite(rc, path, m_busyTimeoutMs, QString());
    }
    // SQLite itself falls back to reading when the file refuses writing.
    readOnly = readOnly || sqlite3_db_readonly(connection->handle(), "main") == 1;
    connection->setBusyTimeout(m_busyTimeoutMs);
    // Journal DELETE and FULL sync: safe on a shared folder, where WAL's
    // shared-memory index does not work across machines. Reading the schema
    // here also tells a damaged file at once rather than at the first view.
    // None of the three is skipped as a default: journal_mode is kept in the
    // file (a WAL file stays WAL until told), and the other two defaults are
    // chosen when SQLite is built, so a system library may differ; they cost
    // little beside the schema read, which the first view needs anyway.
    rc = connection->exec("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA locking_mode=NORMAL;"
                          "SELECT count(*) FROM sqlite_schema");
    if (rc == SQLITE_OK) {
        rc = registerTextRules(connection->handle());
    }
    if (rc != SQLITE_OK) {
        return StoreMessages::fromSqlite(rc, path, m_busyTimeoutMs, connection->lastErrorText());
    }
    m_statements = std::make_shared<StatementCache>(connection);
    m_connection = std::move(connection);
    m_path = path;
    m_readOnly = readOnly;
    m_stamp = stamp;
    return Status::success();
}

void Database::close()
{
    m_statements.reset(); // its statements finalized first, or the connection could not close
    m_columnsByTable.clear();
    m_schemaVersion = -1;
    m_stamp.reset();
    m_connection.reset();
    m_readOnly = false;
}

std::optional<Database::FileStamp> Database::stampOf(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (name.isEmpty() || ::stat(name.constData(), &status) != 0) {
        return std::nullopt;
    }
    return FileStamp{quint64(status.st_dev),        quint64(status.st_ino),         qint64(status.st_size),
                     qint64(status.st_ctim.tv_sec), qint64(status.st_ctim.tv_nsec), S_ISREG(status.st_mode)};
}

// Why a kept connection shows what another workstation saved: every
// positioning reads in a new read transaction, and SQLite, on taking its
// shared lock, compares the change counter in the file's header with the one
// its page cache belongs to and drops the cache when they differ; a changed
// schema cookie makes it read the schema again, and tableColumns() follows.
// The stamp asks for more than that. Device and inode tell a file renamed or
// copied into place under the same name. The change time and size tell a
// file written over in place, as a restore that copies a backup over the
// live file does: such a copy is no SQLite write, and a backup can carry the
// very header the live file has reached, whose pages would then be taken
// for the cached ones. Any write moves the change time (a chmod too), so the
// first positioning after another workstation's save opens the file again:
// the connection is kept only while nobody else writes (our own commit takes
// a new stamp, see commit()).
bool Database::isUnchangedAt(const QString &path) const
{
    return m_connection && m_stamp && path == m_path && stampOf(path) == m_stamp;
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

Status Database::beginWrite()
{
    if (!m_connection) {
        return Status::failure(QStringLiteral("La base de données n'est pas ouverte."));
    }
    if (m_readOnly) {
        return StoreMessages::readOnly(m_path);
    }
    const int rc = m_connection->exec("BEGIN IMMEDIATE");
    return rc == SQLITE_OK ? Status::success()
                           : StoreMessages::fromSqlite(rc, m_path, m_busyTimeoutMs, m_connection->lastErrorText());
}

// Opening the file again after each of our own saves would cost the schema
// read, history triggers and all, at every save. The stamp is taken just
// after the commit: a write by another workstation in between is still seen
// (SQLite compares the change counter at every read), and only a file copied
// over this one by other means in that instant would go unnoticed.
Status Database::commit()
{
    const int rc = m_connection ? m_connection->exec("COMMIT") : SQLITE_MISUSE;
    if (rc != SQLITE_OK) {
        return StoreMessages::fromSqlite(rc, m_path, m_busyTimeoutMs, m_connection->lastErrorText());
    }
    m_stamp = stampOf(m_path);
    return Status::success();
}

void Database::rollback()
{
    if (m_connection && m_connection->inTransaction()) {
        m_connection->exec("ROLLBACK");
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

    std::vector<View::Column> columns;
    if (const Status status = tableColumns(query.table, columns); !status) {
        return status;
    }
    for (const QString &required : requiredColumns(query)) {
        const bool present = std::any_of(columns.begin(), columns.end(), [&](const View::Column &column) {
            return column.name.compare(required, Qt::CaseInsensitive) == 0;
        });
        if (!present) {
            return StoreMessages::missingColumn(required, query.table, m_path);
        }
    }
    view = std::make_unique<View>(m_connection, m_statements, m_path, m_readOnly, m_busyTimeoutMs, query,
                                  std::move(columns));
    return Status::success();
}

Status Database::readSchemaVersion(qint64 &version)
{
    StatementCache::Use use(*m_statements, QStringLiteral("PRAGMA schema_version"));
    SqliteStatement &query = use.statement();
    if (use.resultCode() == SQLITE_OK && query.step() == SqliteStatement::Step::Row) {
        version = query.integer(0);
        return Status::success();
    }
    const int rc = use.resultCode() != SQLITE_OK ? use.resultCode() : query.lastResultCode();
    return StoreMessages::fromSqlite(rc, m_path, m_busyTimeoutMs, m_connection->lastErrorText());
}

// PRAGMA table_info parses nothing new but costs a statement per view; the
// answer only changes with the schema, whose version SQLite keeps in the
// file's header and raises at every change, whoever makes it.
Status Database::tableColumns(const QString &table, std::vector<View::Column> &columns)
{
    qint64 version = 0;
    if (const Status status = readSchemaVersion(version); !status) {
        return status;
    }
    if (version != m_schemaVersion) {
        m_columnsByTable.clear();
        m_schemaVersion = version;
    }
    const QString key = table.toUpper();
    if (const auto cached = m_columnsByTable.constFind(key); cached != m_columnsByTable.cend()) {
        columns = *cached;
        return Status::success();
    }
    // The table name is a checked plain identifier, so it may stand in the
    // text; a pragma takes no bound parameter.
    SqliteStatement tableInfo;
    int rc = tableInfo.prepare(m_connection->handle(), QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
    columns.clear();
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
        return StoreMessages::missingTable(table, m_path);
    }
    m_columnsByTable.insert(key, columns);
    return Status::success();
}
