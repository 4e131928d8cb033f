// The configuration layer: the values of the record format one by one,
// Utilisat.agc and Alpha.agc as whole files, and the settings store; what
// they read, what they write, and what a failed write leaves; and where
// Alpha.agc is kept, beside a program the user may write to, in the user's
// own folder for an installed program.
#include "agcvaluereader.h"
#include "configfiles.h"
#include "filebytes.h"
#include "lookupfolder.h"
#include "refusedwrites.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>
#include <tuple>

using namespace Qt::StringLiterals;
using Writer = std::function<bool(const QString &folder)>;

namespace {

const QString Default = u"<défaut>"_s, UsersFile = u"Utilisat.agc"_s, LookupFile = u"Alpha.agc"_s;

QString quoted(const QString &text) { return u'"' + text + u'"'; }

// The six users as the 30 values of Utilisat.agc, as a file holds them:
// grouped by field, texts between quotes.
QStringList values(const UserConfig &users)
{
    QStringList names, colours, intervals, tops, bottoms;
    for (const UserEntry &e : users) {
        names << quoted(e.name);
        colours << (e.colour ? QString::number(*e.colour) : u"<aucune>"_s);
        intervals << QString::number(e.intervalIndex);
        tops << quoted(e.topAnnotation);
        bottoms << quoted(e.bottomAnnotation);
    }
    return names + colours + intervals + tops + bottoms;
}

QStringList values(const LookupSettings &lookup)
{
    return {lookup.enabled ? u"#TRUE#"_s : u"#FALSE#"_s, quoted(lookup.tableName)};
}

// Users 1 and 2 named, user 1 on light grey and the second list position,
// user 2 on the first, the others on the system window colour without a choice.
UserConfig sampleUsers()
{
    UserConfig users;
    for (int i = 0; i < UserCount; ++i)
        users[i] = {{}, SystemWindowColour, -1, u"Echo %1"_s.arg(i + 1), u"Bloc %1"_s.arg(i + 1)};
    users[0] = {u"Dr Martin"_s, 12632256, 1, u"Echo 1"_s, u"Bloc 1"_s};
    users[1] = {u"Dr Durand"_s, SystemWindowColour, 0, u"Echo 2"_s, u"Bloc 2"_s};
    return users;
}

QStringList replaced(QStringList values, const QList<std::pair<int, QString>> &changes)
{
    for (const auto &[index, value] : changes)
        values[index] = value;
    return values;
}

// Values joined by commas, 30 to a line, each line ended by CR LF.
QByteArray fileText(const QStringList &values)
{
    QString text;
    for (qsizetype i = 0; i < values.size(); ++i)
        text += values[i] + ((i + 1) % 30 == 0 || i + 1 == values.size() ? u"\r\n"_s : u","_s);
    return text.toUtf8();
}

// What the program reads from the file of that name, whatever its case: the
// values, whether they were valid and the message to show.
std::tuple<QStringList, bool, QString> reading(const QString &folder, const QString &file)
{
    if (file.compare(UsersFile, Qt::CaseInsensitive) == 0) {
        const UserConfigRead read = ConfigFiles::readUserConfig(folder);
        return {values(read.users), read.valid, read.message};
    }
    const LookupSettingsRead read = ConfigFiles::readLookupSettings(folder);
    return {values(read.settings), read.valid, read.message};
}

// A file read: its name in the folder and content (null: no file), the values
// the program holds afterwards and whether they were valid.
struct FileRead { QString file; QByteArray content; QStringList values; bool valid = true; };
// A write, the one file in the folder afterwards (if any) and whether it was
// there before under that name, what it holds (null: the write fails and the
// folder is left as it was) and what is read back from it.
struct FileWrite { Writer write; QString file; bool existed; QByteArray written; QStringList readBack = {}; };
// hirondel.ini before (null: none), the value set as application|section|key|value,
// and the file after (null: refused).
struct SettingWrite { QByteArray before; QString change; QByteArray after; };

} // namespace


class TestConfig : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir; // a new empty folder for each test
    QString path(const QString &name = {}) const { return name.isEmpty() ? m_dir->path() : m_dir->filePath(name); }

private Q_SLOTS:
    void init() { m_dir.emplace(); }

    // The values a text reads as, each as the writer would write it: "a" a
    // text, 1 a number, #TRUE# a boolean; joined by "|".
    void readsValues_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("values");
        QTest::newRow("blanks, commas, line breaks kept in quotes") << u"\" a, b\r\n\",2"_s << u"\" a, b\r\n\"|2"_s;
        QTest::newRow("booleans in any case") << u"#true#,#False#"_s << u"#TRUE#|#FALSE#"_s;
        QTest::newRow("numbers written plain: no plus sign, no leading zero, no exponent")
            << u"-2147483643,+0012,1.5,2E3,.5"_s << u"-2147483643|12|1.5|2000|0.5"_s;
        QTest::newRow("almost numbers are texts")
            << u"12abc,1-2,--1,1e,#NULL#"_s << u"\"12abc\"|\"1-2\"|\"--1\"|\"1e\"|\"#NULL#\""_s;
        QTest::newRow("empty values: between commas, quoted, an empty line (CR LF, LF or CR)")
            << u"1,,\"\",2\r\n\r\n3\n\n4\r\r5"_s << u"1|\"\"|\"\"|2|\"\"|3|\"\"|4|\"\"|5"_s;
        QTest::newRow("blank lines and a comma at the end begin no value") << u"1,\r\n \r\n\r\n"_s << u"1"_s;
    }

    void readsValues()
    {
        QFETCH(QString, content);
        AgcValueReader reader(content);
        QStringList values;
        while (const std::optional<AgcValue> value = reader.next())
            values << value->fileText();
        QVERIFY(reader.atEnd());
        QTEST(values.join(u'|'), "values");
    }

    void readsFiles_data()
    {
        QTest::addColumn<FileRead>("c");
        const QStringList sample = values(sampleUsers());
        const auto lookup = [](const char *content, bool enabled, const QString &table, bool valid = true) {
            return FileRead{LookupFile, QByteArray(content), values({enabled, table}), valid};
        };
        QTest::newRow("30 values on one line, blank lines after")
            << FileRead{UsersFile, fileText(sample) + "\r\n  \r\n", sample};
        QTest::newRow("31 values: message, the 31st became name 1")
            << FileRead{UsersFile, fileText(sample + QStringList{u"\"Dr Petit\""_s}),
                        replaced(sample, {{0, u"\"Dr Petit\""_s}}), false};
        QTest::newRow("60 values: the second record is used")
            << FileRead{UsersFile, fileText(QStringList(30, u"\"Ancien\""_s)) + fileText(sample), sample};
        // Numbers round to the nearest, halves to even; #TRUE# is -1. A colour
        // that does not convert or does not fit is none; an interval index
        // keeps what the place held.
        QTest::newRow("values of another kind converted, a colour that is none, an index kept")
            << FileRead{UsersFile,
                        fileText(sample) + fileText(replaced(sample, {{0, u"12"_s}, {1, u"#TRUE#"_s},
                            {6, u"\"gris\""_s}, {7, u"\" 255 \""_s}, {8, u"-2147483648"_s}, {9, u"4294967295"_s},
                            {10, u"#TRUE#"_s}, {12, u"70000"_s}, {13, u"2.5"_s}, {14, u"3.5"_s}, {15, u"#FALSE#"_s}})),
                        replaced(sample, {{0, u"\"12\""_s}, {1, u"\"True\""_s}, {6, u"<aucune>"_s}, {7, u"255"_s},
                            {8, u"-2147483648"_s}, {9, u"<aucune>"_s}, {10, u"-1"_s}, {13, u"2"_s}, {14, u"4"_s},
                            {15, u"0"_s}})};
        QTest::newRow("empty file") << FileRead{UsersFile, QByteArray(""), values(UserConfig{})};
        QTest::newRow("missing file") << FileRead{UsersFile, QByteArray(), values(UserConfig{})};
        QTest::newRow("-1 switches on; split across lines, unquoted table") << lookup(" -1\r\nNOMS ", true, u"NOMS"_s);
        QTest::newRow("1 does not") << lookup("1,\"NOMS\"", false, u"NOMS"_s);
        QTest::newRow("quoted -1 is a text") << lookup("\"-1\",\"NOMS\"", false, u"NOMS"_s);
        QTest::newRow("Windows-1252 0x80 to 0x9F, undefined bytes as C1 controls")
            << lookup("#TRUE#,\"\x80\x93\x9c\x94\x8c\x9f \x81\x8d\x8f\x90\x9d\"", true,
                      u"€“œ”ŒŸ \u0081\u008d\u008f\u0090\u009d"_s);
        QTest::newRow("one stray byte makes the whole file Windows-1252")
            << lookup("#TRUE#,\"Op\xc3\xa9ratoire \xe9\"", true, u"OpÃ©ratoire é"_s);
        QTest::newRow("truncated UTF-8 at the end") << lookup("#TRUE#,\"Op\xc3", true, u"OpÃ"_s);
        QTest::newRow("3 values: message, the third is the switch")
            << lookup("#FALSE#,\"A\",#TRUE#\r\n", true, u"A"_s, false);
    }

    void readsFiles()
    {
        QFETCH(FileRead, c);
        if (!c.content.isNull())
            QVERIFY(writeBytes(path(c.file), c.content));
        const auto [values, valid, message] = reading(path(), c.file);
        QCOMPARE(values, c.values);
        QCOMPARE(valid, c.valid);
        if (c.content.isNull()) // the file looked for is named
            QVERIFY2(message.startsWith(u"Le fichier des utilisateurs "_s + path(UsersFile) + u" est introuvable"_s),
                     qPrintable(message));
        else
            QCOMPARE(message, c.valid ? QString() : u"Fichier "_s + path(c.file == UsersFile
                ? u"Utilisat.agc non valide (trop ou pas assez de paramètres)."_s : u"Alpha.agc non valide."_s));
    }

    void writesFiles_data()
    {
        QTest::addColumn<FileWrite>("c");
        UserConfig full, defaults;
        const QStringList names = {u"Dr Martin"_s,  u"Dupont, Jean"_s, u"Opératoire é"_s,
                                   u"Dr \"Bob\""_s, u"Ünïcödé €"_s,    u"#TRUE#"_s};
        const qint32 colours[] = {INT32_MIN, INT32_MAX, 0, 12632256, SystemWindowColour, 255};
        const qint16 intervals[] = {0, 1, 4, -1, INT16_MIN, INT16_MAX};
        for (int i = 0; i < UserCount; ++i) {
            full[i] = {names[i], colours[i], intervals[i], u"Echo, %1"_s.arg(i), u"Bloc Opératoire %1"_s.arg(i)};
            defaults[i].colour = SystemWindowColour;
        }
        const auto users = [](const UserConfig &u) {
            return Writer([=](const QString &folder) { return ConfigFiles::writeUserConfigFile(folder, u); });
        };
        const auto onFullDisk = [](const Writer &write) {
            return Writer([=](const QString &folder) { const auto refused = fullDisk(); return write(folder); });
        };
        QTest::newRow("nothing assigned: -1 interval indexes, no colour as the system window's; into utilisat.agc")
            << FileWrite{users({}), u"utilisat.agc"_s, true, fileText(values(defaults)), values(defaults)};
        // The format cannot carry a double quote: the name is written as typed
        // and cut at the quote when read again.
        QTest::newRow("names with a comma, accents, a double quote; extreme numbers") << FileWrite{
            users(full), UsersFile, false, fileText(values(full)), replaced(values(full), {{3, u"\"Dr \""_s}})};
        QTest::newRow("switched off, in UTF-8, into ALPHA.AGC in capitals") << FileWrite{
            [](const QString &f) { return ConfigFiles::writeLookupSettings(f, {false, u"Opératoire"_s}); },
            u"ALPHA.AGC"_s, true, "#FALSE#,\"Op\xc3\xa9ratoire\"\r\n", values({false, u"Opératoire"_s})};
        QTest::newRow("Utilisat.agc, full disk") << FileWrite{onFullDisk(users(sampleUsers())), UsersFile, true, {}};
        // As an ordinary user, in a folder open to all, a file that cannot be read.
        QTest::newRow("hirondel.ini unreadable: its other values kept") << FileWrite{[](const QString &folder) {
            QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
            QFile::setPermissions(folder + u"/hirondel.ini"_s, {});
            const auto user = asOrdinaryUser();
            return SettingsStore(folder).setValue(u"HIRONDEL"_s, u"PLANORA"_s, u"SAUVE"_s, u"/nouveau"_s);
        }, u"hirondel.ini"_s, true, {}};
        QTest::newRow("a missing folder is not created") << FileWrite{
            [](const QString &f) { return ConfigFiles::writeUserConfigFile(f + u"/absent"_s, {}); }, UsersFile, false,
            {}};
    }

    void writesFiles()
    {
        QFETCH(FileWrite, c);
        const QByteArray old = "\"Ancien\"";
        if (c.existed)
            QVERIFY(writeBytes(path(c.file), old));
        QCOMPARE(c.write(path()), !c.written.isNull());
        QCOMPARE(QDir(path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 c.existed || !c.written.isNull() ? QStringList{c.file} : QStringList());
        QCOMPARE(bytesOf(path(c.file)), c.written.isNull() ? (c.existed ? old : "<absent>") : c.written);
        if (!c.written.isNull())
            QCOMPARE(std::get<QStringList>(reading(path(), c.file)), c.readBack);
    }

    // Utilisat.agc is in the program's folder unless CheminUt names another,
    // read at each use.
    void userConfigFolder()
    {
        SettingsStore store(path());
        const QString program = path(u"program"_s), users = path(u"users"_s);
        QVERIFY(QDir().mkpath(program) && QDir().mkpath(users));
        QCOMPARE(ConfigFiles::userConfigFolder(store, program), program); // no hirondel.ini
        QVERIFY(store.setValue(u"HIRONDEL"_s, u"PLANORA"_s, u"CheminUt"_s, QString()));
        QCOMPARE(ConfigFiles::userConfigFolder(store, program), program);
        QVERIFY(store.setValue(u"HIRONDEL"_s, u"PLANORA"_s, u"CheminUt"_s, users));
        QCOMPARE(ConfigFiles::userConfigFolder(store, program), users);
        QVERIFY(ConfigFiles::writeUserConfig(store, program, sampleUsers()));
        QVERIFY(QFile::exists(users + u'/' + UsersFile));
    }

    void readsSettings_data()
    {
        QTest::addColumn<QByteArray>("content"); // of hirondel.ini, read as HIRONDEL / PLANORA / CHEMIN
        QTest::addColumn<QString>("value");
        QTest::newRow("blanks around the first equals sign and at the end")
            << "[PLANORA]\n  CHEMIN = /srv/a=b \t\n"_ba << u"/srv/a=b"_s;
        QTest::newRow("empty value is no default") << "[PLANORA]\nCHEMIN=\n"_ba << QString();
        QTest::newRow("section and key in another case, first of two spellings wins")
            << "[planora]\nchemin=/a\nCHEMIN=/b\n"_ba << u"/a"_s;
        QTest::newRow("key before any section, in a section before and after")
            << "CHEMIN=/a\n[AUTRE]\nCHEMIN=/b\n[PLANORA]\nX=1\n[PLANORA2]\nCHEMIN=/c\n"_ba << Default;
        QTest::newRow("commented key") << "[PLANORA]\n;CHEMIN=/a\n#CHEMIN=/b\n"_ba << Default;
        QTest::newRow("byte order mark, section header with blanks, CR LF, no final line end")
            << "\xef\xbb\xbf[ planora ]\r\nCHEMIN=/a\r\nX=1"_ba << u"/a"_s;
        QTest::newRow("backslash before no escape stands, short hex too")
            << "[PLANORA]\nCHEMIN=C:\\Cabinet\\x4\n"_ba << u"C:\\Cabinet\\x4"_s;
    }

    void readsSettings()
    {
        QFETCH(QByteArray, content);
        QVERIFY(writeBytes(path(u"hirondel.ini"_s), content));
        QTEST(SettingsStore(path()).value(u"HIRONDEL"_s, u"PLANORA"_s, u"CHEMIN"_s, Default), "value");
    }

    void writesSettings_data()
    {
        QTest::addColumn<SettingWrite>("c");
        const auto sauve = [](const QString &value) -> QString { return u"HIRONDEL|PLANORA|SAUVE|"_s + value; };
        const auto refused = [](const QString &change) { return SettingWrite{{}, change, {}}; };
        QTest::newRow("keeps the key's spelling, comments, other sections, a Windows-1252 line in UTF-8")
            << SettingWrite{"; poste 2\n[AUTRE]\nSAUVE=/x\n[Planora]\n# ancien\nNOTE=Apr\xe9s\nSauve = /a \n",
                            u"Hirondel|PLANORA|SAUVE|/b"_s,
                            "; poste 2\n[AUTRE]\nSAUVE=/x\n[Planora]\n# ancien\nNOTE=Apr\xc3\xa9s\nSauve=/b\n"};
        QTest::newRow("new key after the section's last key")
            << SettingWrite{"[PLANORA]\nCHEMIN=/a\n\n[AUTRE]\nX=1\n", sauve(u"/b"_s),
                            "[PLANORA]\nCHEMIN=/a\nSAUVE=/b\n\n[AUTRE]\nX=1\n"};
        QTest::newRow("new section after a blank line")
            << SettingWrite{"[AUTRE]\nX=1", sauve(u"/b"_s), "[AUTRE]\nX=1\n\n[PLANORA]\nSAUVE=/b\n"};
        QTest::newRow("new file; blanks at both ends, accents and euro, comment and section signs")
            << SettingWrite{{}, sauve(u"  ;[Opératoire]#=€  "_s),
                            "[PLANORA]\nSAUVE=\\x20 ;[Op\xc3\xa9ratoire]#=\xe2\x82\xac \\x20\n"};
        QTest::newRow("line breaks, tabs at the ends, control characters") << SettingWrite{
            {}, sauve(u"\ta\r\nb\u0001\nc\u007f\t"_s), "[PLANORA]\nSAUVE=\\ta\\r\\nb\\x01\\nc\\x7F\\t\n"};
        QTest::newRow("backslashes, text that looks escaped")
            << SettingWrite{{}, sauve(u"C:\\Cabinet\\n\\x41"_s), "[PLANORA]\nSAUVE=C:\\\\Cabinet\\\\n\\\\x41\n"};
        QTest::newRow("empty key refused") << refused(u"HIRONDEL|PLANORA||x"_s);
        QTest::newRow("key with a line break refused") << refused(u"HIRONDEL|PLANORA|A\nB|x"_s);
        QTest::newRow("section with a bracket refused") << refused(u"HIRONDEL|PLAN]ORA|A|x"_s);
        QTest::newRow("application with a slash refused") << refused(u"../HIRONDEL|PLANORA|A|x"_s);
    }

    void writesSettings()
    {
        QFETCH(SettingWrite, c);
        const QString file = path(u"conf/hirondel.ini"_s);
        if (!c.before.isNull())
            QVERIFY(QDir(path()).mkdir(u"conf"_s) && writeBytes(file, c.before));
        SettingsStore store(path(u"conf"_s)); // made by the first write
        const QStringList n = c.change.split(u'|');
        QCOMPARE(store.setValue(n[0], n[1], n[2], n[3]), !c.after.isNull());
        QCOMPARE(bytesOf(file), c.after.isNull() ? (c.before.isNull() ? "<absent>" : c.before) : c.after);
        QCOMPARE(QDir(path()).isEmpty(), c.before.isNull() && c.after.isNull());
        if (!c.after.isNull())
            QCOMPARE(store.value(n[0], n[1], n[2], Default), n[3]);
    }

    // Where the settings and Alpha.agc go by default: under XDG_CONFIG_HOME, or
    // ~/.config when it is empty. A program folder this process cannot write to
    // (here one that does not exist): Alpha.agc is read there until the user's
    // folder holds one; the configuration window's save lands in the user's
    // folder, made for it, and start-up reads it back from there.
    void userFolders()
    {
        const auto restore = qScopeGuard([saved = qgetenv("XDG_CONFIG_HOME")] { qputenv("XDG_CONFIG_HOME", saved); });
        qputenv("XDG_CONFIG_HOME", QByteArray());
        QCOMPARE(SettingsStore().filePath(u"HIRONDEL"_s), QDir::homePath() + u"/.config/hirondel.ini"_s);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path()));
        QCOMPARE(SettingsStore().filePath(u"HIRONDEL"_s), path(u"hirondel.ini"_s));
        const QString program = path(u"usr/lib/planora"_s);
        QCOMPARE(LookupFolder::of(program, LookupFolder::Use::Reading), program);
        const LookupSettings lookup{true, u"MATABLE"_s};
        QVERIFY(ConfigFiles::writeLookupSettings(program, lookup));
        QVERIFY(QFile::exists(path(u"planora/Alpha.agc"_s)) && !QFile::exists(program));
        const LookupSettingsRead read = ConfigFiles::readLookupSettings(program);
        QVERIFY(read.valid);
        QCOMPARE(read.settings, lookup);
        // The program's own folder, writable, is used as it always was, though the user's holds one.
        QCOMPARE(LookupFolder::of(path(), LookupFolder::Use::Reading), path());
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
