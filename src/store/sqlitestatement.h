#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// Owns one prepared statement. Values always reach SQLite through bind():
// SQLite numbers bound parameters from 1 but result columns from 0, and the
// methods below keep its numbering as it is.
class SqliteStatement
{
public:
    enum class Step { Row, Done, Error };

    SqliteStatement() = default;
    ~SqliteStatement();
    SqliteStatement(SqliteStatement &&other) noexcept;
    SqliteStatement &operator=(SqliteStatement &&other) noexcept;
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    // Returns the SQLite result code; on failure the statement stays empty.
    int prepare(sqlite3 *db, const QString &sql);
    bool isPrepared() const { return m_stmt != nullptr; }

    // Parameters are 1-based.
    void bindNull(int parameter);
    void bind(int parameter, qint64 value);
    void bind(int parameter, const QString &value);
    void bind(int parameter, const QVariant &value); // null, whole number or text

    Step step();
    int lastResultCode() const { return m_lastResult; }
    // Ready to run again, bindings cleared; releases the read lock it held.
    void reset();

    // Columns are 0-based.
    int columnCount() const;
    bool isNull(int column) const;
    qint64 integer(int column) const;
    QString text(int column) const; // a NULL reads as an empty text
    QVariant value(int column) const; // NULL -> invalid QVariant

private:
    sqlite3_stmt *m_stmt = nullptr;
    int m_lastResult = 0;
};
