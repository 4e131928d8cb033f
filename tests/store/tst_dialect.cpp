#include "dialect.h"
#include "storetestdatabase.h"

#include <QTest>

#include <array>

using namespace Qt::StringLiterals;

// The program's SQL texts and criteria, the search patterns, and the case
// rule of every text comparison, both in our own functions and inside SQLite.
class TestDialect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void queries_data();
    void queries();
    void criteria_data();
    void criteria();
    void compare_data();
    void compare();
    void like_data();
    void like();
};

namespace {

const QString Memory = u":memory:"_s; // SQLite with our text rules, no file

// What a parse found, in one line; empty when the text was refused.
QString described(const ViewQuery &q)
{
    QString text = q.table + QLatin1String(std::array{" rowid", " date", " name"}[int(q.order)]);
    if (q.dateEquals) {
        text += u" =%1"_s.arg(*q.dateEquals);
    }
    if (q.dateFrom) {
        text += u" %1..%2"_s.arg(*q.dateFrom).arg(q.dateTo.value_or(-1));
    }
    return q.rvousPattern ? text + u" like "_s + *q.rvousPattern : text;
}

QString described(const Criterion &c)
{
    return c.kind == Criterion::Kind::DateEquals ? u"date %1"_s.arg(c.date) : u"name [%1]"_s.arg(c.key);
}

} // namespace

void TestDialect::queries_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("parsed"); // empty: refused

    const QString search = u"SELECT RVOUS2.* From RVOUS2 WHERE AGENDATE BETWEEN 37620 And 37627AND "
                           "(RVOUS2.RVOUS LIKE %1)ORDER BY AGENDATE"_s;
    const auto row = [](const char *name, const QString &sql, const QString &parsed = QString()) {
        QTest::newRow(name) << sql << parsed;
    };
    row("day view, no blank around the asterisk", u"SELECT*FROM RVOUS1 ORDER BY AGENDATE"_s, u"RVOUS1 date"_s);
    row("keywords in lower case", u"select*from rvous6 order by agendate"_s, u"rvous6 date"_s);
    row("names table in name order, digits in its name", u"SELECT*FROM Noms_2024 ORDER BY NOM,PRENOM"_s,
        u"Noms_2024 name"_s);
    row("one day for the search window", u"SELECT*FROM RVOUS2 WHERE AGENDATE =37986"_s, u"RVOUS2 rowid =37986"_s);
    row("search query as the search window writes it", search.arg(u"'*radio*'"_s),
        u"RVOUS2 date 37620..37627 like *radio*"_s);
    row("search query in lower case, qualifier in mixed case",
        u"select rvous2.* from RVOUS2 where agendate between 1 and 2and (Rvous2.rvous like '*x*')order by agendate"_s,
        u"RVOUS2 date 1..2 like *x*"_s);
    row("doubled apostrophe in the search text is one", search.arg(u"'*l''ours*'"_s),
        u"RVOUS2 date 37620..37627 like *l'ours*"_s);
    row("SQL inside the quoted search text stays text", search.arg(u"'*x'') OR 1=1; DROP TABLE RVOUS1; --*'"_s),
        u"RVOUS2 date 37620..37627 like *x') OR 1=1; DROP TABLE RVOUS1; --*"_s);

    row("empty text", QString());
    row("other statement", u"DELETE FROM RVOUS1"_s);
    row("day view without its order", u"SELECT*FROM RVOUS1"_s);
    row("order by another column", u"SELECT*FROM RVOUS1 ORDER BY RVOUS"_s);
    row("half the name order", u"SELECT*FROM PATIENTS ORDER BY NOM"_s);
    row("second statement", u"SELECT*FROM RVOUS1 ORDER BY AGENDATE; DROP TABLE RVOUS1"_s);
    row("accented names table", u"SELECT*FROM Clientèle ORDER BY NOM, PRENOM"_s, u"Clientèle name"_s);
    row("names table between brackets, with a blank", u"SELECT*FROM [Mes patients] ORDER BY NOM, PRENOM"_s,
        u"Mes patients name"_s);
    row("keyword between brackets is a name", u"SELECT*FROM [Order] ORDER BY NOM, PRENOM"_s, u"Order name"_s);
    row("keyword as table name", u"SELECT*FROM ORDER ORDER BY AGENDATE"_s);
    row("two words as table name", u"SELECT*FROM Mes patients ORDER BY NOM, PRENOM"_s);
    row("bracket left open", u"SELECT*FROM [Mes patients ORDER BY NOM, PRENOM"_s);
    row("empty brackets", u"SELECT*FROM [ ] ORDER BY NOM, PRENOM"_s);
    row("double quote between brackets", u"SELECT*FROM [a\"; DROP TABLE RVOUS1; --] ORDER BY NOM, PRENOM"_s);
    row("SQLite's own table between brackets", u"SELECT*FROM [sqlite_schema] ORDER BY NOM, PRENOM"_s);
    row("SQLite's own table", u"SELECT*FROM sqlite_master ORDER BY AGENDATE"_s);
    row("extra condition after the day", u"SELECT*FROM RVOUS1 WHERE AGENDATE =37986 OR 1=1"_s);
    row("day number beyond 32 bits", u"SELECT*FROM RVOUS1 WHERE AGENDATE =2147483648"_s);
    row("quoted day number", u"SELECT*FROM RVOUS1 WHERE AGENDATE ='37986'"_s);
    row("one day and an order", u"SELECT*FROM RVOUS1 WHERE AGENDATE =37986 ORDER BY AGENDATE"_s);
    row("search without its order", search.arg(u"'*a*'"_s).remove(u"ORDER BY AGENDATE"_s));
    row("search naming another table first", search.arg(u"'*a*'"_s).replace(u"SELECT RVOUS2"_s, u"SELECT RVOUS1"_s));
    row("search naming another table in LIKE", search.arg(u"'*a*'"_s).replace(u"(RVOUS2"_s, u"(RVOUS1"_s));
    row("lone apostrophe in the search text", search.arg(u"'*l'ours*'"_s));
    row("apostrophe injection through the search text", search.arg(u"'*x') OR ('1'='1*'"_s));
    row("search text left unquoted", search.arg(u"RVOUS2.Postit"_s));
}

void TestDialect::queries()
{
    QFETCH(QString, sql);
    QFETCH(QString, parsed);
    ViewQuery query;
    const Status status = Dialect::parseQuery(sql, query);
    QCOMPARE(status.ok() ? described(query) : QString(), parsed);
    QVERIFY2(status.ok() || status.message().startsWith(u"Requête refusée"_s), qPrintable(status.message()));
}

void TestDialect::criteria_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("parsed"); // empty: refused

    QTest::newRow("day as positioning writes it") << u"AGENDATE=37986"_s << u"date 37986"_s;
    QTest::newRow("day with blanks and lower case") << u"agendate = 5"_s << u"date 5"_s;
    QTest::newRow("name key with trailing blanks kept") << u"NOM>='DU  A  '"_s << u"name [DU  A  ]"_s;
    QTest::newRow("doubled apostrophe in the key") << u"NOM>='D''A'"_s << u"name [D'A]"_s;
    QTest::newRow("SQL inside the key stays text") << u"NOM>=''' OR 1=1 --'"_s << u"name [' OR 1=1 --]"_s;
    QTest::newRow("empty key") << u"NOM >= ''"_s << u"name []"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("day and another condition") << u"AGENDATE=37986 OR 1=1"_s << QString();
    QTest::newRow("other comparison on the day") << u"AGENDATE>37986"_s << QString();
    QTest::newRow("lone apostrophe breaking out of the key") << u"NOM>='D'A'"_s << QString();
    QTest::newRow("second condition after the key") << u"NOM>='x' OR 1=1"_s << QString();
    QTest::newRow("equality on the name") << u"NOM='x'"_s << QString();
}

void TestDialect::criteria()
{
    QFETCH(QString, text);
    QFETCH(QString, parsed);
    Criterion criterion;
    const Status status = Dialect::parseCriterion(text, criterion);
    QCOMPARE(status.ok() ? described(criterion) : QString(), parsed);
}

void TestDialect::compare_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<int>("sign");
    QTest::newRow("accented small and capital are equal") << u"é"_s << u"É"_s << 0;
    QTest::newRow("an accent still counts") << u"e"_s << u"é"_s << -1;
    QTest::newRow("alphabetical order across cases") << u"a"_s << u"B"_s << -1;
    QTest::newRow("accented names in order across cases") << u"émile"_s << u"ÉTIENNE"_s << -1;
    QTest::newRow("longer after its prefix") << u"Dupont"_s << u"DUPON"_s << 1;
    QTest::newRow("space before letters") << u"DU A"_s << u"DUA"_s << -1;
}

void TestDialect::compare()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(int, sign);
    const auto signOf = [](int value) { return (value > 0) - (value < 0); };
    QCOMPARE(signOf(TextRules::compare(left, right)), sign);
    QCOMPARE(signOf(TextRules::compare(right, left)), -sign);
    const QString inSqlite = u"SELECT CASE WHEN ?1 < ?2 COLLATE PLANORA_NOCASE THEN -1 "
                             "WHEN ?1 = ?2 COLLATE PLANORA_NOCASE THEN 0 ELSE 1 END"_s;
    QCOMPARE(StoreTestDatabase::scalar(Memory, inSqlite, {left, right}), QVariant(qint64(sign)));
    QCOMPARE(StoreTestDatabase::scalar(Memory, inSqlite, {right, left}), QVariant(qint64(-sign)));
}

// Search patterns as the search window writes them: '*' any run of
// characters, '?' exactly one, every other character itself.
void TestDialect::like_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text"); // null: NULL
    QTest::addColumn<int>("matches");  // -1: NULL, as SQLite's own LIKE
    QTest::newRow("any run across slot separators") << u"*radio*"_s << u"Mme X\r\nRADIO pulmonaire"_s << 1;
    QTest::newRow("one accented character") << u"a?c"_s << u"aéc"_s << 1;
    QTest::newRow("one character is not none") << u"a?c"_s << u"ac"_s << 0;
    QTest::newRow("one character outside the basic plane") << u"?"_s << u"😀"_s << 1;
    QTest::newRow("any run matches nothing") << u"*"_s << u""_s << 1;
    QTest::newRow("empty pattern only matches empty") << u""_s << u"x"_s << 0;
    QTest::newRow("whole text, not a part") << u"radio"_s << u"radios"_s << 0;
    QTest::newRow("underscore is not one character") << u"a_b"_s << u"axb"_s << 0;
    QTest::newRow("backslash is a plain character") << u"c:\\x"_s << u"C:\\X"_s << 1;
    QTest::newRow("hash and brackets are plain characters") << u"[n°]#"_s << u"[N°]#"_s << 1;
    QTest::newRow("backtracking over runs") << u"*a*b*"_s << u"xxaxxbxx"_s << 1;
    QTest::newRow("end anchored fails") << u"*ab"_s << u"aba"_s << 0;
    QTest::newRow("NULL is no match") << u"*"_s << QString() << -1;
}

void TestDialect::like()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(int, matches);
    const QString sqlPattern = Dialect::likePattern(pattern);
    if (!text.isNull()) {
        QCOMPARE(TextRules::like(sqlPattern, text, u'\\'), matches == 1);
    }
    const QVariant value = text.isNull() ? QVariant() : QVariant(text);
    QCOMPARE(StoreTestDatabase::scalar(Memory, u"SELECT coalesce(?2 LIKE ?1 ESCAPE '\\', -1)"_s, {sqlPattern, value}), QVariant(qint64(matches)));
}

QTEST_GUILESS_MAIN(TestDialect)
#include "tst_dialect.moc"
