#include "daycursor.h"
#include "refusedwrites.h"
#include "storetestdatabase.h"
#include "writerrecord.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <memory>
#include <tuple>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// Day records: the RVOUS and COCHE encodings, the day cursor's positionings,
// saving (first save adds, later saves update, the _TXT rule), what the
// caller is told when the file cannot serve, and the connection the cursor
// keeps between positionings, which must always show the file as it is now;
// several workstations saving into one file at once, and one killed in the
// middle of its saves.
class TestDayCursor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decode_data();
    void decode();
    void saves_data();
    void saves();
    void positionings_data();
    void positionings();
    void failures_data();
    void failures();
    void savesOnceWritable_data();
    void savesOnceWritable();
    void fileChangedBetweenPositionings_data();
    void fileChangedBetweenPositionings();
    void sharedFile_data();
    void sharedFile();

private:
    QString database(const QString &firstSlot = u"ORIGINAL"_s);
    QTemporaryDir m_dir;
};

namespace {

constexpr qint32 Day = 37986;

HalfDayMark &markOf(DayRecord &record, const QString &flag)
{
    return flag == u"ABSENT1" ? record.absent1
           : flag == u"ABSENT2" ? record.absent2
           : flag == u"ECHO1"   ? record.echo1
                                : record.echo2;
}

QString firstSlot(const DayCursor &cursor)
{
    const std::optional<DayRecord> record = cursor.currentRecord();
    return record ? record->slots[0] : u"<aucun>"_s;
}

// How many descriptors of this process are open on the file, found by what
// they point at, so that a removed file is still counted.
int handlesOn(const struct stat &file)
{
    int count = 0;
    const QDir fds(u"/proc/self/fd"_s);
    for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        struct stat status = {};
        count += ::stat(QFile::encodeName(fds.filePath(fd)).constData(), &status) == 0
                 && status.st_dev == file.st_dev && status.st_ino == file.st_ino;
    }
    return count;
}

// Waits until the clock that stamps files has moved past the file's change
// time, as a probe file written beside it shows, so that the next write
// gives the file a change time of its own even where the kernel stamps files
// at a coarse granularity.
void waitPastChangeTime(const QString &path, const struct stat &file)
{
    const QString probe = path + u".probe"_s;
    struct stat status = {};
    for (int attempt = 0; attempt < 2000; ++attempt, QThread::msleep(1)) {
        if (StoreTestDatabase::write(probe, "x") && ::stat(QFile::encodeName(probe).constData(), &status) == 0
            && std::tie(status.st_ctim.tv_sec, status.st_ctim.tv_nsec)
                   > std::tie(file.st_ctim.tv_sec, file.st_ctim.tv_nsec)) {
            return;
        }
    }
}

using Save = std::pair<int, qint32>; // table, date

QSet<Save> savesPrinted(const QByteArray &output)
{
    QSet<Save> saves;
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        if (fields.size() == 2) {
            saves.insert({fields[0].toInt(), fields[1].toInt()});
        }
    }
    return saves;
}

// Checks the whole file: sound, one row per day, each row one writer's whole
// save. Fills in the writer found for each (table, date).
QString checkFile(const QString &path, QHash<Save, int> &writers)
{
    const QString integrity = StoreTestDatabase::scalar(path, u"PRAGMA integrity_check"_s).toString();
    if (integrity != u"ok") {
        return u"integrity: "_s + integrity;
    }
    for (int table = 1; table <= 6; ++table) {
        const QList<QVariantList> dates = StoreTestDatabase::rows(
            path, u"SELECT AGENDATE, count(*) FROM RVOUS%1 GROUP BY AGENDATE"_s.arg(table));
        for (const QVariantList &row : dates) {
            const qint32 date = row[0].toInt();
            const QString where = u"RVOUS%1 day %2"_s.arg(table).arg(date);
            DayCursor cursor;
            if (row[1].toInt() != 1 || !cursor.position(path, table, date) || !cursor.found()) {
                return where + u": %1 rows, or unreadable"_s.arg(row[1].toInt());
            }
            const std::optional<int> writer = WriterRecord::writerOf(*cursor.currentRecord(), date);
            if (!writer) {
                return where + u" is not one whole save"_s;
            }
            writers.insert({table, date}, *writer);
        }
    }
    return {};
}

} // namespace

// A database whose user 1 has a row for Day.
QString TestDayCursor::database(const QString &firstSlot)
{
    return StoreTestDatabase::create(
        m_dir.path(), u"INSERT INTO RVOUS1(AGENDATE, RVOUS, COCHE) VALUES (%1, '%2', '1')"_s.arg(Day).arg(firstSlot));
}

void TestDayCursor::decode_data()
{
    QTest::addColumn<QString>("text");         // read as RVOUS and as COCHE
    QTest::addColumn<QStringList>("slots");    // the first slots, the rest empty
    QTest::addColumn<QList<int>>("checked");   // indexes of the checked slots
    QTest::addColumn<bool>("encodedTheSame"); // written back, the text is the same

    const auto row = [](const char *name, const QString &text, const QStringList &slots, const QList<int> &checked,
                        bool same = false) { QTest::newRow(name) << text << slots << checked << same; };
    row("empty text: every slot empty, nothing checked", QString(), {}, {});
    row("fewer pieces fill the rest empty, unchecked", u"1\r\n0\r\n1"_s, {u"1"_s, u"0"_s, u"1"_s}, {0, 2});
    row("pieces past the 53rd are ignored", u"x\r\n"_s.repeated(60), QStringList(SlotCount, u"x"_s), {});
    row("only \"1\" is checked", u"2\r\n 1\r\n1 \r\ntrue\r\n01\r\n1"_s,
        {u"2"_s, u" 1"_s, u"1 "_s, u"true"_s, u"01"_s, u"1"_s}, {5});
    row("a lone LF or CR stays inside its slot", u"a\nb\r\nc\rd"_s, {u"a\nb"_s, u"c\rd"_s}, {});
    row("53 pieces, the last one checked", u"0\r\n"_s.repeated(52) + u'1', QStringList(52, u"0"_s) << u"1"_s, {52},
        true);
}

void TestDayCursor::decode()
{
    QFETCH(QString, text);
    QFETCH(QStringList, slots);
    QFETCH(QList<int>, checked);
    QFETCH(bool, encodedTheSame);

    const std::array<QString, SlotCount> decodedSlots = DayEncoding::decodeSlots(text);
    const std::array<bool, SlotCount> decodedChecks = DayEncoding::decodeChecks(text);
    QList<int> found;
    for (int i = 0; i < SlotCount; ++i) {
        QCOMPARE(decodedSlots[std::size_t(i)], slots.value(i));
        if (decodedChecks[std::size_t(i)]) {
            found << i;
        }
    }
    QCOMPARE(found, checked);
    QCOMPARE(DayEncoding::encodeSlots(decodedSlots) == text, encodedTheSame);
    QCOMPARE(DayEncoding::encodeChecks(decodedChecks) == text, encodedTheSame);
}

void TestDayCursor::saves_data()
{
    QTest::addColumn<QString>("flag");         // the mark this case is about
    QTest::addColumn<QString>("storedBefore"); // its flag and text in the day's row; empty: no row yet
    QTest::addColumn<bool>("saveSet");
    QTest::addColumn<QString>("storedAfter"); // its text field afterwards; null: never written

    const auto row = [](const char *name, const char *flag, const QString &before, bool set, const QString &after) {
        QTest::newRow(name) << QString::fromLatin1(flag) << before << set << after;
    };
    row("clearing a mark keeps its stored text", "ABSENT1", u"1, 'Congrès'"_s, false, u"Congrès"_s);
    row("a mark cleared before keeps its text too", "ECHO2", u"0, 'Congrès'"_s, false, u"Congrès"_s);
    row("setting a mark writes the panel's text", "ABSENT2", u"0, 'Congrès'"_s, true, u"panneau"_s);
    row("new day with the mark set", "ECHO1", QString(), true, u"panneau"_s);
    row("new day without the mark leaves its text unwritten", "ECHO2", QString(), false, QString());
}

// A save adds the day's row or updates the one there, writes every field,
// and a _TXT field only while its flag is yes.
void TestDayCursor::saves()
{
    QFETCH(QString, flag);
    QFETCH(QString, storedBefore);
    QFETCH(bool, saveSet);
    QFETCH(QString, storedAfter);

    const QString path = StoreTestDatabase::create(
        m_dir.path(), storedBefore.isEmpty()
                          ? QString()
                          : u"INSERT INTO RVOUS5(AGENDATE, %1, %1_TXT) VALUES (37986, %2)"_s.arg(flag, storedBefore));
    QVERIFY(!path.isEmpty());
    DayRecord record = WriterRecord::make(1, Day, 1);
    markOf(record, flag) = {saveSet, u"panneau"_s};
    DayCursor cursor;
    QVERIFY(cursor.save(path, 5, Day, record).ok());
    QVERIFY(StoreTestDatabase::lockFree(path));

    const QList<QVariantList> rows =
        StoreTestDatabase::rows(path, u"SELECT typeof(AGENDATE), RVOUS, %1, %1_TXT FROM RVOUS5"_s.arg(flag));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toString(), u"integer"_s);
    QCOMPARE(rows[0][1].toString(), QStringList(record.slots.begin(), record.slots.end()).join(u"\r\n"_s));
    QCOMPARE(rows[0][2].toLongLong(), saveSet ? 1 : 0);
    QCOMPARE(rows[0][3].isNull() ? QString() : rows[0][3].toString(), storedAfter);
    markOf(record, flag).text = saveSet ? u"panneau"_s : QString(); // an unset mark reads no text
    QCOMPARE(cursor.currentDateNumber(), Day);
    QCOMPARE(cursor.currentRecord(), record);
}

void TestDayCursor::positionings_data()
{
    QTest::addColumn<bool>("forSearch");
    QTest::addColumn<int>("user");
    QTest::addColumn<int>("date");
    QTest::addColumn<QString>("sqlText");
    QTest::addColumn<QString>("shown"); // first slot, <aucun>: no row for the day

    const auto row = [](const char *name, bool forSearch, int user, int date, const QString &sql, const QString &shown) {
        QTest::newRow(name) << forSearch << user << date << sql << shown;
    };
    row("user 1's day", false, 1, Day, u"SELECT*FROM RVOUS1 ORDER BY AGENDATE"_s, u"ORIGINAL"_s);
    row("same day, user 2's own row", false, 2, Day, u"SELECT*FROM RVOUS2 ORDER BY AGENDATE"_s, u"DEUX"_s);
    row("day without row", false, 1, Day + 1, u"SELECT*FROM RVOUS1 ORDER BY AGENDATE"_s, u"<aucun>"_s);
    row("search window's positioning", true, 2, Day, u"SELECT*FROM RVOUS2 WHERE AGENDATE =37986"_s, u"DEUX"_s);
    row("search window's, day without row", true, 6, Day, u"SELECT*FROM RVOUS6 WHERE AGENDATE =37986"_s,
        u"<aucun>"_s);
}

void TestDayCursor::positionings()
{
    QFETCH(bool, forSearch);
    QFETCH(int, user);
    QFETCH(int, date);
    QFETCH(QString, sqlText);
    QFETCH(QString, shown);
    const QString path = database();
    QVERIFY(StoreTestDatabase::run(path, u"INSERT INTO RVOUS2(AGENDATE, RVOUS) VALUES (37986, 'DEUX')"_s));
    const QByteArray before = StoreTestDatabase::contents(path);

    // Each positioning replaces the one before, of the other kind here.
    DayCursor cursor;
    QVERIFY(forSearch ? cursor.position(path, 1, Day).ok() : cursor.positionForSearch(path, 2, Day).ok());
    const Status status = forSearch ? cursor.positionForSearch(path, user, date) : cursor.position(path, user, date);
    QVERIFY2(status.ok(), qPrintable(status.message()));
    QCOMPARE(cursor.user(), user);
    QCOMPARE(cursor.sqlText(), sqlText);
    QCOMPARE(firstSlot(cursor), shown);
    QCOMPARE(cursor.found(), shown != u"<aucun>");
    QCOMPARE(cursor.currentDateNumber(), cursor.found() ? std::optional<qint32>(date) : std::nullopt);
    QVERIFY(StoreTestDatabase::lockFree(path));
    QCOMPARE(StoreTestDatabase::contents(path), before); // positioning writes nothing
}

void TestDayCursor::failures_data()
{
    QTest::addColumn<QString>("setup"); // SQL run on a new database, or what to put at the path
    QTest::addColumn<int>("user");
    QTest::addColumn<bool>("positions"); // whether positioning still works; saving never does
    QTest::addColumn<QString>("message");

    QTest::newRow("missing file") << u"<missing>"_s << 1 << false << u"introuvable"_s;
    QTest::newRow("a folder") << u"<folder>"_s << 1 << false << u"n'est pas un fichier"_s;
    QTest::newRow("legacy Jet file") << u"<jet>"_s << 1 << false << u"planora-admin convert"_s;
    QTest::newRow("legacy ACE file") << u"<ace>"_s << 1 << false << u"planora-admin convert"_s;
    QTest::newRow("text file") << u"<text>"_s << 1 << false << u"n'est pas une base"_s;
    QTest::newRow("SQLite header over garbage") << u"<garbage>"_s << 1 << false << u"n'est pas une base"_s;
    QTest::newRow("user's table missing") << u"DROP TABLE RVOUS4"_s << 4 << false << u"La table RVOUS4 est absente"_s;
    QTest::newRow("COCHE column missing") << u"ALTER TABLE RVOUS1 DROP COLUMN COCHE"_s << 1 << false
                                          << u"Le champ COCHE est absent de la table RVOUS1"_s;
    QTest::newRow("_TXT column missing") << u"ALTER TABLE RVOUS2 DROP COLUMN ECHO1_TXT"_s << 2 << false
                                         << u"Le champ ECHO1_TXT est absent"_s;
    QTest::newRow("no user 0") << QString() << 0 << false << u"L'utilisateur 0 n'existe pas"_s;
    QTest::newRow("no user 7") << QString() << 7 << false << u"L'utilisateur 7 n'existe pas"_s;
    QTest::newRow("read-only file") << u"<read-only>"_s << 1 << true << u"lecture seule"_s;
    QTest::newRow("another workstation writing while we open") << u"<exclusive>"_s << 1 << false
                                                                << u"occupée par un autre poste"_s;
    QTest::newRow("another workstation writing while we save") << u"<reserved>"_s << 1 << true
                                                                << u"occupée par un autre poste"_s;
}

void TestDayCursor::failures()
{
    QFETCH(QString, setup);
    QFETCH(int, user);
    QFETCH(bool, positions);
    QFETCH(QString, message);

    const QHash<QString, QByteArray> files = {
        {u"<jet>"_s, StoreTestDatabase::JetHeader},
        {u"<ace>"_s, QByteArray(StoreTestDatabase::JetHeader).replace("Jet", "ACE")},
        {u"<text>"_s, "RVOUS;Postit\r\n"},
        {u"<garbage>"_s, QByteArray("SQLite format 3\0", 16) + QByteArray(4080, 'Z')}};
    QString path = m_dir.filePath(QString::fromUtf8(QTest::currentDataTag()));
    SqliteConnection other;
    if (files.contains(setup)) {
        QVERIFY(StoreTestDatabase::write(path, files.value(setup)));
    } else if (setup == u"<folder>") {
        QVERIFY(QDir().mkpath(path));
    } else if (setup != u"<missing>") {
        path = StoreTestDatabase::create(m_dir.path(), setup.startsWith(u'<') ? QString() : setup);
        QVERIFY(!path.isEmpty());
    }
    if (setup == u"<read-only>") {
        if (geteuid() == 0) {
            QSKIP("File permissions do not bind the superuser.");
        }
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    } else if (setup == u"<exclusive>" || setup == u"<reserved>") {
        QCOMPARE(other.open(path, SqliteConnection::Mode::ReadWrite), 0);
        QCOMPARE(other.exec(setup == u"<exclusive>" ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE"), 0);
    }
    const QByteArray before = StoreTestDatabase::contents(path);

    DayCursor cursor;
    cursor.setBusyTimeout(150);
    const Status positioned = cursor.position(path, user, Day);
    QCOMPARE(positioned.ok(), positions);
    QVERIFY2(positions || positioned.message().contains(message), qPrintable(positioned.message()));
    QCOMPARE(cursor.isOpen(), positions);
    const DayRecord record = WriterRecord::make(1, Day, 1);
    const Status saved = cursor.save(path, user, Day, record);
    QVERIFY2(saved.message().contains(message), qPrintable(saved.message()));
    QCOMPARE(StoreTestDatabase::contents(path), before);
    QCOMPARE(QFileInfo::exists(path), setup != u"<missing>"); // never created

    if (!other.isOpen()) {
        return;
    }
    // Once the other workstation is done, the same save goes through.
    QCOMPARE(other.exec("ROLLBACK"), 0);
    QVERIFY(cursor.save(path, user, Day, record).ok());
    QCOMPARE(cursor.currentRecord(), record);
}

// The file refused writing to this workstation for a while (a read-only
// share, a folder whose rights were taken away), untouched meanwhile: once
// it takes writes again, the next save goes through without a restart.
void TestDayCursor::savesOnceWritable_data()
{
    QTest::addColumn<bool>("savedWhileRefused");
    QTest::newRow("connection opened read-only by a positioning: the first save after goes through") << false;
    QTest::newRow("save refused as read-only: the next one goes through") << true;
}

void TestDayCursor::savesOnceWritable()
{
    QFETCH(bool, savedWhileRefused);
    if (geteuid() != 0) {
        QSKIP("Acting as another user and back needs the superuser.");
    }
    QTemporaryDir dir; // others may read the file there, not write it
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                  | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                                  | QFile::ExeOther));
    const QString path = StoreTestDatabase::create(dir.path());
    QVERIFY(!path.isEmpty());
    const QByteArray before = StoreTestDatabase::contents(path);
    const DayRecord record = WriterRecord::make(1, Day, 1);
    DayCursor cursor;
    {
        const auto refused = asOrdinaryUser();
        const Status positioned = cursor.position(path, 1, Day);
        QVERIFY2(positioned.ok(), qPrintable(positioned.message()));
        if (savedWhileRefused) {
            const Status saved = cursor.save(path, 1, Day, record);
            QVERIFY2(saved.message().contains(u"lecture seule"_s), qPrintable(saved.message()));
        }
    }
    QCOMPARE(StoreTestDatabase::contents(path), before);

    const Status saved = cursor.save(path, 1, Day, record);
    QVERIFY2(saved.ok(), qPrintable(saved.message()));
    QCOMPARE(cursor.currentRecord(), record);
}

void TestDayCursor::fileChangedBetweenPositionings_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("handlesMeanwhile"); // on the file first opened, after the change
    QTest::addColumn<QString>("shown");        // afterwards: first slot shown, or part of the message
    QTest::addColumn<int>("handlesAfter");

    const auto row = [](const char *name, const QString &how, int meanwhile, const QString &shown, int after) {
        QTest::newRow(name) << how << meanwhile << shown << after;
    };
    row("untouched: the same day is shown", u"none"_s, 1, u"ORIGINAL"_s, 1);
    row("another program updates the row with plain SQL", u"sql"_s, 1, u"RESTAURE"_s, 1);
    row("the row under the cursor is read again from the file", u"save, no positioning"_s, 1, u"RESTAURE"_s, 1);
    row("another database renamed over the file", u"rename"_s, 1, u"RESTAURE"_s, 0);
    // Same size, same header counters: only the file's change time tells it.
    row("another database copied over the file in place", u"copy"_s, 1, u"RESTAURE"_s, 1);
    row("the file removed", u"remove"_s, 1, u"introuvable"_s, 0);
    row("closed, then copied over", u"close, copy"_s, 0, u"RESTAURE"_s, 1);
    row("a failed positioning, then copied over", u"user 7, copy"_s, 0, u"RESTAURE"_s, 1);
    row("another database shown, then copied over", u"other, copy"_s, 0, u"RESTAURE"_s, 1);
}

void TestDayCursor::fileChangedBetweenPositionings()
{
    QFETCH(QString, how);
    QFETCH(int, handlesMeanwhile);
    QFETCH(QString, shown);
    QFETCH(int, handlesAfter);

    // Both texts have the same length, so that the two files are the same
    // size and carry the same header counters.
    const QString path = database(u"ORIGINAL"_s);
    const QString replacement = database(u"RESTAURE"_s);
    QVERIFY(!path.isEmpty() && !replacement.isEmpty());
    DayCursor cursor;
    QVERIFY(cursor.position(path, 1, Day).ok());
    QCOMPARE(firstSlot(cursor), u"ORIGINAL"_s);
    struct stat oldFile = {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &oldFile), 0);
    QCOMPARE(handlesOn(oldFile), 1);
    waitPastChangeTime(path, oldFile);

    if (how.startsWith(u"close")) {
        cursor.close();
    } else if (how.startsWith(u"user")) {
        QVERIFY(!cursor.position(path, 7, Day).ok());
    } else if (how.startsWith(u"other")) {
        QVERIFY(cursor.position(replacement, 1, Day).ok());
    }
    QCOMPARE(cursor.isOpen(), handlesMeanwhile == 1 || how.startsWith(u"other"));
    QCOMPARE(handlesOn(oldFile), handlesMeanwhile);
    DayRecord saved;
    saved.slots[0] = u"RESTAURE"_s;
    if (how.startsWith(u"save")) {
        QVERIFY(DayCursor().save(path, 1, Day, saved).ok());
    } else if (how == u"sql") {
        QVERIFY(StoreTestDatabase::run(path, u"UPDATE RVOUS1 SET RVOUS = 'RESTAURE'"_s));
    } else if (how == u"rename") {
        QCOMPARE(std::rename(QFile::encodeName(replacement).constData(), QFile::encodeName(path).constData()), 0);
    } else if (how.endsWith(u"copy")) {
        QVERIFY(StoreTestDatabase::write(path, StoreTestDatabase::contents(replacement)));
    } else if (how == u"remove") {
        QVERIFY(QFile::remove(path));
    }

    const Status status = how.endsWith(u"no positioning") ? Status::success() : cursor.position(path, 1, Day);
    // Shown: the first slot when positioned, else the message must say it.
    QCOMPARE(status.ok() ? firstSlot(cursor) : status.message().contains(shown) ? shown : status.message(), shown);
    QCOMPARE(cursor.isOpen(), status.ok());
    QCOMPARE(handlesOn(oldFile), handlesAfter);
}

void TestDayCursor::sharedFile_data()
{
    QTest::addColumn<int>("writers");
    QTest::addColumn<int>("days");      // per writer; 0: on and on
    QTest::addColumn<int>("killAfter"); // saves returned before SIGKILL; 0: never killed

    // Writers 1 and 2 save into RVOUS1, 3 and 4 into RVOUS2, 5 and 6 into
    // RVOUS3, the same days; every second day also goes into RVOUS6.
    QTest::newRow("six writers at once, pairs on the same days, all six on RVOUS6") << 6 << 200 << 0;
    QTest::newRow("a writer killed in the middle of its saves") << 1 << 0 << 40;
}

void TestDayCursor::sharedFile()
{
    QFETCH(int, writers);
    QFETCH(int, days);
    QFETCH(int, killAfter);
    const QString path = StoreTestDatabase::create(m_dir.path());
    QVERIFY(!path.isEmpty());

    std::vector<std::unique_ptr<QProcess>> processes;
    for (int writer = 1; writer <= writers; ++writer) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->start(QStringLiteral(STORE_WRITER), {path, QString::number(writer),
                                                               QString::number((writer + 1) / 2), u"40000"_s,
                                                               QString::number(days)});
        QVERIFY(processes.back()->waitForStarted());
    }
    QHash<Save, QSet<int>> reported; // who reported each save as returned
    for (int writer = 1; writer <= writers; ++writer) {
        QProcess &process = *processes[std::size_t(writer - 1)];
        QByteArray output;
        while (killAfter && savesPrinted(output).size() < killAfter) {
            QVERIFY2(process.waitForReadyRead(60000), process.readAllStandardError().constData());
            output += process.readAllStandardOutput();
        }
        if (killAfter) {
            process.kill(); // SIGKILL: no chance to finish the save under way
        }
        QVERIFY(process.waitForFinished(600000));
        QCOMPARE(process.exitStatus(), killAfter ? QProcess::CrashExit : QProcess::NormalExit);
        QVERIFY2(killAfter || process.exitCode() == 0, process.readAllStandardError().constData());
        const QSet<Save> saves = savesPrinted(output + process.readAllStandardOutput());
        QVERIFY(killAfter || saves.size() == days + (days + 1) / 2);
        for (const Save &save : saves) {
            reported[save].insert(writer);
        }
    }

    QHash<Save, int> found;
    const QString problem = checkFile(path, found);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    for (auto it = reported.cbegin(); it != reported.cend(); ++it) {
        QVERIFY2(it.value().contains(found.value(it.key())), qPrintable(QString::number(it.key().second)));
    }
    // Only the save under way when the writer was killed may be there unreported.
    QVERIFY(found.size() - reported.size() <= (killAfter ? 1 : 0));
}

QTEST_GUILESS_MAIN(TestDayCursor)
#include "tst_daycursor.moc"
