#pragma once

#include <QString>

struct sqlite3;

// How PLANORA compares texts: without regard to case for every letter,
// accented ones included (é = É), but an accent still counts (é != e).
namespace TextRules {

// Name of the collation installed by registerTextRules().
inline constexpr char CollationName[] = "PLANORA_NOCASE";

// <0, 0, >0 as QString::compare with Qt::CaseInsensitive.
int compare(const QString &left, const QString &right);

// SQL LIKE with that case rule: '%' any run of characters, '_' exactly one
// character; `escape` (when not null) makes the next pattern character literal.
bool like(const QString &pattern, const QString &text, QChar escape = QChar());

// Installs on a raw connection the collation PLANORA_NOCASE and an override
// of like(X,Y) and like(X,Y,Z) following the rules above. Returns the SQLite
// result code (SQLITE_OK when both are installed).
int registerTextRules(sqlite3 *db);

} // namespace TextRules

using TextRules::registerTextRules;
