#include "daycursor.h"
#include "storetestdatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Day records: the RVOUS and COCHE encodings, the day cursor's positionings,
// saving (first save creates, later saves update, the _TXT rule) and what
// the caller is told when the file cannot serve.
class TestDayCursor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodeSlots_data();
    void decodeSlots();
    void decodeChecks_data();
    void decodeChecks();
    void emptyDayEncoding();
    void firstSaveCreatesNextUpdates();
    void textOfClearedMarkKept_data();
    void textOfClearedMarkKept();
    void positionings_data();
    void positionings();
    void failures_data();
    void failures();
    void currentRecordRereadsFile();

private:
    QString freshDatabase(const QString &extraSql = QString());
    QTemporaryDir m_dir;
    int m_count = 0;
};

namespace {

const QString CrLf = QStringLiteral("\r\n");

QStringList slotList(const std::array<QString, SlotCount> &slots)
{
    return QStringList(slots.begin(), slots.end());
}

// 53 slot texts: the given ones first, the rest empty.
QStringList padded(QStringList texts)
{
    while (texts.size() < SlotCount) {
        texts << QString();
    }
    return texts;
}

DayRecord sampleRecord(const QString &tag)
{
    DayRecord record;
    for (int i = 0; i < SlotCount; ++i) {
        record.slots[std::size_t(i)] = QStringLiteral("%1 créneau %2").arg(tag).arg(i);
        record.checks[std::size_t(i)] = i % 3 == 0;
    }
    record.postit = tag + QStringLiteral(" post-it");
    record.bloc = tag + QStringLiteral(" bloc\r\nligne 2");
    record.absent1 = {true, tag + QStringLiteral(" absent matin")};
    record.echo2 = {true, tag + QStringLiteral(" écho après-midi")};
    return record;
}

} // namespace

QString TestDayCursor::freshDatabase(const QString &extraSql)
{
    const QString path = StoreTestDatabase::create(m_dir.path(), QStringLiteral("AGENDAS%1.MDB").arg(++m_count));
    if (!path.isEmpty() && !extraSql.isEmpty() && !StoreTestDatabase::run(path, extraSql)) {
        return {};
    }
    return path;
}

void TestDayCursor::decodeSlots_data()
{
    QTest::addColumn<QString>("rvous");
    QTest::addColumn<QStringList>("slots");

    QStringList sixty;
    for (int i = 0; i < 60; ++i) {
        sixty << QString::number(i);
    }
    QTest::newRow("empty text, every slot empty") << QString() << padded({});
    QTest::newRow("fewer pieces fill the rest empty") << QStringLiteral("a\r\nb") << padded({QStringLiteral("a"), QStringLiteral("b")});
    QTest::newRow("pieces past the 53rd are ignored") << sixty.join(CrLf) << sixty.mid(0, SlotCount);
    QTest::newRow("a lone LF or CR stays inside its slot")
        << QStringLiteral("a\nb\r\nc\rd") << padded({QStringLiteral("a\nb"), QStringLiteral("c\rd")});
    QTest::newRow("empty slots in between keep their places")
        << QStringLiteral("\r\n\r\nDUPONT") << padded({QString(), QString(), QStringLiteral("DUPONT")});
}

void TestDayCursor::decodeSlots()
{
    QFETCH(QString, rvous);
    QFETCH(QStringList, slots);
    QCOMPARE(slotList(DayEncoding::decodeSlots(rvous)), slots);
}

void TestDayCursor::decodeChecks_data()
{
    QTest::addColumn<QString>("coche");
    QTest::addColumn<QList<int>>("checked"); // indexes of the checked slots

    QTest::newRow("empty text, nothing checked") << QString() << QList<int>{};
    QTest::newRow("ones and zeros by position") << QStringLiteral("1\r\n0\r\n1") << QList<int>{0, 2};
    QTest::newRow("only \"1\" is checked")
        << QStringLiteral("2\r\n 1\r\n1 \r\n-1\r\ntrue\r\n01\r\n1") << QList<int>{6};
    QList<int> all;
    for (int i = 0; i < SlotCount; ++i) {
        all << i;
    }
    QTest::newRow("pieces past the 53rd are ignored") << QStringLiteral("1\r\n").repeated(70) << all;
    QTest::newRow("last slot") << QStringLiteral("0\r\n").repeated(52) + u'1' << QList<int>{52};
}

void TestDayCursor::decodeChecks()
{
    QFETCH(QString, coche);
    QFETCH(QList<int>, checked);
    const std::array<bool, SlotCount> checks = DayEncoding::decodeChecks(coche);
    QList<int> found;
    for (int i = 0; i < SlotCount; ++i) {
        if (checks[std::size_t(i)]) {
            found << i;
        }
    }
    QCOMPARE(found, checked);
}

void TestDayCursor::emptyDayEncoding()
{
    // A day saved with nothing in it is still a row of 53 empty slots and 53 zeros.
    const QString path = freshDatabase();
    DayCursor cursor;
    QVERIFY(cursor.save(path, 1, 37986, DayRecord{}).ok());
    const QList<QVariantList> rows =
        StoreTestDatabase::rows(path, QStringLiteral("SELECT RVOUS, COCHE, ABSENT1, ECHO2_TXT FROM RVOUS1"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toString(), CrLf.repeated(52));
    QCOMPARE(rows[0][1].toString(), QStringLiteral("0") + QStringLiteral("\r\n0").repeated(52));
    QCOMPARE(rows[0][2].toLongLong(), 0);
    QVERIFY(rows[0][3].isNull());
}

void TestDayCursor::firstSaveCreatesNextUpdates()
{
    const QString path = freshDatabase();
    DayCursor cursor;
    const DayRecord first = sampleRecord(QStringLiteral("premier"));
    QVERIFY(cursor.save(path, 3, 37986, first).ok());
    QVERIFY(cursor.found());
    QCOMPARE(cursor.currentDateNumber(), 37986);
    QCOMPARE(cursor.currentRecord(), first);
    QCOMPARE(StoreTestDatabase::scalar(path, QStringLiteral("SELECT count(*) FROM RVOUS3")).toInt(), 1);
    QCOMPARE(StoreTestDatabase::scalar(path, QStringLiteral("SELECT typeof(AGENDATE) FROM RVOUS3")).toString(),
             QStringLiteral("integer"));
    QCOMPARE(StoreTestDatabase::scalar(path, QStringLiteral("SELECT RVOUS FROM RVOUS3")).toString(),
             DayEncoding::encodeSlots(first.slots));

    DayRecord second = sampleRecord(QStringLiteral("second"));
    second.checks.fill(true);
    QVERIFY(cursor.save(path, 3, 37986, second).ok());
    QCOMPARE(StoreTestDatabase::scalar(path, QStringLiteral("SELECT count(*) FROM RVOUS3")).toInt(), 1);
    DayCursor reader;
    QVERIFY(reader.position(path, 3, 37986).ok());
    QCOMPARE(reader.currentRecord(), second);
    QCOMPARE(StoreTestDatabase::scalar(path, QStringLiteral("SELECT count(*) FROM RVOUS1")).toInt(), 0);
}

void TestDayCursor::textOfClearedMarkKept_data()
{
    QTest::addColumn<QString>("flagField");
    QTest::addColumn<QString>("storedBefore"); // <none>: no row yet; else the flag's text with the flag yes/no
    QTest::addColumn<bool>("storedFlag");
    QTest::addColumn<bool>("saveSet");
    QTest::addColumn<QString>("storedAfter"); // <null>: never written
    QTest::addColumn<QString>("readText");

    const QString none = QStringLiteral("<none>");
    const QString null = QStringLiteral("<null>");
    for (const char *flag : {"ABSENT1", "ABSENT2", "ECHO1", "ECHO2"}) {
        const QString name = QString::fromLatin1(flag);
        const auto row = [&](const char *what) -> QTestData & {
            return QTest::newRow(qPrintable(name + u": " + QLatin1String(what)));
        };
        row("clearing a mark keeps its stored text")
            << name << QStringLiteral("Congrès") << true << false << QStringLiteral("Congrès") << QString();
        row("setting a mark writes the panel's text")
            << name << QStringLiteral("Congrès") << false << true << QStringLiteral("panneau") << QStringLiteral("panneau");
        row("new day with the mark set") << name << none << false << true << QStringLiteral("panneau")
                                         << QStringLiteral("panneau");
        row("new day without the mark leaves its text unwritten")
            << name << none << false << false << null << QString();
    }
}

void TestDayCursor::textOfClearedMarkKept()
{
    QFETCH(QString, flagField);
    QFETCH(QString, storedBefore);
    QFETCH(bool, storedFlag);
    QFETCH(bool, saveSet);
    QFETCH(QString, storedAfter);
    QFETCH(QString, readText);

    const QString textField = flagField + QStringLiteral("_TXT");
    const QString path = freshDatabase(
        storedBefore == u"<none>"
            ? QString()
            : QStringLiteral("INSERT INTO RVOUS5(AGENDATE, %1, %2) VALUES (40000, %3, '%4')")
                  .arg(flagField, textField)
                  .arg(storedFlag ? 1 : 0)
                  .arg(storedBefore));
    QVERIFY(!path.isEmpty());

    DayRecord record;
    HalfDayMark mark{saveSet, QStringLiteral("panneau")};
    if (flagField == u"ABSENT1") {
        record.absent1 = mark;
    } else if (flagField == u"ABSENT2") {
        record.absent2 = mark;
    } else if (flagField == u"ECHO1") {
        record.echo1 = mark;
    } else {
        record.echo2 = mark;
    }
    DayCursor cursor;
    QVERIFY(cursor.save(path, 5, 40000, record).ok());

    const QList<QVariantList> rows =
        StoreTestDatabase::rows(path, QStringLiteral("SELECT %1, %2 FROM RVOUS5").arg(flagField, textField));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toLongLong(), saveSet ? 1 : 0);
    QCOMPARE(rows[0][1].isNull() ? QStringLiteral("<null>") : rows[0][1].toString(), storedAfter);

    const std::optional<DayRecord> read = cursor.currentRecord();
    QVERIFY(read.has_value());
    const HalfDayMark readMark = flagField == u"ABSENT1"   ? read->absent1
                                 : flagField == u"ABSENT2" ? read->absent2
                                 : flagField == u"ECHO1"   ? read->echo1
                                                           : read->echo2;
    QCOMPARE(readMark.set, saveSet);
    QCOMPARE(readMark.text, readText);
}

void TestDayCursor::positionings_data()
{
    QTest::addColumn<bool>("forSearch");
    QTest::addColumn<int>("user");
    QTest::addColumn<int>("date");
    QTest::addColumn<QString>("sqlText");
    QTest::addColumn<QString>("firstSlot"); // <none>: no row for the day

    QTest::newRow("user 1's day") << false << 1 << 37986 << QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE")
                                  << QStringLiteral("un");
    QTest::newRow("same day, user 2's own row")
        << false << 2 << 37986 << QStringLiteral("SELECT*FROM RVOUS2 ORDER BY AGENDATE") << QStringLiteral("deux");
    QTest::newRow("day without row") << false << 1 << 37987 << QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE")
                                     << QStringLiteral("<none>");
    QTest::newRow("search window's positioning")
        << true << 2 << 37986 << QStringLiteral("SELECT*FROM RVOUS2 WHERE AGENDATE =37986") << QStringLiteral("deux");
    QTest::newRow("search window's positioning on a day without row")
        << true << 6 << 37986 << QStringLiteral("SELECT*FROM RVOUS6 WHERE AGENDATE =37986")
        << QStringLiteral("<none>");
}

void TestDayCursor::positionings()
{
    QFETCH(bool, forSearch);
    QFETCH(int, user);
    QFETCH(int, date);
    QFETCH(QString, sqlText);
    QFETCH(QString, firstSlot);
    const QString path = freshDatabase(QStringLiteral("INSERT INTO RVOUS1(AGENDATE, RVOUS) VALUES (37986, 'un');"
                                                      "INSERT INTO RVOUS2(AGENDATE, RVOUS) VALUES (37986, 'deux')"));
    const QByteArray before = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    DayCursor cursor;
    const Status status = forSearch ? cursor.positionForSearch(path, user, date) : cursor.position(path, user, date);
    QVERIFY2(status.ok(), qPrintable(status.message()));
    QVERIFY(cursor.isOpen());
    QCOMPARE(cursor.user(), user);
    QCOMPARE(cursor.sqlText(), sqlText);
    const bool expectRow = firstSlot != u"<none>";
    QCOMPARE(cursor.found(), expectRow);
    QCOMPARE(cursor.currentRecord().has_value(), expectRow);
    if (expectRow) {
        QCOMPARE(cursor.currentRecord()->slots[0], firstSlot);
        QCOMPARE(cursor.currentDateNumber(), date);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before); // positioning writes nothing
}

void TestDayCursor::failures_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("user");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing file") << QStringLiteral("missing") << 1 << QStringLiteral("introuvable");
    QTest::newRow("legacy Access file") << QStringLiteral("jet") << 1 << QStringLiteral("planora-admin convert");
    QTest::newRow("not a database") << QStringLiteral("text") << 1 << QStringLiteral("n'est pas une base");
    QTest::newRow("user's table missing") << QStringLiteral("DROP TABLE RVOUS4") << 4
                                          << QStringLiteral("La table RVOUS4 est absente");
    QTest::newRow("COCHE column missing") << QStringLiteral("ALTER TABLE RVOUS1 DROP COLUMN COCHE") << 1
                                          << QStringLiteral("Le champ COCHE est absent de la table RVOUS1");
    QTest::newRow("_TXT column missing") << QStringLiteral("ALTER TABLE RVOUS2 DROP COLUMN ECHO1_TXT") << 2
                                         << QStringLiteral("Le champ ECHO1_TXT est absent");
    QTest::newRow("no user 0") << QString() << 0 << QStringLiteral("L'utilisateur 0 n'existe pas");
    QTest::newRow("no user 7") << QString() << 7 << QStringLiteral("L'utilisateur 7 n'existe pas");
    QTest::newRow("lock held past the busy timeout") << QStringLiteral("lock") << 1
                                                     << QStringLiteral("occupée par un autre poste");
}

void TestDayCursor::failures()
{
    QFETCH(QString, setup);
    QFETCH(int, user);
    QFETCH(QString, message);

    QString path = m_dir.filePath(QStringLiteral("broken%1.MDB").arg(++m_count));
    SqliteConnection other;
    if (setup == u"jet" || setup == u"text") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(setup == u"jet" ? QByteArray("\0\1\0\0Standard Jet DB\0\0\0", 22) : QByteArray("texte"));
    } else if (setup != u"missing") {
        path = freshDatabase(setup == u"lock" ? QString() : setup);
        QVERIFY(!path.isEmpty());
    }
    if (setup == u"lock") {
        QCOMPARE(other.open(path, SqliteConnection::Mode::ReadWrite), 0);
        QCOMPARE(other.exec("BEGIN EXCLUSIVE"), 0);
    }

    DayCursor cursor;
    cursor.setBusyTimeout(150);
    const Status positioned = cursor.position(path, user, 37986);
    QVERIFY(!positioned.ok());
    QVERIFY2(positioned.message().contains(message), qPrintable(positioned.message()));
    QVERIFY(!cursor.isOpen());
    QVERIFY(!cursor.found());
    QVERIFY(!cursor.currentRecord().has_value());

    const DayRecord record = sampleRecord(QStringLiteral("tapé"));
    const DayRecord copy = record;
    const Status saved = cursor.save(path, user, 37986, record);
    QVERIFY(!saved.ok());
    QVERIFY2(saved.message().contains(message), qPrintable(saved.message()));
    QCOMPARE(record, copy);
    if (setup == u"lock") {
        QCOMPARE(other.exec("ROLLBACK"), 0);
        QCOMPARE(StoreTestDatabase::scalar(path, QStringLiteral("SELECT count(*) FROM RVOUS1")).toInt(), 0);
        // Once the other workstation is done, the same save goes through.
        QVERIFY(cursor.save(path, user, 37986, record).ok());
        QCOMPARE(cursor.currentRecord(), record);
    }
    QCOMPARE(QFileInfo::exists(path), setup != u"missing");
}

void TestDayCursor::currentRecordRereadsFile()
{
    const QString path = freshDatabase(QStringLiteral("INSERT INTO RVOUS1(AGENDATE, RVOUS) VALUES (37986, 'avant')"));
    DayCursor cursor;
    QVERIFY(cursor.position(path, 1, 37986).ok());
    QCOMPARE(cursor.currentRecord()->slots[0], QStringLiteral("avant"));
    // Another workstation saves the day meanwhile: the refresh shows it.
    DayCursor other;
    DayRecord changed;
    changed.slots[0] = QStringLiteral("après");
    QVERIFY(other.save(path, 1, 37986, changed).ok());
    QCOMPARE(cursor.currentRecord()->slots[0], QStringLiteral("après"));
    cursor.close();
    QVERIFY(!cursor.isOpen());
    QVERIFY(!cursor.currentRecord().has_value());
}

QTEST_GUILESS_MAIN(TestDayCursor)
#include "tst_daycursor.moc"
