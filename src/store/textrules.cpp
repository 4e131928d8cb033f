#include "textrules.h"

#include "foldedneedle.h"
#include "textfold.h"

#include <sqlite3.h>

#include <QList>

#include <algorithm>

namespace TextRules {

namespace {

bool isAscii(const char *text, int size)
{
    return std::all_of(text, text + size, [](char c) { return (static_cast<unsigned char>(c) & 0x80) == 0; });
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// The collation sees UTF-8 from the file. Names are mostly plain ASCII, for
// which folding to lower case gives the same order as Qt's comparison
// without building QStrings.
int collate(void *, int leftSize, const void *left, int rightSize, const void *right)
{
    const auto *l = static_cast<const char *>(left);
    const auto *r = static_cast<const char *>(right);
    if (isAscii(l, leftSize) && isAscii(r, rightSize)) {
        const int common = std::min(leftSize, rightSize);
        for (int i = 0; i < common; ++i) {
            const int diff = int(asciiLower(l[i])) - int(asciiLower(r[i]));
            if (diff != 0) {
                return diff;
            }
        }
        return leftSize - rightSize;
    }
    return compare(QString::fromUtf8(l, leftSize), QString::fromUtf8(r, rightSize));
}

QList<uint> folded(const QString &text)
{
    QList<uint> codePoints;
    codePoints.reserve(text.size());
    for (const uint c : text.toUcs4()) {
        if (const char32_t f = TextFold::fold(char32_t(c)); f != 0) {
            codePoints.append(f);
        }
    }
    return codePoints;
}

void likeFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            return; // NULL in, NULL out, as the built-in like()
        }
    }
    const auto textOf = [](sqlite3_value *value) {
        const auto *data = reinterpret_cast<const char *>(sqlite3_value_text(value));
        return QString::fromUtf8(data, sqlite3_value_bytes(value));
    };
    QChar escape;
    if (argc == 3) {
        const QString escapeText = textOf(argv[2]);
        if (escapeText.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = escapeText.at(0);
    }
    sqlite3_result_int(context, like(textOf(argv[0]), textOf(argv[1]), escape) ? 1 : 0);
}

// planora_contains(text, needle): whether the needle occurs in the text
// under TextFold's rule, as like('%needle%') with no wildcard in the needle,
// reading the text's UTF-8 bytes in place. The prepared needle is kept
// with the statement for every row of a query.
void containsFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        return;
    }
    auto *needle = static_cast<FoldedNeedle *>(sqlite3_get_auxdata(context, 1));
    if (!needle) {
        const auto *data = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
        needle = new FoldedNeedle(QString::fromUtf8(data, sqlite3_value_bytes(argv[1])));
        sqlite3_set_auxdata(context, 1, needle, [](void *p) { delete static_cast<FoldedNeedle *>(p); });
        needle = static_cast<FoldedNeedle *>(sqlite3_get_auxdata(context, 1));
        if (!needle) {
            sqlite3_result_error_nomem(context);
            return;
        }
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    sqlite3_result_int(context, needle->foundIn(text, std::size_t(sqlite3_value_bytes(argv[0]))) ? 1 : 0);
}

} // namespace

int compare(const QString &left, const QString &right)
{
    return QString::compare(left, right, Qt::CaseInsensitive);
}

bool like(const QString &pattern, const QString &text, QChar escape)
{
    const QList<uint> p = folded(pattern);
    const QList<uint> t = folded(text);
    const uint esc = escape.isNull() ? 0xFFFFFFFFu : QChar::toCaseFolded(char32_t(escape.unicode()));
    qsizetype i = 0;
    qsizetype j = 0;
    qsizetype resumePattern = -1; // just after the last '%' seen
    qsizetype resumeText = 0;     // where that '%' started matching
    while (j < t.size()) {
        if (i < p.size()) {
            const uint c = p.at(i);
            if (c == '%') {
                resumePattern = ++i;
                resumeText = j;
                continue;
            }
            if (c == '_') {
                ++i;
                ++j;
                continue;
            }
            const bool escaped = c == esc && i + 1 < p.size();
            const uint literal = escaped ? p.at(i + 1) : c;
            if (literal == t.at(j)) {
                i += escaped ? 2 : 1;
                ++j;
                continue;
            }
        }
        if (resumePattern < 0) {
            return false;
        }
        // Let the last '%' swallow one more character and try again.
        i = resumePattern;
        j = ++resumeText;
    }
    while (i < p.size() && p.at(i) == '%') {
        ++i;
    }
    return i == p.size();
}

int registerTextRules(sqlite3 *db)
{
    int rc = sqlite3_create_collation_v2(db, CollationName, SQLITE_UTF8, nullptr, &collate, nullptr);
    for (const int argc : {2, 3}) {
        if (rc == SQLITE_OK) {
            rc = sqlite3_create_function_v2(db, "like", argc, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                            &likeFunction, nullptr, nullptr, nullptr);
        }
    }
    if (rc == SQLITE_OK) {
        rc = sqlite3_create_function_v2(db, ContainsFunctionName, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                        &containsFunction, nullptr, nullptr, nullptr);
    }
    return rc;
}

} // namespace TextRules
