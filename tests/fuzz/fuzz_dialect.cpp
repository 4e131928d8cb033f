// Any text handed to the SQL dialect: it is recognised or refused, never
// misread. What is recognised names one plain table and sane bounds.
#include "dialect.h"

#include <QRegularExpression>

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    ViewQuery query;
    if (Dialect::parseQuery(text, query).ok()) {
        // One name: nothing in it can end the statement or start another.
        static const QRegularExpression ender(u"[;\\p{Cc}]"_s); // a semicolon or a control character
        if (query.table.isEmpty() || query.table.contains(ender))
            std::abort();
        if (query.rvousPattern) {
            // Only a '*' or a '?' may become a '%' or a '_' (one between
            // brackets stays a character); nothing else may widen the match.
            // An escaped character is itself.
            static const QRegularExpression escaped(u"\\\\."_s, QRegularExpression::DotMatchesEverythingOption);
            const QString like = Dialect::likePattern(*query.rvousPattern).remove(escaped);
            if (like.count(u'%') + like.count(u'_') > query.rvousPattern->count(u'*') + query.rvousPattern->count(u'?'))
                std::abort();
        }
    }

    Criterion criterion;
    (void)Dialect::parseCriterion(text, criterion);
    return 0;
}
