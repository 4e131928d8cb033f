#include "searchquery.h"

#include "userconfig.h"

namespace SearchQuery {

namespace {

const QString TablePrefix = QStringLiteral("RVOUS");

} // namespace

QString tableOf(int user)
{
    return TablePrefix + QString::number(user);
}

int userOf(const QString &table)
{
    for (int user = 1; user <= UserCount; ++user) {
        if (table == tableOf(user)) {
            return user;
        }
    }
    return 0;
}

QString literalPattern(const QString &text)
{
    QString pattern;
    pattern.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == u'\'') {
            pattern += QStringLiteral("''");
        } else if (c == u'*' || c == u'?' || c == u'#' || c == u'[') {
            pattern += u'[' + QString(c) + u']';
        } else {
            pattern += c;
        }
    }
    return pattern;
}

QString text(const QString &table, qint32 firstDay, qint32 lastDay, const QString &searched)
{
    // No blank before "AND (" nor before "ORDER BY": the text is the one the
    // window has always written, and the engine reads it as it is.
    return QStringLiteral("SELECT ") + table + QStringLiteral(".* From ") + table
           + QStringLiteral(" WHERE AGENDATE BETWEEN ") + QString::number(firstDay) + QStringLiteral(" And ")
           + QString::number(lastDay) + QStringLiteral("AND (") + table + QStringLiteral(".RVOUS LIKE '") + u'*'
           + literalPattern(searched) + u'*' + QStringLiteral("')") + QStringLiteral("ORDER BY AGENDATE");
}

} // namespace SearchQuery
