#include "practicesetup.h"
#include "scheduledbackup.h"
#include "storetestdatabase.h"
#include "toolrun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString practice(const QTemporaryDir &temporary)
{
    return temporary.filePath(u"cabinet"_s);
}

void makePractice(const QString &folder)
{
    QStringList notes;
    const Status made = PracticeSetup::init(folder, 0, notes);
    QVERIFY2(made.ok(), qPrintable(made.message()));
    QVERIFY(StoreTestDatabase::run(folder + u"/AGENDAS.MDB"_s,
                                   u"INSERT INTO RVOUS1 (AGENDATE, RVOUS) VALUES (1, 'ancien');"
                                   "INSERT INTO RVOUS6 (AGENDATE, RVOUS) VALUES (1, 'ancien');"_s));
}

QString firstValue(const QString &database, const QString &sql)
{
    return StoreTestDatabase::scalar(database, sql).toString();
}

QStringList backupsIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

// planora-admin backup: what a copy holds, which backups the rotation keeps,
// a copy taken while another workstation writes, and the failures a timer
// must see as such.
class TestBackup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rotation_data()
    {
        QTest::addColumn<QStringList>("existing"); // folders already in the backup folder
        QTest::addColumn<int>("keep");             // 0: --keep not given
        QTest::addColumn<QStringList>("removed");

        const QStringList three{u"20261201-020000"_s, u"20261202-020000"_s, u"20261203-020000"_s};
        QTest::newRow("keep 2 of 3 + 1") << three << 2 << QStringList{u"20261201-020000"_s, u"20261202-020000"_s};
        QTest::newRow("keep 4 of 3 + 1") << three << 4 << QStringList();
        QTest::newRow("keep 1: only the new one") << three << 1 << three;
        QTest::newRow("no --keep: nothing removed") << three << 0 << QStringList();
        QTest::newRow("other folders are never touched")
            << QStringList{u"photos"_s, u"20261201-020000-copie"_s, u"20261203-020000"_s} << 1
            << QStringList{u"20261203-020000"_s};
    }

    void rotation()
    {
        QFETCH(QStringList, existing);
        QFETCH(int, keep);
        QFETCH(QStringList, removed);

        QTemporaryDir temporary;
        makePractice(practice(temporary));
        const QString backups = temporary.filePath(u"sauvegardes"_s);
        for (const QString &name : existing)
            QVERIFY(QDir().mkpath(backups + u'/' + name));
        QStringList arguments{u"backup"_s, practice(temporary) + u"/AGENDAS.MDB"_s, backups};
        if (keep > 0)
            arguments << u"--keep"_s << QString::number(keep);
        const ToolRun run = runTool(arguments, temporary.path());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));

        const QStringList after = backupsIn(backups);
        QCOMPARE(after.size(), existing.size() + 1 - removed.size());
        for (const QString &name : removed)
            QVERIFY2(!after.contains(name), qPrintable(name));
        // The new backup is the newest and holds both files, the copy whole.
        const QString newest = after.filter(QRegularExpression(u"^\\d{8}-\\d{6}$"_s)).last();
        QVERIFY(!existing.contains(newest));
        QVERIFY(run.out.contains(newest));
        const QString copy = backups + u'/' + newest + u"/AGENDAS.MDB"_s;
        QCOMPARE(firstValue(copy, u"PRAGMA integrity_check"_s), u"ok"_s);
        QCOMPARE(firstValue(copy, u"SELECT RVOUS FROM RVOUS6 WHERE AGENDATE = 1"_s), u"ancien"_s);
        QVERIFY(QFile::exists(backups + u'/' + newest + u"/Utilisat.agc"_s));
    }

    // Another workstation holds a write transaction, its pages already
    // spilled into the file, while the backup runs: the copy waits for it or
    // reads before it, and is whole either way. (The copy itself, with the
    // changes kept in the writer's cache too, is tested with the store.)
    void copyWhileAnotherProcessWrites()
    {
        QTemporaryDir temporary;
        makePractice(practice(temporary));
        const QString database = practice(temporary) + u"/AGENDAS.MDB"_s;
        const QString backups = temporary.filePath(u"sauvegardes"_s);
        QVERIFY(QDir().mkpath(backups));

        QProcess writer;
        writer.start(QStringLiteral(STORE_HOLDWRITE), {database, u"1"_s, u"1500"_s});
        QVERIFY(writer.waitForReadyRead(30000));
        QCOMPARE(writer.readLine().trimmed(), QByteArray("held"));
        const ToolRun run = runTool({u"backup"_s, database, backups}, temporary.path());
        QVERIFY(writer.waitForFinished(30000));
        QCOMPARE(writer.exitCode(), 0);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));

        const QString copy = backups + u'/' + backupsIn(backups).value(0) + u"/AGENDAS.MDB"_s;
        QCOMPARE(firstValue(copy, u"PRAGMA integrity_check"_s), u"ok"_s);
        // One state of the file: both days from before the save, or both from after it.
        const QString first = firstValue(copy, u"SELECT RVOUS FROM RVOUS1 WHERE AGENDATE = 1"_s);
        QVERIFY2(first == "ancien"_L1 || first == "nouveau"_L1, qPrintable(first));
        QCOMPARE(firstValue(copy, u"SELECT RVOUS FROM RVOUS6 WHERE AGENDATE = 1"_s), first);
        const QString added = firstValue(copy, u"SELECT count(*) FROM RVOUS2"_s);
        QCOMPARE(added, first == "ancien"_L1 ? u"0"_s : u"2000"_s);
        const ToolRun check = runTool({u"check"_s, copy}, temporary.path());
        QVERIFY2(check.exitCode == 0, qPrintable(check.err));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("words"); // @ the temporary folder, holding cabinet/ and sauvegardes/
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");

        QTest::newRow("database missing") << u"backup @/cabinet/AUTRE.MDB @/sauvegardes --keep 1"_s << 1 << u"n'existe pas"_s;
        QTest::newRow("damaged database") << u"backup @/cabinet/ABIME.MDB @/sauvegardes --keep 1"_s << 1
                                          << u"n'est pas une base de données PLANORA"_s;
        QTest::newRow("backup folder missing") << u"backup @/cabinet/AGENDAS.MDB @/ailleurs --keep 1"_s << 1
                                               << u"Le dossier de sauvegarde"_s;
        QTest::newRow("backup folder is a file") << u"backup @/cabinet/AGENDAS.MDB @/cabinet/Utilisat.agc --keep 1"_s << 1
                                                 << u"Le dossier de sauvegarde"_s;
        QTest::newRow("Utilisat.agc missing") << u"backup @/cabinet/AGENDAS.MDB @/sauvegardes --users @/sauvegardes --keep 1"_s
                                              << 1 << u"Utilisat.agc introuvable"_s;
        QTest::newRow("--keep 0") << u"backup @/cabinet/AGENDAS.MDB @/sauvegardes --keep 0"_s << 2 << u"--keep"_s;
        QTest::newRow("--keep not a number") << u"backup @/cabinet/AGENDAS.MDB @/sauvegardes --keep tous"_s << 2
                                             << u"--keep"_s;
        QTest::newRow("no folder given") << u"backup @/cabinet/AGENDAS.MDB --keep 1"_s << 2 << u"DOSSIER"_s;
    }

    // A failure exits non-zero, says why in French, and leaves the backups
    // as they were: no half-made folder, no old backup removed.
    void failures()
    {
        QFETCH(QString, words);
        QFETCH(int, exitCode);
        QFETCH(QString, said);

        QTemporaryDir temporary;
        makePractice(practice(temporary));
        QVERIFY(StoreTestDatabase::write(practice(temporary) + u"/ABIME.MDB"_s, QByteArray(4096, 'x')));
        const QString backups = temporary.filePath(u"sauvegardes"_s);
        QVERIFY(QDir().mkpath(backups + u"/20261201-020000"_s));

        const ToolRun run = runTool(words.replace(u"@"_s, temporary.path()).split(u' '), temporary.path());
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(said), qPrintable(run.err));
        QCOMPARE(backupsIn(backups), QStringList{u"20261201-020000"_s});
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
