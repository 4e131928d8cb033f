#include "textfold.h"

#include <QList>

namespace TextFold {

namespace {

char32_t computeFold(char32_t c)
{
    if (QChar::category(c) == QChar::Mark_NonSpacing) {
        return 0;
    }
    char32_t base = c;
    while (QChar::decompositionTag(base) == QChar::Canonical) {
        const QList<uint> parts = QChar::decomposition(base).toUcs4();
        if (parts.isEmpty() || parts.first() == base) {
            break;
        }
        base = char32_t(parts.first());
    }
    return QChar::toCaseFolded(base);
}

// The two-byte UTF-8 range holds every Latin, Greek and Cyrillic letter a
// practice types: folded once, read from the table afterwards.
struct SmallTable
{
    SmallTable()
    {
        for (char32_t c = 0; c < Size; ++c) {
            folded[c] = computeFold(c);
        }
    }
    static constexpr char32_t Size = 0x800;
    char32_t folded[Size];
};

} // namespace

char32_t fold(char32_t c)
{
    if (c < 0x80) {
        return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    }
    static const SmallTable table;
    return c < SmallTable::Size ? table.folded[c] : computeFold(c);
}

Span find(const QString &text, const QString &needle)
{
    // The folded text as code points, each with the UTF-16 position it came from.
    struct Folded
    {
        char32_t c;
        qsizetype position;
    };
    const auto foldAll = [](const QString &s, bool keepPositions) {
        QList<Folded> out;
        out.reserve(s.size());
        for (qsizetype i = 0; i < s.size();) {
            const qsizetype start = i;
            char32_t c = s.at(i++).unicode();
            if (QChar::isHighSurrogate(c) && i < s.size() && s.at(i).isLowSurrogate()) {
                c = QChar::surrogateToUcs4(char16_t(c), s.at(i++).unicode());
            }
            if (const char32_t f = fold(c); f != 0) {
                out.append({f, keepPositions ? start : 0});
            }
        }
        out.append({0, s.size()}); // the end, so that a match's end position is known
        return out;
    };
    const QList<Folded> hay = foldAll(text, true);
    const QList<Folded> pin = foldAll(needle, false);
    const qsizetype n = pin.size() - 1;
    for (qsizetype i = 0; i + n < hay.size(); ++i) {
        qsizetype k = 0;
        while (k < n && hay.at(i + k).c == pin.at(k).c) {
            ++k;
        }
        if (k == n) {
            return {hay.at(i).position, hay.at(i + n).position - hay.at(i).position};
        }
    }
    return {};
}

} // namespace TextFold
