#include "textrules.h"

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
    QList<uint> codePoints = text.toUcs4();
    for (uint &c : codePoints) {
        c = QChar::toCaseFolded(char32_t(c));
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
    return rc;
}

} // namespace TextRules
