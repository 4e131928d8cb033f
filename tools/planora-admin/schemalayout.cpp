#include "schemalayout.h"

#include "databasefile.h"
#include "schemasql.h"

using namespace Qt::StringLiterals;

namespace SchemaLayout {

QString Column::affinity() const
{
    // SQLite's rules, in their order.
    const QString upper = type.toUpper();
    if (upper.contains("INT"_L1))
        return u"INTEGER"_s;
    if (upper.contains("CHAR"_L1) || upper.contains("CLOB"_L1) || upper.contains("TEXT"_L1))
        return u"TEXT"_s;
    if (upper.isEmpty() || upper.contains("BLOB"_L1))
        return u"BLOB"_s;
    if (upper.contains("REAL"_L1) || upper.contains("FLOA"_L1) || upper.contains("DOUB"_L1))
        return u"REAL"_s;
    return u"NUMERIC"_s;
}

const Column *Table::column(const QString &wanted) const
{
    // SQLite matches column names without regard to case, and so does the program.
    for (const Column &candidate : columns) {
        if (candidate.name.compare(wanted, Qt::CaseInsensitive) == 0)
            return &candidate;
    }
    return nullptr;
}

Table read(const SqliteConnection &db, const QString &name)
{
    Table table{name, {}, {}};
    for (const QStringList &row :
         DatabaseFile::query(db, u"SELECT name, type FROM pragma_table_info(?)"_s, {name}).rows)
        table.columns.append({row.at(0), row.at(1)});
    const auto indexes =
        DatabaseFile::query(db, u"SELECT name FROM pragma_index_list(?) WHERE \"unique\" = 1"_s, {name});
    for (const QStringList &index : indexes.rows) {
        const auto indexed =
            DatabaseFile::query(db, u"SELECT name FROM pragma_index_info(?)"_s, {index.at(0)});
        if (indexed.rows.size() == 1)
            table.uniqueColumns.append(indexed.rows.at(0).at(0).toUpper());
    }
    return table;
}

namespace {

// The built-in schema, made once in memory.
const SqliteConnection &builtSchema()
{
    static const SqliteConnection db = [] {
        SqliteConnection made = DatabaseFile::inMemory();
        [[maybe_unused]] const Status done = DatabaseFile::execute(made, schemaSql);
        Q_ASSERT(done.ok());
        return made;
    }();
    return db;
}

} // namespace

const QList<Table> &expected()
{
    static const QList<Table> tables = [] {
        QList<Table> found;
        const auto names = DatabaseFile::query(
            builtSchema(), u"SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
                           "ESCAPE '\\' ORDER BY name"_s);
        for (const QStringList &row : names.rows)
            found.append(read(builtSchema(), row.at(0)));
        return found;
    }();
    return tables;
}

QList<Table> dayTables()
{
    QList<Table> tables;
    for (const Table &table : expected()) {
        if (table.name.startsWith("RVOUS"_L1))
            tables.append(table);
    }
    return tables;
}

const QList<Trigger> &expectedTriggers()
{
    static const QList<Trigger> triggers = [] {
        QList<Trigger> found;
        const auto rows = DatabaseFile::query(
            builtSchema(), u"SELECT name, sql FROM sqlite_schema WHERE type = 'trigger' ORDER BY name"_s);
        for (const QStringList &row : rows.rows)
            found.append({row.at(0), row.at(1)});
        return found;
    }();
    return triggers;
}

QString triggerSql(const SqliteConnection &db, const QString &name)
{
    return DatabaseFile::query(db, u"SELECT sql FROM sqlite_schema WHERE type = 'trigger' AND name = ?"_s, {name})
        .rows.value(0)
        .value(0);
}

} // namespace SchemaLayout
