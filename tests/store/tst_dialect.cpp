#include "dialect.h"
#include "textrules.h"

#include <sqlite3.h>

#include <QTest>

// The program's SQL texts and criteria, and the case rule of every text
// comparison: what is accepted, what it means, and what is refused.
class TestDialect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void acceptedQueries_data();
    void acceptedQueries();
    void refusedQueries_data();
    void refusedQueries();
    void criteria_data();
    void criteria();
    void refusedCriteria_data();
    void refusedCriteria();
    void accessPatterns_data();
    void accessPatterns();
    void caseInsensitiveCompare_data();
    void caseInsensitiveCompare();
    void likeMatches_data();
    void likeMatches();
    void rulesInsideSqlite_data();
    void rulesInsideSqlite();
};

namespace {
const QString NoPattern = QStringLiteral("<none>");
}

void TestDialect::acceptedQueries_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("order");
    QTest::addColumn<int>("dateEquals"); // -1: no such condition
    QTest::addColumn<int>("dateFrom");
    QTest::addColumn<int>("dateTo");
    QTest::addColumn<QString>("pattern");

    const int date = int(ViewQuery::Order::Date);
    const int name = int(ViewQuery::Order::Name);
    const int rowid = int(ViewQuery::Order::Rowid);
    QTest::newRow("day view of user 1, no blank around the asterisk")
        << QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE") << QStringLiteral("RVOUS1") << date << -1 << -1
        << -1 << NoPattern;
    QTest::newRow("day view of user 6") << QStringLiteral("SELECT*FROM RVOUS6 ORDER BY AGENDATE")
                                        << QStringLiteral("RVOUS6") << date << -1 << -1 << -1 << NoPattern;
    QTest::newRow("keywords in lower case") << QStringLiteral("select*from rvous3 order by agendate")
                                            << QStringLiteral("rvous3") << date << -1 << -1 << -1 << NoPattern;
    QTest::newRow("names table in name order") << QStringLiteral("SELECT*FROM PATIENTS ORDER BY NOM, PRENOM")
                                               << QStringLiteral("PATIENTS") << name << -1 << -1 << -1 << NoPattern;
    QTest::newRow("names table, no blank after the comma")
        << QStringLiteral("SELECT*FROM Noms_2024 ORDER BY NOM,PRENOM") << QStringLiteral("Noms_2024") << name << -1
        << -1 << -1 << NoPattern;
    QTest::newRow("one day for the search window, blank before = only")
        << QStringLiteral("SELECT*FROM RVOUS2 WHERE AGENDATE =37986") << QStringLiteral("RVOUS2") << rowid << 37986
        << -1 << -1 << NoPattern;
    QTest::newRow("search query exactly as the search window writes it")
        << QStringLiteral("SELECT RVOUS2.* From RVOUS2 WHERE AGENDATE BETWEEN 37620 And 37627AND "
                          "(RVOUS2.RVOUS LIKE '*radio*')ORDER BY AGENDATE")
        << QStringLiteral("RVOUS2") << date << -1 << 37620 << 37627 << QStringLiteral("*radio*");
    QTest::newRow("search query in lower case, qualifier in mixed case")
        << QStringLiteral("select rvous2.* from RVOUS2 where agendate between 1 and 2and "
                          "(Rvous2.rvous like '*x*')order by agendate")
        << QStringLiteral("RVOUS2") << date << -1 << 1 << 2 << QStringLiteral("*x*");
    QTest::newRow("doubled apostrophe in the search text is one apostrophe")
        << QStringLiteral("SELECT RVOUS4.* From RVOUS4 WHERE AGENDATE BETWEEN 10 And 20AND "
                          "(RVOUS4.RVOUS LIKE '*l''ours*')ORDER BY AGENDATE")
        << QStringLiteral("RVOUS4") << date << -1 << 10 << 20 << QStringLiteral("*l'ours*");
    QTest::newRow("empty search text")
        << QStringLiteral("SELECT RVOUS1.* From RVOUS1 WHERE AGENDATE BETWEEN 10 And 20AND "
                          "(RVOUS1.RVOUS LIKE '**')ORDER BY AGENDATE")
        << QStringLiteral("RVOUS1") << date << -1 << 10 << 20 << QStringLiteral("**");
    QTest::newRow("SQL inside the quoted search text stays text")
        << QStringLiteral("SELECT RVOUS1.* From RVOUS1 WHERE AGENDATE BETWEEN 10 And 20AND "
                          "(RVOUS1.RVOUS LIKE '*x'') OR 1=1; DROP TABLE RVOUS1; --*')ORDER BY AGENDATE")
        << QStringLiteral("RVOUS1") << date << -1 << 10 << 20
        << QStringLiteral("*x') OR 1=1; DROP TABLE RVOUS1; --*");
}

void TestDialect::acceptedQueries()
{
    QFETCH(QString, sql);
    QFETCH(QString, table);
    QFETCH(int, order);
    QFETCH(int, dateEquals);
    QFETCH(int, dateFrom);
    QFETCH(int, dateTo);
    QFETCH(QString, pattern);

    ViewQuery query;
    const Status status = Dialect::parseQuery(sql, query);
    QVERIFY2(status.ok(), qPrintable(status.message()));
    QCOMPARE(query.table, table);
    QCOMPARE(int(query.order), order);
    QCOMPARE(query.dateEquals.value_or(-1), dateEquals);
    QCOMPARE(query.dateFrom.value_or(-1), dateFrom);
    QCOMPARE(query.dateTo.value_or(-1), dateTo);
    QCOMPARE(query.rvousPattern.value_or(NoPattern), pattern);
}

void TestDialect::refusedQueries_data()
{
    QTest::addColumn<QString>("sql");

    const QString search = QStringLiteral("SELECT RVOUS2.* From RVOUS2 WHERE AGENDATE BETWEEN 1 And 2AND "
                                          "(RVOUS2.RVOUS LIKE %1)ORDER BY AGENDATE");
    QTest::newRow("empty text") << QString();
    QTest::newRow("other statement") << QStringLiteral("DELETE FROM RVOUS1");
    QTest::newRow("day view without its order") << QStringLiteral("SELECT*FROM RVOUS1");
    QTest::newRow("descending order") << QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE DESC");
    QTest::newRow("order by another column") << QStringLiteral("SELECT*FROM RVOUS1 ORDER BY RVOUS");
    QTest::newRow("half the name order") << QStringLiteral("SELECT*FROM PATIENTS ORDER BY NOM");
    QTest::newRow("trailing semicolon") << QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE;");
    QTest::newRow("second statement") << QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE; DROP TABLE RVOUS1");
    QTest::newRow("comment") << QStringLiteral("SELECT*FROM RVOUS1 -- ORDER BY AGENDATE");
    QTest::newRow("quoted table name") << QStringLiteral("SELECT*FROM \"RVOUS1\" ORDER BY AGENDATE");
    QTest::newRow("bracketed table name") << QStringLiteral("SELECT*FROM [RVOUS1] ORDER BY AGENDATE");
    QTest::newRow("two tables") << QStringLiteral("SELECT*FROM RVOUS1, RVOUS2 ORDER BY AGENDATE");
    QTest::newRow("keyword as table name") << QStringLiteral("SELECT*FROM ORDER ORDER BY AGENDATE");
    QTest::newRow("SQLite's own table") << QStringLiteral("SELECT*FROM sqlite_master ORDER BY AGENDATE");
    QTest::newRow("accented table name") << QStringLiteral("SELECT*FROM RVÖUS1 ORDER BY AGENDATE");
    QTest::newRow("extra condition after the day")
        << QStringLiteral("SELECT*FROM RVOUS1 WHERE AGENDATE =37986 OR 1=1");
    QTest::newRow("signed day number") << QStringLiteral("SELECT*FROM RVOUS1 WHERE AGENDATE =-1");
    QTest::newRow("day number beyond 32 bits") << QStringLiteral("SELECT*FROM RVOUS1 WHERE AGENDATE =2147483648");
    QTest::newRow("quoted day number") << QStringLiteral("SELECT*FROM RVOUS1 WHERE AGENDATE ='37986'");
    QTest::newRow("one day and an order: not a text of the program")
        << QStringLiteral("SELECT*FROM RVOUS1 WHERE AGENDATE =37986 ORDER BY AGENDATE");
    QTest::newRow("search without its order")
        << QStringLiteral("SELECT RVOUS2.* From RVOUS2 WHERE AGENDATE BETWEEN 1 And 2AND "
                          "(RVOUS2.RVOUS LIKE '*a*')");
    QTest::newRow("search naming another table in the select list")
        << QStringLiteral("SELECT RVOUS1.* From RVOUS2 WHERE AGENDATE BETWEEN 1 And 2AND "
                          "(RVOUS2.RVOUS LIKE '*a*')ORDER BY AGENDATE");
    QTest::newRow("search naming another table in LIKE")
        << QStringLiteral("SELECT RVOUS2.* From RVOUS2 WHERE AGENDATE BETWEEN 1 And 2AND "
                          "(RVOUS1.RVOUS LIKE '*a*')ORDER BY AGENDATE");
    QTest::newRow("search text with a lone apostrophe") << search.arg(QStringLiteral("'*l'ours*'"));
    QTest::newRow("apostrophe injection through the search text")
        << search.arg(QStringLiteral("'*x') OR ('1'='1*'"));
    QTest::newRow("search text left unquoted") << search.arg(QStringLiteral("RVOUS2.Postit"));
    QTest::newRow("unterminated search text")
        << QStringLiteral("SELECT RVOUS2.* From RVOUS2 WHERE AGENDATE BETWEEN 1 And 2AND (RVOUS2.RVOUS LIKE '*a");
}

void TestDialect::refusedQueries()
{
    QFETCH(QString, sql);
    ViewQuery query;
    const Status status = Dialect::parseQuery(sql, query);
    QVERIFY(!status.ok());
    QVERIFY2(status.message().startsWith(QStringLiteral("Requête refusée")), qPrintable(status.message()));
}

void TestDialect::criteria_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("date");
    QTest::addColumn<QString>("key");

    const int day = int(Criterion::Kind::DateEquals);
    const int name = int(Criterion::Kind::NameAtLeast);
    QTest::newRow("day as written by positioning") << QStringLiteral("AGENDATE=37986") << day << 37986 << QString();
    QTest::newRow("day with blanks and lower case") << QStringLiteral("agendate = 5") << day << 5 << QString();
    QTest::newRow("name key with trailing blanks kept")
        << QStringLiteral("NOM>='DU  A  '") << name << 0 << QStringLiteral("DU  A  ");
    QTest::newRow("doubled apostrophe in the key") << QStringLiteral("NOM>='D''A'") << name << 0
                                                   << QStringLiteral("D'A");
    QTest::newRow("SQL inside the key stays text")
        << QStringLiteral("NOM>=''' OR 1=1 --'") << name << 0 << QStringLiteral("' OR 1=1 --");
    QTest::newRow("empty key") << QStringLiteral("NOM >= ''") << name << 0 << QString();
}

void TestDialect::criteria()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(int, date);
    QFETCH(QString, key);

    Criterion criterion;
    const Status status = Dialect::parseCriterion(text, criterion);
    QVERIFY2(status.ok(), qPrintable(status.message()));
    QCOMPARE(int(criterion.kind), kind);
    if (criterion.kind == Criterion::Kind::DateEquals) {
        QCOMPARE(criterion.date, date);
    } else {
        QCOMPARE(criterion.key, key);
    }
}

void TestDialect::refusedCriteria_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("day without number") << QStringLiteral("AGENDATE=");
    QTest::newRow("day followed by letters") << QStringLiteral("AGENDATE=37986X");
    QTest::newRow("day and another condition") << QStringLiteral("AGENDATE=37986 OR 1=1");
    QTest::newRow("other comparison on the day") << QStringLiteral("AGENDATE>37986");
    QTest::newRow("lone apostrophe breaking out of the key") << QStringLiteral("NOM>='D'A'");
    QTest::newRow("second condition after the key") << QStringLiteral("NOM>='x' OR NOM<>'y'");
    QTest::newRow("equality on the name") << QStringLiteral("NOM='x'");
    QTest::newRow("other column") << QStringLiteral("PRENOM>='x'");
    QTest::newRow("trailing semicolon") << QStringLiteral("AGENDATE=37986;");
}

void TestDialect::refusedCriteria()
{
    QFETCH(QString, text);
    Criterion criterion;
    QVERIFY(!Dialect::parseCriterion(text, criterion).ok());
}

void TestDialect::accessPatterns_data()
{
    QTest::addColumn<QString>("access");
    QTest::addColumn<QString>("sql");
    QTest::newRow("star is any run") << QStringLiteral("*radio*") << QStringLiteral("%radio%");
    QTest::newRow("question mark is one character") << QStringLiteral("a?c") << QStringLiteral("a_c");
    QTest::newRow("percent is a literal") << QStringLiteral("50%") << QStringLiteral("50\\%");
    QTest::newRow("underscore is a literal") << QStringLiteral("a_b") << QStringLiteral("a\\_b");
    QTest::newRow("backslash is a literal") << QStringLiteral("c:\\x") << QStringLiteral("c:\\\\x");
    QTest::newRow("hash and brackets are literals") << QStringLiteral("[n°]#") << QStringLiteral("[n°]#");
}

void TestDialect::accessPatterns()
{
    QFETCH(QString, access);
    QFETCH(QString, sql);
    QCOMPARE(Dialect::likePattern(access), sql);
    // The translated pattern, read back by our like(), still matches the text
    // the Access pattern describes.
    QString sample = access;
    sample.replace(u'*', QStringLiteral("zz")).replace(u'?', u'b');
    QVERIFY(TextRules::like(sql, sample, u'\\'));
}

void TestDialect::caseInsensitiveCompare_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<int>("sign");
    QTest::newRow("accented small and capital are equal") << QStringLiteral("é") << QStringLiteral("É") << 0;
    QTest::newRow("cedilla in both cases") << QStringLiteral("Ça va") << QStringLiteral("ça VA") << 0;
    QTest::newRow("ligature in both cases") << QStringLiteral("Œuvre") << QStringLiteral("œuvre") << 0;
    QTest::newRow("plain letters in both cases") << QStringLiteral("DUPONT") << QStringLiteral("dupont") << 0;
    QTest::newRow("an accent still counts") << QStringLiteral("e") << QStringLiteral("é") << -1;
    QTest::newRow("alphabetical order across cases") << QStringLiteral("a") << QStringLiteral("B") << -1;
    QTest::newRow("longer after its prefix") << QStringLiteral("Dupont") << QStringLiteral("DUPON") << 1;
    QTest::newRow("space before letters") << QStringLiteral("DU A") << QStringLiteral("DUA") << -1;
}

void TestDialect::caseInsensitiveCompare()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(int, sign);
    const auto signOf = [](int value) { return (value > 0) - (value < 0); };
    QCOMPARE(signOf(TextRules::compare(left, right)), sign);
    QCOMPARE(signOf(TextRules::compare(right, left)), -sign);
}

void TestDialect::likeMatches_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");
    QTest::newRow("any run across slot separators")
        << QStringLiteral("%radio%") << QStringLiteral("Mme X\r\nRADIO pulmonaire\r\n") << true;
    QTest::newRow("accented letters ignore case") << QStringLiteral("%élodie%") << QStringLiteral("Mme ÉLODIE D")
                                                  << true;
    QTest::newRow("accent is not ignored") << QStringLiteral("%elodie%") << QStringLiteral("ÉLODIE") << false;
    QTest::newRow("one character") << QStringLiteral("a_c") << QStringLiteral("abc") << true;
    QTest::newRow("one character is not none") << QStringLiteral("a_c") << QStringLiteral("ac") << false;
    QTest::newRow("one accented character") << QStringLiteral("a_c") << QStringLiteral("aéc") << true;
    QTest::newRow("one character outside the basic plane") << QStringLiteral("_") << QStringLiteral("😀")
                                                           << true;
    QTest::newRow("any run matches nothing") << QStringLiteral("%") << QString() << true;
    QTest::newRow("empty pattern only matches empty") << QString() << QStringLiteral("x") << false;
    QTest::newRow("whole text, not a part") << QStringLiteral("radio") << QStringLiteral("radios") << false;
    QTest::newRow("escaped percent is literal") << QStringLiteral("a\\%b") << QStringLiteral("a%b") << true;
    QTest::newRow("escaped percent is not a run") << QStringLiteral("a\\%b") << QStringLiteral("axb") << false;
    QTest::newRow("escaped underscore is literal") << QStringLiteral("a\\_b") << QStringLiteral("axb") << false;
    QTest::newRow("backtracking over runs") << QStringLiteral("%a%b%") << QStringLiteral("xxaxxbxx") << true;
    QTest::newRow("end anchored after a run") << QStringLiteral("%ab") << QStringLiteral("aab") << true;
    QTest::newRow("end anchored fails") << QStringLiteral("%ab") << QStringLiteral("aba") << false;
}

void TestDialect::likeMatches()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, matches);
    QCOMPARE(TextRules::like(pattern, text, u'\\'), matches);
}

void TestDialect::rulesInsideSqlite_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("expected");
    QTest::newRow("collation: accented capital equals small")
        << QStringLiteral("SELECT 'é' = 'É' COLLATE PLANORA_NOCASE") << 1;
    QTest::newRow("collation: accent still counts") << QStringLiteral("SELECT 'é' = 'e' COLLATE PLANORA_NOCASE")
                                                    << 0;
    QTest::newRow("collation orders across cases")
        << QStringLiteral("SELECT 'émile' < 'ÉTIENNE' COLLATE PLANORA_NOCASE AND 'dupont' < 'FABRE' "
                          "COLLATE PLANORA_NOCASE")
        << 1;
    QTest::newRow("LIKE operator ignores accented case")
        << QStringLiteral("SELECT 'Mme ÉLODIE' LIKE '%élodie%'") << 1;
    QTest::newRow("LIKE with ESCAPE") << QStringLiteral("SELECT '100%' LIKE '100\\%' ESCAPE '\\'") << 1;
    QTest::newRow("LIKE on NULL is not true") << QStringLiteral("SELECT coalesce(NULL LIKE '%', -1)") << -1;
    // Letters compare by their folded code, so an accented initial comes after z.
    QTest::newRow("index in the collation orders names across cases")
        << QStringLiteral("CREATE TABLE t(NOM TEXT); CREATE INDEX i ON t(NOM COLLATE PLANORA_NOCASE);"
                          "INSERT INTO t VALUES('fabre'),('ÉTIENNE'),('Émile'),('Dupont'),('DUPUIS');"
                          "SELECT group_concat(NOM, ',') = 'Dupont,DUPUIS,fabre,Émile,ÉTIENNE' FROM "
                          "(SELECT NOM FROM t ORDER BY NOM COLLATE PLANORA_NOCASE)")
        << 1;
}

void TestDialect::rulesInsideSqlite()
{
    QFETCH(QString, sql);
    QFETCH(int, expected);
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(":memory:", &db), SQLITE_OK);
    QCOMPARE(TextRules::registerTextRules(db), SQLITE_OK);
    int result = -99;
    char *error = nullptr;
    const int rc = sqlite3_exec(
        db, sql.toUtf8().constData(),
        [](void *out, int, char **values, char **) {
            *static_cast<int *>(out) = values[0] ? QByteArray(values[0]).toInt() : -99;
            return 0;
        },
        &result, &error);
    const QString message = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
    QCOMPARE(result, expected);
}

QTEST_GUILESS_MAIN(TestDialect)
#include "tst_dialect.moc"
