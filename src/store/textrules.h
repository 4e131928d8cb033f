#pragma once

#include <QString>

struct sqlite3;

// How PLANORA compares texts. The collation (the names' order and the
// NOM criterion) ignores case for every letter, accented ones included
// (é = É), but an accent still counts (é != e). LIKE and the search ignore
// case and accents alike (é = E), by TextFold's rule.
namespace TextRules {

// Name of the collation installed by registerTextRules().
inline constexpr char CollationName[] = "PLANORA_NOCASE";

// <0, 0, >0 as QString::compare with Qt::CaseInsensitive.
int compare(const QString &left, const QString &right);

// Name of the function planora_contains(text, needle) installed by
// registerTextRules(): like(text, '%needle%') for a needle without
// wildcards, several times faster.
inline constexpr char ContainsFunctionName[] = "planora_contains";

// SQL LIKE with TextFold's rule: '%' any run of characters, '_' exactly one
// character; `escape` (when not null) makes the next pattern character literal.
bool like(const QString &pattern, const QString &text, QChar escape = QChar());

// Installs on a raw connection the collation PLANORA_NOCASE, an override
// of like(X,Y) and like(X,Y,Z) and planora_contains, following the rules
// above. Returns the SQLite result code (SQLITE_OK when all are installed).
int registerTextRules(sqlite3 *db);

} // namespace TextRules

using TextRules::registerTextRules;
