#include "configfiles.h"
#include "refusedwrites.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(UserConfig)

namespace {

const QString UsersFile = u"Utilisat.agc"_s;
const QString LookupFile = u"Alpha.agc"_s;

// The six users as the 30 values of Utilisat.agc, grouped by field: names,
// colours, interval indexes, top annotations, bottom annotations.
QStringList values(const UserConfig &users)
{
    QStringList values;
    const auto quoted = [](const QString &text) -> QString { return u'"' + text + u'"'; };
    for (const UserEntry &e : users) values << quoted(e.name);
    for (const UserEntry &e : users) values << QString::number(e.colour);
    for (const UserEntry &e : users) values << QString::number(e.intervalIndex);
    for (const UserEntry &e : users) values << quoted(e.topAnnotation);
    for (const UserEntry &e : users) values << quoted(e.bottomAnnotation);
    return values;
}

// The saved example: users 1 and 2 named, user 1 on light grey and the second
// list position, user 2 on the first, the others on the system window colour
// without a choice.
QStringList sample()
{
    return QStringList{u"\"Dr Martin\""_s, u"\"Dr Durand\""_s, u"\"\""_s, u"\"\""_s, u"\"\""_s, u"\"\""_s,
                       u"12632256"_s} + QStringList(5, u"-2147483643"_s) + QStringList{u"1"_s, u"0"_s}
        + QStringList(4, u"-1"_s) + u"\"Echo 1\",\"Echo 2\",\"Echo 3\",\"Echo 4\",\"Echo 5\",\"Echo 6\","
                                    "\"Bloc 1\",\"Bloc 2\",\"Bloc 3\",\"Bloc 4\",\"Bloc 5\",\"Bloc 6\""_s.split(u',');
}

UserConfig sampleUsers()
{
    UserConfig users;
    for (int i = 0; i < UserCount; ++i)
        users[i] = {{}, SystemWindowColour, -1, u"Echo %1"_s.arg(i + 1), u"Bloc %1"_s.arg(i + 1)};
    users[0] = {u"Dr Martin"_s, 12632256, 1, u"Echo 1"_s, u"Bloc 1"_s};
    users[1].name = u"Dr Durand"_s;
    users[1].intervalIndex = 0;
    return users;
}

QStringList replaced(QStringList values, const QList<std::pair<int, QString>> &changes)
{
    for (const auto &[index, value] : changes)
        values[index] = value;
    return values;
}

// Values joined by commas, perLine to a line, each line ended as told.
QByteArray fileText(const QStringList &values, int perLine = 30, const QString &lineEnd = u"\r\n"_s)
{
    QString text;
    for (qsizetype i = 0; i < values.size(); ++i)
        text += values[i] + ((i + 1) % perLine == 0 || i + 1 == values.size() ? lineEnd : u","_s);
    return text.toUtf8();
}

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

// Utilisat.agc and Alpha.agc as whole files: records, messages, locations,
// writing, and what a failed write leaves.
class TestConfigFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsUserConfig_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("users"); // the 30 values the users hold after reading
        QTest::addColumn<bool>("valid");

        const QStringList accents = replaced(sample(), {{18, u"\"Opératoire\""_s}, {24, u"\"Aprés-midi\""_s}});
        QTest::newRow("30 values on one line") << fileText(sample()) << sample() << true;
        QTest::newRow("30 values split across lines") << fileText(sample(), 7) << sample() << true;
        QTest::newRow("30 values one per line, LF only") << fileText(sample(), 1, u"\n"_s) << sample() << true;
        QTest::newRow("31 values: message, the 31st became name 1")
            << fileText(sample() << u"\"Dr Petit\""_s) << replaced(sample(), {{0, u"\"Dr Petit\""_s}}) << false;
        QTest::newRow("60 values: the second record is used")
            << fileText(QStringList(30, u"\"Ancien\""_s)) + fileText(sample()) << sample() << true;
        QTest::newRow("29 values: message, what was read stays")
            << fileText(sample().mid(0, 29)) << replaced(sample(), {{29, u"\"\""_s}}) << false;
        QTest::newRow("a value that fails to convert keeps the place")
            << fileText(sample()) + fileText(replaced(sample(), {{6, u"\"gris\""_s}, {12, u"70000"_s}})) << sample()
            << true;
        QTest::newRow("numbers and booleans into names, a text into a colour")
            << fileText(replaced(sample(), {{0, u"12"_s}, {1, u"#TRUE#"_s}, {6, u"\"255\""_s}}))
            << replaced(sample(), {{0, u"\"12\""_s}, {1, u"\"True\""_s}, {6, u"255"_s}}) << true;
        QTest::newRow("Windows-1252 file with accents")
            << QString::fromUtf8(fileText(accents)).toLatin1() << accents << true;
        QTest::newRow("UTF-8 file with accents") << fileText(accents) << accents << true;
        QTest::newRow("empty file") << QByteArray() << values(UserConfig{}) << true;
        QTest::newRow("blank lines only") << QByteArray("\r\n  \r\n") << values(UserConfig{}) << true;
    }

    void readsUserConfig()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, users);
        QFETCH(bool, valid);

        QTemporaryDir dir;
        writeFile(dir.filePath(UsersFile), content);
        const UserConfigRead read = ConfigFiles::readUserConfig(dir.path());
        QCOMPARE(values(read.users), users);
        QCOMPARE(read.valid, valid);
        QCOMPARE(read.message, valid ? QString()
                                     : u"Fichier "_s + dir.path()
                                           + u"/Utilisat.agc non valide (trop ou pas assez de paramètres)."_s);
    }

    void userConfigRoundTrip_data()
    {
        QTest::addColumn<UserConfig>("users");
        QTest::addColumn<QByteArray>("written"); // empty: not pinned

        UserConfig full;
        const QStringList names = {u"Dr Martin"_s, u"Dupont, Jean"_s, u"Opératoire é"_s,
                                   u"  blancs  "_s, u"Ünïcödé €"_s, u"#TRUE#"_s};
        const qint32 colours[] = {INT32_MIN, INT32_MAX, 0, 12632256, SystemWindowColour, 255};
        const qint16 intervals[] = {0, 1, 4, -1, INT16_MIN, INT16_MAX};
        for (int i = 0; i < UserCount; ++i)
            full[i] = {names[i], colours[i], intervals[i], u"Echo, %1"_s.arg(i), u"Bloc Opératoire %1"_s.arg(i)};

        QTest::newRow("the saved example") << sampleUsers() << fileText(sample());
        QTest::newRow("nothing assigned: -1 interval indexes")
            << UserConfig{}
            << QByteArray("\"\",\"\",\"\",\"\",\"\",\"\",0,0,0,0,0,0,-1,-1,-1,-1,-1,-1,"
                          "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
        QTest::newRow("a full configuration, commas and accents") << full << QByteArray();
    }

    void userConfigRoundTrip()
    {
        QFETCH(UserConfig, users);
        QFETCH(QByteArray, written);

        QTemporaryDir dir;
        QVERIFY(ConfigFiles::writeUserConfigFile(dir.path(), users));
        if (!written.isEmpty())
            QCOMPARE(readFile(dir.filePath(UsersFile)), written);
        const UserConfigRead read = ConfigFiles::readUserConfig(dir.path());
        QVERIFY(read.users == users);
        QVERIFY(read.valid);
    }

    void nameWithDoubleQuote_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("names"); // as read back, joined by "|"
        QTest::addColumn<bool>("valid");

        // The format cannot carry a double quote: the name is written as typed
        // and the next reading gives what these rows pin down.
        QTest::newRow("inner quotes cut the name") << u"Dr \"Bob\""_s << u"Dr |Dr Durand||||"_s << true;
        QTest::newRow("a quoted name reads empty") << u"\"Bob\""_s << u"|Dr Durand||||"_s << true;
        QTest::newRow("a quote then a comma shifts the values") << u"A\",B"_s << u"Bloc 6|B\"|Dr Durand|||"_s << false;
    }

    void nameWithDoubleQuote()
    {
        QFETCH(QString, typed);
        QFETCH(QString, names);
        QFETCH(bool, valid);

        QTemporaryDir dir;
        UserConfig users = sampleUsers();
        users[0].name = typed;
        QVERIFY(ConfigFiles::writeUserConfigFile(dir.path(), users));
        const UserConfigRead read = ConfigFiles::readUserConfig(dir.path());
        QStringList readNames;
        for (const UserEntry &entry : read.users)
            readNames << entry.name;
        QCOMPARE(readNames.join(u'|'), names);
        QCOMPARE(read.valid, valid);
    }

    void readsLookupSettings_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("valid");

        QTest::newRow("#TRUE# and the design table") << QByteArray("#TRUE#,\"MATABLE\"\r\n") << true << u"MATABLE"_s << true;
        QTest::newRow("#FALSE# still gives the table") << QByteArray("#FALSE#,\"NOMS\"\r\n") << false << u"NOMS"_s << true;
        QTest::newRow("-1 switches on") << QByteArray("-1,\"NOMS\"") << true << u"NOMS"_s << true;
        QTest::newRow("1 does not") << QByteArray("1,\"NOMS\"") << false << u"NOMS"_s << true;
        QTest::newRow("quoted -1 is a text") << QByteArray("\"-1\",\"NOMS\"") << false << u"NOMS"_s << true;
        QTest::newRow("split across lines, unquoted table") << QByteArray(" #TRUE#\r\nNOMS ") << true << u"NOMS"_s << true;
        QTest::newRow("4 values: the second record is used")
            << QByteArray("#TRUE#,\"A\"\r\n#FALSE#,\"B\"\r\n") << false << u"B"_s << true;
        QTest::newRow("3 values: message, the third is the switch")
            << QByteArray("#FALSE#,\"A\",#TRUE#\r\n") << true << u"A"_s << false;
        QTest::newRow("1 value: message") << QByteArray("-1") << true << QString() << false;
        QTest::newRow("empty file") << QByteArray() << false << QString() << true;
    }

    void readsLookupSettings()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, enabled);
        QFETCH(QString, table);
        QFETCH(bool, valid);

        QTemporaryDir dir;
        writeFile(dir.filePath(LookupFile), content);
        const LookupSettingsRead read = ConfigFiles::readLookupSettings(dir.path());
        QCOMPARE(read.settings, (LookupSettings{enabled, table}));
        QCOMPARE(read.valid, valid);
        QCOMPARE(read.message, valid ? QString() : u"Fichier "_s + dir.path() + u"/Alpha.agc non valide."_s);
    }

    void lookupRoundTrip_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QByteArray>("written");

        QTest::newRow("switched on, design table") << true << u"MATABLE"_s << QByteArray("#TRUE#,\"MATABLE\"\r\n");
        QTest::newRow("switched off keeps the table") << false << u"NOMS"_s << QByteArray("#FALSE#,\"NOMS\"\r\n");
        QTest::newRow("accents in UTF-8") << true << u"Opératoire"_s << QByteArray("#TRUE#,\"Op\xc3\xa9ratoire\"\r\n");
    }

    void lookupRoundTrip()
    {
        QFETCH(bool, enabled);
        QFETCH(QString, table);
        QFETCH(QByteArray, written);

        QTemporaryDir dir;
        QVERIFY(ConfigFiles::writeLookupSettings(dir.path(), {enabled, table}));
        QCOMPARE(readFile(dir.filePath(LookupFile)), written);
        const LookupSettingsRead read = ConfigFiles::readLookupSettings(dir.path());
        QCOMPARE(read.settings, (LookupSettings{enabled, table}));
        QVERIFY(read.valid);
    }

    void unreadableFilesReadEmpty_data()
    {
        QTest::addColumn<QString>("how");

        QTest::newRow("no file") << u"none"_s;
        QTest::newRow("no folder") << u"no folder"_s;
        QTest::newRow("names taken by folders") << u"folders"_s;
        QTest::newRow("files without read permission") << u"unreadable"_s;
    }

    void unreadableFilesReadEmpty()
    {
        QFETCH(QString, how);

        QTemporaryDir dir;
        openToEveryone(dir.path());
        const QString folder = how == u"no folder"_s ? dir.filePath(u"absent"_s) : dir.path();
        for (const QString &name : {UsersFile, LookupFile}) {
            if (how == u"folders"_s)
                QVERIFY(QDir(folder).mkdir(name));
            if (how == u"unreadable"_s) {
                writeFile(dir.filePath(name), "#TRUE#,\"MATABLE\"\r\n");
                QVERIFY(QFile::setPermissions(dir.filePath(name), {}));
            }
        }
        const OrdinaryUser user;
        const UserConfigRead users = ConfigFiles::readUserConfig(folder);
        const LookupSettingsRead lookup = ConfigFiles::readLookupSettings(folder);
        QVERIFY(users.users == UserConfig{});
        QVERIFY(users.valid && users.message.isEmpty());
        QCOMPARE(lookup.settings, LookupSettings{});
        QVERIFY(lookup.valid && lookup.message.isEmpty());
    }

    void userConfigFolder_data()
    {
        QTest::addColumn<QByteArray>("settings"); // %USERS% stands for the users' folder
        QTest::addColumn<bool>("inUsersFolder");

        QTest::newRow("no settings file: the program's folder") << QByteArray() << false;
        QTest::newRow("CheminUt missing: the program's folder") << QByteArray("[PLANORA]\nCHEMIN=/x\n") << false;
        QTest::newRow("CheminUt empty: the program's folder") << QByteArray("[PLANORA]\nCheminUt=\n") << false;
        QTest::newRow("CheminUt set") << QByteArray("[PLANORA]\nCheminUt=%USERS%\n") << true;
        QTest::newRow("CheminUt set in other case") << QByteArray("[planora]\ncheminut = %USERS%\n") << true;
    }

    void userConfigFolder()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, inUsersFolder);

        QTemporaryDir dir;
        const QString program = dir.filePath(u"program"_s);
        const QString users = dir.filePath(u"users"_s);
        const QString later = dir.filePath(u"later"_s);
        for (const QString &folder : {program, users, later})
            QVERIFY(QDir().mkpath(folder));
        SettingsStore store(dir.path());
        if (!settings.isEmpty())
            writeFile(store.filePath(u"HIRONDEL"_s), settings.replace("%USERS%", users.toUtf8()));

        const QString expected = inUsersFolder ? users : program;
        QCOMPARE(ConfigFiles::userConfigFolder(store, program), expected);
        QVERIFY(ConfigFiles::writeUserConfig(store, program, sampleUsers()));
        QVERIFY(QFile::exists(QDir(expected).filePath(UsersFile)));
        QVERIFY(!QFile::exists(QDir(inUsersFolder ? program : users).filePath(UsersFile)));

        // The setting is read again at writing time.
        QVERIFY(store.setValue(u"HIRONDEL"_s, u"PLANORA"_s, u"CheminUt"_s, later));
        QVERIFY(ConfigFiles::writeUserConfig(store, program, sampleUsers()));
        QVERIFY(ConfigFiles::readUserConfig(later).users == sampleUsers());
    }

    void fileNameCase_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("existing"); // empty: no file yet

        QTest::newRow("utilisat.agc") << UsersFile << u"utilisat.agc"_s;
        QTest::newRow("UTILISAT.AGC") << UsersFile << u"UTILISAT.AGC"_s;
        QTest::newRow("no Utilisat.agc yet") << UsersFile << QString();
        QTest::newRow("alpha.agc") << LookupFile << u"alpha.agc"_s;
        QTest::newRow("ALPHA.AGC") << LookupFile << u"ALPHA.AGC"_s;
        QTest::newRow("no Alpha.agc yet") << LookupFile << QString();
    }

    void fileNameCase()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, existing);

        QTemporaryDir dir;
        const bool users = fileName == UsersFile;
        const auto readName = [&] {
            return users ? ConfigFiles::readUserConfig(dir.path()).users[0].name
                         : ConfigFiles::readLookupSettings(dir.path()).settings.tableName;
        };
        if (!existing.isEmpty()) {
            writeFile(dir.filePath(existing), users ? fileText(sample()) : QByteArray("#TRUE#,\"Dr Martin\""));
            QCOMPARE(readName(), u"Dr Martin"_s);
        }
        UserConfig newUsers = sampleUsers();
        newUsers[0].name = u"Neuf"_s;
        QVERIFY(users ? ConfigFiles::writeUserConfigFile(dir.path(), newUsers)
                      : ConfigFiles::writeLookupSettings(dir.path(), {false, u"Neuf"_s}));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{existing.isEmpty() ? fileName : existing});
        QCOMPARE(readName(), u"Neuf"_s);
    }

    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("refusal"); // -1: the folder does not exist

        for (const QString &file : {UsersFile, LookupFile}) {
            QTest::addRow("%s, read-only folder", qPrintable(file)) << file << int(Refusal::ReadOnlyFolder);
            QTest::addRow("%s, full disk", qPrintable(file)) << file << int(Refusal::FullDisk);
            QTest::addRow("%s, missing folder", qPrintable(file)) << file << -1;
        }
    }

    void failedWriteKeepsOldFile()
    {
        QFETCH(QString, fileName);
        QFETCH(int, refusal);

        QTemporaryDir dir;
        openToEveryone(dir.path());
        const QString folder = refusal < 0 ? dir.filePath(u"absent"_s) : dir.path();
        const auto write = [&](const QString &name) {
            UserConfig users = sampleUsers();
            users[0].name = name;
            return fileName == UsersFile ? ConfigFiles::writeUserConfigFile(folder, users)
                                         : ConfigFiles::writeLookupSettings(folder, {true, name});
        };
        if (refusal >= 0)
            QVERIFY(write(u"Ancien"_s));
        const QByteArray old = readFile(dir.filePath(fileName));
        {
            std::optional<RefusedWrites> refused;
            if (refusal >= 0)
                refused.emplace(Refusal(refusal), folder);
            QVERIFY(!write(u"Nouveau, plus long que l'ancien"_s));
        }
        QCOMPARE(readFile(dir.filePath(fileName)), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 refusal < 0 ? QStringList() : QStringList{fileName});
    }
};

QTEST_GUILESS_MAIN(TestConfigFiles)
#include "tst_configfiles.moc"
