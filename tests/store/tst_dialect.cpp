#include "dialect.h"
#include "foldedneedle.h"
#include "storetesttable.h"
#include "textfold.h"

// The program's SQL texts and criteria, the search patterns, and the case
// rule of every text comparison, both in our own functions and inside SQLite.
// And the search's comparison rule (case and accents ignored) in its three
// forms, which must always agree: LIKE '%text%' inside SQLite, the fast
// planora_contains over the stored bytes, and the find that selects the text
// in a slot.
namespace {

const QString Memory = u":memory:"_s; // SQLite with our text rules, no file
// Long enough that the sixteen-byte skip runs over it before a match.
const QString Filler = u"Consultation de contrôle, tension 12/8 – "_s;

// What a parse found, in one line; empty when the text was refused.
QString described(const ViewQuery &q)
{
    return q.table + QLatin1String(std::array{" rowid", " date", " name"}[int(q.order)])
           + (q.dateEquals ? u" =%1"_s.arg(*q.dateEquals) : QString())
           + (q.dateFrom ? u" %1..%2"_s.arg(*q.dateFrom).arg(q.dateTo.value_or(-1)) : QString())
           + (q.rvousPattern ? u" like "_s + *q.rvousPattern : QString());
}

QString described(const Criterion &c)
{
    return c.kind == Criterion::Kind::DateEquals ? u"date %1"_s.arg(c.date) : u"name [%1]"_s.arg(c.key);
}

} // namespace

class TestDialect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        // criterion: a criterion of a find, else a view's SQL text; parsed: empty: refused
        columns<bool, QString, QString>("criterion", "text", "parsed");
        const QString search = u"SELECT RVOUS2.* From RVOUS2 WHERE AGENDATE BETWEEN 37620 And 37627AND "
                                 "(RVOUS2.RVOUS LIKE %1)ORDER BY AGENDATE"_s;
        const QString refused;
        row("day view, no blank around the asterisk", false, u"SELECT*FROM RVOUS1 ORDER BY AGENDATE"_s,
            u"RVOUS1 date"_s);
        row("names table in name order, digits in its name", false, u"SELECT*FROM Noms_2024 ORDER BY NOM,PRENOM"_s,
            u"Noms_2024 name"_s);
        row("one day for the search window", false, u"SELECT*FROM RVOUS2 WHERE AGENDATE =37986"_s,
            u"RVOUS2 rowid =37986"_s);
        row("search query as the search window writes it", false, search.arg(u"'*radio*'"_s),
            u"RVOUS2 date 37620..37627 like *radio*"_s);
        row("search query in lower case, qualifier in mixed case", false,
            u"select rvous2.* from RVOUS2 where agendate between 1 and 2and (Rvous2.rvous like '*x*')order by "
            "agendate"_s,
            u"RVOUS2 date 1..2 like *x*"_s);
        row("SQL inside the quoted search text stays text, a doubled apostrophe one", false,
            search.arg(u"'*x'') OR 1=1; DROP TABLE RVOUS1; --*'"_s),
            u"RVOUS2 date 37620..37627 like *x') OR 1=1; DROP TABLE RVOUS1; --*"_s);
        row("accented names table", false, u"SELECT*FROM Clientèle ORDER BY NOM, PRENOM"_s, u"Clientèle name"_s);
        row("keyword between brackets is a name", false, u"SELECT*FROM [Order] ORDER BY NOM, PRENOM"_s,
            u"Order name"_s);
        row("empty text", false, QString(), refused);
        row("other statement", false, u"DELETE FROM RVOUS1"_s, refused);
        row("day view without its order", false, u"SELECT*FROM RVOUS1"_s, refused);
        row("order by another column", false, u"SELECT*FROM RVOUS1 ORDER BY RVOUS"_s, refused);
        row("half the name order", false, u"SELECT*FROM PATIENTS ORDER BY NOM"_s, refused);
        row("second statement", false, u"SELECT*FROM RVOUS1 ORDER BY AGENDATE; DROP TABLE RVOUS1"_s, refused);
        row("keyword as table name", false, u"SELECT*FROM ORDER ORDER BY AGENDATE"_s, refused);
        row("bracket left open", false, u"SELECT*FROM [Mes patients ORDER BY NOM, PRENOM"_s, refused);
        row("double quote between brackets", false, u"SELECT*FROM [a\"; DROP TABLE RVOUS1; --] ORDER BY NOM, PRENOM"_s,
            refused);
        row("SQLite's own table between brackets", false, u"SELECT*FROM [sqlite_schema] ORDER BY NOM, PRENOM"_s,
            refused);
        row("day number beyond 32 bits", false, u"SELECT*FROM RVOUS1 WHERE AGENDATE =2147483648"_s, refused);
        row("quoted day number", false, u"SELECT*FROM RVOUS1 WHERE AGENDATE ='37986'"_s, refused);
        row("search without its order", false, search.arg(u"'*a*'"_s).remove(u"ORDER BY AGENDATE"_s), refused);
        row("search naming another table first", false,
            search.arg(u"'*a*'"_s).replace(u"SELECT RVOUS2"_s, u"SELECT RVOUS1"_s), refused);
        row("search naming another table in LIKE", false, search.arg(u"'*a*'"_s).replace(u"(RVOUS2"_s, u"(RVOUS1"_s),
            refused);
        row("apostrophe injection through the search text", false, search.arg(u"'*x') OR ('1'='1*'"_s), refused);
        row("search text left unquoted", false, search.arg(u"RVOUS2.Postit"_s), refused);
        row("criterion: day with blanks and lower case", true, u"agendate = 5"_s, u"date 5"_s);
        row("criterion: name key with trailing blanks kept", true, u"NOM>='DU  A  '"_s, u"name [DU  A  ]"_s);
        row("criterion: SQL inside the key stays text, a doubled apostrophe one", true, u"NOM>=''' OR 1=1 --'"_s,
            u"name [' OR 1=1 --]"_s);
        row("criterion: empty key", true, u"NOM >= ''"_s, u"name []"_s);
        row("criterion: empty", true, QString(), refused);
        row("criterion: day and another condition", true, u"AGENDATE=37986 OR 1=1"_s, refused);
        row("criterion: lone apostrophe breaking out of the key", true, u"NOM>='D'A'"_s, refused);
        row("criterion: equality on the name", true, u"NOM='x'"_s, refused);
    }

    void parse()
    {
        const auto [criterion, text, parsed] = fetch<bool, QString, QString>("criterion", "text", "parsed");
        ViewQuery q;
        Criterion c;
        const Status status = criterion ? Dialect::parseCriterion(text, c) : Dialect::parseQuery(text, q);
        QCOMPARE(!status.ok() ? QString() : criterion ? described(c) : described(q), parsed);
        QVERIFY2(status.ok() || status.message().startsWith(u"Requête refusée"_s), qPrintable(status.message()));
    }

    void compare_data()
    {
        columns<QString, QString, qint64>("left", "right", "sign");
        row("accented small and capital are equal", u"é"_s, u"É"_s, 0LL);
        row("an accent still counts", u"e"_s, u"é"_s, -1LL);
        row("accented names in order across cases", u"émile"_s, u"ÉTIENNE"_s, -1LL);
        row("longer after its prefix", u"Dupont"_s, u"DUPON"_s, 1LL);
        row("space before letters", u"DU A"_s, u"DUA"_s, -1LL);
    }

    void compare()
    {
        const auto [left, right, sign] = fetch<QString, QString, qint64>("left", "right", "sign");
        const QString inSqlite = u"SELECT CASE WHEN ?1 < ?2 COLLATE PLANORA_NOCASE THEN -1 "
                                 "WHEN ?1 = ?2 COLLATE PLANORA_NOCASE THEN 0 ELSE 1 END"_s;
        QCOMPARE(StoreTestDatabase::scalar(Memory, inSqlite, {left, right}), QVariant(sign));
        QCOMPARE(StoreTestDatabase::scalar(Memory, inSqlite, {right, left}), QVariant(-sign));
    }

    // Search patterns as the search window writes them: '*' any run of characters, '?' exactly one, every other
    // character itself (a bracket around one makes it plain); a plain "*text*" is searched as that text.
    void like_data()
    {
        // text: null: NULL; matches: -1: NULL, as SQLite's own LIKE; contained: null: not a plain "*text*"
        columns<QString, QString, qint64, QString>("pattern", "text", "matches", "contained");
        const QString none;
        row("any run across slot separators", u"*radio*"_s, u"Mme X\r\nRADIO pulmonaire"_s, 1LL, u"radio"_s);
        row("one accented character", u"a?c"_s, u"aéc"_s, 1LL, none);
        row("one character is not none", u"a?c"_s, u"ac"_s, 0LL, none);
        row("one character outside the basic plane", u"?"_s, u"😀"_s, 1LL, none);
        row("any run matches nothing", u"*"_s, u""_s, 1LL, none);
        row("empty pattern only matches empty", u""_s, u"x"_s, 0LL, none);
        row("underscore is not one character", u"a_b"_s, u"axb"_s, 0LL, none);
        row("backslash is a plain character", u"c:\\x"_s, u"C:\\X"_s, 1LL, none);
        row("backtracking over runs", u"*a*b*"_s, u"xxaxxbxx"_s, 1LL, none);
        row("end anchored fails", u"*ab"_s, u"aba"_s, 0LL, none);
        row("NULL is no match", u"*"_s, QString(), -1LL, none);
        row("empty search", u"**"_s, u"x"_s, 1LL, u""_s);
        row("bracketed wildcards are characters", u"*[*][?][#][[]*"_s, u"a*?#[b"_s, 1LL, u"*?#["_s);
        row("percent, underscore, backslash are characters", u"*5%_\\*"_s, u"5zzz\\"_s, 0LL, u"5%_\\"_s);
        row("a lone bracket is a character", u"*[x*"_s, u"a[xb"_s, 1LL, u"[x"_s);
    }

    void like()
    {
        const auto [pattern, text, matches, contained] =
            fetch<QString, QString, qint64, QString>("pattern", "text", "matches", "contained");
        const QString sqlPattern = Dialect::likePattern(pattern);
        const QVariant value = text.isNull() ? QVariant() : QVariant(text);
        QCOMPARE(
            StoreTestDatabase::scalar(Memory, u"SELECT coalesce(?2 LIKE ?1 ESCAPE '\\', -1)"_s, {sqlPattern, value}),
            QVariant(matches));
        QCOMPARE(Dialect::containedText(pattern).value_or(QString()), contained);
        QCOMPARE(Dialect::containedText(pattern).has_value(), !contained.isNull());
    }

    void contains_data()
    {
        // start: where find() selects; -1: not found
        columns<QString, QString, int, int>("text", "needle", "start", "length");
        row("plain text", u"Mme Martin radio"_s, u"radio"_s, 11, 5);
        row("accented capitals found without accents", u"Mme HÉLÈNE D"_s, u"helene"_s, 4, 6);
        row("accents in the needle, none in the text", u"HELENE"_s, u"Hélène"_s, 0, 6);
        row("decomposed accents in the text", u"He\u0301le\u0300ne"_s, u"hélène"_s, 0, 8);
        row("rare letter in the middle: checked backwards over accents", u"xx Éléazar"_s, u"eleazar"_s, 3, 7);
        row("the letters before the rare one must match too", u"Mme Aléazar, Mme Eleazer"_s, u"éléazar"_s, -1, 0);
        row("match crossing a sixteen-byte block", Filler + u"Dr Kéravec"_s, u"KERAVEC"_s, int(Filler.size()) + 3, 7);
        row("match at the very end", Filler + Filler + u"z"_s, u"Z"_s, 2 * int(Filler.size()), 1);
        row("near miss at the end", Filler + u"radi"_s, u"radio"_s, -1, 0);
        row("ligature is its own letter", u"cœur"_s, u"coeur"_s, -1, 0);
        row("sharp s is not ss", u"Strauß"_s, u"strauss"_s, -1, 0);
        row("across slots only as the text holds them", u"Dupont\r\nJean"_s, u"dupont\r\njean"_s, 0, 12);
        row("non-Latin letters ignore case", u"ΣΟΦΙΑ"_s, u"σοφια"_s, 0, 5);
        row("needle of non-ASCII letters only", u"abc ÉÉ"_s, u"éé"_s, 4, 2);
        row("character beyond the basic plane", u"note 😀 ok"_s, u"😀 OK"_s, 5, 5);
        row("wildcard characters are plain", u"dose 50% a_b [x] #2 *? l'ours"_s, u"% a_b [x] #2 *? l'"_s, 7, 18);
        row("empty needle is everywhere", u"x"_s, QString(), 0, 0);
    }

    void contains()
    {
        const auto [text, needle, start, length] =
            fetch<QString, QString, int, int>("text", "needle", "start", "length");
        const TextFold::Span span = TextFold::find(text, needle);
        QCOMPARE(span.start, qsizetype(start));
        QCOMPARE(span.length, qsizetype(length));
        const QByteArray utf8 = text.toUtf8();
        QCOMPARE(FoldedNeedle(needle).foundIn(utf8.constData(), std::size_t(utf8.size())), start >= 0);
        // The needle in a pattern, every character bracketed so that the
        // dialect takes it literally, as LIKE and as the fast function: the
        // same answer inside SQLite.
        QString access = u"*"_s;
        for (const QChar c : needle)
            access += u'[' + QString(c) + u']';
        const QString like = Dialect::likePattern(access + u'*');
        QCOMPARE(StoreTestDatabase::scalar(Memory, u"SELECT ?1 LIKE ?2 ESCAPE '\\'"_s, {text, like}),
                 QVariant(qint64(start >= 0)));
        QCOMPARE(StoreTestDatabase::scalar(Memory, u"SELECT planora_contains(?1, ?2)"_s, {text, needle}),
                 QVariant(qint64(start >= 0)));
    }
};

QTEST_GUILESS_MAIN(TestDialect)
#include "tst_dialect.moc"
