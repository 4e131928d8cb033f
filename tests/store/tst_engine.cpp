#include "engine.h"
#include "storetestdatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// The Access-style engine: opening files (and every way that fails), views
// of the program's SQL texts, finding, moving, reading and writing.
class TestEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusedFiles_data();
    void refusedFiles();
    void refusedViews_data();
    void refusedViews();
    void lockHeldPastTimeout_data();
    void lockHeldPastTimeout();
    void readOnlyDatabase_data();
    void readOnlyDatabase();
    void readOnlyFileFallsBack();
    void findDay_data();
    void findDay();
    void findName_data();
    void findName();
    void walkNamesInOrder();
    void searchQuery_data();
    void searchQuery();
    void writtenValues_data();
    void writtenValues();
    void secondAddOfSameDayUpdates();
    void editKeepsFieldsNotWritten();
    void closeKeepsOpenViewsWorking();

private:
    QString freshDatabase(const QString &extraSql = QString());
    QTemporaryDir m_dir;
    int m_count = 0;
};

QString TestEngine::freshDatabase(const QString &extraSql)
{
    const QString path = StoreTestDatabase::create(m_dir.path(), QStringLiteral("db%1.mdb").arg(++m_count));
    if (!path.isEmpty() && !extraSql.isEmpty() && !StoreTestDatabase::run(path, extraSql)) {
        return {};
    }
    return path;
}

void TestEngine::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("content"); // "<missing>" and "<folder>" make no file
    QTest::addColumn<QString>("message");

    const QByteArray jet = QByteArray("\x00\x01\x00\x00", 4) + "Standard Jet DB" + QByteArray(200, '\0');
    const QByteArray ace = QByteArray("\x00\x01\x00\x00", 4) + "Standard ACE DB" + QByteArray(200, '\0');
    QTest::newRow("missing file") << QByteArray("<missing>") << QStringLiteral("introuvable");
    QTest::newRow("a folder") << QByteArray("<folder>") << QStringLiteral("n'est pas un fichier");
    QTest::newRow("legacy Jet file") << jet << QStringLiteral("planora-admin convert");
    QTest::newRow("legacy ACE file") << ace << QStringLiteral("planora-admin convert");
    QTest::newRow("text file") << QByteArray("RVOUS;Postit\r\n") << QStringLiteral("n'est pas une base");
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("n'est pas une base");
    QTest::newRow("SQLite header over garbage")
        << QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\x5a') << QStringLiteral("n'est pas une base");
}

void TestEngine::refusedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString path = m_dir.filePath(QStringLiteral("refused%1.mdb").arg(++m_count));
    if (content == "<folder>") {
        QVERIFY(QDir().mkpath(path));
    } else if (content != "<missing>") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const QByteArray before = QFileInfo(path).isFile() ? content : QByteArray();

    Database database;
    const Status status = database.open(path);
    QVERIFY(!status.ok());
    QVERIFY2(status.message().contains(message), qPrintable(status.message()));
    QVERIFY(!database.isOpen());
    // Never created, never changed.
    QCOMPARE(QFileInfo::exists(path), content != "<missing>");
    if (QFileInfo(path).isFile()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }
}

void TestEngine::refusedViews_data()
{
    QTest::addColumn<QString>("alteration");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing day table") << QStringLiteral("DROP TABLE RVOUS3")
                                       << QStringLiteral("SELECT*FROM RVOUS3 ORDER BY AGENDATE")
                                       << QStringLiteral("La table RVOUS3 est absente");
    QTest::newRow("unknown table") << QString() << QStringLiteral("SELECT*FROM RVOUS9 ORDER BY AGENDATE")
                                   << QStringLiteral("La table RVOUS9 est absente");
    QTest::newRow("names table without PRENOM") << QStringLiteral("CREATE TABLE NOMS(NOM TEXT)")
                                                << QStringLiteral("SELECT*FROM NOMS ORDER BY NOM, PRENOM")
                                                << QStringLiteral("Le champ PRENOM est absent");
    QTest::newRow("search on a table without RVOUS")
        << QStringLiteral("CREATE TABLE T(AGENDATE INTEGER)")
        << QStringLiteral("SELECT T.* From T WHERE AGENDATE BETWEEN 1 And 2AND (T.RVOUS LIKE '*')ORDER BY AGENDATE")
        << QStringLiteral("Le champ RVOUS est absent");
    QTest::newRow("text outside the dialect is never run")
        << QString() << QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE; DROP TABLE RVOUS1")
        << QStringLiteral("Requête refusée");
}

void TestEngine::refusedViews()
{
    QFETCH(QString, alteration);
    QFETCH(QString, sql);
    QFETCH(QString, message);
    const QString path = freshDatabase(alteration);
    QVERIFY(!path.isEmpty());

    Database database;
    QVERIFY(database.open(path).ok());
    std::unique_ptr<View> view;
    const Status status = database.openView(sql, view);
    QVERIFY(!status.ok());
    QVERIFY(!view);
    QVERIFY2(status.message().contains(message), qPrintable(status.message()));
    QCOMPARE(StoreTestDatabase::scalar(path, QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE name='RVOUS1'"))
                 .toInt(),
             1);
}

void TestEngine::lockHeldPastTimeout_data()
{
    QTest::addColumn<bool>("lockBeforeOpen");
    QTest::newRow("another workstation writing while we open") << true;
    QTest::newRow("another workstation writing while we save") << false;
}

void TestEngine::lockHeldPastTimeout()
{
    QFETCH(bool, lockBeforeOpen);
    const QString path = freshDatabase();
    QVERIFY(!path.isEmpty());
    SqliteConnection other;
    QCOMPARE(other.open(path, SqliteConnection::Mode::ReadWrite), 0);

    Database database;
    database.setBusyTimeout(150);
    Status status = Status::success();
    if (lockBeforeOpen) {
        QCOMPARE(other.exec("BEGIN EXCLUSIVE"), 0);
        status = database.open(path);
    } else {
        QVERIFY(database.open(path).ok());
        std::unique_ptr<View> view;
        QVERIFY(database.openView(QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE"), view).ok());
        QVERIFY(view->addNew().ok());
        QVERIFY(view->setField(QStringLiteral("AGENDATE"), 37986).ok());
        QCOMPARE(other.exec("BEGIN EXCLUSIVE"), 0);
        status = view->update();
    }
    QVERIFY(!status.ok());
    QVERIFY2(status.message().contains(QStringLiteral("occupée par un autre poste")), qPrintable(status.message()));
    QCOMPARE(other.exec("ROLLBACK"), 0);
    QCOMPARE(StoreTestDatabase::scalar(path, QStringLiteral("SELECT count(*) FROM RVOUS1")).toInt(), 0);
}

void TestEngine::readOnlyDatabase_data()
{
    QTest::addColumn<bool>("existingRow");
    QTest::newRow("edit refused") << true;
    QTest::newRow("add new refused") << false;
}

void TestEngine::readOnlyDatabase()
{
    QFETCH(bool, existingRow);
    const QString path = freshDatabase(QStringLiteral("INSERT INTO RVOUS1(AGENDATE, RVOUS) VALUES(10, 'avant')"));
    QVERIFY(!path.isEmpty());
    Database database;
    QVERIFY(database.open(path, SqliteConnection::Mode::ReadOnly).ok());
    QVERIFY(database.isReadOnly());
    std::unique_ptr<View> view;
    QVERIFY(database.openView(QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE"), view).ok());
    QVERIFY(view->findFirst(QStringLiteral("AGENDATE=10")).ok());
    QCOMPARE(view->text(QStringLiteral("RVOUS")), QStringLiteral("avant"));
    const Status status = existingRow ? view->edit() : view->addNew();
    QVERIFY(!status.ok());
    QVERIFY2(status.message().contains(QStringLiteral("lecture seule")), qPrintable(status.message()));
}

void TestEngine::readOnlyFileFallsBack()
{
    if (geteuid() == 0) {
        QSKIP("File permissions do not bind the superuser.");
    }
    const QString path = freshDatabase();
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    Database database;
    QVERIFY(database.open(path).ok());
    QVERIFY(database.isReadOnly());
    std::unique_ptr<View> view;
    QVERIFY(database.openView(QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE"), view).ok());
    QVERIFY(view->addNew().message().contains(QStringLiteral("lecture seule")));
}

void TestEngine::findDay_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("criterion");
    QTest::addColumn<int>("found"); // -1: no match

    const QString byDate = QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE");
    QTest::newRow("existing day") << byDate << QStringLiteral("AGENDATE=200") << 200;
    QTest::newRow("first day") << byDate << QStringLiteral("AGENDATE=100") << 100;
    QTest::newRow("day between two rows") << byDate << QStringLiteral("AGENDATE=150") << -1;
    QTest::newRow("day after the last row") << byDate << QStringLiteral("AGENDATE=99999") << -1;
    QTest::newRow("search positioning on its day")
        << QStringLiteral("SELECT*FROM RVOUS1 WHERE AGENDATE =300") << QStringLiteral("AGENDATE=300") << 300;
    QTest::newRow("search positioning, other day is outside the view")
        << QStringLiteral("SELECT*FROM RVOUS1 WHERE AGENDATE =300") << QStringLiteral("AGENDATE=200") << -1;
    QTest::newRow("other user's table has its own rows")
        << QStringLiteral("SELECT*FROM RVOUS2 ORDER BY AGENDATE") << QStringLiteral("AGENDATE=100") << -1;
}

void TestEngine::findDay()
{
    QFETCH(QString, sql);
    QFETCH(QString, criterion);
    QFETCH(int, found);
    const QString path = freshDatabase(
        QStringLiteral("INSERT INTO RVOUS1(AGENDATE, RVOUS) VALUES(300, 'c'), (100, 'a'), (200, 'b');"
                       "INSERT INTO RVOUS2(AGENDATE, RVOUS) VALUES(200, 'autre')"));
    Database database;
    QVERIFY(database.open(path).ok());
    std::unique_ptr<View> view;
    QVERIFY(database.openView(sql, view).ok());
    QVERIFY(view->findFirst(criterion).ok());
    QCOMPARE(view->noMatch(), found < 0);
    QCOMPARE(view->atEnd(), found < 0);
    QCOMPARE(view->value(QStringLiteral("AGENDATE")).isValid(), found >= 0);
    if (found >= 0) {
        QCOMPARE(view->number(QStringLiteral("AGENDATE")), found);
    }
}

namespace {
const QString NamesTable = QStringLiteral(
    "CREATE TABLE PATIENTS(NOM TEXT, PRENOM TEXT);"
    "CREATE INDEX PATIENTS_NOM ON PATIENTS(NOM COLLATE PLANORA_NOCASE, PRENOM COLLATE PLANORA_NOCASE);"
    "INSERT INTO PATIENTS VALUES('DUPONT', 'Jean'), ('DUPUIS', 'Marc'), ('Émile', 'Zola'), ('DU', 'Court'),"
    "('dupont', 'Albert'), ('D''ARTAGNAN', 'Charles'), (NULL, 'Sans nom'), ('MARTIN', 'Paul'),"
    "('MARTIN', 'Paul'), ('ÉMERY', NULL)");

QString lookupKey(const QString &prefix)
{
    return QString(prefix + QString(30, u' ')).left(30) + u'A' + QString(29, u' ');
}
} // namespace

void TestEngine::findName_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("expected"); // NOM + ' ' + PRENOM, empty: no match

    QTest::newRow("exact family name passed over, case ignored in order")
        << QStringLiteral("DU") << QStringLiteral("dupont Albert");
    QTest::newRow("lower case prefix finds capitals") << QStringLiteral("dupu") << QStringLiteral("DUPUIS Marc");
    QTest::newRow("apostrophe in the key") << QStringLiteral("D'A") << QStringLiteral("D'ARTAGNAN Charles");
    QTest::newRow("accented small letter finds accented capital")
        << QStringLiteral("émi") << QStringLiteral("Émile Zola");
    QTest::newRow("missing given name reads empty") << QStringLiteral("ÉME") << QStringLiteral("ÉMERY ");
    QTest::newRow("nothing after the last name") << QStringLiteral("ÿÿ") << QString();
}

void TestEngine::findName()
{
    QFETCH(QString, prefix);
    QFETCH(QString, expected);
    const QString path = freshDatabase(NamesTable);
    QVERIFY(!path.isEmpty());
    Database database;
    QVERIFY(database.open(path).ok());
    std::unique_ptr<View> view;
    QVERIFY(database.openView(QStringLiteral("SELECT*FROM PATIENTS ORDER BY NOM, PRENOM"), view).ok());
    QString key = lookupKey(prefix);
    key.replace(u'\'', QStringLiteral("''"));
    QVERIFY(view->findFirst(QStringLiteral("NOM>='") + key + u'\'').ok());
    QCOMPARE(view->noMatch(), expected.isEmpty());
    const QString name = view->noMatch() ? QString()
                                         : view->text(QStringLiteral("NOM")) + u' ' + view->text(QStringLiteral("PRENOM"));
    QCOMPARE(name, expected);
}

void TestEngine::walkNamesInOrder()
{
    const QString path = freshDatabase(NamesTable);
    Database database;
    QVERIFY(database.open(path).ok());
    std::unique_ptr<View> view;
    QVERIFY(database.openView(QStringLiteral("SELECT*FROM PATIENTS ORDER BY NOM, PRENOM"), view).ok());
    QStringList walked;
    QVERIFY(view->moveFirst().ok());
    while (!view->atEnd()) {
        walked << view->text(QStringLiteral("NOM")) + u'/' + view->text(QStringLiteral("PRENOM"));
        QVERIFY(walked.size() <= 20);
        QVERIFY(view->moveNext().ok());
    }
    // No NOM first, equal names (any case) by given name, twins both seen.
    const QStringList expected = {QStringLiteral("/Sans nom"),     QStringLiteral("D'ARTAGNAN/Charles"),
                                  QStringLiteral("DU/Court"),      QStringLiteral("dupont/Albert"),
                                  QStringLiteral("DUPONT/Jean"),   QStringLiteral("DUPUIS/Marc"),
                                  QStringLiteral("MARTIN/Paul"),   QStringLiteral("MARTIN/Paul"),
                                  QStringLiteral("ÉMERY/"),        QStringLiteral("Émile/Zola")};
    QCOMPARE(walked, expected);
    qint64 count = 0;
    QVERIFY(view->rowCount(count).ok());
    QCOMPARE(count, qint64(expected.size()));
    QVERIFY(!view->moveNext().ok()); // past the end there is no row to move from
}

void TestEngine::searchQuery_data()
{
    QTest::addColumn<int>("lo");
    QTest::addColumn<int>("hi");
    QTest::addColumn<QString>("quotedText"); // as the query text holds it
    QTest::addColumn<QList<int>>("dates");

    QTest::newRow("text anywhere in the day, bounds included")
        << 37620 << 37627 << QStringLiteral("*radio*") << QList<int>{37620, 37621, 37622, 37627};
    QTest::newRow("capitals match small letters") << 37620 << 37627 << QStringLiteral("*RADIO*")
                                                  << QList<int>{37620, 37621, 37622, 37627};
    QTest::newRow("question mark is one character") << 37620 << 37627 << QStringLiteral("*r?dio*")
                                                    << QList<int>{37620, 37621, 37622, 37627};
    QTest::newRow("empty text finds every saved day of the range")
        << 37620 << 37627 << QStringLiteral("**") << QList<int>{37620, 37621, 37622, 37625, 37626, 37627};
    QTest::newRow("without stars the whole text must match") << 37600 << 37700 << QStringLiteral("radio")
                                                              << QList<int>{37619, 37621, 37628};
    QTest::newRow("one-day range") << 37621 << 37621 << QStringLiteral("**") << QList<int>{37621};
    QTest::newRow("first date after the last finds nothing") << 37627 << 37620 << QStringLiteral("**")
                                                             << QList<int>{};
    QTest::newRow("percent sign is a plain character") << 37600 << 37700 << QStringLiteral("*50%*")
                                                       << QList<int>{37625};
    QTest::newRow("accented capital found by small letter") << 37600 << 37700 << QStringLiteral("*écho*")
                                                            << QList<int>{37622};
    QTest::newRow("SQL in the search text is only text") << 37600 << 37700
                                                         << QStringLiteral("*x'') OR 1=1 --*") << QList<int>{};
}

void TestEngine::searchQuery()
{
    QFETCH(int, lo);
    QFETCH(int, hi);
    QFETCH(QString, quotedText);
    QFETCH(QList<int>, dates);
    const QString path = freshDatabase(QStringLiteral(
        "INSERT INTO RVOUS2(AGENDATE, RVOUS) VALUES (37619, 'radio'), (37620, 'RADIO du genou'), (37621, 'radio'),"
        "(37622, 'Radiographie' || char(13, 10) || 'Écho'), (37625, 'Contrôle 50% dose'),"
        "(37626, 'Contrôle 50 mg'), (37627, 'x' || char(13, 10) || 'radio'), (37628, 'radio');"
        "INSERT INTO RVOUS1(AGENDATE, RVOUS) VALUES (37623, 'radio')"));
    Database database;
    QVERIFY(database.open(path).ok());
    std::unique_ptr<View> view;
    const QString sql = QStringLiteral("SELECT RVOUS2.* From RVOUS2 WHERE AGENDATE BETWEEN %1 And %2AND "
                                       "(RVOUS2.RVOUS LIKE '%3')ORDER BY AGENDATE")
                            .arg(lo)
                            .arg(hi)
                            .arg(quotedText);
    QVERIFY(database.openView(sql, view).ok());

    QList<int> walked;
    QVERIFY(view->moveFirst().ok());
    while (!view->atEnd()) {
        walked << int(view->number(QStringLiteral("AGENDATE")));
        QVERIFY(walked.size() <= 20);
        QVERIFY(view->moveNext().ok());
    }
    QCOMPARE(walked, dates);
    qint64 count = -1;
    QVERIFY(view->rowCount(count).ok());
    QCOMPARE(count, qint64(dates.size()));
    QVERIFY(view->moveLast().ok());
    QCOMPARE(view->atEnd(), dates.isEmpty());
    if (!dates.isEmpty()) {
        QCOMPARE(view->number(QStringLiteral("AGENDATE")), dates.last());
    }
    QCOMPARE(StoreTestDatabase::scalar(path, QStringLiteral("SELECT count(*) FROM RVOUS2")).toInt(), 8);
}

void TestEngine::writtenValues_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<QString>("storedType");
    QTest::addColumn<QVariant>("readBack");

    QTest::newRow("decimal text into AGENDATE is a number")
        << QStringLiteral("AGENDATE") << QVariant(QStringLiteral("37986")) << QStringLiteral("integer")
        << QVariant(qint64(37986));
    QTest::newRow("yes into a yes/no field is 1") << QStringLiteral("ABSENT1") << QVariant(true)
                                                  << QStringLiteral("integer") << QVariant(qint64(1));
    QTest::newRow("digits into a text field stay text") << QStringLiteral("Postit")
                                                        << QVariant(QStringLiteral("0612")) << QStringLiteral("text")
                                                        << QVariant(QStringLiteral("0612"));
    QTest::newRow("text never written reads empty")
        << QStringLiteral("ECHO2_TXT") << QVariant() << QStringLiteral("null") << QVariant(QStringLiteral(""));
    QTest::newRow("field name in another case") << QStringLiteral("postit") << QVariant(QStringLiteral("é"))
                                                << QStringLiteral("text") << QVariant(QStringLiteral("é"));
}

void TestEngine::writtenValues()
{
    QFETCH(QString, field);
    QFETCH(QVariant, written);
    QFETCH(QString, storedType);
    QFETCH(QVariant, readBack);
    const QString path = freshDatabase();
    Database database;
    QVERIFY(database.open(path).ok());
    std::unique_ptr<View> view;
    QVERIFY(database.openView(QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE"), view).ok());
    QVERIFY(view->addNew().ok());
    QVERIFY(view->setField(QStringLiteral("AGENDATE"), 37986).ok());
    if (written.isValid()) {
        QVERIFY(view->setField(field, written).ok());
    }
    QVERIFY(view->update().ok());
    QCOMPARE(view->value(field), readBack);
    QVERIFY(view->findFirst(QStringLiteral("AGENDATE=37986")).ok());
    QCOMPARE(view->value(field), readBack);
    QCOMPARE(StoreTestDatabase::scalar(path, QStringLiteral("SELECT typeof(%1) FROM RVOUS1").arg(field)).toString(),
             storedType);
    QVERIFY(!view->value(QStringLiteral("NO_SUCH_FIELD")).isValid());
    QVERIFY(!view->setField(QStringLiteral("NO_SUCH_FIELD"), 1).ok());
}

void TestEngine::secondAddOfSameDayUpdates()
{
    // Two workstations both find no row for the day, both add it.
    const QString path = freshDatabase();
    Database first;
    Database second;
    QVERIFY(first.open(path).ok());
    QVERIFY(second.open(path).ok());
    std::unique_ptr<View> firstView;
    std::unique_ptr<View> secondView;
    const QString sql = QStringLiteral("SELECT*FROM RVOUS4 ORDER BY AGENDATE");
    QVERIFY(first.openView(sql, firstView).ok());
    QVERIFY(second.openView(sql, secondView).ok());
    for (View *view : {firstView.get(), secondView.get()}) {
        QVERIFY(view->findFirst(QStringLiteral("AGENDATE=40000")).ok());
        QVERIFY(view->noMatch());
        QVERIFY(view->addNew().ok());
    }
    QVERIFY(firstView->setField(QStringLiteral("AGENDATE"), QStringLiteral("40000")).ok());
    QVERIFY(firstView->setField(QStringLiteral("RVOUS"), QStringLiteral("premier")).ok());
    QVERIFY(firstView->setField(QStringLiteral("Postit"), QStringLiteral("post-it du premier")).ok());
    QVERIFY(secondView->setField(QStringLiteral("AGENDATE"), QStringLiteral("40000")).ok());
    QVERIFY(secondView->setField(QStringLiteral("RVOUS"), QStringLiteral("second")).ok());
    QVERIFY(firstView->update().ok());
    QVERIFY(secondView->update().ok());

    QCOMPARE(StoreTestDatabase::scalar(path, QStringLiteral("SELECT count(*) FROM RVOUS4")).toInt(), 1);
    QCOMPARE(secondView->text(QStringLiteral("RVOUS")), QStringLiteral("second"));
    // Fields the second save did not write keep the first one's value.
    QCOMPARE(secondView->text(QStringLiteral("Postit")), QStringLiteral("post-it du premier"));
    QVERIFY(firstView->reread().ok());
    QCOMPARE(firstView->text(QStringLiteral("RVOUS")), QStringLiteral("second"));
}

void TestEngine::editKeepsFieldsNotWritten()
{
    const QString path = freshDatabase(
        QStringLiteral("INSERT INTO RVOUS1(AGENDATE, ABSENT1, ABSENT1_TXT) VALUES (5, 1, 'Congrès')"));
    Database database;
    QVERIFY(database.open(path).ok());
    std::unique_ptr<View> view;
    QVERIFY(database.openView(QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE"), view).ok());
    QVERIFY(view->findFirst(QStringLiteral("AGENDATE=5")).ok());
    QVERIFY(!view->setField(QStringLiteral("ABSENT1"), false).ok()); // not editing yet
    QVERIFY(view->edit().ok());
    QVERIFY(view->setField(QStringLiteral("ABSENT1"), false).ok());
    QVERIFY(view->update().ok());
    QCOMPARE(view->number(QStringLiteral("ABSENT1")), 0);
    QCOMPARE(view->text(QStringLiteral("ABSENT1_TXT")), QStringLiteral("Congrès"));
    QCOMPARE(StoreTestDatabase::scalar(path, QStringLiteral("SELECT count(*) FROM RVOUS1")).toInt(), 1);
}

void TestEngine::closeKeepsOpenViewsWorking()
{
    const QString path = freshDatabase(QStringLiteral("INSERT INTO RVOUS1(AGENDATE) VALUES (7)"));
    Database database;
    QVERIFY(database.open(path).ok());
    std::unique_ptr<View> view;
    QVERIFY(database.openView(QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE"), view).ok());
    database.close();
    QVERIFY(!database.isOpen());
    QVERIFY(!database.openView(QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE"), view).ok());
    QVERIFY(!view);
}

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
