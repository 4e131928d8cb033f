#include "../tools/toolrun.h"
#include "filebytes.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The Debian package made by `cpack -G DEB` from this build: its name, its
// files, its control fields and its desktop entry.
class TestPackage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_output.isValid());
        const ToolRun made = runProgram(u"cpack"_s, {u"-G"_s, u"DEB"_s, u"-B"_s, m_output.path()},
                                        QStringLiteral(PLANORA_BUILD_FOLDER));
        QVERIFY2(made.exitCode == 0, qPrintable(made.out + made.err));
        const QString architecture = runProgram(u"dpkg"_s, {u"--print-architecture"_s}).out.trimmed();
        const QString package =
            m_output.filePath(u"planora_%1_%2.deb"_s.arg(QStringLiteral(PLANORA_VERSION), architecture));
        // Named by cpack from the package's name and version, the control file's own fields.
        QVERIFY2(QFile::exists(package), qPrintable(QDir(m_output.path()).entryList().join(u' ')));
        QCOMPARE(runProgram(u"dpkg-deb"_s, {u"-x"_s, package, root()}).exitCode, 0);
        // Each text the package is read from, as dpkg-deb or the program gives it.
        const ToolRun contents = runProgram(u"dpkg-deb"_s, {u"-c"_s, package});
        const ToolRun control = runProgram(u"dpkg-deb"_s, {u"-f"_s, package});
        // Run through its link on the PATH: both the link and the tool are there.
        const ToolRun help = runProgram(root() + u"/usr/bin/planora-admin"_s, {u"--help"_s});
        const QString entry = root() + u"/usr/share/applications/planora.desktop"_s;
        const ToolRun validated = runProgram(u"desktop-file-validate"_s, {entry});
        QVERIFY(contents.exitCode == 0 && control.exitCode == 0 && help.exitCode == 0 && validated.exitCode == 0);
        m_texts = {{u"contents"_s, contents.out}, {u"control"_s, control.out}, {u"help"_s, help.out},
                   {u"desktop entry"_s, QString::fromUtf8(bytesOf(entry))},
                   {u"validation"_s, validated.out + validated.err}};
    }

    void texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line"); // a regular expression for a line of it
        QTest::addColumn<bool>("present");
        const auto row = [](const char *name, const char *text, const QString &line, bool present = true) {
            QTest::newRow(name) << QString::fromUtf8(text) << line << present;
        };
        // An entry as dpkg-deb -c ends a line, a link with its target.
        const auto entry = [](const char *path) -> QString {
            return u" "_s + QRegularExpression::escape(QString::fromUtf8(path)) + u"$"_s;
        };
        row("the program, executable", "contents", u"^-rwx.*"_s + entry("./usr/lib/planora/planora"));
        row("program on the PATH", "contents", entry("./usr/bin/planora -> ../lib/planora/planora"));
        row("icon", "contents", entry("./usr/share/icons/hicolor/scalable/apps/planora.svg"));
        row("help guide beside the program", "contents", entry("./usr/lib/planora/aide/index.html"),
            QDir(QStringLiteral(PLANORA_SOURCE_FOLDER)).exists(u"docs/guide/index.html"_s));
        row("no test program, benchmark or static library", "contents", u"tools_admin|_bench|\\.a$"_s, false);
        row("no Alpha.agc shipped", "contents", u"Alpha\\.agc"_s, false);
        row("Qt widgets found by dpkg-shlibdeps", "control", u"^Depends: .*libqt6widgets6 \\(>= "_s);
        row("window system plugin", "control", u"^Depends: (.*, )?qt6-qpa-plugins(,|$)"_s);
        row("packaged tool speaks French", "help", u"export FICHIER"_s);
        row("desktop entry valid: desktop-file-validate says nothing", "validation", u"\\S"_s, false);
        row("desktop entry runs the program", "desktop entry", u"^Exec=planora$"_s);
        row("desktop entry shows the icon", "desktop entry", u"^Icon=planora$"_s);
    }

    void texts()
    {
        QFETCH(QString, text);
        QFETCH(QString, line);
        QFETCH(bool, present);
        QVERIFY2(m_texts.value(text).contains(QRegularExpression(line, QRegularExpression::MultilineOption)) == present,
                 qPrintable(m_texts.value(text)));
    }

private:
    QString root() const { return m_output.filePath(u"root"_s); }

    QTemporaryDir m_output;
    QHash<QString, QString> m_texts;
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
