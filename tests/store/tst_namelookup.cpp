#include "namelookup.h"
#include "storetestdatabase.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The patient-name lookup: the 60-character key, the first name at or after
// it in NOM, PRENOM order, and nothing (never a failure) when the names
// cannot be read.
class TestNameLookup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void searchKey_data();
    void searchKey();
    void complete_data();
    void complete();
    void unreadableSource_data();
    void unreadableSource();
    void seesNamesAddedMeanwhile();
    void seesAReplacedFile();

private:
    QTemporaryDir m_folder;
    QString m_names; // the names database shared by the cases
};

namespace {

const QString Thirty = u"ABCDEFGHIJKLMNOPQRSTUVWXYZABCD"_s; // 30 characters

QString namesTable(const QString &table, const QList<QPair<QString, QString>> &rows)
{
    QString sql = u"CREATE TABLE %1 (NOM TEXT, PRENOM TEXT);"
                  "CREATE INDEX %1_NOM_PRENOM ON %1 (NOM COLLATE PLANORA_NOCASE, PRENOM COLLATE PLANORA_NOCASE);"_s
                      .arg(table);
    for (const auto &[nom, prenom] : rows) {
        const auto literal = [](const QString &text) -> QString {
            return text.isNull() ? u"NULL"_s : u'\'' + QString(text).replace(u'\'', u"''"_s) + u'\'';
        };
        sql += u"INSERT INTO %1 VALUES (%2, %3);"_s.arg(table, literal(nom), literal(prenom));
    }
    return sql;
}

} // namespace

void TestNameLookup::initTestCase()
{
    QVERIFY(m_folder.isValid());
    m_names = m_folder.filePath(u"NOMS.db"_s);
    // Inserted out of order: the lookup's order is its own.
    QVERIFY(StoreTestDatabase::run(m_names, namesTable(u"PATIENTS"_s, {
        {u"ZOLA"_s, u"Émile"_s},
        {u"DURAND"_s, u"Marie"_s},
        {u"DUBOIS"_s, u"Zoé"_s},
        {u"DUBOIS"_s, u"Jean"_s},
        {u"DU"_s, u"Pierre"_s},
        {u"MARTINEZ"_s, u"Ana"_s},
        {u"MARTIN"_s, QString()},
        {u"DESIRE"_s, u"Paul"_s},
        {u"DÉSIRÉ"_s, u"Hélène"_s},
        {u"D'ALMEIDA"_s, u"Rosa"_s},
        {u"DABADIE"_s, u"Luc"_s},
        {Thirty + u"B"_s, u"Long"_s},
        {Thirty, u"Exact"_s},
        {u"lefèvre"_s, u"anne"_s},
    })));
    QVERIFY(StoreTestDatabase::run(m_names, u"CREATE TABLE SANSPRENOM (NOM TEXT)"_s));
}

void TestNameLookup::searchKey_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("key");

    const QString a = u"A"_s + QString(29, u' ');
    QTest::newRow("two letters padded") << u"du"_s << u"du"_s + QString(28, u' ') + a;
    QTest::newRow("30 characters kept whole") << Thirty << Thirty + a;
    QTest::newRow("35 characters cut to 30") << Thirty + u"VWXYZ"_s << Thirty + a;
    QTest::newRow("spaces typed are kept") << u"le "_s << u"le "_s + QString(27, u' ') + a;
    QTest::newRow("apostrophe left as typed") << u"d'a"_s << u"d'a"_s + QString(27, u' ') + a;
}

void TestNameLookup::searchKey()
{
    QFETCH(QString, prefix);
    QFETCH(QString, key);

    QCOMPARE(NameLookup::searchKey(prefix), key);
    QCOMPARE(NameLookup::searchKey(prefix).size(), 60);
}

void TestNameLookup::complete_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("completed"); // null: nothing found

    QTest::newRow("two letters: first in NOM, PRENOM order") << u"du"_s << u"DUBOIS Jean"_s;
    QTest::newRow("exact NOM passed over") << u"martin"_s << u"MARTINEZ Ana"_s;
    QTest::newRow("missing PRENOM reads as empty") << u"mar"_s << u"MARTIN "_s;
    QTest::newRow("35-character prefix cut to 30") << Thirty + u"VWXYZ"_s << Thirty + u"B Long"_s;
    QTest::newRow("lower-case accented prefix finds capitals") << u"dé"_s << u"DÉSIRÉ Hélène"_s;
    QTest::newRow("capital accented prefix") << u"DÉ"_s << u"DÉSIRÉ Hélène"_s;
    QTest::newRow("unaccented prefix keeps to unaccented names") << u"des"_s << u"DESIRE Paul"_s;
    QTest::newRow("capital prefix finds a name typed in lower case") << u"LEF"_s << u"lefèvre anne"_s;
    QTest::newRow("apostrophe in the prefix") << u"d'a"_s << u"D'ALMEIDA Rosa"_s;
    QTest::newRow("apostrophe ending the prefix") << u"d'"_s << u"D'ALMEIDA Rosa"_s;
    // Written into the criterion, this would find every name; as a key it
    // sorts before the letters, so the first name in order comes.
    QTest::newRow("quote and criterion text taken as a name") << u"' OR NOM<>'"_s << Thirty + u" Exact"_s;
    QTest::newRow("no match after the last name") << u"zz"_s << QString();
}

void TestNameLookup::complete()
{
    QFETCH(QString, prefix);
    QFETCH(QString, completed);

    NameLookup lookup;
    lookup.setSource(m_names, u"PATIENTS"_s);
    const std::optional<QString> found = lookup.complete(prefix);
    QCOMPARE(found.has_value(), !completed.isNull());
    if (found)
        QCOMPARE(*found, completed);
    // The same lookup again on the kept connection gives the same name.
    QCOMPARE(lookup.complete(prefix), found);
}

void TestNameLookup::unreadableSource_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table");

    QTest::newRow("missing names database") << u"ABSENT.db"_s << u"PATIENTS"_s;
    QTest::newRow("missing table") << u"NOMS.db"_s << u"CLIENTS"_s;
    QTest::newRow("table without PRENOM") << u"NOMS.db"_s << u"SANSPRENOM"_s;
    QTest::newRow("table name that is no plain name") << u"NOMS.db"_s << u"PATIENTS;DROP TABLE PATIENTS"_s;
    QTest::newRow("no table named") << u"NOMS.db"_s << QString();
    QTest::newRow("a file that is not a database") << u"texte.db"_s << u"PATIENTS"_s;
    QTest::newRow("a folder") << u"dossier"_s << u"PATIENTS"_s;
}

void TestNameLookup::unreadableSource()
{
    QFETCH(QString, file);
    QFETCH(QString, table);

    QTemporaryDir folder;
    QFile text(folder.filePath(u"texte.db"_s));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("DUBOIS;Jean\r\n");
    text.close();
    QVERIFY(QDir(folder.path()).mkdir(u"dossier"_s));
    QVERIFY(QFile::copy(m_names, folder.filePath(u"NOMS.db"_s)));

    NameLookup lookup;
    lookup.setSource(folder.filePath(file), table);
    QCOMPARE(lookup.complete(u"du"_s), std::nullopt);
    QCOMPARE(lookup.complete(u"dub"_s), std::nullopt);
    // Nothing was run against the names either.
    QCOMPARE(StoreTestDatabase::rows(folder.filePath(u"NOMS.db"_s), u"SELECT count(*) FROM PATIENTS"_s)
                 .value(0).value(0).toInt(),
             14);
    // Pointed at readable names, the same lookup works again.
    lookup.setSource(m_names, u"PATIENTS"_s);
    QCOMPARE(lookup.complete(u"du"_s), std::optional<QString>(u"DUBOIS Jean"_s));
}

void TestNameLookup::seesNamesAddedMeanwhile()
{
    QTemporaryDir folder;
    const QString names = folder.filePath(u"NOMS.db"_s);
    QVERIFY(StoreTestDatabase::run(names, namesTable(u"PATIENTS"_s, {{u"DUBOIS"_s, u"Jean"_s}})));
    NameLookup lookup;
    lookup.setSource(names, u"PATIENTS"_s);
    QCOMPARE(lookup.complete(u"du"_s), std::optional<QString>(u"DUBOIS Jean"_s));

    // Another workstation's supervisor adds a patient while this one types.
    QVERIFY(StoreTestDatabase::run(names, u"INSERT INTO PATIENTS VALUES ('DUBARRY', 'Jeanne')"_s));
    QCOMPARE(lookup.complete(u"du"_s), std::optional<QString>(u"DUBARRY Jeanne"_s));
}

void TestNameLookup::seesAReplacedFile()
{
    QTemporaryDir folder;
    const QString names = folder.filePath(u"NOMS.db"_s);
    const QString replacement = folder.filePath(u"NOUVEAU.db"_s);
    QVERIFY(StoreTestDatabase::run(names, namesTable(u"PATIENTS"_s, {{u"DUBOIS"_s, u"Jean"_s}})));
    QVERIFY(StoreTestDatabase::run(replacement, namesTable(u"PATIENTS"_s, {{u"DUPUIS"_s, u"Lise"_s}})));
    NameLookup lookup;
    lookup.setSource(names, u"PATIENTS"_s);
    QCOMPARE(lookup.complete(u"du"_s), std::optional<QString>(u"DUBOIS Jean"_s));

    // The supervisor puts a new names file in place of the old one; its time
    // is set apart so that the test does not depend on the clock's grain.
    QFile file(replacement);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(QFile::remove(names));
    QVERIFY(QFile::rename(replacement, names));
    QCOMPARE(lookup.complete(u"du"_s), std::optional<QString>(u"DUPUIS Lise"_s));

    // And when the file goes away, nothing is found any more.
    QVERIFY(QFile::remove(names));
    QCOMPARE(lookup.complete(u"du"_s), std::nullopt);
}

QTEST_GUILESS_MAIN(TestNameLookup)
#include "tst_namelookup.moc"
