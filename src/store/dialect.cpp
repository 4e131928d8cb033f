#include "dialect.h"

#include <QList>

#include <limits>

namespace Dialect {

namespace {

struct Token
{
    // Name: a name written between brackets, as Jet writes one holding
    // blanks or a keyword; it is never taken for a keyword.
    enum class Kind { Word, Name, Number, Text, Symbol, End };
    Kind kind = Kind::End;
    QString text; // a Text token holds its value, apostrophes undoubled
};

// Splits the text into words, numbers, quoted texts, bracketed names and the
// few symbols the dialect uses. Blanks only separate. A number ends where a
// letter starts, which is how "37627AND" reads as 37627 then AND. Words take
// letters of any language: the names table is named by whoever configures
// the practice ("Clientèle").
Status tokenize(const QString &sql, QList<Token> &tokens)
{
    const auto isWordStart = [](QChar c) { return c == u'_' || c.isLetter(); };
    const auto isWordPart = [&](QChar c) { return isWordStart(c) || (c >= u'0' && c <= u'9'); };
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        const qsizetype start = i;
        if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') {
            ++i;
        } else if (isWordStart(c)) {
            while (i < sql.size() && isWordPart(sql.at(i))) {
                ++i;
            }
            tokens.append({Token::Kind::Word, sql.mid(start, i - start)});
        } else if (c >= u'0' && c <= u'9') {
            while (i < sql.size() && sql.at(i) >= u'0' && sql.at(i) <= u'9') {
                ++i;
            }
            tokens.append({Token::Kind::Number, sql.mid(start, i - start)});
        } else if (c == u'\'') {
            QString value;
            for (++i;; ++i) {
                if (i >= sql.size()) {
                    return Status::failure(QStringLiteral("Texte entre apostrophes non terminé."));
                }
                if (sql.at(i) == u'\'') {
                    if (i + 1 < sql.size() && sql.at(i + 1) == u'\'') {
                        ++i; // '' inside a quoted text is one apostrophe
                    } else {
                        ++i;
                        break;
                    }
                }
                value.append(sql.at(i));
            }
            tokens.append({Token::Kind::Text, value});
        } else if (c == u'[') {
            const qsizetype close = sql.indexOf(u']', start + 1);
            const QString name = close < 0 ? QString() : sql.mid(start + 1, close - start - 1);
            // What goes between the double quotes of the SQLite text must
            // not end them, nor hold a line.
            if (name.trimmed().isEmpty() || name.contains(u'"') || name.contains(u'[') || name.contains(u'\r')
                || name.contains(u'\n')) {
                return Status::failure(QStringLiteral("Nom entre crochets non valide."));
            }
            tokens.append({Token::Kind::Name, name});
            i = close + 1;
        } else if (c == u'>' && i + 1 < sql.size() && sql.at(i + 1) == u'=') {
            tokens.append({Token::Kind::Symbol, QStringLiteral(">=")});
            i += 2;
        } else if (QStringView(u"*.,=()").contains(c)) {
            tokens.append({Token::Kind::Symbol, QString(c)});
            ++i;
        } else {
            return Status::failure(QStringLiteral("Caractère inattendu « %1 ».").arg(c));
        }
    }
    tokens.append({Token::Kind::End, QString()});
    return Status::success();
}

bool isReserved(const QString &word)
{
    static const QStringList reserved = {
        QStringLiteral("SELECT"), QStringLiteral("FROM"), QStringLiteral("WHERE"), QStringLiteral("ORDER"),
        QStringLiteral("BY"),     QStringLiteral("AND"),  QStringLiteral("BETWEEN"), QStringLiteral("LIKE")};
    return reserved.contains(word, Qt::CaseInsensitive);
}

// Reads the tokens strictly left to right; the first mismatch is the error.
class Reader
{
public:
    explicit Reader(QList<Token> tokens) : m_tokens(std::move(tokens)) {}

    bool failed() const { return !m_error.isEmpty(); }
    const QString &error() const { return m_error; }

    bool peekSymbol(QStringView symbol) const
    {
        return current().kind == Token::Kind::Symbol && current().text == symbol;
    }
    bool peekWord(QStringView word) const
    {
        return current().kind == Token::Kind::Word && current().text.compare(word, Qt::CaseInsensitive) == 0;
    }

    void symbol(QStringView symbol)
    {
        if (!failed() && !peekSymbol(symbol)) {
            fail(QStringLiteral("« %1 » attendu").arg(symbol));
        }
        advance();
    }

    void word(QStringView word)
    {
        if (!failed() && !peekWord(word)) {
            fail(QStringLiteral("« %1 » attendu").arg(word));
        }
        advance();
    }

    QString identifier()
    {
        const Token token = current();
        const bool name = token.kind == Token::Kind::Name || (token.kind == Token::Kind::Word && !isReserved(token.text));
        if (!failed() && (!name || token.text.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))) {
            fail(QStringLiteral("nom de table attendu"));
        }
        advance();
        return token.text;
    }

    void qualifier(const QString &table)
    {
        if (!failed()
            && (current().kind != Token::Kind::Word || current().text.compare(table, Qt::CaseInsensitive) != 0)) {
            fail(QStringLiteral("la table « %1 » attendue").arg(table));
        }
        advance();
        symbol(u".");
    }

    qint32 number()
    {
        const Token token = current();
        bool ok = false;
        const qint64 value = token.text.toLongLong(&ok);
        if (!failed()
            && (token.kind != Token::Kind::Number || !ok || value > std::numeric_limits<qint32>::max())) {
            fail(QStringLiteral("numéro de jour attendu"));
        }
        advance();
        return failed() ? 0 : qint32(value);
    }

    QString text()
    {
        const Token token = current();
        if (!failed() && token.kind != Token::Kind::Text) {
            fail(QStringLiteral("texte entre apostrophes attendu"));
        }
        advance();
        return token.text;
    }

    void end()
    {
        if (!failed() && current().kind != Token::Kind::End) {
            fail(QStringLiteral("fin du texte attendue"));
        }
    }

private:
    const Token &current() const { return m_tokens.at(m_position); }
    void advance()
    {
        if (!failed() && m_position + 1 < m_tokens.size()) {
            ++m_position;
        }
    }
    void fail(const QString &what)
    {
        m_error = what;
        if (current().kind != Token::Kind::End) {
            m_error += QStringLiteral(" à la place de « %1 »").arg(current().text);
        }
    }

    QList<Token> m_tokens;
    qsizetype m_position = 0;
    QString m_error;
};

Status refused(const QString &sql, const QString &reason)
{
    return Status::failure(
        QStringLiteral("Requête refusée par la base de données :\n%1\n(%2.)").arg(sql, reason));
}

Status read(const QString &sql, QList<Token> &tokens)
{
    const Status status = tokenize(sql, tokens);
    return status ? status : refused(sql, status.message().chopped(1));
}

} // namespace

Status parseQuery(const QString &sql, ViewQuery &query)
{
    QList<Token> tokens;
    if (const Status status = read(sql, tokens); !status) {
        return status;
    }
    Reader in(std::move(tokens));
    ViewQuery result;

    // SELECT * | SELECT <table>.* : the qualified form is the search query's.
    in.word(u"SELECT");
    const bool qualified = !in.peekSymbol(u"*");
    QString qualifierName;
    if (qualified) {
        qualifierName = in.identifier();
        in.symbol(u".");
    }
    in.symbol(u"*");
    in.word(u"FROM");
    result.table = in.identifier();
    if (qualified && !in.failed() && qualifierName.compare(result.table, Qt::CaseInsensitive) != 0) {
        return refused(sql, QStringLiteral("une seule table par requête"));
    }

    if (in.peekWord(u"WHERE")) {
        in.word(u"WHERE");
        in.word(u"AGENDATE");
        if (!qualified) {
            in.symbol(u"=");
            result.dateEquals = in.number();
        } else {
            in.word(u"BETWEEN");
            result.dateFrom = in.number();
            in.word(u"AND");
            result.dateTo = in.number();
            in.word(u"AND");
            in.symbol(u"(");
            in.qualifier(result.table);
            in.word(u"RVOUS");
            in.word(u"LIKE");
            result.rvousPattern = in.text();
            in.symbol(u")");
        }
    }
    if (in.peekWord(u"ORDER")) {
        in.word(u"ORDER");
        in.word(u"BY");
        if (in.peekWord(u"NOM")) {
            in.word(u"NOM");
            in.symbol(u",");
            in.word(u"PRENOM");
            result.order = ViewQuery::Order::Name;
        } else {
            in.word(u"AGENDATE");
            result.order = ViewQuery::Order::Date;
        }
    }
    in.end();
    if (in.failed()) {
        return refused(sql, in.error());
    }

    // Only the four texts the program writes, not every mix of their parts.
    const bool where = result.dateEquals || result.dateFrom;
    const bool accepted = qualified ? (result.dateFrom && result.order == ViewQuery::Order::Date)
                                    : (where ? result.order == ViewQuery::Order::Rowid
                                             : result.order != ViewQuery::Order::Rowid);
    if (!accepted) {
        return refused(sql, QStringLiteral("forme de requête inconnue"));
    }
    query = result;
    return Status::success();
}

Status parseCriterion(const QString &text, Criterion &criterion)
{
    QList<Token> tokens;
    if (const Status status = read(text, tokens); !status) {
        return status;
    }
    Reader in(std::move(tokens));
    Criterion result;
    if (in.peekWord(u"NOM")) {
        in.word(u"NOM");
        in.symbol(u">=");
        result.kind = Criterion::Kind::NameAtLeast;
        result.key = in.text();
    } else {
        in.word(u"AGENDATE");
        in.symbol(u"=");
        result.kind = Criterion::Kind::DateEquals;
        result.date = in.number();
    }
    in.end();
    if (in.failed()) {
        return refused(text, in.error());
    }
    criterion = result;
    return Status::success();
}

QString likePattern(const QString &accessPattern)
{
    // Only '*' and '?' are wildcards: a '#' or '[' typed in the search box
    // means that character, as a practice would expect.
    QString pattern;
    pattern.reserve(accessPattern.size() + 8);
    for (const QChar c : accessPattern) {
        if (c == u'*') {
            pattern += u'%';
        } else if (c == u'?') {
            pattern += u'_';
        } else {
            if (c == u'%' || c == u'_' || c == u'\\') {
                pattern += u'\\';
            }
            pattern += c;
        }
    }
    return pattern;
}

} // namespace Dialect
