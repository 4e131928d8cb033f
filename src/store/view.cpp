#include "view.h"

#include "sqliteconnection.h"
#include "sqlitestatement.h"
#include "statementcache.h"
#include "storemessages.h"
#include "textrules.h"

#include <sqlite3.h>

#include <QStringList>

namespace {

QString quoted(const QString &identifier)
{
    return u'"' + identifier + u'"';
}

QString collated(const QString &identifier)
{
    return quoted(identifier) + QStringLiteral(" COLLATE ") + QLatin1String(TextRules::CollationName);
}

} // namespace

// SQL text with its values kept apart: each value becomes a numbered
// parameter, bound when the statement runs.
class View::SqlText
{
public:
    QString param(const QVariant &value)
    {
        values.append(value);
        return u'?' + QString::number(values.size());
    }

    void bindTo(SqliteStatement &statement) const
    {
        for (qsizetype i = 0; i < values.size(); ++i) {
            statement.bind(int(i) + 1, values.at(i)); // parameters count from 1
        }
    }

    QVariantList values;
};

View::View(std::shared_ptr<SqliteConnection> connection, std::shared_ptr<StatementCache> statements,
           QString databasePath, bool readOnly, int busyTimeoutMs, ViewQuery query,
           std::vector<Column> columns)
    : m_connection(std::move(connection)), m_statements(std::move(statements)),
      m_databasePath(std::move(databasePath)), m_readOnly(readOnly), m_busyTimeoutMs(busyTimeoutMs),
      m_query(std::move(query)), m_columns(std::move(columns))
{
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        m_columnByName.insert(m_columns[i].name.toUpper(), int(i));
    }
    switch (m_query.order) {
    case ViewQuery::Order::Date:
        m_order = {{quoted(QStringLiteral("AGENDATE")), columnIndex(QStringLiteral("AGENDATE"))}};
        break;
    case ViewQuery::Order::Name:
        m_order = {{collated(QStringLiteral("NOM")), columnIndex(QStringLiteral("NOM"))},
                   {collated(QStringLiteral("PRENOM")), columnIndex(QStringLiteral("PRENOM"))}};
        break;
    case ViewQuery::Order::Rowid:
        break;
    }
}

View::~View() = default;

bool View::hasField(const QString &name) const
{
    return columnIndex(name) >= 0;
}

int View::columnIndex(const QString &name) const
{
    return m_columnByName.value(name.toUpper(), -1);
}

Status View::failure(int sqliteCode) const
{
    return StoreMessages::fromSqlite(sqliteCode, m_databasePath, m_busyTimeoutMs, m_connection->lastErrorText());
}

// The cached statement of a view's query with its values bound.
Status View::bind(StatementCache::Use &use, const SqlText &sql) const
{
    if (use.resultCode() != SQLITE_OK) {
        return failure(use.resultCode());
    }
    sql.bindTo(use.statement());
    return Status::success();
}

QString View::viewFilter(SqlText &sql) const
{
    const QString date = quoted(QStringLiteral("AGENDATE"));
    if (m_query.dateEquals) {
        return date + QStringLiteral(" = ") + sql.param(*m_query.dateEquals);
    }
    if (m_query.dateFrom) {
        const QString range = date + QStringLiteral(" BETWEEN ") + sql.param(*m_query.dateFrom)
                              + QStringLiteral(" AND ") + sql.param(*m_query.dateTo) + QStringLiteral(" AND ");
        const QString rvous = quoted(QStringLiteral("RVOUS"));
        // "*text*", as the search window writes it, runs the same test as
        // LIKE through a function that reads the stored bytes in place.
        if (const std::optional<QString> text = Dialect::containedText(*m_query.rvousPattern)) {
            return range + QLatin1String(TextRules::ContainsFunctionName) + u'(' + rvous + QStringLiteral(", ")
                   + sql.param(*text) + u')';
        }
        return range + rvous + QStringLiteral(" LIKE ") + sql.param(Dialect::likePattern(*m_query.rvousPattern))
               + QStringLiteral(" ESCAPE '\\'");
    }
    return QStringLiteral("1");
}

QString View::orderBy(bool descending) const
{
    const QString direction = descending ? QStringLiteral(" DESC") : QString();
    QString order;
    for (const KeyPart &key : m_order) {
        order += key.expression + direction + QStringLiteral(", ");
    }
    return order + QStringLiteral("rowid") + direction;
}

Status View::fetchOne(SqlText &sql, const QString &condition, bool descending)
{
    const QString filter = viewFilter(sql);
    const QString text = QStringLiteral("SELECT rowid, * FROM ") + quoted(m_query.table) + QStringLiteral(" WHERE (")
                         + filter + QStringLiteral(") AND (") + condition + QStringLiteral(") ORDER BY ")
                         + orderBy(descending) + QStringLiteral(" LIMIT 1");
    StatementCache::Use use(*m_statements, text);
    if (const Status status = bind(use, sql); !status) {
        return status;
    }
    SqliteStatement &statement = use.statement();
    m_rowid.reset();
    m_row.clear();
    switch (statement.step()) {
    case SqliteStatement::Step::Row:
        m_rowid = statement.integer(0); // column 0 is the rowid, the table's columns follow
        for (int i = 1; i < statement.columnCount(); ++i) {
            m_row.push_back(statement.value(i));
        }
        return Status::success();
    case SqliteStatement::Step::Done:
        return Status::success();
    case SqliteStatement::Step::Error:
        break;
    }
    return failure(statement.lastResultCode());
}

Status View::findFirst(const QString &criterion)
{
    Criterion parsed;
    if (const Status status = Dialect::parseCriterion(criterion, parsed); !status) {
        return status;
    }
    const QString column = parsed.kind == Criterion::Kind::DateEquals ? QStringLiteral("AGENDATE")
                                                                      : QStringLiteral("NOM");
    if (!hasField(column)) {
        return StoreMessages::missingColumn(column, m_query.table, m_databasePath);
    }
    SqlText sql;
    const QString condition = parsed.kind == Criterion::Kind::DateEquals
                                  ? quoted(column) + QStringLiteral(" = ") + sql.param(parsed.date)
                                  : collated(column) + QStringLiteral(" >= ") + sql.param(parsed.key);
    const Status status = fetchOne(sql, condition);
    m_noMatch = !m_rowid.has_value();
    return status;
}

Status View::moveFirst()
{
    SqlText sql;
    return fetchOne(sql, QStringLiteral("1"));
}

Status View::moveLast()
{
    SqlText sql;
    return fetchOne(sql, QStringLiteral("1"), true);
}

// The rows after the current one in the view's order, as a condition on the
// order keys and the rowid (NULL sorts first, as in SQLite's ORDER BY).
QString View::afterCurrent(SqlText &sql, std::size_t keyIndex) const
{
    if (keyIndex == m_order.size()) {
        return QStringLiteral("rowid > ") + sql.param(*m_rowid);
    }
    const KeyPart &key = m_order[keyIndex];
    const QVariant &current = m_row.at(std::size_t(key.column));
    if (current.isNull()) {
        return u'(' + key.expression + QStringLiteral(" IS NOT NULL OR (") + key.expression
               + QStringLiteral(" IS NULL AND ") + afterCurrent(sql, keyIndex + 1) + QStringLiteral("))");
    }
    return u'(' + key.expression + QStringLiteral(" > ") + sql.param(current) + QStringLiteral(" OR (")
           + key.expression + QStringLiteral(" = ") + sql.param(current) + QStringLiteral(" AND ")
           + afterCurrent(sql, keyIndex + 1) + QStringLiteral("))");
}

Status View::moveNext()
{
    if (!m_rowid) {
        return StoreMessages::noCurrentRow();
    }
    SqlText sql;
    const QString condition = afterCurrent(sql, 0);
    return fetchOne(sql, condition);
}

Status View::rowCount(qint64 &count) const
{
    SqlText sql;
    const QString text = QStringLiteral("SELECT count(*) FROM ") + quoted(m_query.table) + QStringLiteral(" WHERE ")
                         + viewFilter(sql);
    StatementCache::Use use(*m_statements, text);
    if (const Status status = bind(use, sql); !status) {
        return status;
    }
    SqliteStatement &statement = use.statement();
    if (statement.step() != SqliteStatement::Step::Row) {
        return failure(statement.lastResultCode());
    }
    count = statement.integer(0);
    return Status::success();
}

Status View::getRows(const QString &name, QVariantList &values) const
{
    const int index = columnIndex(name);
    if (index < 0) {
        return StoreMessages::unknownField(name);
    }
    SqlText sql;
    const QString filter = viewFilter(sql);
    const QString text = QStringLiteral("SELECT ") + quoted(m_columns[std::size_t(index)].name) + QStringLiteral(" FROM ")
                         + quoted(m_query.table) + QStringLiteral(" WHERE ") + filter + QStringLiteral(" ORDER BY ")
                         + orderBy(false);
    StatementCache::Use use(*m_statements, text);
    if (const Status status = bind(use, sql); !status) {
        return status;
    }
    SqliteStatement &statement = use.statement();
    QVariantList rows;
    SqliteStatement::Step step;
    while ((step = statement.step()) == SqliteStatement::Step::Row) {
        rows.append(statement.value(0));
    }
    if (step == SqliteStatement::Step::Error) {
        return failure(statement.lastResultCode());
    }
    values = std::move(rows);
    return Status::success();
}

QVariant View::value(const QString &name) const
{
    const int index = columnIndex(name);
    if (index < 0 || !m_rowid) {
        return {};
    }
    const QVariant &stored = m_row.at(std::size_t(index));
    if (stored.isNull() && !m_columns[std::size_t(index)].integerAffinity) {
        return QStringLiteral(""); // a text never written reads as an empty text
    }
    return stored;
}

Status View::reread()
{
    if (!m_rowid) {
        return StoreMessages::noCurrentRow();
    }
    SqlText sql;
    const QString condition = QStringLiteral("rowid = ") + sql.param(*m_rowid);
    // By rowid alone: a row that no longer passes the view's filter is still
    // the row we stand on.
    const QString text = QStringLiteral("SELECT rowid, * FROM ") + quoted(m_query.table) + QStringLiteral(" WHERE ")
                         + condition;
    StatementCache::Use use(*m_statements, text);
    if (const Status status = bind(use, sql); !status) {
        return status;
    }
    SqliteStatement &statement = use.statement();
    switch (statement.step()) {
    case SqliteStatement::Step::Row:
        m_row.clear();
        for (int i = 1; i < statement.columnCount(); ++i) {
            m_row.push_back(statement.value(i));
        }
        return Status::success();
    case SqliteStatement::Step::Done:
        m_rowid.reset();
        m_row.clear();
        return StoreMessages::noCurrentRow();
    case SqliteStatement::Step::Error:
        break;
    }
    return failure(statement.lastResultCode());
}

Status View::edit()
{
    if (m_readOnly) {
        return StoreMessages::readOnly(m_databasePath);
    }
    if (!m_rowid) {
        return StoreMessages::noCurrentRow();
    }
    m_editMode = EditMode::Editing;
    m_pending.clear();
    return Status::success();
}

Status View::addNew()
{
    if (m_readOnly) {
        return StoreMessages::readOnly(m_databasePath);
    }
    m_editMode = EditMode::Adding;
    m_pending.clear();
    return Status::success();
}

Status View::setField(const QString &name, const QVariant &value)
{
    if (m_editMode == EditMode::None) {
        return StoreMessages::notEditing();
    }
    const int index = columnIndex(name);
    if (index < 0) {
        return StoreMessages::unknownField(name);
    }
    QVariant stored = value;
    if (value.typeId() == QMetaType::Bool) {
        stored = qint64(value.toBool() ? 1 : 0); // yes/no as 1/0
    } else if (value.typeId() == QMetaType::QString && m_columns[std::size_t(index)].integerAffinity) {
        bool isNumber = false;
        const qint64 number = value.toString().toLongLong(&isNumber);
        if (isNumber) {
            stored = number; // the date number typed as text is stored as its number
        }
    }
    for (auto &[column, pendingValue] : m_pending) {
        if (column == index) {
            pendingValue = stored;
            return Status::success();
        }
    }
    m_pending.emplace_back(index, stored);
    return Status::success();
}

void View::cancelUpdate()
{
    m_editMode = EditMode::None;
    m_pending.clear();
}

// The UPDATE or INSERT itself, inside the caller's transaction. An INSERT
// that meets a row with the same unique key (another workstation added the
// day meanwhile) updates that row with our values: the last save wins.
Status View::writePending(qint64 &rowid)
{
    SqlText sql;
    QString text;
    QStringList names;
    QStringList params;
    for (const auto &[column, value] : m_pending) {
        names << quoted(m_columns[std::size_t(column)].name);
        params << sql.param(value);
    }
    if (m_editMode == EditMode::Editing) {
        QStringList assignments;
        for (qsizetype i = 0; i < names.size(); ++i) {
            assignments << names.at(i) + QStringLiteral(" = ") + params.at(i);
        }
        text = QStringLiteral("UPDATE ") + quoted(m_query.table) + QStringLiteral(" SET ")
               + assignments.join(QStringLiteral(", ")) + QStringLiteral(" WHERE rowid = ") + sql.param(*m_rowid);
    } else if (names.isEmpty()) {
        text = QStringLiteral("INSERT INTO ") + quoted(m_query.table) + QStringLiteral(" DEFAULT VALUES");
    } else {
        QStringList fromExcluded;
        for (const QString &name : names) {
            fromExcluded << name + QStringLiteral(" = excluded.") + name;
        }
        text = QStringLiteral("INSERT INTO ") + quoted(m_query.table) + QStringLiteral(" (")
               + names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") + params.join(QStringLiteral(", "))
               + QStringLiteral(") ON CONFLICT DO UPDATE SET ") + fromExcluded.join(QStringLiteral(", "));
    }
    // Prepared for this write alone: its text varies with the fields set,
    // and a save waits far longer on the disk than on the parser.
    SqliteStatement statement;
    if (const int rc = statement.prepare(m_connection->handle(), text + QStringLiteral(" RETURNING rowid"));
        rc != SQLITE_OK) {
        return failure(rc);
    }
    sql.bindTo(statement);
    std::optional<qint64> written;
    SqliteStatement::Step step;
    while ((step = statement.step()) == SqliteStatement::Step::Row) {
        written = statement.integer(0);
    }
    if (step == SqliteStatement::Step::Error) {
        return failure(statement.lastResultCode());
    }
    if (!written) {
        return StoreMessages::noCurrentRow(); // the edited row is gone
    }
    rowid = *written;
    return Status::success();
}

Status View::update()
{
    if (m_editMode == EditMode::None) {
        return StoreMessages::notEditing();
    }
    if (m_editMode == EditMode::Editing && m_pending.empty()) {
        m_editMode = EditMode::None;
        return Status::success();
    }
    // IMMEDIATE takes the write lock at once, waiting for it through the busy
    // timeout; a deferred transaction that upgrades later could fail at once.
    // Inside a transaction the caller opened, the write joins it and the
    // caller commits or rolls back.
    const bool ownTransaction = !m_connection->inTransaction();
    int rc = ownTransaction ? m_connection->exec("BEGIN IMMEDIATE") : SQLITE_OK;
    if (rc != SQLITE_OK) {
        return failure(rc);
    }
    qint64 rowid = 0;
    Status status = writePending(rowid);
    const std::optional<qint64> previousRowid = m_rowid;
    const std::vector<QVariant> previousRow = m_row;
    if (status) {
        m_rowid = rowid;
        status = reread(); // what the file now holds, read inside the transaction
    }
    if (status && ownTransaction) {
        rc = m_connection->exec("COMMIT");
        if (rc != SQLITE_OK) {
            status = failure(rc);
        }
    }
    if (!status) {
        if (ownTransaction) {
            m_connection->exec("ROLLBACK");
        }
        m_rowid = previousRowid;
        m_row = previousRow;
        return status;
    }
    m_editMode = EditMode::None;
    m_pending.clear();
    return Status::success();
}
