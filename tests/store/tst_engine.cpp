#include "dialect.h"
#include "engine.h"
#include "foldedneedle.h"
#include "namelookup.h"
#include "storetesttable.h"
#include "textfold.h"

// The Access-style engine: the program's SQL texts and criteria it accepts,
// the search patterns, and the search's comparison rule (case and accents
// ignored) in its three forms, which must always agree: LIKE '%text%' inside
// SQLite, the fast planora_contains over the stored bytes, and the find that
// selects the text in a slot. Then views of those texts, finding, moving,
// reading and writing, the names' order (case ignored, accents not), the kept
// connection following the file, the prepared statements it keeps; and the
// patient-name lookup built on it.
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

const QString ByDate1 = u"SELECT*FROM RVOUS1 ORDER BY AGENDATE"_s;
const QString Names = u"SELECT*FROM PATIENTS ORDER BY NOM, PRENOM"_s;
const QString Thirty = u"ABCDEFGHIJKLMNOPQRSTUVWXYZABCD"_s; // 30 characters

const QString Search = u"SELECT RVOUS2.* From RVOUS2 WHERE AGENDATE BETWEEN 37620 And 37627AND "
                       "(RVOUS2.RVOUS LIKE '%1')ORDER BY AGENDATE"_s;

// The current row as the walks below list it.
QString label(const View &view)
{
    return view.hasField(u"NOM"_s) ? view.text(u"NOM"_s) + u'/' + view.text(u"PRENOM"_s)
                                   : QString::number(view.number(u"AGENDATE"_s));
}

} // namespace

class TestEngine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_shared; // read by the cases that write nothing

private Q_SLOTS:
    void parse_data()
    {
        // criterion: a criterion of a find, else a view's SQL text; parsed: empty: refused
        columns<bool, QString, QString>("criterion", "text", "parsed");
        const QString refused;
        row("day view, no blank around the asterisk", false, ByDate1, u"RVOUS1 date"_s);
        row("names table in name order, digits in its name", false, u"SELECT*FROM Noms_2024 ORDER BY NOM,PRENOM"_s,
            u"Noms_2024 name"_s);
        row("one day (search window)", false, u"SELECT*FROM RVOUS2 WHERE AGENDATE =37986"_s, u"RVOUS2 rowid =37986"_s);
        row("search query as the search window writes it", false, Search.arg(u"*radio*"_s),
            u"RVOUS2 date 37620..37627 like *radio*"_s);
        row("search query in lower case, table names in another case", false,
            Search.arg(u"*x*"_s).toLower().replace(u"from rvous2"_s, u"from RVOUS2"_s),
            u"RVOUS2 date 37620..37627 like *x*"_s);
        row("SQL in the quoted search text stays text, '' one apostrophe", false, Search.arg(u"*x'') OR 1=1 --*"_s),
            u"RVOUS2 date 37620..37627 like *x') OR 1=1 --*"_s);
        row("accented names table", false, u"SELECT*FROM Clientèle ORDER BY NOM, PRENOM"_s, u"Clientèle name"_s);
        row("bracketed keyword is a name", false, u"SELECT*FROM [Order] ORDER BY NOM, PRENOM"_s, u"Order name"_s);
        row("empty text", false, QString(), refused);
        row("other statement", false, u"DELETE FROM RVOUS1"_s, refused);
        row("day view without its order", false, u"SELECT*FROM RVOUS1"_s, refused);
        row("order by another column", false, u"SELECT*FROM RVOUS1 ORDER BY RVOUS"_s, refused);
        row("half the name order", false, u"SELECT*FROM PATIENTS ORDER BY NOM"_s, refused);
        row("second statement", false, u"SELECT*FROM RVOUS1 ORDER BY AGENDATE; DROP TABLE RVOUS1"_s, refused);
        row("keyword as table name", false, u"SELECT*FROM ORDER ORDER BY AGENDATE"_s, refused);
        row("bracket left open", false, u"SELECT*FROM [Mes patients ORDER BY NOM, PRENOM"_s, refused);
        row("double quote between brackets", false, u"SELECT*FROM [a\" OR 1=1 --] ORDER BY NOM, PRENOM"_s, refused);
        row("SQLite's own table in brackets", false, u"SELECT*FROM [sqlite_schema] ORDER BY NOM, PRENOM"_s, refused);
        row("day number beyond 32 bits", false, u"SELECT*FROM RVOUS1 WHERE AGENDATE =2147483648"_s, refused);
        row("quoted day number", false, u"SELECT*FROM RVOUS1 WHERE AGENDATE ='37986'"_s, refused);
        row("search without its order", false, Search.arg(u"*a*"_s).remove(u"ORDER BY AGENDATE"_s), refused);
        row("search naming another table first", false,
            Search.arg(u"*a*"_s).replace(u"SELECT RVOUS2"_s, u"SELECT RVOUS1"_s), refused);
        row("search's LIKE on another table", false, Search.arg(u"*a*"_s).replace(u"(RVOUS2"_s, u"(RVOUS1"_s), refused);
        row("apostrophe injection through the search text", false, Search.arg(u"*x') OR ('1'='1*"_s), refused);
        row("search text left unquoted", false, Search.arg(u"*"_s).replace(u"'*'"_s, u"RVOUS2.Postit"_s), refused);
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
        QCOMPARE(Dialect::containedText(pattern), contained.isNull() ? std::nullopt : std::optional(contained));
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
        QCOMPARE(std::pair(span.start, span.length), std::pair(qsizetype(start), qsizetype(length)));
        const QByteArray utf8 = text.toUtf8();
        QCOMPARE(FoldedNeedle(needle).foundIn(utf8.constData(), std::size_t(utf8.size())), start >= 0);
        // The needle in a pattern, every character bracketed so that the
        // dialect takes it literally, as LIKE and as the fast function: the
        // same answer inside SQLite.
        QString access = u"*"_s;
        for (const QChar c : needle)
            access += u'[' + QString(c) + u']';
        const QVariantList found{qint64(start >= 0), qint64(start >= 0)};
        QCOMPARE(StoreTestDatabase::rows(Memory, u"SELECT ?1 LIKE ?2 ESCAPE '\\', planora_contains(?1, ?3)"_s,
                                         {text, Dialect::likePattern(access + u'*'), needle}),
                 QList<QVariantList>{found});
    }

    void initTestCase()
    {
        m_shared = StoreTestDatabase::create(
            m_dir.path(),
            u"INSERT INTO RVOUS1(AGENDATE, RVOUS) VALUES (300, 'c'), (100, 'a'), (200, 'b');"
            "INSERT INTO RVOUS2(AGENDATE, RVOUS) VALUES (37619, 'radio'), (37620, 'RADIO du genou'), (37621, 'radio'),"
            "(37628, 'radio'), (37622, 'Radiographie' || char(13, 10) || 'Écho'),"
            "(37627, 'x' || char(13, 10) || 'radio'); INSERT INTO RVOUS3(AGENDATE, RVOUS) VALUES (37623, 'radio');"
            "CREATE TABLE PATIENTS(NOM TEXT, PRENOM TEXT);"
            "CREATE INDEX PATIENTS_NOM ON PATIENTS(NOM COLLATE PLANORA_NOCASE, PRENOM COLLATE PLANORA_NOCASE);"
            "INSERT INTO PATIENTS VALUES ('DUPONT', 'Jean'), ('DUPUIS', 'Marc'), ('Émile', 'Zola'), ('DU', 'Court'),"
            "('dupont', 'Albert'), ('D''ARTAGNAN', 'Charles'), (NULL, 'Sans nom'), ('MARTIN', 'Paul'),"
            "('MARTIN', 'Paul'), ('ÉMERY', NULL); CREATE TABLE T(AGENDATE INTEGER);"
            // The lookup's names, inserted out of order: the lookup's order is its own.
            "CREATE TABLE ALPHA(NOM TEXT, PRENOM TEXT);"
            "INSERT INTO ALPHA VALUES ('ZOLA', 'Émile'), ('DURAND', 'Marie'),"
            "('DUBOIS', 'Zoé'), ('DUBOIS', 'Jean'), ('DU', 'Pierre'), ('MARTINEZ', 'Ana'), ('MARTIN', NULL),"
            "('DESIRE', 'Paul'), ('DÉSIRÉ', 'Hélène'), ('DABADIE', 'Luc'), ('%1B', 'Long'),"
            "('%1', 'Exact')"_s.arg(Thirty));
        QVERIFY(!m_shared.isEmpty());
    }

    void views_data()
    {
        // criterion: empty: moveFirst; walked: the rows from there to the end, '|' between; count: rows of the whole
        // view; -1: refused, walked is the message
        columns<QString, QString, QString, qint64>("sql", "criterion", "walked", "count");
        const QString oneDay = u"SELECT*FROM RVOUS1 WHERE AGENDATE =300"_s;
        const QString first;
        row("found day, then the days after it", ByDate1, u"AGENDATE=200"_s, u"200|300"_s, 3LL);
        row("day between two rows: no match", ByDate1, u"AGENDATE=150"_s, QString(), 3LL);
        row("search window's positioning on its day", oneDay, u"AGENDATE=300"_s, u"300"_s, 1LL);
        row("names: no NOM first, equal names by PRENOM whatever the case, twins both", Names, first,
            u"/Sans nom|D'ARTAGNAN/Charles|DU/Court|dupont/Albert|DUPONT/Jean|DUPUIS/Marc|MARTIN/Paul|MARTIN/Paul|"
            "ÉMERY/|Émile/Zola"_s, 10LL);
        row("first name at or after the key, case ignored", Names, u"NOM>='martin'"_s,
            u"MARTIN/Paul|MARTIN/Paul|ÉMERY/|Émile/Zola"_s, 10LL);
        row("search: text anywhere in the day, bounds included", Search.arg(u"*radio*"_s), first,
            u"37620|37621|37622|37627"_s, 4LL);
        row("search without stars: the whole text must match", Search.arg(u"radio"_s), first, u"37621"_s, 1LL);
        row("search: SQL in the text is only text", Search.arg(u"*x'') OR 1=1 --*"_s), first, QString(), 0LL);
        row("a second statement never runs", ByDate1 + u"; DROP TABLE RVOUS1"_s, first, u"Requête refusée"_s, -1LL);
        row("search on a table without RVOUS", Search.arg(u"*"_s).replace(u"RVOUS2"_s, u"T"_s), first,
            u"Le champ RVOUS est absent"_s, -1LL);
    }

    void views()
    {
        const auto [sql, criterion, walked, count] =
            fetch<QString, QString, QString, qint64>("sql", "criterion", "walked", "count");
        // Read-only, a view reads the same and refuses every write; the text refused must not run on a file
        // that takes writes.
        Database database;
        using Mode = SqliteConnection::Mode;
        QVERIFY(database.open(m_shared, count < 0 ? Mode::ReadWrite : Mode::ReadOnly).ok());
        QCOMPARE(database.isReadOnly(), count >= 0);
        std::unique_ptr<View> view;
        const Status opened = database.openView(sql, view);
        if (count < 0) {
            QVERIFY2(!view && opened.message().contains(walked), qPrintable(opened.message()));
            QCOMPARE(StoreTestDatabase::scalar(m_shared, u"SELECT count(*) FROM RVOUS1"_s), QVariant(qint64(3)));
            return;
        }
        QVERIFY2(opened.ok(), qPrintable(opened.message()));
        QVERIFY(criterion.isEmpty() ? view->moveFirst().ok() : view->findFirst(criterion).ok());
        QCOMPARE(view->noMatch(), !criterion.isEmpty() && walked.isEmpty());
        QVERIFY(StoreTestDatabase::lockFree(m_shared)); // standing on a row holds no lock
        QStringList seen;
        while (!view->atEnd() && seen.size() <= 20) {
            seen << label(*view);
            QVERIFY(view->moveNext().ok());
        }
        QCOMPARE(seen.join(u'|'), walked);
        QVERIFY(!view->value(u"AGENDATE"_s).isValid() && !view->value(u"NOM"_s).isValid());
        QVERIFY(!view->moveNext().ok()); // past the end there is no row to move from
        qint64 rows = -1;
        QVERIFY(view->rowCount(rows).ok() && view->moveLast().ok());
        QCOMPARE(rows, count);
        QCOMPARE(view->atEnd(), count == 0);
        QVERIFY(walked.isEmpty() || label(*view) == walked.section(u'|', -1));
        QVERIFY(view->edit().message().contains(u"lecture seule"_s)
                && view->addNew().message().contains(u"lecture seule"_s));
        // Closed, the database opens no view; one already open keeps working.
        database.close();
        QVERIFY(view->moveFirst().ok());
        QCOMPARE(view->atEnd(), count == 0);
        QVERIFY(!criterion.isEmpty() || walked.isEmpty() || label(*view) == walked.section(u'|', 0, 0));
        QVERIFY(!database.openView(sql, view).ok() && !view);
    }

    void writtenValues_data()
    {
        // written: invalid: not written
        columns<QString, QVariant, QString, QVariant>("field", "written", "storedType", "readBack");
        row("digits into AGENDATE are a number", u"AGENDATE"_s, QVariant(u"37986"_s), u"integer"_s, QVariant(37986LL));
        row("yes into a yes/no field is 1", u"ABSENT1"_s, QVariant(true), u"integer"_s, QVariant(1LL));
        row("digits into a text field stay text, its name in another case", u"postit"_s, QVariant(u"0612"_s),
            u"text"_s, QVariant(u"0612"_s));
        row("text never written reads empty", u"ECHO2_TXT"_s, QVariant(), u"null"_s, QVariant(u""_s));
    }

    void writtenValues()
    {
        const auto [field, written, storedType, readBack] =
            fetch<QString, QVariant, QString, QVariant>("field", "written", "storedType", "readBack");
        const QString path = StoreTestDatabase::create(m_dir.path());
        Database database, other;
        std::unique_ptr<View> view, first;
        QVERIFY(database.open(path).ok() && database.openView(ByDate1, view).ok() && other.open(path).ok()
                && other.openView(ByDate1, first).ok());
        QVERIFY(!view->setField(u"AGENDATE"_s, 37986).ok()); // neither editing nor adding
        // Two workstations both find no row for the day and both add it; the other one saves first.
        for (View *adding : {first.get(), view.get()})
            QVERIFY(adding->findFirst(u"AGENDATE=37986"_s).ok() && adding->noMatch() && adding->addNew().ok()
                    && adding->setField(u"AGENDATE"_s, 37986).ok());
        QVERIFY(first->setField(u"RVOUS"_s, u"premier"_s).ok() && first->setField(u"Bloc"_s, u"premier"_s).ok());
        QVERIFY(first->update().ok());
        QVERIFY(!view->setField(u"NO_SUCH_FIELD"_s, 1).ok() && view->setField(u"RVOUS"_s, u"second"_s).ok());
        QVERIFY((!written.isValid() || view->setField(field, written).ok()) && view->update().ok());
        QCOMPARE(view->value(field), readBack);
        QVERIFY(view->findFirst(u"AGENDATE=37986"_s).ok());
        QCOMPARE(view->value(field), readBack);
        // The second add updated the row; fields it did not write keep the first one's value.
        QCOMPARE(StoreTestDatabase::scalar(path, u"SELECT count(*) FROM RVOUS1"_s), QVariant(qint64(1)));
        QCOMPARE(view->text(u"RVOUS"_s) + u'/' + view->text(u"Bloc"_s), u"second/premier"_s);
        QVERIFY(first->reread().ok() && first->text(u"RVOUS"_s) == u"second");
        QVERIFY(!view->value(u"NO_SUCH_FIELD"_s).isValid());
        QCOMPARE(StoreTestDatabase::scalar(path, u"SELECT typeof(%1) FROM RVOUS1"_s.arg(field)).toString(), storedType);
        // Another connection makes the table again, fewer columns in another order: fields read by their old places
        // on the kept connection would be wrong or missing.
        QVERIFY(StoreTestDatabase::run(path, u"DROP TABLE RVOUS1; CREATE TABLE RVOUS1 (AGENDATE INTEGER, COCHE TEXT, "
                                             "RVOUS TEXT); INSERT INTO RVOUS1 VALUES (37986, 'neuf', 'après')"_s));
        std::unique_ptr<View> again;
        QVERIFY(database.openView(ByDate1, again).ok() && again->findFirst(u"AGENDATE=37986"_s).ok());
        QCOMPARE(again->text(u"RVOUS"_s) + u'/' + again->text(u"COCHE"_s), u"après/neuf"_s);
    }

    void statementCache()
    {
        auto connection = std::make_shared<SqliteConnection>();
        QCOMPARE(connection->open(m_shared, SqliteConnection::Mode::ReadOnly), 0);
        StatementCache cache(connection);
        // A text already in use further up the call gets a statement of its
        // own: sharing one would reset the outer query under its feet.
        const QString sql = u"SELECT AGENDATE FROM RVOUS1 WHERE AGENDATE >= ?1 ORDER BY AGENDATE"_s;
        StatementCache::Use outer(cache, sql);
        outer.statement().bind(1, qint64(0));
        QCOMPARE(outer.statement().step(), SqliteStatement::Step::Row);
        {
            StatementCache::Use inner(cache, sql);
            inner.statement().bind(1, qint64(300));
            QVERIFY(inner.statement().step() == SqliteStatement::Step::Row && inner.statement().integer(0) == 300);
        }
        QCOMPARE(outer.statement().step(), SqliteStatement::Step::Row); // reset, it would read 100 again
        QCOMPARE(outer.statement().integer(0), 200);
        // Making room never evicts a statement in use.
        for (std::size_t i = 0; i < 2 * StatementCache::MaxStatements; ++i) {
            StatementCache::Use other(cache, u"SELECT %1"_s.arg(i));
            QCOMPARE(other.statement().step(), SqliteStatement::Step::Row);
            QCOMPARE(other.statement().integer(0), qint64(i));
            QVERIFY(cache.size() <= StatementCache::MaxStatements);
        }
        QCOMPARE(outer.statement().integer(0), 200);
    }

    void lookup_data()
    {
        // completed: null: nothing found, never a failure; file: empty: the shared database
        columns<QString, QString, QString, QString>("prefix", "completed", "table", "file");
        const auto found = [](const char *name, const QString &prefix, const QString &completed) {
            row(name, prefix, completed, u"ALPHA"_s, QString());
        };
        found("two letters: first in NOM, PRENOM order", u"du"_s, u"DUBOIS Jean"_s);
        found("exact NOM passed over", u"martin"_s, u"MARTINEZ Ana"_s);
        found("missing PRENOM reads as empty", u"mar"_s, u"MARTIN "_s);
        found("35-character prefix cut to 30", Thirty + u"VWXYZ"_s, Thirty + u"B Long"_s);
        found("lower-case accented prefix finds capitals", u"dé"_s, u"DÉSIRÉ Hélène"_s);
        // Written into the criterion, this would find every name; as a key it
        // sorts before the letters, so the first name in order comes. The key
        // itself (prefix padded and cut to 30, then "A") shows in the rows on
        // the exact NOM and on the 35-character prefix.
        found("quote and criterion text taken as a name", u"' OR NOM<>'"_s, Thirty + u" Exact"_s);
        found("no match after the last name", u"zz"_s, QString());
        row("missing names database", u"du"_s, QString(), u"ALPHA"_s, u"ABSENT.db"_s);
        row("table name that is no plain name", u"du"_s, QString(), u"ALPHA;DROP TABLE ALPHA"_s, QString());
        // The names file changed after a first lookup: the same lookup follows it.
        row("a new names file put in place of the old one", u"du"_s, u"DUPUIS Lise"_s, u"ALPHA"_s, u"<replace>"_s);
    }

    void lookup()
    {
        const auto [prefix, completed, table, file] =
            fetch<QString, QString, QString, QString>("prefix", "completed", "table", "file");
        NameLookup lookup;
        lookup.setSource(file.isEmpty() ? m_shared : m_dir.filePath(file), table);
        QTemporaryDir folder;
        const QString names = folder.filePath(u"NOMS.db"_s), replacement = folder.filePath(u"NOUVEAU.db"_s);
        const QString create = u"CREATE TABLE ALPHA (NOM TEXT, PRENOM TEXT); INSERT INTO ALPHA VALUES "_s;
        if (file == u"<replace>") {
            QVERIFY(StoreTestDatabase::run(names, create + u"('DUBOIS', 'Jean')"_s));
            QVERIFY(StoreTestDatabase::run(replacement, create + u"('DUPUIS', 'Lise')"_s));
            lookup.setSource(names, table);
            QCOMPARE(lookup.complete(prefix), u"DUBOIS Jean"_s);
            // The new file's time is set apart so that the test does not depend on the clock's grain.
            QFile newer(replacement);
            QVERIFY(newer.open(QIODevice::ReadWrite)
                    && newer.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
            newer.close();
            QVERIFY(QFile::remove(names) && QFile::rename(replacement, names));
        }
        const std::optional<QString> found = lookup.complete(prefix);
        QCOMPARE(found, completed.isNull() ? std::nullopt : std::optional(completed));
        QCOMPARE(lookup.complete(prefix), found); // again, on the kept connection
        QCOMPARE(StoreTestDatabase::scalar(m_shared, u"SELECT count(*) FROM ALPHA"_s), QVariant(qint64(12)));
        // Pointed at readable names, the same lookup works again.
        lookup.setSource(m_shared, u"ALPHA"_s);
        QCOMPARE(lookup.complete(u"du"_s), u"DUBOIS Jean"_s);
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
