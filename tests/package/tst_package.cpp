#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
};

Run run(const QString &program, const QStringList &arguments, const QString &folder = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(540000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

} // namespace

// The Debian package made by `cpack -G DEB` from this build: its name, its
// files, its control fields and its desktop entry.
class TestPackage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_output.isValid());
        const Run made = run(u"cpack"_s, {u"-G"_s, u"DEB"_s, u"-B"_s, m_output.path()},
                             QStringLiteral(PLANORA_BUILD_FOLDER));
        QVERIFY2(made.exitCode == 0, qPrintable(made.out));
        const Run architecture = run(u"dpkg"_s, {u"--print-architecture"_s});
        m_package = m_output.filePath(u"planora_%1_%2.deb"_s.arg(QStringLiteral(PLANORA_VERSION),
                                                                  architecture.out.trimmed()));
        QVERIFY2(QFile::exists(m_package), qPrintable(QDir(m_output.path()).entryList().join(u' ')));
        const Run listed = run(u"dpkg-deb"_s, {u"-c"_s, m_package});
        QCOMPARE(listed.exitCode, 0);
        m_contents = listed.out;
        const Run extracted = run(u"dpkg-deb"_s, {u"-x"_s, m_package, m_output.filePath(u"root"_s)});
        QCOMPARE(extracted.exitCode, 0);
    }

    void contents_data()
    {
        QTest::addColumn<QString>("entry"); // as dpkg-deb -c ends a line, a link with its target
        QTest::addColumn<bool>("present");

        QTest::newRow("the program") << u"./usr/lib/planora/planora"_s << true;
        QTest::newRow("the supervisor's tool") << u"./usr/lib/planora/planora-admin"_s << true;
        QTest::newRow("program on the PATH") << u"./usr/bin/planora -> ../lib/planora/planora"_s << true;
        QTest::newRow("tool on the PATH") << u"./usr/bin/planora-admin -> ../lib/planora/planora-admin"_s << true;
        QTest::newRow("desktop entry") << u"./usr/share/applications/planora.desktop"_s << true;
        QTest::newRow("icon") << u"./usr/share/icons/hicolor/scalable/apps/planora.svg"_s << true;
        QTest::newRow("help guide beside the program")
            << u"./usr/lib/planora/aide/index.html"_s << QDir(QStringLiteral(PLANORA_SOURCE_FOLDER)).exists(u"docs/guide/index.html"_s);
        QTest::newRow("no test program") << u"tools_admin"_s << false;
        QTest::newRow("no benchmark") << u"_bench"_s << false;
        QTest::newRow("no static library") << u".a\n"_s << false;
        QTest::newRow("no Alpha.agc shipped") << u"Alpha.agc"_s << false;
    }

    void contents()
    {
        QFETCH(QString, entry);
        QFETCH(bool, present);
        const bool found = entry.startsWith(u"./"_s)
                               ? m_contents.contains(QRegularExpression(u" "_s + QRegularExpression::escape(entry) + u"$"_s,
                                                                        QRegularExpression::MultilineOption))
                               : m_contents.contains(entry);
        QVERIFY2(found == present, qPrintable(m_contents));
    }

    void control_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected"); // a regular expression for the value

        QTest::newRow("name") << u"Package"_s << u"^planora$"_s;
        QTest::newRow("version") << u"Version"_s << u"^"_s + QRegularExpression::escape(QStringLiteral(PLANORA_VERSION)) + u"$"_s;
        QTest::newRow("Qt widgets found by dpkg-shlibdeps") << u"Depends"_s << u"libqt6widgets6 \\(>= "_s;
        QTest::newRow("SQLite found by dpkg-shlibdeps") << u"Depends"_s << u"libsqlite3-0 \\(>= "_s;
        QTest::newRow("window system plugin") << u"Depends"_s << u"(^|, )qt6-qpa-plugins(,|$)"_s;
        QTest::newRow("French summary") << u"Description"_s << u"^Carnet de rendez-vous"_s;
    }

    void control()
    {
        QFETCH(QString, field);
        QFETCH(QString, expected);
        const Run value = run(u"dpkg-deb"_s, {u"-f"_s, m_package, field});
        QCOMPARE(value.exitCode, 0);
        const QString text = value.out.trimmed();
        QVERIFY2(text.contains(QRegularExpression(expected)), qPrintable(field + u": "_s + text));
    }

    // The entry is valid, and its program and icon are the package's own.
    void desktopEntry()
    {
        const QString root = m_output.filePath(u"root"_s);
        const QString entry = root + u"/usr/share/applications/planora.desktop"_s;
        const Run validated = run(u"desktop-file-validate"_s, {entry});
        QVERIFY2(validated.exitCode == 0 && validated.out.trimmed().isEmpty(), qPrintable(validated.out));
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.contains(u"\nExec=planora\n"_s));
        QVERIFY(text.contains(u"\nIcon=planora\n"_s));
        QVERIFY(text.contains(u"\nCategories=Office;Calendar;\n"_s));
        QVERIFY(QFileInfo(root + u"/usr/bin/planora"_s).isSymLink());
        QVERIFY(QFileInfo(root + u"/usr/lib/planora/planora"_s).isExecutable());
        // The packaged tool runs and speaks French.
        const Run help = run(root + u"/usr/bin/planora-admin"_s, {u"--help"_s});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains(u"export FICHIER"_s));
    }

private:
    QTemporaryDir m_output;
    QString m_package;
    QString m_contents;
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
