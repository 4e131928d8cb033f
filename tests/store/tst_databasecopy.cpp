#include "databasecopy.h"
#include "refusedwrites.h"
#include "schemasteps.h"
#include "storetesttable.h"

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
    // changed by the SQL of "no RVOUS6", "no COCHE", "version 1" (made before
    // the day history), "truncated"), another file ("garbage", "empty"),
    // "folder"; "missing" makes nothing.
    void makeSource(const QString &kind, const QString &path)
    {
        QString history = u"DROP TABLE HISTORIQUE; PRAGMA user_version = 1;"_s;
        for (int user = 1; user <= 6; ++user)
            history += u"DROP TRIGGER RVOUS%1_HISTORIQUE_MAJ; DROP TRIGGER RVOUS%1_HISTORIQUE_SUPPR;"_s.arg(user);
        const QHash<QString, QString> changes = {
            {u"good"_s, QString()}, {u"no RVOUS6"_s, u"DROP TABLE RVOUS6"_s},
            {u"no COCHE"_s, u"DROP TRIGGER RVOUS3_HISTORIQUE_MAJ; DROP TRIGGER RVOUS3_HISTORIQUE_SUPPR; "
                            "ALTER TABLE RVOUS3 DROP COLUMN COCHE"_s}, {u"version 1"_s, history},
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

    // A backup checks the database it copies, then the copy, as check() does.
    void snapshot_data()
    {
        columns<QString, QString, Outcome>("source", "destination", "expected");
        row("first backup", u"good"_s, u"fresh"_s, Outcome::Done);
        row("source is a folder", u"folder"_s, u"fresh"_s, Outcome::SourceUnreadable);
        row("source not SQLite", u"garbage"_s, u"fresh"_s, Outcome::NotPlanora);
        row("source empty, which SQLite would open", u"empty"_s, u"fresh"_s, Outcome::NotPlanora);
        row("source with a table missing", u"no RVOUS6"_s, u"fresh"_s, Outcome::NotPlanora);
        row("source with a field missing", u"no COCHE"_s, u"fresh"_s, Outcome::NotPlanora);
        row("source cut short", u"truncated"_s, u"fresh"_s, Outcome::Damaged);
        row("over an earlier backup, without asking", u"good"_s, u"earlier copy"_s, Outcome::Done);
        row("folder that cannot be written", u"good"_s, u"read-only folder"_s, Outcome::TargetUnwritable);
        row("a folder where the copy goes", u"good"_s, u"is a folder"_s, Outcome::TargetUnwritable);
        row("onto the database itself", u"good"_s, u"the source"_s, Outcome::SameFile);
        row("no database to copy, earlier backup kept", u"missing"_s, u"earlier copy"_s, Outcome::SourceMissing);
    }

    void snapshot()
    {
        const auto [source, destination, expected] =
            fetch<QString, QString, Outcome>("source", "destination", "expected");
        const QString live = QDir(folder(u"live"_s)).filePath(u"AGENDAS.MDB"_s);
        makeSource(source, live);
        const QString target = folder(u"backup"_s);
        const QString copy = destination == u"the source" ? live : QDir(target).filePath(u"AGENDAS.MDB"_s);
        QVERIFY(destination != u"earlier copy" || QFile::rename(practice(u"ancien"_s), copy));
        QVERIFY(destination != u"is a folder" || QDir().mkpath(copy));
        const QByteArray earlier = StoreTestDatabase::contents(copy), sourceBefore = StoreTestDatabase::contents(live);
        const QStringList filesBefore = QDir(target).entryList(QDir::Files);
        const bool readOnly = destination == u"read-only folder";
        QVERIFY(!readOnly || QFile::setPermissions(target, QFileDevice::Permissions(0x5555))); // r-x for all
        const DatabaseCopy::Result result = [&] {
            const auto nobody = readOnly ? std::optional(asOrdinaryUser()) : std::nullopt;
            return DatabaseCopy::snapshot(live, copy);
        }();

        QCOMPARE(result.outcome, expected);
        QCOMPARE(StoreTestDatabase::contents(live), sourceBefore);
        QVERIFY(!DatabaseCopy::describe(result, live).isEmpty());
        if (expected != Outcome::Done) {
            QCOMPARE(StoreTestDatabase::contents(copy), earlier);
            QCOMPARE(QDir(target).entryList(QDir::Files), filesBefore); // no temporary file left
            return;
        }
        QCOMPARE(agendaContent(copy), agendaContent(live));
        QCOMPARE(dayOneOf(copy, 6), u"sauvegardé"_s);
        QCOMPARE(DatabaseCopy::check(copy).outcome, Outcome::Done);
        QCOMPARE(QDir(target).entryList(QDir::Files), QStringList{u"AGENDAS.MDB"_s});
        // Other workstations' users read the backup too (umask 022 here).
        QVERIFY(QFile::permissions(copy).testFlags(QFileDevice::ReadGroup | QFileDevice::ReadOther));
    }

    // Another workstation (store_holdwrite) is in the middle of a save while
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
        other.start(QStringLiteral(STORE_HOLDWRITE), {live, spill, u"1500"_s});
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

    void restore_data()
    {
        // live: "good", "garbage", "missing", "read-only"
        columns<QString, QString, Outcome>("backup", "live", "expected");
        row("good backup named otherwise", u"good"_s, u"good"_s, Outcome::Done);
        row("backup from before the day history: brought up to date", u"version 1"_s, u"good"_s, Outcome::Done);
        row("garbage refused", u"garbage"_s, u"good"_s, Outcome::NotPlanora);
        row("damaged backup refused", u"truncated"_s, u"good"_s, Outcome::Damaged);
        row("backup gone", u"missing"_s, u"good"_s, Outcome::SourceMissing);
        row("live database damaged: kept as it was, replaced", u"good"_s, u"garbage"_s, Outcome::Done);
        row("no live database: the backup put in its place", u"good"_s, u"missing"_s, Outcome::Done);
        row("the live database itself", u"the live one"_s, u"good"_s, Outcome::SameFile);
        row("live database read-only", u"good"_s, u"read-only"_s, Outcome::TargetUnwritable);
    }

    void restore()
    {
        const auto [backup, live, expected] = fetch<QString, QString, Outcome>("backup", "live", "expected");
        const QString liveFolder = folder(u"live"_s);
        const QString livePath = QDir(liveFolder).filePath(u"AGENDAS.MDB"_s);
        // The live one named through "..", as a picked file could be.
        const QString backupPath = backup == u"the live one"
                                       ? liveFolder + u"/../"_s + QFileInfo(liveFolder).fileName() + u"/AGENDAS.MDB"_s
                                       : QDir(folder(u"backup"_s)).filePath(u"copie du lundi.db"_s);
        if (backup != u"the live one")
            makeSource(backup, backupPath);
        const bool readOnly = live == u"read-only";
        makeSource(readOnly ? u"good"_s : live, livePath);
        QVERIFY(live == u"garbage" || live == u"missing"
                || StoreTestDatabase::run(livePath, u"UPDATE RVOUS1 SET RVOUS='actuel' WHERE AGENDATE=1; "
                                                    "INSERT INTO RVOUS5 (AGENDATE, RVOUS) VALUES (9, 'neuf')"_s));
        const QByteArray liveBefore = StoreTestDatabase::contents(livePath);
        const QString contentBefore = agendaContent(livePath);
        const QString safety = DatabaseCopy::safetyCopyPath(livePath, QDateTime::currentDateTime());
        // Another workstation, its connection already open on the live file.
        SqliteConnection workstation;
        QVERIFY(live != u"good" || workstation.open(livePath, SqliteConnection::Mode::ReadOnly) == SQLITE_OK);
        QVERIFY(!readOnly || QFile::setPermissions(livePath, QFileDevice::Permissions(0x4444))); // r-- for all
        const DatabaseCopy::Result result = [&] {
            const auto nobody = readOnly ? std::optional(asOrdinaryUser()) : std::nullopt;
            return DatabaseCopy::restore(backupPath, livePath, safety);
        }();

        QVERIFY2(result.outcome == expected, qPrintable(DatabaseCopy::describe(result, livePath)));
        if (expected != Outcome::Done) {
            QCOMPARE(StoreTestDatabase::contents(livePath), liveBefore);
            QVERIFY(readOnly || !QFile::exists(safety)); // refused before anything was written
            return;
        }
        QCOMPARE(agendaContent(livePath), agendaContent(backupPath));
        QCOMPARE(dayOneOf(livePath, 1), u"sauvegardé"_s);
        QCOMPARE(DatabaseCopy::check(livePath).outcome, Outcome::Done);
        if (live == u"missing")
            QVERIFY(!QFile::exists(safety));
        else if (live == u"garbage")
            QCOMPARE(StoreTestDatabase::contents(safety), liveBefore);
        else {
            QVERIFY(agendaContent(safety) == contentBefore && contentBefore.contains(u"5:9:neuf"_s));
            // The workstation's own connection reads the restored day.
            SqliteStatement read;
            QVERIFY(read.prepare(workstation.handle(), u"SELECT RVOUS FROM RVOUS1 WHERE AGENDATE=1"_s) == SQLITE_OK
                    && read.step() == SqliteStatement::Step::Row);
            QCOMPARE(read.text(0), u"sauvegardé"_s);
        }
        QCOMPARE(QDir(liveFolder).entryList(QDir::Files).size(), live == u"missing" ? 1 : 2);
        // The history goes on: the replaced day is kept.
        QCOMPARE(StoreTestDatabase::scalar(livePath, u"PRAGMA user_version"_s).toInt(),
                 SchemaUpgrade::currentVersion());
        QVERIFY(StoreTestDatabase::run(livePath, u"UPDATE RVOUS1 SET RVOUS='corrigé' WHERE AGENDATE=1"_s));
        QCOMPARE(StoreTestDatabase::scalar(livePath, u"SELECT count(*) FROM HISTORIQUE WHERE AGENDATE=1"_s).toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseCopy)
#include "tst_databasecopy.moc"
