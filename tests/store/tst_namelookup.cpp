#include "namelookup.h"
#include "storetestdatabase.h"

#include <QDateTime>
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
    void namesChangedMeanwhile_data();
    void namesChangedMeanwhile();

private:
    QTemporaryDir m_folder;
    QString m_names; // the names database shared by the cases
};

namespace {

const QString Thirty = u"ABCDEFGHIJKLMNOPQRSTUVWXYZABCD"_s; // 30 characters

// A names table as the supervisor's tool makes it; rows follow.
const QString NamesTable = u"CREATE TABLE PATIENTS (NOM TEXT, PRENOM TEXT); CREATE INDEX PATIENTS_NOM ON PATIENTS "
                           "(NOM COLLATE PLANORA_NOCASE, PRENOM COLLATE PLANORA_NOCASE); INSERT INTO PATIENTS VALUES "_s;

} // namespace

void TestNameLookup::initTestCase()
{
    QVERIFY(m_folder.isValid());
    m_names = m_folder.filePath(u"NOMS.db"_s);
    // Inserted out of order: the lookup's order is its own.
    QVERIFY(StoreTestDatabase::run(
        m_names, NamesTable + u"('ZOLA', 'Émile'), ('DURAND', 'Marie'), ('DUBOIS', 'Zoé'), ('DUBOIS', 'Jean'), "
                              "('DU', 'Pierre'), ('MARTINEZ', 'Ana'), ('MARTIN', NULL), ('DESIRE', 'Paul'), "
                              "('DÉSIRÉ', 'Hélène'), ('D''ALMEIDA', 'Rosa'), ('DABADIE', 'Luc'), ('%1B', 'Long'), "
                              "('%1', 'Exact'), ('lefèvre', 'anne')"_s.arg(Thirty)));
    QVERIFY(StoreTestDatabase::run(m_names, u"CREATE TABLE SANSPRENOM (NOM TEXT)"_s));
    QVERIFY(StoreTestDatabase::write(m_folder.filePath(u"texte.db"_s), "DUBOIS;Jean\r\n"));
}

void TestNameLookup::searchKey_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("key");

    const QString a = u"A"_s + QString(29, u' ');
    QTest::newRow("two letters padded") << u"du"_s << u"du"_s + QString(28, u' ') + a;
    QTest::newRow("35 characters cut to 30") << Thirty + u"VWXYZ"_s << Thirty + a;
    QTest::newRow("spaces and apostrophe kept as typed") << u"d' "_s << u"d' "_s + QString(27, u' ') + a;
}

void TestNameLookup::searchKey()
{
    QFETCH(QString, prefix);
    QFETCH(QString, key);
    QCOMPARE(NameLookup::searchKey(prefix), key);
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
    QTest::newRow("unaccented prefix keeps to unaccented names") << u"des"_s << u"DESIRE Paul"_s;
    QTest::newRow("capital prefix finds a name typed in lower case") << u"LEF"_s << u"lefèvre anne"_s;
    QTest::newRow("apostrophe in the prefix") << u"d'a"_s << u"D'ALMEIDA Rosa"_s;
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
    QCOMPARE(found.value_or(QString()), completed);
    QCOMPARE(found.has_value(), !completed.isNull());
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
    QTest::newRow("a file that is not a database") << u"texte.db"_s << u"PATIENTS"_s;
}

void TestNameLookup::unreadableSource()
{
    QFETCH(QString, file);
    QFETCH(QString, table);
    NameLookup lookup;
    lookup.setSource(m_folder.filePath(file), table);
    QCOMPARE(lookup.complete(u"du"_s), std::nullopt);
    QCOMPARE(lookup.complete(u"dub"_s), std::nullopt);
    QCOMPARE(StoreTestDatabase::scalar(m_names, u"SELECT count(*) FROM PATIENTS"_s),
             QVariant(qint64(14))); // nothing was run against the names
    // Pointed at readable names, the same lookup works again.
    lookup.setSource(m_names, u"PATIENTS"_s);
    QCOMPARE(lookup.complete(u"du"_s), u"DUBOIS Jean"_s);
}

void TestNameLookup::namesChangedMeanwhile_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("completed"); // null: nothing found

    QTest::newRow("a patient added while the user types") << u"add"_s << u"DUBARRY Jeanne"_s;
    QTest::newRow("a new names file put in place of the old one") << u"replace"_s << u"DUPUIS Lise"_s;
    QTest::newRow("the names file removed") << u"remove"_s << QString();
    QTest::newRow("the lookup pointed at another names file") << u"source"_s << u"DUPUIS Lise"_s;
}

void TestNameLookup::namesChangedMeanwhile()
{
    QFETCH(QString, change);
    QFETCH(QString, completed);
    QTemporaryDir folder;
    const QString names = folder.filePath(u"NOMS.db"_s);
    const QString replacement = folder.filePath(u"NOUVEAU.db"_s);
    QVERIFY(StoreTestDatabase::run(names, NamesTable + u"('DUBOIS', 'Jean')"_s));
    QVERIFY(StoreTestDatabase::run(replacement, NamesTable + u"('DUPUIS', 'Lise')"_s));
    NameLookup lookup;
    lookup.setSource(names, u"PATIENTS"_s);
    QCOMPARE(lookup.complete(u"du"_s), u"DUBOIS Jean"_s);

    if (change == u"add") {
        QVERIFY(StoreTestDatabase::run(names, u"INSERT INTO PATIENTS VALUES ('DUBARRY', 'Jeanne')"_s));
    } else if (change == u"source") {
        lookup.setSource(replacement, u"PATIENTS"_s);
    } else {
        // The new file's time is set apart so that the test does not depend
        // on the clock's grain.
        QFile file(replacement);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(QFile::remove(names));
        QVERIFY(change == u"remove" || QFile::rename(replacement, names));
    }
    QCOMPARE(lookup.complete(u"du"_s).value_or(QString()), completed);
}

QTEST_GUILESS_MAIN(TestNameLookup)
#include "tst_namelookup.moc"
