#pragma once

#include "dialect.h"
#include "statementcache.h"
#include "status.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

class SqliteConnection;

// An updatable, ordered view of one table, as a dynaset: a current row,
// find first with a no-match flag, moves, fields by name, edit / add new /
// update. It never loads the table: it remembers where it stands (the row's
// order key and rowid) and asks SQLite for one row at a time, so finding a
// day is one indexed query and no read lock is kept between operations.
class View
{
public:
    struct Column
    {
        QString name;
        bool integerAffinity = false;
        bool notNull = false;
    };

    // Made by Database::openView.
    View(std::shared_ptr<SqliteConnection> connection, std::shared_ptr<StatementCache> statements,
         QString databasePath, bool readOnly, int busyTimeoutMs, ViewQuery query,
         std::vector<Column> columns);
    ~View();
    View(const View &) = delete;
    View &operator=(const View &) = delete;

    bool hasField(const QString &name) const;

    // Stands on the first row, in the view's order, that satisfies the
    // criterion ("AGENDATE=37986", "NOM>='DU…'"). When none does, noMatch()
    // is true and the view stands on no row.
    Status findFirst(const QString &criterion);
    bool noMatch() const { return m_noMatch; }

    Status moveFirst();
    Status moveNext();
    Status moveLast();
    // True when the view stands on no row: empty, moved past the last row, or
    // after a find without match.
    bool atEnd() const { return !m_rowid.has_value(); }
    bool hasCurrentRow() const { return m_rowid.has_value(); }
    // The number of rows of the view (exact at any time, not only after
    // moveLast as Access would have it).
    Status rowCount(qint64 &count) const;

    // One field of every row of the view, in the view's order, read in one
    // pass (as GetRows does): for walking a whole result without a query per
    // row. The current row is left as it was.
    Status getRows(const QString &name, QVariantList &values) const;

    // Fields of the current row as last read. A text field never written
    // reads as an empty text; an unknown name or no current row reads as an
    // invalid QVariant.
    QVariant value(const QString &name) const;
    QString text(const QString &name) const { return value(name).toString(); }
    qint64 number(const QString &name) const { return value(name).toLongLong(); }

    // Reads the current row again from the file (another workstation may
    // have saved it since).
    Status reread();

    // Editing: edit() the current row or addNew(), setField() any number of
    // times, then update() writes them in one transaction (or joins the one
    // the caller opened, see Database::beginWrite). A decimal text set
    // into a whole-number field is stored as its number. Adding a row whose
    // unique key another workstation added meanwhile updates that row
    // instead (the last save wins). After update() the view stands on the
    // written row; on failure nothing was written and the edit is dropped.
    Status edit();
    Status addNew();
    Status setField(const QString &name, const QVariant &value);
    Status update();
    void cancelUpdate();

private:
    enum class EditMode { None, Editing, Adding };
    struct KeyPart
    {
        QString expression; // column, with its collation for text keys
        int column = 0;
    };
    class SqlText;

    // Stands on the first row (last when descending) in the view's order
    // that satisfies `condition`, or on no row.
    Status fetchOne(SqlText &sql, const QString &condition, bool descending = false);
    QString afterCurrent(SqlText &sql, std::size_t keyIndex) const;
    QString viewFilter(SqlText &sql) const;
    QString orderBy(bool descending) const;
    Status writePending(qint64 &rowid);
    Status failure(int sqliteCode) const;
    Status bind(StatementCache::Use &use, const SqlText &sql) const;
    int columnIndex(const QString &name) const;

    std::shared_ptr<SqliteConnection> m_connection;
    std::shared_ptr<StatementCache> m_statements; // the reading queries, prepared once per connection
    QString m_databasePath;
    bool m_readOnly = false;
    int m_busyTimeoutMs = 0;
    ViewQuery m_query;
    std::vector<Column> m_columns;
    QHash<QString, int> m_columnByName; // upper-case name -> index in m_columns
    std::vector<KeyPart> m_order;       // the ORDER BY keys; rowid always follows

    std::optional<qint64> m_rowid;
    std::vector<QVariant> m_row;
    bool m_noMatch = false;

    EditMode m_editMode = EditMode::None;
    std::vector<std::pair<int, QVariant>> m_pending; // column index, value, in the order set
};
