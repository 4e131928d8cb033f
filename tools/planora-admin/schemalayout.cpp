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

const QList<Table> &expected()
{
    static const QList<Table> tables = [] {
        SqliteConnection db = DatabaseFile::inMemory();
        [[maybe_unused]] const Status made = DatabaseFile::execute(db, schemaSql);
        Q_ASSERT(made.ok());
        QList<Table> found;
        const auto names =
            DatabaseFile::query(db, u"SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"_s);
        for (const QStringList &row : names.rows)
            found.append(read(db, row.at(0)));
        return found;
    }();
    return tables;
}

} // namespace SchemaLayout
