#include "databasecopy.h"
#include "refusedwrites.h"
#include "schemasteps.h"
#include "storetesttable.h"

#include <QThread>

#include <sys/stat.h>

using DatabaseCopy::Outcome;
Q_DECLARE_METATYPE(DatabaseCopy::Outcome)

namespace {

// Every stored day of the six tables, as one text; empty when unreadable.
QString agendaContent(const QString &path)
{
    QStringList lines;
    for (int user = 1; user <= 6; ++user) {
        const QString sql = u"SELECT %1, AGENDATE, RVOUS, COCHE FROM RVOUS%1 ORDER BY AGENDATE"_s.arg(user);
        for (const QVariantList &row : StoreTestDatabase::rows(path, sql))
            lines << u"%1:%2:%3:%4"_s.arg(row[0].toString(), row[1].toString(), row[2].toString(), row[3].toString());
    }
    return lines.join(u'\n');
}

QString dayOneOf(const QString &path, int user)
{
    return StoreTestDatabase::scalar(path, u"SELECT RVOUS FROM RVOUS%1 WHERE AGENDATE=1"_s.arg(user)).toString();
}

// Another workstation in the middle of a save, this program started again as
// `--hold <database> <spill> <holdMs>`: it opens a write transaction, changes
// day 1 of RVOUS1 and of RVOUS6 to "nouveau" and, when <spill> is 1, adds
// enough rows to RVOUS2 to spill its page cache into the file (which takes
// the exclusive lock at once). Prints "held" then, keeps the transaction open
// <holdMs> ms, commits and prints "committed".
int holdWrite(const QStringList &args)
{
    const bool spill = args[3] == u"1";
    const QByteArray sql =
        QByteArray(spill ? "PRAGMA cache_size=10;" : "")
        + "BEGIN IMMEDIATE; UPDATE RVOUS1 SET RVOUS='nouveau' WHERE AGENDATE=1;"
          " UPDATE RVOUS6 SET RVOUS='nouveau' WHERE AGENDATE=1;"
        + (spill ? "WITH RECURSIVE n(i) AS (SELECT 1000 UNION ALL SELECT i + 1 FROM n WHERE i < 2999)"
                   " INSERT INTO RVOUS2 (AGENDATE, RVOUS) SELECT i, printf('%.500c', 'x') FROM n;"
                 : "");
    SqliteConnection db;
    if (db.open(args[2], SqliteConnection::Mode::ReadWrite) != SQLITE_OK)
        return 1;
    db.setBusyTimeout(30000); // the commit waits for the backup's read to end
    if (db.exec(sql.constData()) != SQLITE_OK)
        return 1;
    std::printf("held\n");
    std::fflush(stdout);
    QThread::msleep(args[4].toULong());
    const bool committed = db.exec("COMMIT") == SQLITE_OK;
    std::printf(committed ? "committed\n" : "failed\n");
    return committed ? 0 : 1;
}

} // namespace

class TestDatabaseCopy : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_case = 0;

    // A fresh folder of this test case, open to every user so that a test
    // running as "nobody" can still read it.
    QString folder(const QString &name)
    {
        const QString path = m_dir.filePath(u"%1-%2"_s.arg(++m_case).arg(name));
        QDir().mkpath(path);
        QFile::setPermissions(path, QFileDevice::Permissions(0x7777));
        return path;
    }

    // A database of the practice holding day 1 of users 1 and 6 as `text`.
    QString practice(const QString &text)
    {
        const QString made = StoreTestDatabase::create(
            folder(u"made"_s), u"INSERT INTO RVOUS1 (AGENDATE, RVOUS) VALUES (1, '%1'); "
                               "INSERT INTO RVOUS6 (AGENDATE, RVOUS) VALUES (1, '%1');"_s.arg(text));
        QFile::setPermissions(made, QFileDevice::Permissions(0x6666));
        return made;
    }

    // A file of the given kind at path: a practice's database ("good", or
    // changed by the SQL of "no RVOUS6", "version 1" (made before the day
    // history), "truncated"), another file ("garbage", "empty"),
    // "folder"; "missing" makes nothing.
    void makeSource(const QString &kind, const QString &path)
    {
        QString history = u"DROP TABLE HISTORIQUE; PRAGMA user_version = 1;"_s;
        for (int user = 1; user <= 6; ++user)
            history += u"DROP TRIGGER RVOUS%1_HISTORIQUE_MAJ; DROP TRIGGER RVOUS%1_HISTORIQUE_SUPPR;"_s.arg(user);
        const QHash<QString, QString> changes = {
            {u"good"_s, QString()}, {u"no RVOUS6"_s, u"DROP TABLE RVOUS6"_s}, {u"version 1"_s, history},
            {u"truncated"_s, u"WITH RECURSIVE n(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM n WHERE i < 400)"
                             " INSERT INTO RVOUS4 (AGENDATE, RVOUS) SELECT i, printf('%.300c', 'y') FROM n"_s}};
        const QHash<QString, QByteArray> files = {{u"garbage"_s, QByteArray(4096, 'z')}, {u"empty"_s, QByteArray()}};
        if (changes.contains(kind))
            QVERIFY(QFile::rename(practice(kind == u"truncated" ? u"x"_s : u"sauvegardé"_s), path)
                    && (changes[kind].isEmpty() || StoreTestDatabase::run(path, changes[kind])));
        else if (files.contains(kind))
            QVERIFY(StoreTestDatabase::write(path, files[kind]));
        else if (kind == u"folder")
            QVERIFY(QDir().mkpath(path));
        else
            QCOMPARE(kind, u"missing"_s);
        QVERIFY(kind != u"truncated"
                || StoreTestDatabase::write(path, StoreTestDatabase::contents(path).first(QFileInfo(path).size() / 2)));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        ::umask(022);
        QVERIFY(QFile::setPermissions(m_dir.path(), QFileDevice::Permissions(0x7777)));
    }

    // A backup, or a restore of one over the live database: either checks the
    // database it copies, then the copy, as check() does.
    void copy_data()
    {
        // restore: the source restored over the target, else backed up there; source, target: a file of that
        // kind (see makeSource), the target also "read-only" (the live database, or the folder of the backup)
        // or "the source" itself
        columns<bool, QString, QString, Outcome>("restore", "source", "target", "expected");
        row("first backup", false, u"good"_s, u"missing"_s, Outcome::Done);
        row("source is a folder", false, u"folder"_s, u"missing"_s, Outcome::SourceUnreadable);
        row("source not SQLite", false, u"garbage"_s, u"missing"_s, Outcome::NotPlanora);
        row("source empty, which SQLite would open", false, u"empty"_s, u"missing"_s, Outcome::NotPlanora);
        row("source with a table missing", false, u"no RVOUS6"_s, u"missing"_s, Outcome::NotPlanora);
        row("source cut short", false, u"truncated"_s, u"missing"_s, Outcome::Damaged);
        row("over an earlier backup, without asking", false, u"good"_s, u"good"_s, Outcome::Done);
        row("folder that cannot be written", false, u"good"_s, u"read-only"_s, Outcome::TargetUnwritable);
        row("a folder where the copy goes", false, u"good"_s, u"folder"_s, Outcome::TargetUnwritable);
        row("backup onto the database itself", false, u"good"_s, u"the source"_s, Outcome::SameFile);
        row("no database to copy, earlier backup kept", false, u"missing"_s, u"good"_s, Outcome::SourceMissing);
        row("restore of a backup named otherwise", true, u"good"_s, u"good"_s, Outcome::Done);
        row("backup from before the day history: brought up to date", true, u"version 1"_s, u"good"_s,
            Outcome::Done);
        row("damaged backup refused", true, u"truncated"_s, u"good"_s, Outcome::Damaged);
        row("live database damaged: kept as it was, replaced", true, u"good"_s, u"garbage"_s, Outcome::Done);
        row("no live database: the backup put in its place", true, u"good"_s, u"missing"_s, Outcome::Done);
        row("restore of the live database itself", true, u"good"_s, u"the source"_s, Outcome::SameFile);
        row("live database read-only", true, u"good"_s, u"read-only"_s, Outcome::TargetUnwritable);
    }

    void copy()
    {
        const auto [restore, source, target, expected] =
            fetch<bool, QString, QString, Outcome>("restore", "source", "target", "expected");
        const QString targetFolder = folder(u"target"_s);
        const QString targetPath = QDir(targetFolder).filePath(u"AGENDAS.MDB"_s);
        const bool readOnly = target == u"read-only", itself = target == u"the source";
        // The target itself named through "..", as a picked file could be.
        const QString sourcePath = itself ? u"%1/../%2/AGENDAS.MDB"_s.arg(targetFolder, QDir(targetFolder).dirName())
                                          : QDir(folder(u"source"_s)).filePath(u"copie du lundi.db"_s);
        if (!itself)
            makeSource(source, sourcePath);
        // A database with changes of its own: an earlier backup, or the live database.
        const bool good = target == u"good" || itself || (readOnly && restore);
        makeSource(good ? u"good"_s : readOnly ? u"missing"_s : target, targetPath);
        QVERIFY(!good
                || StoreTestDatabase::run(targetPath, u"UPDATE RVOUS1 SET RVOUS='actuel' WHERE AGENDATE=1; "
                                                      "INSERT INTO RVOUS5 (AGENDATE, RVOUS) VALUES (9, 'neuf')"_s));
        const QByteArray targetBefore = StoreTestDatabase::contents(targetPath);
        const QByteArray sourceBefore = StoreTestDatabase::contents(sourcePath);
        const QString contentBefore = agendaContent(targetPath);
        const qsizetype filesBefore = QDir(targetFolder).entryList(QDir::Files).size();
        const QString safety = DatabaseCopy::safetyCopyPath(targetPath, QDateTime::currentDateTime());
        // Another workstation, its connection already open on the target.
        SqliteConnection workstation;
        QVERIFY(!good || workstation.open(targetPath, SqliteConnection::Mode::ReadOnly) == SQLITE_OK);
        const QString refusing = restore ? targetPath : targetFolder; // the live database, or the backup's folder
        QVERIFY(!readOnly || QFile::setPermissions(refusing, QFileDevice::Permissions(0x5555))); // r-x for all
        const DatabaseCopy::Result result = [&] {
            const auto nobody = readOnly ? std::optional(asOrdinaryUser()) : std::nullopt;
            return restore ? DatabaseCopy::restore(sourcePath, targetPath, safety)
                           : DatabaseCopy::snapshot(sourcePath, targetPath);
        }();

        QVERIFY2(result.outcome == expected, qPrintable(DatabaseCopy::describe(result, targetPath)));
        QCOMPARE(StoreTestDatabase::contents(sourcePath), sourceBefore);
        if (expected != Outcome::Done) {
            QCOMPARE(StoreTestDatabase::contents(targetPath), targetBefore);
            // No temporary file left; no safety copy but of a live database that then refused the restore.
            QCOMPARE(QDir(targetFolder).entryList(QDir::Files).size(), filesBefore + (restore && readOnly));
            return;
        }
        QCOMPARE(agendaContent(targetPath), agendaContent(sourcePath));
        QCOMPARE(dayOneOf(targetPath, 6), u"sauvegardé"_s);
        QCOMPARE(DatabaseCopy::check(targetPath).outcome, Outcome::Done);
        // Other workstations' users read the copy too (umask 022 here).
        QVERIFY(QFile::permissions(targetPath).testFlags(QFileDevice::ReadGroup | QFileDevice::ReadOther));
        // A restore keeps the database it replaces beside it: as it was, or its bytes when it is no database.
        QCOMPARE(QDir(targetFolder).entryList(QDir::Files).size(), restore && target != u"missing" ? 2 : 1);
        if (restore && target == u"garbage")
            QCOMPARE(StoreTestDatabase::contents(safety), targetBefore);
        else if (restore && good) {
            QVERIFY(agendaContent(safety) == contentBefore && contentBefore.contains(u"5:9:neuf"_s));
            // The workstation's own connection reads the restored day.
            SqliteStatement read;
            QVERIFY(read.prepare(workstation.handle(), u"SELECT RVOUS FROM RVOUS1 WHERE AGENDATE=1"_s) == SQLITE_OK
                    && read.step() == SqliteStatement::Step::Row);
            QCOMPARE(read.text(0), u"sauvegardé"_s);
        }
        // The history goes on: the replaced day is kept.
        QCOMPARE(StoreTestDatabase::scalar(targetPath, u"PRAGMA user_version"_s).toInt(),
                 SchemaUpgrade::currentVersion());
        QVERIFY(StoreTestDatabase::run(targetPath, u"UPDATE RVOUS1 SET RVOUS='corrigé' WHERE AGENDATE=1"_s));
        QCOMPARE(StoreTestDatabase::scalar(targetPath, u"SELECT count(*) FROM HISTORIQUE WHERE AGENDATE=1"_s).toInt(),
                 1);
    }

    // Another workstation (see holdWrite) is in the middle of a save while
    // the backup runs: the copy is the day before the save or after it,
    // whole, never a mix.
    void snapshotWhileAnotherSaves_data()
    {
        columns<QString, QString, int>("spill", "expected", "addedDays");
        row("save still in its own memory: the state before", u"0"_s, u"ancien"_s, 0);
        row("save already writing the file: the state after, once committed", u"1"_s, u"nouveau"_s, 2000);
    }

    void snapshotWhileAnotherSaves()
    {
        const auto [spill, expected, addedDays] = fetch<QString, QString, int>("spill", "expected", "addedDays");
        const QString live = practice(u"ancien"_s);
        const QString copy = QDir(folder(u"backup"_s)).filePath(u"AGENDAS.MDB"_s);
        QProcess other;
        other.start(QCoreApplication::applicationFilePath(), {u"--hold"_s, live, spill, u"1500"_s});
        QVERIFY(other.waitForReadyRead(30000));
        QCOMPARE(other.readLine().trimmed(), QByteArray("held"));

        const DatabaseCopy::Result result = DatabaseCopy::snapshot(live, copy, 30000);

        QVERIFY(other.waitForFinished(60000));
        QCOMPARE(other.readAll().trimmed(), QByteArray("committed"));
        QCOMPARE(result.outcome, Outcome::Done);
        QCOMPARE(DatabaseCopy::check(copy).outcome, Outcome::Done);
        QCOMPARE(dayOneOf(copy, 1), expected);
        QCOMPARE(dayOneOf(copy, 6), expected);
        QCOMPARE(StoreTestDatabase::scalar(copy, u"SELECT count(*) FROM RVOUS2"_s).toInt(), addedDays);
        QCOMPARE(dayOneOf(live, 6), u"nouveau"_s);
    }

    // The live database's name, kept after its last dot (none here, several there), stamped.
    void safetyCopyPath()
    {
        const QDateTime when(QDate(2026, 12, 6), QTime(14, 5, 9));
        QCOMPARE(DatabaseCopy::safetyCopyPath(u"/srv/agenda"_s, when),
                 u"/srv/agenda-avant-restauration-20261206-140509"_s);
        QCOMPARE(DatabaseCopy::safetyCopyPath(u"/srv/a.b/AGENDAS.2024.MDB"_s, when),
                 u"/srv/a.b/AGENDAS.2024-avant-restauration-20261206-140509.MDB"_s);
    }

};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == u"--hold")
        return holdWrite(app.arguments());
    TestDatabaseCopy test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_databasecopy.moc"
