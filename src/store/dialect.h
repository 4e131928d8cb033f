#pragma once

#include "status.h"

#include <QString>

#include <optional>

// The program's SQL texts, recognised exactly and turned into a description
// the View runs with bound values. Accepted (keywords in any case, blanks
// between words optional where the words stay apart):
//   SELECT*FROM <table> ORDER BY AGENDATE
//   SELECT*FROM <table> ORDER BY NOM, PRENOM
//   SELECT*FROM <table> WHERE AGENDATE =<number>
//   SELECT <table>.* From <table> WHERE AGENDATE BETWEEN <lo> And <hi>AND
//       (<table>.RVOUS LIKE '<pattern>')ORDER BY AGENDATE
// and the criteria AGENDATE=<number> and NOM>='<key>'. A table name is a
// plain identifier; a quoted text doubles its apostrophes.
struct ViewQuery
{
    enum class Order { Rowid, Date, Name };

    QString table;
    Order order = Order::Rowid;
    std::optional<qint32> dateEquals;
    std::optional<qint32> dateFrom; // BETWEEN, both bounds included
    std::optional<qint32> dateTo;
    std::optional<QString> rvousPattern; // Access pattern: '*' any run, '?' one character, '[c]' c itself
};

struct Criterion
{
    enum class Kind { DateEquals, NameAtLeast };

    Kind kind = Kind::DateEquals;
    qint32 date = 0;
    QString key;
};

namespace Dialect {

Status parseQuery(const QString &text, ViewQuery &query);
Status parseCriterion(const QString &text, Criterion &criterion);

// The Access pattern as an SQL LIKE pattern for ESCAPE '\': '*' -> '%',
// '?' -> '_', '[c]' -> c taken literally, and a literal '%', '_' or '\'
// escaped.
QString likePattern(const QString &accessPattern);

// The text between the stars of a pattern "*text*" whose text holds no
// wildcard (a '[c]' in it is c): what the search window writes. Nothing for
// any other pattern.
std::optional<QString> containedText(const QString &accessPattern);

} // namespace Dialect
