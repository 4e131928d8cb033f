#include "refusedwrites.h"
#include "databasecopy.h"
#include "schemasteps.h"
#include "storetestdatabase.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using DatabaseCopy::Outcome;

Q_DECLARE_METATYPE(DatabaseCopy::Outcome)

namespace {

const QString DayOne = u"INSERT INTO RVOUS1 (AGENDATE, RVOUS) VALUES (1, '%1');"
                       u"INSERT INTO RVOUS6 (AGENDATE, RVOUS) VALUES (1, '%1');"_s;

// Every stored day of the six tables, as one text; empty when unreadable.
QString agendaContent(const QString &path)
{
    QStringList lines;
    for (int user = 1; user <= 6; ++user) {
        for (const QVariantList &row :
             StoreTestDatabase::rows(path, u"SELECT AGENDATE, RVOUS, COCHE FROM RVOUS%1 ORDER BY AGENDATE"_s.arg(user))) {
            lines << u"%1:%2:%3:%4"_s.arg(user).arg(row.value(0).toString(), row.value(1).toString(),
                                           row.value(2).toString());
        }
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

private:
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
    QString practice(const QString &where, const QString &text)
    {
        const QString made = StoreTestDatabase::create(where, DayOne.arg(text));
        QFile::setPermissions(made, QFileDevice::Permissions(0x6666));
        return made;
    }

    // A file of the given kind at path: "good", "garbage", "empty", "foreign"
    // (SQLite, other tables), "jet", "no RVOUS6", "no COCHE", "truncated",
    // "folder"; "missing" makes nothing.
    void makeSource(const QString &kind, const QString &path)
    {
        if (kind == "good"_L1) {
            QVERIFY(QFile::rename(practice(folder(u"made"_s), u"sauvegardé"_s), path));
        } else if (kind == "garbage"_L1) {
            QVERIFY(StoreTestDatabase::write(path, QByteArray(4096, 'z')));
        } else if (kind == "empty"_L1) {
            QVERIFY(StoreTestDatabase::write(path, QByteArray()));
        } else if (kind == "jet"_L1) {
            QVERIFY(StoreTestDatabase::write(path, StoreTestDatabase::JetHeader + QByteArray(2048, '\0')));
        } else if (kind == "foreign"_L1) {
            QVERIFY(StoreTestDatabase::run(path, u"CREATE TABLE patients (nom TEXT); INSERT INTO patients VALUES ('x');"_s));
        } else if (kind == "no RVOUS6"_L1 || kind == "no COCHE"_L1) {
            QVERIFY(QFile::rename(practice(folder(u"made"_s), u"sauvegardé"_s), path));
            QVERIFY(StoreTestDatabase::run(path, kind == "no RVOUS6"_L1 ? u"DROP TABLE RVOUS6"_s
                                                                          : u"DROP TRIGGER RVOUS3_HISTORIQUE_MAJ; DROP TRIGGER "
                                                                            "RVOUS3_HISTORIQUE_SUPPR; ALTER TABLE "
                                                                            "RVOUS3 DROP COLUMN COCHE"_s));
        } else if (kind == "version 1"_L1) { // made before the day history
            QVERIFY(QFile::rename(practice(folder(u"made"_s), u"sauvegardé"_s), path));
            QString drop = u"DROP TABLE HISTORIQUE; PRAGMA user_version = 1;"_s;
            for (int user = 1; user <= 6; ++user)
                drop += u"DROP TRIGGER RVOUS%1_HISTORIQUE_MAJ; DROP TRIGGER RVOUS%1_HISTORIQUE_SUPPR;"_s.arg(user);
            QVERIFY(StoreTestDatabase::run(path, drop));
        } else if (kind == "truncated"_L1) {
            const QString whole = practice(folder(u"made"_s), u"x"_s);
            QVERIFY(StoreTestDatabase::run(
                whole, u"WITH RECURSIVE n(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM n WHERE i < 400)"
                       u" INSERT INTO RVOUS4 (AGENDATE, RVOUS) SELECT i, printf('%.300c', 'y') FROM n"_s));
            const QByteArray bytes = StoreTestDatabase::contents(whole);
            QVERIFY(StoreTestDatabase::write(path, bytes.left(bytes.size() / 2)));
        } else if (kind == "folder"_L1) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QCOMPARE(kind, u"missing"_s);
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        ::umask(022);
        QVERIFY(QFile::setPermissions(m_dir.path(), QFileDevice::Permissions(0x7777)));
    }

    void check_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<Outcome>("expected");
        QTest::newRow("a practice's database") << u"good"_s << Outcome::Done;
        QTest::newRow("no file") << u"missing"_s << Outcome::SourceMissing;
        QTest::newRow("a folder") << u"folder"_s << Outcome::SourceUnreadable;
        QTest::newRow("not SQLite") << u"garbage"_s << Outcome::NotPlanora;
        QTest::newRow("empty file, which SQLite would open") << u"empty"_s << Outcome::NotPlanora;
        QTest::newRow("legacy Access file") << u"jet"_s << Outcome::NotPlanora;
        QTest::newRow("SQLite of another program") << u"foreign"_s << Outcome::NotPlanora;
        QTest::newRow("a table missing") << u"no RVOUS6"_s << Outcome::NotPlanora;
        QTest::newRow("a field missing") << u"no COCHE"_s << Outcome::NotPlanora;
        QTest::newRow("cut short") << u"truncated"_s << Outcome::Damaged;
    }

    void check()
    {
        QFETCH(QString, kind);
        QFETCH(Outcome, expected);
        const QString path = QDir(folder(u"check"_s)).filePath(u"copie.db"_s);
        makeSource(kind, path);
        const QByteArray before = StoreTestDatabase::contents(path);

        const DatabaseCopy::Result result = DatabaseCopy::check(path);

        QCOMPARE(result.outcome, expected);
        QCOMPARE(StoreTestDatabase::contents(path), before);
        QVERIFY(!DatabaseCopy::describe(result, path).isEmpty());
    }

    void snapshot_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destination"); // "fresh", "earlier copy", "read-only folder", "missing folder", "is a folder"
        QTest::addColumn<Outcome>("expected");
        QTest::newRow("first backup") << u"good"_s << u"fresh"_s << Outcome::Done;
        QTest::newRow("over an earlier backup, without asking") << u"good"_s << u"earlier copy"_s << Outcome::Done;
        QTest::newRow("folder that cannot be written") << u"good"_s << u"read-only folder"_s
                                                       << Outcome::TargetUnwritable;
        QTest::newRow("folder gone") << u"good"_s << u"missing folder"_s << Outcome::TargetUnwritable;
        QTest::newRow("a folder where the copy goes") << u"good"_s << u"is a folder"_s << Outcome::TargetUnwritable;
        QTest::newRow("onto the database itself") << u"good"_s << u"the source"_s << Outcome::SameFile;
        QTest::newRow("no database to copy, earlier backup kept") << u"missing"_s << u"earlier copy"_s
                                                                  << Outcome::SourceMissing;
        QTest::newRow("database not SQLite, earlier backup kept") << u"garbage"_s << u"earlier copy"_s
                                                                  << Outcome::NotPlanora;
    }

    void snapshot()
    {
        QFETCH(QString, source);
        QFETCH(QString, destination);
        QFETCH(Outcome, expected);
        const QString live = QDir(folder(u"live"_s)).filePath(u"AGENDAS.MDB"_s);
        makeSource(source, live);
        const QString target = destination == "missing folder"_L1 ? m_dir.filePath(u"nowhere"_s) : folder(u"backup"_s);
        const QString copy = destination == "the source"_L1 ? live : QDir(target).filePath(u"AGENDAS.MDB"_s);
        if (destination == "earlier copy"_L1) {
            QVERIFY(QFile::rename(practice(folder(u"old"_s), u"ancien"_s), copy));
        } else if (destination == "is a folder"_L1) {
            QVERIFY(QDir().mkpath(copy));
        }
        const QByteArray earlier = StoreTestDatabase::contents(copy);
        const QStringList filesBefore = QDir(target).entryList(QDir::Files);

        const bool readOnly = destination == "read-only folder"_L1;
        QVERIFY(!readOnly || QFile::setPermissions(target, QFileDevice::Permissions(0x5555))); // r-x for all
        const DatabaseCopy::Result result = [&] {
            const auto nobody = readOnly ? std::optional(asOrdinaryUser()) : std::nullopt;
            return DatabaseCopy::snapshot(live, copy);
        }();

        QCOMPARE(result.outcome, expected);
        if (expected == Outcome::Done) {
            QCOMPARE(agendaContent(copy), agendaContent(live));
            QCOMPARE(dayOneOf(copy, 6), u"sauvegardé"_s);
            QCOMPARE(DatabaseCopy::check(copy).outcome, Outcome::Done);
            QCOMPARE(QDir(target).entryList(QDir::Files), QStringList{u"AGENDAS.MDB"_s});
            // Other workstations' users read the backup too (umask 022 here).
            QVERIFY(QFile::permissions(copy).testFlags(QFileDevice::ReadGroup | QFileDevice::ReadOther));
        } else {
            QCOMPARE(StoreTestDatabase::contents(copy), earlier);
            QCOMPARE(QDir(target).entryList(QDir::Files), filesBefore); // no temporary file left
        }
    }

    // Another workstation is in the middle of a save while the backup runs:
    // the copy is the day before the save or after it, whole, never a mix.
    void snapshotWhileAnotherSaves_data()
    {
        QTest::addColumn<int>("spill");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("addedDays");
        QTest::newRow("save still in its own memory: the state before") << 0 << u"ancien"_s << 0;
        QTest::newRow("save already writing the file: the state after, once committed") << 1 << u"nouveau"_s << 2000;
    }

    void snapshotWhileAnotherSaves()
    {
        QFETCH(int, spill);
        QFETCH(QString, expected);
        QFETCH(int, addedDays);
        const QString live = practice(folder(u"live"_s), u"ancien"_s);
        const QString copy = QDir(folder(u"backup"_s)).filePath(u"AGENDAS.MDB"_s);
        QProcess other;
        other.start(QStringLiteral(STORE_HOLDWRITE), {live, QString::number(spill), u"1500"_s});
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

    void safetyCopyPath_data()
    {
        QTest::addColumn<QString>("live");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the practice's file") << u"/srv/cabinet/AGENDAS.MDB"_s
                                             << u"/srv/cabinet/AGENDAS-avant-restauration-20261206-140509.MDB"_s;
        QTest::newRow("no extension") << u"/srv/agenda"_s << u"/srv/agenda-avant-restauration-20261206-140509"_s;
        QTest::newRow("dots in the name") << u"/srv/a.b/AGENDAS.2024.MDB"_s
                                          << u"/srv/a.b/AGENDAS.2024-avant-restauration-20261206-140509.MDB"_s;
    }

    void safetyCopyPath()
    {
        QFETCH(QString, live);
        QFETCH(QString, expected);
        QCOMPARE(DatabaseCopy::safetyCopyPath(live, QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9))), expected);
    }

    void restore_data()
    {
        QTest::addColumn<QString>("backup");
        QTest::addColumn<QString>("live"); // "good", "garbage", "missing", "read-only"
        QTest::addColumn<Outcome>("expected");
        QTest::newRow("good backup named otherwise") << u"good"_s << u"good"_s << Outcome::Done;
        QTest::newRow("backup from before the day history: brought up to date")
            << u"version 1"_s << u"good"_s << Outcome::Done;
        QTest::newRow("garbage refused") << u"garbage"_s << u"good"_s << Outcome::NotPlanora;
        QTest::newRow("another program's SQLite refused") << u"foreign"_s << u"good"_s << Outcome::NotPlanora;
        QTest::newRow("damaged backup refused") << u"truncated"_s << u"good"_s << Outcome::Damaged;
        QTest::newRow("backup gone") << u"missing"_s << u"good"_s << Outcome::SourceMissing;
        QTest::newRow("live database damaged: kept as it was, replaced") << u"good"_s << u"garbage"_s << Outcome::Done;
        QTest::newRow("no live database: the backup put in its place") << u"good"_s << u"missing"_s << Outcome::Done;
        QTest::newRow("the live database itself") << u"the live one"_s << u"good"_s << Outcome::SameFile;
        QTest::newRow("live database read-only") << u"good"_s << u"read-only"_s << Outcome::TargetUnwritable;
    }

    void restore()
    {
        QFETCH(QString, backup);
        QFETCH(QString, live);
        QFETCH(Outcome, expected);
        const QString liveFolder = folder(u"live"_s);
        const QString livePath = QDir(liveFolder).filePath(u"AGENDAS.MDB"_s);
        // The live one named through "..", as a picked file could be.
        const QString backupPath = backup == "the live one"_L1
                                       ? liveFolder + u"/../"_s + QFileInfo(liveFolder).fileName() + u"/AGENDAS.MDB"_s
                                       : QDir(folder(u"backup"_s)).filePath(u"copie du lundi.db"_s);
        if (backup != "the live one"_L1)
            makeSource(backup, backupPath);
        makeSource(live == "read-only"_L1 ? u"good"_s : live, livePath);
        if (live != "garbage"_L1 && live != "missing"_L1) {
            QVERIFY(StoreTestDatabase::run(livePath, u"UPDATE RVOUS1 SET RVOUS='actuel' WHERE AGENDATE=1;"
                                                     u"INSERT INTO RVOUS5 (AGENDATE, RVOUS) VALUES (9, 'neuf')"_s));
        }
        const QByteArray liveBefore = StoreTestDatabase::contents(livePath);
        const QString contentBefore = agendaContent(livePath);
        const QString safety = DatabaseCopy::safetyCopyPath(livePath, QDateTime::currentDateTime());
        // Another workstation, its connection already open on the live file.
        SqliteConnection workstation;
        if (live == "good"_L1) {
            QCOMPARE(workstation.open(livePath, SqliteConnection::Mode::ReadOnly), SQLITE_OK);
            QCOMPARE(dayOneOf(livePath, 1), u"actuel"_s);
        }

        const bool readOnly = live == "read-only"_L1;
        QVERIFY(!readOnly || QFile::setPermissions(livePath, QFileDevice::Permissions(0x4444))); // r-- for all
        const DatabaseCopy::Result result = [&] {
            const auto nobody = readOnly ? std::optional(asOrdinaryUser()) : std::nullopt;
            return DatabaseCopy::restore(backupPath, livePath, safety);
        }();

        QVERIFY2(result.outcome == expected, qPrintable(DatabaseCopy::describe(result, livePath)));
        if (expected != Outcome::Done) {
            QCOMPARE(StoreTestDatabase::contents(livePath), liveBefore);
            if (live != "read-only"_L1) {
                QVERIFY(!QFile::exists(safety)); // refused before anything was written
            }
            return;
        }
        QCOMPARE(agendaContent(livePath), agendaContent(backupPath));
        QCOMPARE(dayOneOf(livePath, 1), u"sauvegardé"_s);
        QCOMPARE(DatabaseCopy::check(livePath).outcome, Outcome::Done);
        if (live == "missing"_L1) {
            QVERIFY(!QFile::exists(safety));
        } else if (live == "garbage"_L1) {
            QCOMPARE(StoreTestDatabase::contents(safety), liveBefore);
        } else {
            QCOMPARE(agendaContent(safety), contentBefore);
            QVERIFY(agendaContent(safety).contains(u"5:9:neuf"_s));
            // The workstation's own connection reads the restored day.
            SqliteStatement read;
            QCOMPARE(read.prepare(workstation.handle(), u"SELECT RVOUS FROM RVOUS1 WHERE AGENDATE=1"_s), SQLITE_OK);
            QCOMPARE(read.step(), SqliteStatement::Step::Row);
            QCOMPARE(read.text(0), u"sauvegardé"_s);
        }
        QCOMPARE(QDir(liveFolder).entryList(QDir::Files).size(), live == "missing"_L1 ? 1 : 2);
        // The history goes on: the replaced day is kept.
        QCOMPARE(StoreTestDatabase::scalar(livePath, u"PRAGMA user_version"_s).toInt(), SchemaUpgrade::currentVersion());
        QVERIFY(StoreTestDatabase::run(livePath, u"UPDATE RVOUS1 SET RVOUS='corrigé' WHERE AGENDATE=1"_s));
        QCOMPARE(StoreTestDatabase::scalar(livePath, u"SELECT count(*) FROM HISTORIQUE WHERE AGENDATE=1"_s).toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseCopy)
#include "tst_databasecopy.moc"
