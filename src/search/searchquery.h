#pragma once

#include <QString>

// The search window's query text, written the way the engine reads it:
//   SELECT RVOUS2.* From RVOUS2 WHERE AGENDATE BETWEEN 37620 And
//   37627AND (RVOUS2.RVOUS LIKE '*radio*')ORDER BY AGENDATE
namespace SearchQuery {

// "RVOUS1" .. "RVOUS6".
QString tableOf(int user);
// The user number of such a table name, 0 for any other text.
int userOf(const QString &table);

// The searched text as it goes between the quotes of the pattern: every
// character stands for itself. An apostrophe is doubled; '*', '?', '#' and
// '[' are bracketed ("[*]"), so none of them widens the search or ends
// the quoted text.
QString literalPattern(const QString &text);

QString text(const QString &table, qint32 firstDay, qint32 lastDay, const QString &searched);

} // namespace SearchQuery
