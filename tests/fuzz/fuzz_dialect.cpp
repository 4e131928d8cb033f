// Any text handed to the SQL dialect: it is recognised or refused, never
// misread. What is recognised names one plain table and sane bounds.
#include "dialect.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    ViewQuery query;
    if (Dialect::parseQuery(text, query).ok()) {
        // One name: nothing in it can end the statement or start another.
        const QString &table = query.table;
        const auto control = [](QChar c) { return c.category() == QChar::Other_Control; };
        if (table.isEmpty() || table.contains(u';') || std::any_of(table.cbegin(), table.cend(), control))
            std::abort();
        if (query.rvousPattern) {
            // Only a '*' or a '?' may become a '%' or a '_' (one between
            // brackets stays a character); nothing else may widen the match.
            const QString like = Dialect::likePattern(*query.rvousPattern);
            qsizetype wildcards = 0;
            for (qsizetype i = 0; i < like.size(); ++i) {
                if (like.at(i) == u'\\')
                    ++i; // the escaped character is itself
                else if (like.at(i) == u'%' || like.at(i) == u'_')
                    ++wildcards;
            }
            if (wildcards > query.rvousPattern->count(u'*') + query.rvousPattern->count(u'?'))
                std::abort();
        }
    }

    Criterion criterion;
    (void)Dialect::parseCriterion(text, criterion);
    return 0;
}
