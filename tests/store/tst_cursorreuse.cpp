#include "database.h"
#include "daycursor.h"
#include "statementcache.h"
#include "storetestdatabase.h"
#include "view.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <ctime>
#include <sys/stat.h>

// The day cursor keeps its connection between positionings. What must not
// change for that: each positioning shows what the file holds now, whoever
// wrote it or whatever was put in its place; close() and a failed
// positioning leave no handle on the file; no lock is held between
// operations. And the kept connection's caches (column lists, prepared
// statements) follow the file.
class TestCursorReuse : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replacedBetweenPositionings_data();
    void replacedBetweenPositionings();
    void savesSeenByNextPositioning_data();
    void savesSeenByNextPositioning();
    void keptConnectionFollowsFile_data();
    void keptConnectionFollowsFile();
    void fileReleased_data();
    void fileReleased();
    void noLockBetweenOperations_data();
    void noLockBetweenOperations();
    void successivePositionings_data();
    void successivePositionings();
    void nestedUseOfOneText();
    void evictionSparesStatementsInUse();

private:
    QString makeDatabase(const QString &name, const QString &firstSlot);
    QTemporaryDir m_dir;
    int m_count = 0;
};

namespace {

constexpr qint32 Day = 37986;

// Both texts have the same length, so that two databases made with the same
// steps are the same size and carry the same header counters.
const QString Original = QStringLiteral("ORIGINAL");
const QString Restored = QStringLiteral("RESTAURE");

struct FileId
{
    dev_t device = 0;
    ino_t inode = 0;
};

std::optional<FileId> idOf(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return std::nullopt;
    }
    return FileId{status.st_dev, status.st_ino};
}

// How many descriptors of this process are open on the file, found by what
// they point at, so that a removed file is still counted.
int handlesOn(const FileId &id)
{
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        struct stat status = {};
        if (::stat(QFile::encodeName(fds.filePath(fd)).constData(), &status) == 0 && status.st_dev == id.device
            && status.st_ino == id.inode) {
            ++count;
        }
    }
    return count;
}

// Waits until the clock that stamps files has passed the file's change time,
// so that the next write gives it a change time of its own even where the
// kernel stamps files at a coarse granularity.
bool waitPastChangeTime(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return false;
    }
    for (int attempt = 0; attempt < 2000; ++attempt) {
        timespec now = {};
        clock_gettime(CLOCK_REALTIME_COARSE, &now);
        if (now.tv_sec > status.st_ctim.tv_sec
            || (now.tv_sec == status.st_ctim.tv_sec && now.tv_nsec > status.st_ctim.tv_nsec)) {
            return true;
        }
        QThread::msleep(1);
    }
    return false;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Written through the same inode, as a plain file copy over the live file does.
bool writeInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QString firstSlot(const DayCursor &cursor)
{
    const std::optional<DayRecord> record = cursor.currentRecord();
    return record ? record->slots[0] : QStringLiteral("<aucun>");
}

} // namespace

QString TestCursorReuse::makeDatabase(const QString &name, const QString &firstSlot)
{
    const QString path = StoreTestDatabase::create(m_dir.path(), QStringLiteral("%1-%2.MDB").arg(name).arg(++m_count));
    const bool filled = !path.isEmpty()
                        && StoreTestDatabase::run(path, QStringLiteral("INSERT INTO RVOUS1(AGENDATE, RVOUS, COCHE) "
                                                                       "VALUES (%1, '%2', '1')")
                                                            .arg(Day)
                                                            .arg(firstSlot));
    return filled ? path : QString();
}

void TestCursorReuse::replacedBetweenPositionings_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("shown");   // the first slot shown afterwards, or empty when refused
    QTest::addColumn<QString>("message"); // part of the message when refused
    QTest::addColumn<int>("handlesOnOldFile");

    QTest::newRow("untouched: the same day is shown") << QStringLiteral("none") << Original << QString() << 1;
    QTest::newRow("another database renamed over the file is shown")
        << QStringLiteral("rename") << Restored << QString() << 0;
    // Same size, same header counters: only the file's change time tells it.
    QTest::newRow("another database copied over the file in place is shown")
        << QStringLiteral("copy") << Restored << QString() << 1;
    QTest::newRow("the file removed gives the missing-file message")
        << QStringLiteral("remove") << QString() << QStringLiteral("introuvable") << 0;
    QTest::newRow("a text file put in its place is refused")
        << QStringLiteral("text") << QString() << QStringLiteral("n'est pas une base") << 0;
    QTest::newRow("a legacy Access file copied over it is refused")
        << QStringLiteral("jet") << QString() << QStringLiteral("planora-admin convert") << 0;
}

void TestCursorReuse::replacedBetweenPositionings()
{
    QFETCH(QString, how);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    QFETCH(int, handlesOnOldFile);

    const QString path = makeDatabase(how, Original);
    const QString replacement = makeDatabase(QStringLiteral("restore"), Restored);
    QVERIFY(!path.isEmpty() && !replacement.isEmpty());
    QCOMPARE(QFileInfo(replacement).size(), QFileInfo(path).size());

    DayCursor cursor;
    QVERIFY(cursor.position(path, 1, Day).ok());
    QCOMPARE(firstSlot(cursor), Original);
    const std::optional<FileId> oldFile = idOf(path);
    QVERIFY(oldFile);
    QCOMPARE(handlesOn(*oldFile), 1);
    QVERIFY(waitPastChangeTime(path));

    if (how == u"rename") {
        QCOMPARE(std::rename(QFile::encodeName(replacement).constData(), QFile::encodeName(path).constData()), 0);
    } else if (how == u"copy") {
        QVERIFY(writeInPlace(path, contents(replacement)));
    } else if (how == u"remove" || how == u"text") {
        QVERIFY(QFile::remove(path));
        if (how == u"text") {
            QVERIFY(writeInPlace(path, "Ceci n'est pas une base de rendez-vous.\n"));
        }
    } else if (how == u"jet") {
        QVERIFY(writeInPlace(path, QByteArray("\0\1\0\0Standard Jet DB\0\0\0", 22)));
    }

    const Status status = cursor.position(path, 1, Day);
    if (message.isEmpty()) {
        QVERIFY2(status.ok(), qPrintable(status.message()));
        QVERIFY(cursor.found());
        QCOMPARE(firstSlot(cursor), shown);
    } else {
        QVERIFY(!status.ok());
        QVERIFY2(status.message().contains(message), qPrintable(status.message()));
        QVERIFY(!cursor.isOpen());
        QVERIFY(!cursor.currentRecord().has_value());
    }
    QCOMPARE(handlesOn(*oldFile), handlesOnOldFile);
}

void TestCursorReuse::savesSeenByNextPositioning_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<int>("date");

    QTest::newRow("another workstation saves the shown day") << QStringLiteral("cursor") << int(Day);
    QTest::newRow("another workstation saves a day that had no row") << QStringLiteral("cursor") << int(Day + 1);
    QTest::newRow("another program updates the row with plain SQL") << QStringLiteral("sql") << int(Day);
}

void TestCursorReuse::savesSeenByNextPositioning()
{
    QFETCH(QString, writer);
    QFETCH(int, date);

    const QString path = makeDatabase(QStringLiteral("saves"), Original);
    QVERIFY(!path.isEmpty());
    DayCursor cursor;
    QVERIFY(cursor.position(path, 1, date).ok());
    QCOMPARE(cursor.found(), date == Day);

    DayRecord saved;
    saved.slots[0] = Restored;
    if (writer == u"cursor") {
        DayCursor other;
        QVERIFY(other.save(path, 1, date, saved).ok());
    } else {
        QVERIFY(StoreTestDatabase::run(
            path, QStringLiteral("UPDATE RVOUS1 SET RVOUS = '%1' WHERE AGENDATE = %2").arg(Restored).arg(date)));
    }

    QVERIFY(cursor.position(path, 1, date).ok());
    QVERIFY(cursor.found());
    QCOMPARE(firstSlot(cursor), Restored);
    QCOMPARE(cursor.currentDateNumber(), date);
}

void TestCursorReuse::keptConnectionFollowsFile_data()
{
    QTest::addColumn<QString>("otherSql");   // run by another connection while ours stays open
    QTest::addColumn<QString>("field");      // read on our connection afterwards
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("slotsAfter"); // RVOUS as read afterwards

    QTest::newRow("a day written elsewhere")
        << QStringLiteral("UPDATE RVOUS1 SET RVOUS = 'RESTAURE', COCHE = '0'") << QStringLiteral("COCHE")
        << QStringLiteral("0") << Restored;
    QTest::newRow("a column added elsewhere is a field")
        << QStringLiteral("ALTER TABLE RVOUS1 ADD COLUMN REMARQUE TEXT DEFAULT 'ajoutée'")
        << QStringLiteral("REMARQUE") << QStringLiteral("ajoutée") << Original;
    // The fields after a dropped one move up: reading them by their old
    // places would give the neighbour's value.
    QTest::newRow("fields after a dropped column keep their values")
        << QStringLiteral("ALTER TABLE RVOUS1 DROP COLUMN Bloc") << QStringLiteral("COCHE") << QStringLiteral("1")
        << Original;
    QTest::newRow("a table dropped and made again with other columns")
        << QStringLiteral("DROP TABLE RVOUS1; CREATE TABLE RVOUS1 (AGENDATE INTEGER, COCHE TEXT, RVOUS TEXT);"
                          "INSERT INTO RVOUS1 VALUES (37986, 'neuf', 'RESTAURE')")
        << QStringLiteral("COCHE") << QStringLiteral("neuf") << Restored;
}

void TestCursorReuse::keptConnectionFollowsFile()
{
    QFETCH(QString, otherSql);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    QFETCH(QString, slotsAfter);

    const QString path = makeDatabase(QStringLiteral("kept"), Original);
    QVERIFY(!path.isEmpty());
    const QString sqlText = QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE");
    const QString criterion = QStringLiteral("AGENDATE=%1").arg(Day);

    // The engine never reopens by itself: one connection throughout.
    Database database;
    QVERIFY(database.open(path).ok());
    std::unique_ptr<View> view;
    QVERIFY(database.openView(sqlText, view).ok());
    QVERIFY(view->findFirst(criterion).ok());
    QCOMPARE(view->text(QStringLiteral("RVOUS")), Original);
    QCOMPARE(view->text(QStringLiteral("COCHE")), QStringLiteral("1"));
    view.reset();

    QVERIFY(StoreTestDatabase::run(path, otherSql));

    QVERIFY(database.openView(sqlText, view).ok());
    QVERIFY(view->findFirst(criterion).ok());
    QVERIFY(!view->noMatch());
    QCOMPARE(view->text(QStringLiteral("RVOUS")), slotsAfter);
    QVERIFY(view->hasField(field));
    QCOMPARE(view->text(field), expected);
    QVERIFY(view->reread().ok());
    QCOMPARE(view->text(QStringLiteral("RVOUS")), slotsAfter);
}

void TestCursorReuse::fileReleased_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<bool>("closed"); // whether the cursor is closed afterwards

    QTest::newRow("close() after a positioning") << QStringLiteral("close") << true;
    QTest::newRow("close() after a save") << QStringLiteral("save") << true;
    QTest::newRow("a positioning for a user that does not exist") << QStringLiteral("user") << true;
    QTest::newRow("a positioning on another database") << QStringLiteral("other") << false;
}

void TestCursorReuse::fileReleased()
{
    QFETCH(QString, ending);
    QFETCH(bool, closed);

    const QString path = makeDatabase(QStringLiteral("released"), Original);
    const QString replacement = makeDatabase(QStringLiteral("restore"), Restored);
    QVERIFY(!path.isEmpty() && !replacement.isEmpty());
    const std::optional<FileId> file = idOf(path);
    QVERIFY(file);

    DayCursor cursor;
    QVERIFY(cursor.position(path, 1, Day).ok());
    QCOMPARE(firstSlot(cursor), Original);
    QCOMPARE(handlesOn(*file), 1);

    if (ending == u"close") {
        cursor.close();
    } else if (ending == u"save") {
        DayRecord record;
        record.slots[0] = Original;
        QVERIFY(cursor.save(path, 1, Day, record).ok());
        cursor.close();
    } else if (ending == u"user") {
        QVERIFY(!cursor.position(path, 7, Day).ok());
    } else {
        QVERIFY(cursor.position(replacement, 1, Day).ok());
    }
    QCOMPARE(handlesOn(*file), 0);
    QCOMPARE(cursor.isOpen(), !closed);
    QCOMPARE(cursor.sqlText().isEmpty(), closed);

    // Released, the file can be copied over as a restore does, and the next
    // positioning opens what is there now.
    QVERIFY(writeInPlace(path, contents(replacement)));
    QVERIFY(cursor.position(path, 1, Day).ok());
    QCOMPARE(firstSlot(cursor), Restored);
}

void TestCursorReuse::noLockBetweenOperations_data()
{
    QTest::addColumn<QString>("operation");

    QTest::newRow("a positioning on a day with its row, and reading it") << QStringLiteral("found");
    QTest::newRow("a positioning on a day without row") << QStringLiteral("missing");
    QTest::newRow("the search window's positioning") << QStringLiteral("search");
    QTest::newRow("a save, then a positioning") << QStringLiteral("save");
    QTest::newRow("moving through a view and counting its rows") << QStringLiteral("walk");
}

void TestCursorReuse::noLockBetweenOperations()
{
    QFETCH(QString, operation);

    const QString path = makeDatabase(QStringLiteral("lock"), Original);
    QVERIFY(!path.isEmpty());
    QVERIFY(StoreTestDatabase::run(path, QStringLiteral("INSERT INTO RVOUS1(AGENDATE) VALUES (37990), (37995)")));
    DayCursor cursor;
    Database database;
    std::unique_ptr<View> view;
    // Twice, so that the second run goes through the kept connection and
    // the statements prepared by the first.
    for (int round = 0; round < 2; ++round) {
        if (operation == u"found") {
            QVERIFY(cursor.position(path, 1, Day).ok());
            QVERIFY(cursor.currentRecord().has_value());
        } else if (operation == u"missing") {
            QVERIFY(cursor.position(path, 1, Day + 1).ok());
            QVERIFY(!cursor.found());
        } else if (operation == u"search") {
            QVERIFY(cursor.positionForSearch(path, 1, Day).ok());
            QVERIFY(cursor.found());
        } else if (operation == u"save") {
            QVERIFY(cursor.save(path, 1, Day, DayRecord{}).ok());
            QVERIFY(cursor.position(path, 1, Day + 4).ok());
        } else {
            QVERIFY(database.isOpen() || database.open(path).ok());
            QVERIFY(database.openView(QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE"), view).ok());
            QVERIFY(view->moveFirst().ok());
            QVERIFY(view->moveNext().ok()); // stops on a row: its statement stepped no further
            qint64 count = 0;
            QVERIFY(view->rowCount(count).ok());
            QCOMPARE(count, 3);
        }

        // Another workstation can take the write lock at once.
        SqliteConnection other;
        QCOMPARE(other.open(path, SqliteConnection::Mode::ReadWrite), 0);
        other.setBusyTimeout(0);
        QCOMPARE(other.exec("BEGIN EXCLUSIVE"), 0);
        QCOMPARE(other.exec("ROLLBACK"), 0);
    }
}

void TestCursorReuse::successivePositionings_data()
{
    QTest::addColumn<QString>("first"); // user/date, "s" in front for the search window's positioning
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("sqlText");
    QTest::addColumn<QString>("shown"); // first slot after the second positioning

    const QString byDate1 = QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE");
    QTest::newRow("user 1, then user 2 on the same day")
        << QStringLiteral("1/37986") << QStringLiteral("2/37986")
        << QStringLiteral("SELECT*FROM RVOUS2 ORDER BY AGENDATE") << QStringLiteral("DEUX");
    QTest::newRow("a day with its row, then one without") << QStringLiteral("1/37986") << QStringLiteral("1/37987")
                                                          << byDate1 << QStringLiteral("<aucun>");
    QTest::newRow("the search window's, then the day view's")
        << QStringLiteral("s2/37986") << QStringLiteral("1/37986") << byDate1 << Original;
    QTest::newRow("the day view's, then the search window's")
        << QStringLiteral("1/37986") << QStringLiteral("s2/37986")
        << QStringLiteral("SELECT*FROM RVOUS2 WHERE AGENDATE =37986") << QStringLiteral("DEUX");
}

void TestCursorReuse::successivePositionings()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, sqlText);
    QFETCH(QString, shown);

    const QString path = makeDatabase(QStringLiteral("successive"), Original);
    QVERIFY(!path.isEmpty());
    QVERIFY(StoreTestDatabase::run(path, QStringLiteral("INSERT INTO RVOUS2(AGENDATE, RVOUS) VALUES (37986, 'DEUX')")));

    DayCursor cursor;
    const auto position = [&](QString step) {
        const bool forSearch = step.startsWith(u's');
        if (forSearch) {
            step.remove(0, 1);
        }
        const int user = step.section(u'/', 0, 0).toInt();
        const qint32 date = step.section(u'/', 1, 1).toInt();
        return forSearch ? cursor.positionForSearch(path, user, date) : cursor.position(path, user, date);
    };
    QVERIFY(position(first).ok());
    QVERIFY(position(second).ok());
    QCOMPARE(cursor.sqlText(), sqlText);
    QCOMPARE(cursor.user(), second.section(u'/', 0, 0).remove(u's').toInt());
    QCOMPARE(firstSlot(cursor), shown);
    QCOMPARE(cursor.found(), shown != u"<aucun>");
}

void TestCursorReuse::nestedUseOfOneText()
{
    // A text already in use further up the call gets a statement of its own:
    // sharing one would reset the outer query under its feet.
    const QString path = makeDatabase(QStringLiteral("nested"), Original);
    QVERIFY(StoreTestDatabase::run(path, QStringLiteral("INSERT INTO RVOUS1(AGENDATE) VALUES (37990)")));
    auto connection = std::make_shared<SqliteConnection>();
    QCOMPARE(connection->open(path, SqliteConnection::Mode::ReadOnly), 0);
    StatementCache cache(connection);
    const QString sql = QStringLiteral("SELECT AGENDATE FROM RVOUS1 WHERE AGENDATE >= ?1 ORDER BY AGENDATE");

    StatementCache::Use outer(cache, sql);
    QCOMPARE(outer.resultCode(), 0);
    outer.statement().bind(1, qint64(0));
    QCOMPARE(outer.statement().step(), SqliteStatement::Step::Row);
    QCOMPARE(outer.statement().integer(0), qint64(Day));
    {
        StatementCache::Use inner(cache, sql);
        QCOMPARE(inner.resultCode(), 0);
        inner.statement().bind(1, qint64(37990));
        QCOMPARE(inner.statement().step(), SqliteStatement::Step::Row);
        QCOMPARE(inner.statement().integer(0), qint64(37990));
    }
    QCOMPARE(outer.statement().integer(0), qint64(Day));
    QCOMPARE(outer.statement().step(), SqliteStatement::Step::Row);
    QCOMPARE(outer.statement().integer(0), qint64(37990));
    QCOMPARE(outer.statement().step(), SqliteStatement::Step::Done);
}

void TestCursorReuse::evictionSparesStatementsInUse()
{
    auto connection = std::make_shared<SqliteConnection>();
    const QString path = makeDatabase(QStringLiteral("eviction"), Original);
    QCOMPARE(connection->open(path, SqliteConnection::Mode::ReadOnly), 0);
    StatementCache cache(connection);

    StatementCache::Use held(cache, QStringLiteral("SELECT RVOUS FROM RVOUS1"));
    QCOMPARE(held.statement().step(), SqliteStatement::Step::Row);
    for (std::size_t i = 0; i < 2 * StatementCache::MaxStatements; ++i) {
        StatementCache::Use other(cache, QStringLiteral("SELECT %1").arg(i));
        QCOMPARE(other.statement().step(), SqliteStatement::Step::Row);
        QCOMPARE(other.statement().integer(0), qint64(i));
        QVERIFY(cache.size() <= StatementCache::MaxStatements);
    }
    QCOMPARE(held.statement().text(0), Original);
}

QTEST_GUILESS_MAIN(TestCursorReuse)
#include "tst_cursorreuse.moc"
