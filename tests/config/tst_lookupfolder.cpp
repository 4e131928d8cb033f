#include "configfiles.h"
#include "lookupfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#TRUE#,\"PATIENTS\"\r\n");
}

} // namespace

// Where Alpha.agc is kept: beside a program the user may write to, in the
// user's own folder for an installed program.
class TestLookupFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void folder_data()
    {
        QTest::addColumn<bool>("programWritable");
        QTest::addColumn<bool>("programHasFile");
        QTest::addColumn<bool>("userHasFile");
        QTest::addColumn<bool>("writing");
        QTest::addColumn<QString>("expected"); // "program" or "user"

        QTest::newRow("run from its own folder: read there") << true << false << true << false << u"program"_s;
        QTest::newRow("run from its own folder: write there") << true << true << true << true << u"program"_s;
        QTest::newRow("installed: write to the user's") << false << true << false << true << u"user"_s;
        QTest::newRow("installed: read the user's") << false << true << true << false << u"user"_s;
        QTest::newRow("installed, user has none: the supervisor's") << false << true << false << false
                                                                   << u"program"_s;
        QTest::newRow("installed, neither has one: the program's (empty)") << false << false << false << false
                                                                          << u"program"_s;
    }

    void folder()
    {
        QFETCH(bool, programWritable);
        QFETCH(bool, programHasFile);
        QFETCH(bool, userHasFile);
        QFETCH(bool, writing);
        QFETCH(QString, expected);

        QTemporaryDir temporary;
        const QString program = temporary.filePath(u"programme"_s);
        const QString user = temporary.filePath(u"utilisateur"_s);
        QVERIFY(QDir().mkpath(program) && QDir().mkpath(user));
        if (programHasFile)
            touch(program + u"/ALPHA.AGC"_s); // found whatever the case of its name
        if (userHasFile)
            touch(user + u"/Alpha.agc"_s);
        const auto writable = [&](const QString &folder) { return folder == program && programWritable; };
        const QString folder = LookupFolder::of(
            program, writing ? LookupFolder::Use::Writing : LookupFolder::Use::Reading, user, writable);
        QCOMPARE(folder, expected == "program"_L1 ? program : user);
    }

    // A program folder this process cannot write to (here one that does not
    // exist): the configuration window's save lands in the user's folder,
    // made for it, and start-up reads it back from there.
    void savedAndReadBackOutsideTheProgramFolder()
    {
        QTemporaryDir temporary;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(temporary.path()));
        const QString program = temporary.filePath(u"usr/lib/planora"_s);
        const LookupSettings lookup{true, u"MATABLE"_s};
        QVERIFY(ConfigFiles::writeLookupSettings(program, lookup));
        QVERIFY(QFile::exists(temporary.filePath(u"planora/Alpha.agc"_s)));
        QVERIFY(!QFile::exists(program));
        const LookupSettingsRead read = ConfigFiles::readLookupSettings(program);
        QVERIFY(read.valid);
        QCOMPARE(read.settings, lookup);
        // The program's own folder, writable, is used as it always was.
        QCOMPARE(LookupFolder::of(temporary.path(), LookupFolder::Use::Writing), temporary.path());
    }
};

QTEST_GUILESS_MAIN(TestLookupFolder)
#include "tst_lookupfolder.moc"
