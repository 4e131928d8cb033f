#include "refusedwrites.h"
#include "settingsstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Default = u"<défaut>"_s;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}

} // namespace

// The settings store: names without regard to case, the INI text it reads and
// writes, escaping, and what a failed write leaves.
class TestSettingsStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namesIgnoreCase_data()
    {
        QTest::addColumn<QString>("written"); // application/section/key
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("value");

        QTest::newRow("same spelling") << u"HIRONDEL/PLANORA/CHEMIN"_s << u"HIRONDEL/PLANORA/CHEMIN"_s << u"/srv"_s;
        QTest::newRow("Hirondel/Sauve read as HIRONDEL/SAUVE") << u"Hirondel/PLANORA/Sauve"_s << u"HIRONDEL/PLANORA/SAUVE"_s << u"/srv"_s;
        QTest::newRow("section and key in mixed case") << u"HIRONDEL/planora/CheminUt"_s << u"hirondel/PlAnOrA/CHEMINUT"_s << u"/srv"_s;
        QTest::newRow("accented key in other case") << u"HIRONDEL/PLANORA/Clé"_s << u"HIRONDEL/PLANORA/CLÉ"_s << u"/srv"_s;
        QTest::newRow("another key") << u"HIRONDEL/PLANORA/CHEMIN"_s << u"HIRONDEL/PLANORA/CHEMINS"_s << Default;
        QTest::newRow("another section") << u"HIRONDEL/PLANORA/CHEMIN"_s << u"HIRONDEL/PLANOR/CHEMIN"_s << Default;
        QTest::newRow("another application") << u"HIRONDEL/PLANORA/CHEMIN"_s << u"HIRONDELLE/PLANORA/CHEMIN"_s << Default;
    }

    void namesIgnoreCase()
    {
        QFETCH(QString, written);
        QFETCH(QString, read);
        QFETCH(QString, value);

        QTemporaryDir dir;
        SettingsStore store(dir.filePath(u"a/b"_s)); // created by the first write
        const QStringList w = written.split(u'/');
        const QStringList r = read.split(u'/');
        QVERIFY(store.setValue(w[0], w[1], w[2], u"/srv"_s));
        QCOMPARE(store.value(r[0], r[1], r[2], Default), value);
        QCOMPARE(QDir(store.folder()).entryList(QDir::Files), QStringList{u"hirondel.ini"_s});
    }

    void readsHandWrittenFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("value");

        QTest::newRow("blanks around the equals sign and at the end") << QByteArray("[PLANORA]\n  CHEMIN = /srv/AGENDAS.MDB \t\n") << u"/srv/AGENDAS.MDB"_s;
        QTest::newRow("empty value is no default") << QByteArray("[PLANORA]\nCHEMIN=\n") << QString();
        QTest::newRow("value holding an equals sign") << QByteArray("[PLANORA]\nCHEMIN=/a=b\n") << u"/a=b"_s;
        QTest::newRow("first of two spellings wins") << QByteArray("[PLANORA]\nchemin=/a\nCHEMIN=/b\n") << u"/a"_s;
        QTest::newRow("key before any section") << QByteArray("CHEMIN=/a\n[PLANORA]\n") << Default;
        QTest::newRow("key of a section before") << QByteArray("[AUTRE]\nCHEMIN=/a\n[PLANORA]\nX=1\n") << Default;
        QTest::newRow("key of a section after") << QByteArray("[PLANORA]\nX=1\n[AUTRE]\nCHEMIN=/a\n") << Default;
        QTest::newRow("section header with blanks, no final line end") << QByteArray("[ planora ]\nCHEMIN=/a") << u"/a"_s;
        QTest::newRow("commented key") << QByteArray("[PLANORA]\n;CHEMIN=/a\n#CHEMIN=/b\n") << Default;
        QTest::newRow("CR LF line ends") << QByteArray("[PLANORA]\r\nCHEMIN=/a\r\n") << u"/a"_s;
        QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf[PLANORA]\nCHEMIN=/a\n") << u"/a"_s;
        QTest::newRow("Windows-1252 line") << QByteArray("[PLANORA]\nCHEMIN=/srv/Op\xe9ratoire\n") << u"/srv/Opératoire"_s;
        QTest::newRow("backslash before no escape stands") << QByteArray("[PLANORA]\nCHEMIN=C:\\Cabinet\\AGENDAS.MDB\\\n") << u"C:\\Cabinet\\AGENDAS.MDB\\"_s;
        QTest::newRow("short hex escape stands") << QByteArray("[PLANORA]\nCHEMIN=\\x4\n") << u"\\x4"_s;
    }

    void readsHandWrittenFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, value);

        QTemporaryDir dir;
        writeFile(dir.filePath(u"hirondel.ini"_s), content);
        QCOMPARE(SettingsStore(dir.path()).value(u"HIRONDEL"_s, u"PLANORA"_s, u"CHEMIN"_s, Default), value);
    }

    void rewritesInPlace_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("key"); // set to "/b" in section PLANORA
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("keeps the key's spelling") << QByteArray("[Planora]\nCheminUt=/a\n") << u"CHEMINUT"_s << QByteArray("[Planora]\nCheminUt=/b\n");
        QTest::newRow("keeps comments and other sections")
            << QByteArray("; poste 2\n[AUTRE]\nCHEMIN=/x\n[PLANORA]\n# ancien\nCHEMIN = /a \n")
            << u"Chemin"_s << QByteArray("; poste 2\n[AUTRE]\nCHEMIN=/x\n[PLANORA]\n# ancien\nCHEMIN=/b\n");
        QTest::newRow("new key after the section's last key")
            << QByteArray("[PLANORA]\nCHEMIN=/a\n\n[AUTRE]\nX=1\n") << u"SAUVE"_s
            << QByteArray("[PLANORA]\nCHEMIN=/a\nSAUVE=/b\n\n[AUTRE]\nX=1\n");
        QTest::newRow("new section after a blank line") << QByteArray("[AUTRE]\nX=1") << u"SAUVE"_s
            << QByteArray("[AUTRE]\nX=1\n\n[PLANORA]\nSAUVE=/b\n");
        QTest::newRow("empty file") << QByteArray() << u"SAUVE"_s << QByteArray("[PLANORA]\nSAUVE=/b\n");
        QTest::newRow("Windows-1252 line kept, in UTF-8")
            << QByteArray("[PLANORA]\nNOTE=Apr\xe9s\n") << u"SAUVE"_s << QByteArray("[PLANORA]\nNOTE=Apr\xc3\xa9s\nSAUVE=/b\n");
    }

    void rewritesInPlace()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);

        QTemporaryDir dir;
        const QString path = dir.filePath(u"hirondel.ini"_s);
        writeFile(path, before);
        QVERIFY(SettingsStore(dir.path()).setValue(u"Hirondel"_s, u"PLANORA"_s, key, u"/b"_s));
        QCOMPARE(readFile(path), after);
    }

    void escapingRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("line"); // as it stands in the file

        QTest::newRow("plain path") << u"/srv/cabinet/AGENDAS.MDB"_s << QByteArray("SAUVE=/srv/cabinet/AGENDAS.MDB");
        QTest::newRow("blanks at both ends") << u"  /srv/a b  "_s << QByteArray("SAUVE=\\x20 /srv/a b \\x20");
        QTest::newRow("only one space") << u" "_s << QByteArray("SAUVE=\\x20");
        QTest::newRow("line breaks") << u"a\r\nb\nc"_s << QByteArray("SAUVE=a\\r\\nb\\nc");
        QTest::newRow("tabs at the ends") << u"\ta\t"_s << QByteArray("SAUVE=\\ta\\t");
        QTest::newRow("backslashes") << u"C:\\Cabinet\\n"_s << QByteArray("SAUVE=C:\\\\Cabinet\\\\n");
        QTest::newRow("text that looks escaped") << u"\\x41"_s << QByteArray("SAUVE=\\\\x41");
        QTest::newRow("control characters") << u"a\u0001\u007f"_s << QByteArray("SAUVE=a\\x01\\x7F");
        QTest::newRow("accents and euro") << u"Opératoire €"_s << QByteArray("SAUVE=Op\xc3\xa9ratoire \xe2\x82\xac");
        QTest::newRow("comment and section signs") << u";[x]#=y"_s << QByteArray("SAUVE=;[x]#=y");
        QTest::newRow("empty") << QString() << QByteArray("SAUVE=");
    }

    void escapingRoundTrip()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, line);

        QTemporaryDir dir;
        SettingsStore store(dir.path());
        QVERIFY(store.setValue(u"HIRONDEL"_s, u"PLANORA"_s, u"SAUVE"_s, value));
        QVERIFY(store.setValue(u"HIRONDEL"_s, u"PLANORA"_s, u"APRES"_s, u"suite"_s));
        QCOMPARE(readFile(store.filePath(u"HIRONDEL"_s)), "[PLANORA]\n" + line + "\nAPRES=suite\n");
        QCOMPARE(store.value(u"HIRONDEL"_s, u"PLANORA"_s, u"SAUVE"_s, Default), value);
        QCOMPARE(store.value(u"HIRONDEL"_s, u"PLANORA"_s, u"APRES"_s, Default), u"suite"_s);
    }

    void refusesWhatItCannotWrite_data()
    {
        QTest::addColumn<QStringList>("names"); // application, section, key

        QTest::newRow("empty key") << QStringList{u"HIRONDEL"_s, u"PLANORA"_s, QString()};
        QTest::newRow("key with an equals sign") << QStringList{u"HIRONDEL"_s, u"PLANORA"_s, u"A=B"_s};
        QTest::newRow("key with a line break") << QStringList{u"HIRONDEL"_s, u"PLANORA"_s, u"A\nB"_s};
        QTest::newRow("key with a blank at its end") << QStringList{u"HIRONDEL"_s, u"PLANORA"_s, u"A "_s};
        QTest::newRow("section with a bracket") << QStringList{u"HIRONDEL"_s, u"PLAN]ORA"_s, u"A"_s};
        QTest::newRow("application with a slash") << QStringList{u"../HIRONDEL"_s, u"PLANORA"_s, u"A"_s};
    }

    void refusesWhatItCannotWrite()
    {
        QFETCH(QStringList, names);

        QTemporaryDir dir;
        QVERIFY(!SettingsStore(dir.path()).setValue(names[0], names[1], names[2], u"x"_s));
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void failedWriteKeepsOldValue_data()
    {
        QTest::addColumn<int>("refusal"); // -1: the settings file cannot be read

        QTest::newRow("read-only folder") << int(Refusal::ReadOnlyFolder);
        QTest::newRow("full disk") << int(Refusal::FullDisk);
        QTest::newRow("unreadable settings file, its other values kept") << -1;
    }

    void failedWriteKeepsOldValue()
    {
        QFETCH(int, refusal);

        QTemporaryDir dir;
        openToEveryone(dir.path());
        SettingsStore store(dir.path());
        QVERIFY(store.setValue(u"Hirondel"_s, u"PLANORA"_s, u"Sauve"_s, u"/ancien"_s));
        const QByteArray old = readFile(store.filePath(u"HIRONDEL"_s));
        if (refusal >= 0) {
            const RefusedWrites refused(Refusal(refusal), dir.path());
            QVERIFY(!store.setValue(u"HIRONDEL"_s, u"PLANORA"_s, u"SAUVE"_s, u"/nouveau/bien plus long"_s));
        } else {
            // The folder stays writable: only the unread values are at stake.
            QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
            QVERIFY(QFile::setPermissions(store.filePath(u"HIRONDEL"_s), {}));
            const OrdinaryUser user;
            QVERIFY(!store.setValue(u"HIRONDEL"_s, u"PLANORA"_s, u"CHEMIN"_s, u"/x"_s));
        }
        QCOMPARE(store.value(u"HIRONDEL"_s, u"PLANORA"_s, u"SAUVE"_s, Default), u"/ancien"_s);
        QCOMPARE(readFile(store.filePath(u"HIRONDEL"_s)), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"hirondel.ini"_s});
    }

    void settingsFolder_data()
    {
        QTest::addColumn<QByteArray>("configHome"); // "-" unset
        QTest::addColumn<QString>("folder");

        QTest::newRow("XDG_CONFIG_HOME set") << QByteArray("/srv/conf") << u"/srv/conf"_s;
        QTest::newRow("XDG_CONFIG_HOME empty") << QByteArray() << QDir::homePath() + u"/.config"_s;
        QTest::newRow("XDG_CONFIG_HOME unset") << QByteArray("-") << QDir::homePath() + u"/.config"_s;
    }

    void settingsFolder()
    {
        QFETCH(QByteArray, configHome);
        QFETCH(QString, folder);

        const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        if (configHome == "-")
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", configHome);
        const QString found = SettingsStore::defaultFolder();
        const QString path = SettingsStore().filePath(u"HIRONDEL"_s);
        if (wasSet)
            qputenv("XDG_CONFIG_HOME", saved);
        else
            qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(found, folder);
        QCOMPARE(path, folder + u"/hirondel.ini"_s);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
