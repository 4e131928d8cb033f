#include "configfiles.h"
#include "csvtext.h"
#include "databasefile.h"
#include "namegenerator.h"
#include "settingsstore.h"
#include "textrules.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

// The supervisor's tool run as its own process: usage errors, init, check on
// sound and damaged files, settings, convert through a stand-in for mdbtools;
// and the rules of its name generator and of the exported text it reads.
class TestPlanoraAdmin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandLine_data();
    void commandLine();
    void initThenCheck();
    void initRefuses_data();
    void initRefuses();
    void initKeepsExistingFiles();
    void check_data();
    void check();
    void settings_data();
    void settings();
    void settingsRefused_data();
    void settingsRefused();
    void convert_data();
    void convert();
    void generatedNames_data();
    void generatedNames();
    void generatorIsRepeatable();
    void exportedText_data();
    void exportedText();
};

using FileSetup = std::function<void(const QString &folder)>;
using Predicate = std::function<bool(const NameGenerator::Patient &)>;
Q_DECLARE_METATYPE(FileSetup)
Q_DECLARE_METATYPE(Predicate)
Q_DECLARE_METATYPE(LookupSettings)

namespace {

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs planora-admin with its own settings folder, so that no run touches the
// user's; path holds the folders searched for mdbtools.
ToolRun runTool(const QStringList &arguments, const QString &settingsFolder,
                const QString &path = qEnvironmentVariable("PATH"))
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, settingsFolder);
    environment.insert(u"PATH"_s, path);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(PLANORA_ADMIN_PATH), arguments);
    ToolRun run;
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A sound database made by the tool itself, at folder/AGENDAS.MDB.
void makeDatabase(const QString &folder)
{
    const ToolRun run = runTool({u"init"_s, folder}, folder + u"/config"_s);
    QCOMPARE(run.exitCode, 0);
}

void alterDatabase(const QString &path, const char *sql)
{
    SqliteConnection db;
    QCOMPARE(db.open(path, SqliteConnection::Mode::ReadWrite), 0);
    const Status done = DatabaseFile::execute(db, sql);
    QVERIFY2(done.ok(), qPrintable(done.message()));
}

void truncateDatabase(const QString &path, qint64 size)
{
    QFile file(path);
    QVERIFY(file.resize(size));
}

QStringList allRows(const QString &path, const QString &sql)
{
    SqliteConnection db;
    if (db.open(path, SqliteConnection::Mode::ReadOnly) != 0 || registerTextRules(db.handle()) != 0)
        return {u"<cannot open>"_s};
    QStringList rows;
    const DatabaseFile::Rows result = DatabaseFile::query(db, sql);
    for (const QStringList &row : result.rows)
        rows.append(row.join(u'|'));
    return result.error.isEmpty() ? rows : QStringList{result.error};
}

// An Access file as far as its first bytes go.
QByteArray legacyHeader()
{
    QByteArray bytes(2048, '\0');
    bytes.replace(4, 15, "Standard Jet DB");
    return bytes;
}

} // namespace

void TestPlanoraAdmin::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");

    const QString folder = u"@folder@"_s; // replaced by a fresh temporary folder
    QTest::newRow("no command") << QStringList{} << 2 << u"Aucune commande"_s;
    QTest::newRow("unknown command") << QStringList{u"create"_s} << 2 << u"Commande inconnue"_s;
    QTest::newRow("init without its folder") << QStringList{u"init"_s} << 2 << u"DOSSIER"_s;
    QTest::newRow("init with two folders") << QStringList{u"init"_s, folder, folder} << 2 << u"en trop"_s;
    QTest::newRow("sample count not a number")
        << QStringList{u"init"_s, folder, u"--sample-names"_s, u"many"_s} << 2 << u"--sample-names"_s;
    QTest::newRow("negative sample count")
        << QStringList{u"init"_s, folder, u"--sample-names=-5"_s} << 2 << u"--sample-names"_s;
    QTest::newRow("option without its value")
        << QStringList{u"init"_s, folder, u"--sample-names"_s} << 2 << u"attend une valeur"_s;
    QTest::newRow("option unknown to the command") << QStringList{u"check"_s, folder, u"--table=X"_s} << 2
                                                   << u"Option inconnue"_s;
    QTest::newRow("settings without --names")
        << QStringList{u"settings"_s, u"--database"_s, folder, u"--users"_s, folder} << 2 << u"--names"_s;
    QTest::newRow("option given twice")
        << QStringList{u"settings"_s, u"--database"_s, folder, u"--database"_s, folder, u"--users"_s, folder,
                       u"--names"_s, folder}
        << 2 << u"deux fois"_s;
    QTest::newRow("table name that is not a plain name")
        << QStringList{u"settings"_s, u"--database"_s, folder, u"--users"_s, folder, u"--names"_s, folder,
                       u"--table"_s, u"PATIENTS;DROP"_s}
        << 2 << u"--table"_s;
    QTest::newRow("empty folder") << QStringList{u"init"_s, u""_s} << 2 << u"vide"_s;
    QTest::newRow("convert with one file") << QStringList{u"convert"_s, folder} << 2 << u"DESTINATION"_s;
    QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"convert ANCIEN.MDB DESTINATION"_s;
    QTest::newRow("help after a command") << QStringList{u"init"_s, u"-h"_s} << 0 << u"check FICHIER"_s;
}

void TestPlanoraAdmin::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);

    QTemporaryDir temporary;
    const QString folder = temporary.path() + u"/cabinet"_s;
    arguments.replaceInStrings(u"@folder@"_s, folder);
    const ToolRun run = runTool(arguments, temporary.path());

    QCOMPARE(run.exitCode, exitCode);
    const QString shown = exitCode == 0 ? run.out : run.err;
    QVERIFY2(shown.contains(said), qPrintable(shown));
    QVERIFY2(shown.contains(u"Utilisation : planora-admin"_s), qPrintable(shown));
    // A command line that was not understood does nothing at all.
    QVERIFY(!QFileInfo::exists(folder));
}

void TestPlanoraAdmin::initThenCheck()
{
    QTemporaryDir temporary;
    const QString folder = temporary.path() + u"/partage/cabinet"_s; // two levels to make
    const ToolRun init = runTool({u"init"_s, folder, u"--sample-names"_s, u"250"_s}, temporary.path());
    QVERIFY2(init.exitCode == 0, qPrintable(init.err));

    const ToolRun check = runTool({u"check"_s, folder + u"/AGENDAS.MDB"_s}, temporary.path());
    QVERIFY2(check.exitCode == 0, qPrintable(check.err));
    QVERIFY(check.out.contains(u"base correcte"_s));

    const UserConfigRead users = ConfigFiles::readUserConfig(folder);
    QVERIFY(users.valid);
    QVERIFY(!users.users[0].name.isEmpty());
    QCOMPARE(users.users[0].intervalIndex, qint16(1));
    QCOMPARE(users.users[0].colour, qint32(-2147483643));
    QCOMPARE(users.users[0].topAnnotation, u"Echographies"_s);
    QCOMPARE(users.users[0].bottomAnnotation, u"Programme Bloc Opératoire"_s);
    for (int user = 1; user < UserCount; ++user) {
        QVERIFY(users.users[user].name.isEmpty());
        QCOMPARE(users.users[user].intervalIndex, qint16(-1));
    }

    const QString names = folder + u"/NOMS.db"_s;
    QCOMPARE(allRows(names, u"SELECT count(*) FROM PATIENTS WHERE NOM <> '' AND PRENOM <> ''"_s),
             QStringList{u"250"_s});
    // The lookup's order is the index's order, so the lookup can read it.
    const QStringList plan = allRows(
        names, u"EXPLAIN QUERY PLAN SELECT * FROM PATIENTS WHERE NOM COLLATE PLANORA_NOCASE >= 'DU'"
               " ORDER BY NOM COLLATE PLANORA_NOCASE, PRENOM COLLATE PLANORA_NOCASE LIMIT 1"_s);
    QVERIFY2(plan.join(u' ').contains(u"INDEX PATIENTS_NOM_PRENOM"_s), qPrintable(plan.join(u' ')));
    QVERIFY2(!plan.join(u' ').contains(u"TEMP B-TREE"_s), qPrintable(plan.join(u' ')));
    // The files of a shared folder are for every workstation, not private.
    QVERIFY(QFile::permissions(folder + u"/AGENDAS.MDB"_s) & QFile::ReadGroup);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

void TestPlanoraAdmin::initRefuses_data()
{
    QTest::addColumn<QString>("existing"); // a file already there
    QTest::addColumn<QString>("target");   // the folder given to init
    QTest::addColumn<QString>("said");

    QTest::newRow("an AGENDAS.MDB already there") << u"AGENDAS.MDB"_s << u"."_s << u"existe déjà"_s;
    QTest::newRow("the same name in lower case") << u"agendas.mdb"_s << u"."_s << u"existe déjà"_s;
    QTest::newRow("the folder is a file") << u"cabinet"_s << u"cabinet"_s << u"est un fichier"_s;
    QTest::newRow("a folder under a file") << u"cabinet"_s << u"cabinet/agendas"_s
                                           << u"Impossible de créer le dossier"_s;
}

void TestPlanoraAdmin::initRefuses()
{
    QFETCH(QString, existing);
    QFETCH(QString, target);
    QFETCH(QString, said);

    QTemporaryDir temporary;
    const QString folder = temporary.path();
    writeFile(folder + u'/' + existing, "appointments of ten years");

    const ToolRun run = runTool({u"init"_s, folder + u'/' + target, u"--sample-names=10"_s}, folder + u"/config"_s);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
    QCOMPARE(contents(folder + u'/' + existing), QByteArray("appointments of ten years"));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{existing});
}

void TestPlanoraAdmin::initKeepsExistingFiles()
{
    QTemporaryDir temporary;
    const QString folder = temporary.path();
    writeFile(folder + u"/utilisat.agc"_s, "\"Dr Chen\"\r\n");
    writeFile(folder + u"/NOMS.db"_s, "");

    const ToolRun run = runTool({u"init"_s, folder, u"--sample-names=10"_s}, folder + u"/config"_s);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(run.out.contains(u"gardé"_s));
    QCOMPARE(contents(folder + u"/utilisat.agc"_s), QByteArray("\"Dr Chen\"\r\n"));
    QCOMPARE(contents(folder + u"/NOMS.db"_s), QByteArray());
    QVERIFY(!QFileInfo::exists(folder + u"/Utilisat.agc"_s));
    QVERIFY(QFileInfo(folder + u"/AGENDAS.MDB"_s).size() > 0);
}

void TestPlanoraAdmin::check_data()
{
    QTest::addColumn<FileSetup>("setup");
    QTest::addColumn<QString>("said");

    const auto database = [](const QString &folder) -> QString { return folder + u"/AGENDAS.MDB"_s; };
    QTest::newRow("missing file") << FileSetup([](const QString &) {}) << u"n'existe pas"_s;
    QTest::newRow("a folder") << FileSetup([=](const QString &folder) { QDir(folder).mkdir(u"AGENDAS.MDB"_s); })
                              << u"dossier"_s;
    QTest::newRow("empty file") << FileSetup([=](const QString &folder) { writeFile(database(folder), {}); })
                                << u"vide"_s;
    QTest::newRow("text file") << FileSetup([=](const QString &folder) {
        writeFile(database(folder), "RVOUS1;AGENDATE;37986\r\n");
    }) << u"pas une base de données"_s;
    QTest::newRow("legacy Access file")
        << FileSetup([=](const QString &folder) { writeFile(database(folder), legacyHeader()); })
        << u"planora-admin convert"_s;
    QTest::newRow("cut inside its header") << FileSetup([=](const QString &folder) {
        makeDatabase(folder);
        truncateDatabase(database(folder), 60);
    }) << u"tronqué"_s;
    QTest::newRow("cut at a page boundary") << FileSetup([=](const QString &folder) {
        makeDatabase(folder);
        truncateDatabase(database(folder), 8192);
    }) << u"tronqué"_s;
    QTest::newRow("cut inside a page") << FileSetup([=](const QString &folder) {
        makeDatabase(folder);
        truncateDatabase(database(folder), 30000);
    }) << u"tronqué"_s;
    QTest::newRow("missing table") << FileSetup([=](const QString &folder) {
        makeDatabase(folder);
        alterDatabase(database(folder), "DROP TABLE RVOUS4");
    }) << u"La table RVOUS4 manque"_s;
    QTest::newRow("missing column") << FileSetup([=](const QString &folder) {
        makeDatabase(folder);
        alterDatabase(database(folder), "ALTER TABLE RVOUS2 DROP COLUMN COCHE");
    }) << u"La table RVOUS2 n'a pas de colonne COCHE"_s;
    QTest::newRow("column of another kind") << FileSetup([=](const QString &folder) {
        makeDatabase(folder);
        alterDatabase(database(folder), "DROP TABLE RVOUS6;"
                                        "CREATE TABLE RVOUS6 (AGENDATE TEXT UNIQUE, RVOUS TEXT, Postit TEXT,"
                                        " Bloc TEXT, ABSENT1 INTEGER, ABSENT1_TXT TEXT, ABSENT2 INTEGER,"
                                        " ABSENT2_TXT TEXT, ECHO1 INTEGER, ECHO1_TXT TEXT, ECHO2 INTEGER,"
                                        " ECHO2_TXT TEXT, COCHE TEXT)");
    }) << u"AGENDATE de la table RVOUS6 est de type TEXT au lieu de INTEGER"_s;
    QTest::newRow("day not unique") << FileSetup([=](const QString &folder) {
        makeDatabase(folder);
        alterDatabase(database(folder), "DROP TABLE RVOUS3;"
                                        "CREATE TABLE RVOUS3 (AGENDATE INTEGER, RVOUS TEXT, Postit TEXT,"
                                        " Bloc TEXT, ABSENT1 INTEGER, ABSENT1_TXT TEXT, ABSENT2 INTEGER,"
                                        " ABSENT2_TXT TEXT, ECHO1 INTEGER, ECHO1_TXT TEXT, ECHO2 INTEGER,"
                                        " ECHO2_TXT TEXT, COCHE TEXT)");
    }) << u"AGENDATE de la table RVOUS3 n'est pas unique"_s;
    QTest::newRow("integrity failure") << FileSetup([=](const QString &folder) {
        makeDatabase(folder);
        // Pages of an index whose description is then removed: SQLite's own
        // integrity check finds them used by nothing.
        alterDatabase(database(folder),
                      "CREATE INDEX EXTRA ON RVOUS1 (RVOUS);"
                      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400)"
                      " INSERT INTO RVOUS1 (AGENDATE, RVOUS) SELECT 37000 + i, printf('%0500d', i) FROM n;"
                      "PRAGMA writable_schema = ON;"
                      "DELETE FROM sqlite_schema WHERE name = 'EXTRA';");
    }) << u"Intégrité"_s;
}

void TestPlanoraAdmin::check()
{
    QFETCH(FileSetup, setup);
    QFETCH(QString, said);

    QTemporaryDir temporary;
    const QString path = temporary.path() + u"/AGENDAS.MDB"_s;
    setup(temporary.path());
    if (QTest::currentTestFailed())
        return;
    const QByteArray before = contents(path);

    const ToolRun run = runTool({u"check"_s, path}, temporary.path() + u"/config"_s);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
    QCOMPARE(contents(path), before); // checking never writes
}

void TestPlanoraAdmin::settings_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QByteArray>("alphaBefore");
    QTest::addColumn<QString>("alphaName");
    QTest::addColumn<LookupSettings>("lookupAfter");

    const LookupSettings supervisorChoice{false, u"MATABLE"_s};
    QTest::newRow("first run writes Alpha.agc") << QStringList{} << QByteArray() << u"Alpha.agc"_s
                                                << LookupSettings{true, u"PATIENTS"_s};
    QTest::newRow("first run with a table") << QStringList{u"--table=CLIENTS"_s} << QByteArray() << u"Alpha.agc"_s
                                            << LookupSettings{true, u"CLIENTS"_s};
    QTest::newRow("re-run keeps the supervisor's switch")
        << QStringList{} << QByteArray("#FALSE#,\"MATABLE\"\r\n") << u"Alpha.agc"_s << supervisorChoice;
    QTest::newRow("re-run keeps a lower-case alpha.agc")
        << QStringList{} << QByteArray("#FALSE#,\"MATABLE\"\r\n") << u"alpha.agc"_s << supervisorChoice;
    QTest::newRow("a table given replaces it") << QStringList{u"--table"_s, u"CLIENTS"_s}
                                               << QByteArray("#FALSE#,\"MATABLE\"\r\n") << u"Alpha.agc"_s
                                               << LookupSettings{true, u"CLIENTS"_s};
}

void TestPlanoraAdmin::settings()
{
    QFETCH(QStringList, extra);
    QFETCH(QByteArray, alphaBefore);
    QFETCH(QString, alphaName);
    QFETCH(LookupSettings, lookupAfter);

    QTemporaryDir temporary;
    const QString practice = temporary.path() + u"/cabinet"_s;
    const QString program = temporary.path() + u"/programme"_s;
    const QString config = temporary.path() + u"/config"_s;
    makeDatabase(practice);
    QVERIFY(QDir().mkpath(program));
    if (!alphaBefore.isEmpty())
        writeFile(program + u'/' + alphaName, alphaBefore);

    // Relative paths, as typed in the practice folder, are stored whole.
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, config);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(practice);
    process.start(QStringLiteral(PLANORA_ADMIN_PATH),
                  QStringList{u"settings"_s, u"--database"_s, u"AGENDAS.MDB"_s, u"--users=."_s, u"--names"_s,
                              u"NOMS.db"_s, u"--program-folder"_s, program}
                      + extra);
    QVERIFY(process.waitForFinished(300000));
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());

    const SettingsStore store(config);
    const auto setting = [&store](const QString &key) {
        return store.value(u"hirondel"_s, u"planora"_s, key, u"<missing>"_s);
    };
    QCOMPARE(setting(u"chemin"_s), practice + u"/AGENDAS.MDB"_s);
    QCOMPARE(setting(u"cheminut"_s), practice);
    QCOMPARE(setting(u"cheminnoms"_s), practice + u"/NOMS.db"_s);

    const LookupSettingsRead lookup = ConfigFiles::readLookupSettings(program);
    QVERIFY(lookup.valid);
    QCOMPARE(lookup.settings, lookupAfter);
    QCOMPARE(QDir(program).entryList(QDir::Files).size(), 1); // one Alpha.agc, whatever its case
}

void TestPlanoraAdmin::settingsRefused_data()
{
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("said");

    QTest::newRow("database not named AGENDAS.MDB") << u"cabinet/agendas.mdb"_s << u"programme"_s
                                                    << u"AGENDAS.MDB (en majuscules)"_s;
    QTest::newRow("program folder missing") << u"cabinet/AGENDAS.MDB"_s << u"absent"_s << u"n'existe pas"_s;
}

void TestPlanoraAdmin::settingsRefused()
{
    QFETCH(QString, database);
    QFETCH(QString, programFolder);
    QFETCH(QString, said);

    QTemporaryDir temporary;
    const QString root = temporary.path();
    QVERIFY(QDir(root).mkpath(u"programme"_s));
    const ToolRun run = runTool({u"settings"_s, u"--database"_s, root + u'/' + database, u"--users"_s,
                                 root + u"/cabinet"_s, u"--names"_s, root + u"/cabinet/NOMS.db"_s,
                                 u"--program-folder"_s, root + u'/' + programFolder},
                                root + u"/config"_s);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
    // Nothing half done: no setting and no Alpha.agc written.
    QVERIFY(!QFileInfo::exists(root + u"/config"_s));
    QVERIFY(QDir(root + u"/programme"_s).isEmpty());
}

void TestPlanoraAdmin::convert_data()
{
    QTest::addColumn<QString>("rvous1");  // what the stand-in mdb-export prints for RVOUS1
    QTest::addColumn<bool>("withTools");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QStringList>("rows"); // RVOUS1 afterwards

    const QString header = u"AGENDATE,RVOUS,Postit,Bloc,ABSENT1,ABSENT1_TXT,ABSENT2,ABSENT2_TXT,ECHO1,ECHO1_TXT,"
                           "ECHO2,ECHO2_TXT,COCHE,VIEUX\n"_s;
    QTest::newRow("days copied field by field")
        << header + u"37986,\"DUPONT Jean\r\n\r\nMARTIN, \"\"Paul\"\"\",\"post-it\",,1,\"Congrès\",0,,0,,0,,\"0\r\n1\",x\n"
                    "37987,,,,0,,0,,1,\"Echo\",0,,,x\n"_s
        << true << 0 << u"RVOUS1 : 2 jour(s) copié(s)"_s
        << QStringList{u"37986|DUPONT Jean\r\n\r\nMARTIN, \"Paul\"|post-it|<null>|1|Congrès|0|<null>|0|<null>|0|<null>|0\r\n1"_s,
                       u"37987|<null>|<null>|<null>|0|<null>|0|<null>|1|Echo|0|<null>|<null>"_s};
    QTest::newRow("yes and no in words") << header + u"37986,,,,TRUE,\"A\",False,,-1,,0,,,\n"_s << true << 0
                                         << u"RVOUS1 : 1 jour(s) copié(s)"_s
                                         << QStringList{u"37986|<null>|<null>|<null>|1|A|0|<null>|1|<null>|0|<null>|<null>"_s};
    QTest::newRow("a day that is not a number") << header + u"31/12/2003,,,,0,,0,,0,,0,,,\n"_s << true << 1
                                                << u"AGENDATE « 31/12/2003 »"_s << QStringList{};
    QTest::newRow("mdbtools not installed") << header << false << 1 << u"apt-get install mdbtools"_s
                                            << QStringList{};
}

void TestPlanoraAdmin::convert()
{
    QFETCH(QString, rvous1);
    QFETCH(bool, withTools);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QFETCH(QStringList, rows);

    QTemporaryDir temporary;
    const QString tools = temporary.path() + u"/bin"_s;
    QVERIFY(QDir().mkpath(tools));
    if (withTools) {
        // Stand-ins for mdbtools: RVOUS5 is missing from the old file, the
        // other tables print what their .csv file holds.
        writeFile(tools + u"/mdb-tables"_s, "#!/bin/sh\nprintf 'RVOUS1\\nRVOUS2\\nRVOUS3\\nRVOUS4\\nRVOUS6\\n'\n");
        writeFile(tools + u"/mdb-export"_s, "#!/bin/sh\ncat \"$(dirname \"$0\")/$2.csv\"\n");
        for (const QString &tool : {u"/mdb-tables"_s, u"/mdb-export"_s})
            QVERIFY(QFile::setPermissions(tools + tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        for (const QString &table : {u"RVOUS2"_s, u"RVOUS3"_s, u"RVOUS4"_s, u"RVOUS6"_s})
            writeFile(tools + u'/' + table + u".csv"_s, "AGENDATE,RVOUS\n");
        writeFile(tools + u"/RVOUS1.csv"_s, rvous1.toUtf8());
    }
    const QString legacy = temporary.path() + u"/ANCIEN.MDB"_s;
    writeFile(legacy, legacyHeader());
    const QString target = temporary.path() + u"/nouveau"_s;
    QVERIFY(QDir().mkpath(target));

    // The shell and cat stay reachable; mdbtools only through the stand-ins.
    const ToolRun run = runTool({u"convert"_s, legacy, target}, temporary.path() + u"/config"_s,
                                tools + u":/bin:/usr/bin"_s);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2((exitCode == 0 ? run.out : run.err).contains(said), qPrintable(run.out + run.err));
    const QString database = target + u"/AGENDAS.MDB"_s;
    if (exitCode != 0) {
        QVERIFY(!QFileInfo::exists(database));
        return;
    }
    QVERIFY(run.out.contains(u"RVOUS5 manque"_s));
    QCOMPARE(runTool({u"check"_s, database}, temporary.path() + u"/config"_s).exitCode, 0);
    QCOMPARE(allRows(database, u"SELECT AGENDATE, ifnull(RVOUS, '<null>'), ifnull(Postit, '<null>'),"
                               " ifnull(Bloc, '<null>'), ABSENT1, ifnull(ABSENT1_TXT, '<null>'), ABSENT2,"
                               " ifnull(ABSENT2_TXT, '<null>'), ECHO1, ifnull(ECHO1_TXT, '<null>'), ECHO2,"
                               " ifnull(ECHO2_TXT, '<null>'), ifnull(COCHE, '<null>')"
                               " FROM RVOUS1 ORDER BY AGENDATE"_s),
             rows);
    QCOMPARE(allRows(database, u"SELECT typeof(AGENDATE) FROM RVOUS1 LIMIT 1"_s), QStringList{u"integer"_s});
    // A second conversion never replaces the first one's file.
    const ToolRun again = runTool({u"convert"_s, legacy, database}, temporary.path() + u"/config"_s,
                                  tools + u":/bin:/usr/bin"_s);
    QCOMPARE(again.exitCode, 1);
    QVERIFY(again.err.contains(u"existe déjà"_s));
}

void TestPlanoraAdmin::generatedNames_data()
{
    QTest::addColumn<Predicate>("holds");
    QTest::addColumn<double>("atLeast"); // share of the patients it holds for
    QTest::addColumn<double>("atMost");

    const auto hasAccent = [](const QString &text) {
        return text.normalized(QString::NormalizationForm_D).size() != text.size();
    };
    QTest::newRow("family names in capitals")
        << Predicate([](const NameGenerator::Patient &p) { return p.nom == p.nom.toUpper(); }) << 1.0 << 1.0;
    QTest::newRow("given names start with a capital")
        << Predicate([](const NameGenerator::Patient &p) { return p.prenom.at(0).isUpper(); }) << 1.0 << 1.0;
    QTest::newRow("nothing that breaks a slot or a record")
        << Predicate([](const NameGenerator::Patient &p) {
               const QString both = p.nom + p.prenom;
               return !both.contains(u'"') && !both.contains(u',') && !both.contains(u'\r')
                      && !both.contains(u'\n') && !p.nom.isEmpty() && !p.prenom.isEmpty();
           })
        << 1.0 << 1.0;
    QTest::newRow("some family names accented")
        << Predicate([=](const NameGenerator::Patient &p) { return hasAccent(p.nom); }) << 0.05 << 0.6;
    QTest::newRow("some given names accented")
        << Predicate([=](const NameGenerator::Patient &p) { return hasAccent(p.prenom); }) << 0.1 << 0.8;
    QTest::newRow("some family names with an apostrophe")
        << Predicate([](const NameGenerator::Patient &p) { return p.nom.contains(u'\''); }) << 0.005 << 0.2;
    QTest::newRow("some compound family names")
        << Predicate([](const NameGenerator::Patient &p) { return p.nom.contains(u'-'); }) << 0.15 << 0.5;
    QTest::newRow("some compound given names")
        << Predicate([](const NameGenerator::Patient &p) { return p.prenom.contains(u'-'); }) << 0.15 << 0.6;
}

void TestPlanoraAdmin::generatedNames()
{
    QFETCH(Predicate, holds);
    QFETCH(double, atLeast);
    QFETCH(double, atMost);

    constexpr int count = 20000;
    NameGenerator generator;
    int held = 0;
    for (int i = 0; i < count; ++i)
        held += holds(generator.next()) ? 1 : 0;
    QVERIFY2(held >= atLeast * count && held <= atMost * count, qPrintable(QString::number(held)));
}

void TestPlanoraAdmin::generatorIsRepeatable()
{
    NameGenerator first;
    NameGenerator second;
    NameGenerator other(7);
    QSet<QString> distinct;
    int sameAsOther = 0;
    constexpr int count = 200000;
    for (int i = 0; i < count; ++i) {
        const NameGenerator::Patient a = first.next();
        const NameGenerator::Patient b = second.next();
        const NameGenerator::Patient c = other.next();
        QCOMPARE(a.nom + u'|' + a.prenom, b.nom + u'|' + b.prenom);
        sameAsOther += a.nom == c.nom && a.prenom == c.prenom ? 1 : 0;
        distinct.insert(a.nom + u'|' + a.prenom);
    }
    QVERIFY(sameAsOther < count / 100);
    // Distinct enough that a million patients are mostly different people.
    QVERIFY2(distinct.size() > count * 6 / 10, qPrintable(QString::number(distinct.size())));
}

void TestPlanoraAdmin::exportedText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<bool>("complete");

    QTest::newRow("plain fields") << u"A,B\n1,2\n"_s << QList<QStringList>{{u"A"_s, u"B"_s}, {u"1"_s, u"2"_s}}
                                  << true;
    QTest::newRow("last row without line end") << u"1,2"_s << QList<QStringList>{{u"1"_s, u"2"_s}} << true;
    QTest::newRow("comma and doubled quote inside quotes")
        << u"\"a,b\",\"say \"\"hi\"\"\"\n"_s << QList<QStringList>{{u"a,b"_s, u"say \"hi\""_s}} << true;
    QTest::newRow("CR LF inside quotes kept") << u"\"x\r\ny\",2\n"_s
                                              << QList<QStringList>{{u"x\r\ny"_s, u"2"_s}} << true;
    QTest::newRow("CR LF row ends") << u"1,2\r\n3,4\r\n"_s
                                    << QList<QStringList>{{u"1"_s, u"2"_s}, {u"3"_s, u"4"_s}} << true;
    QTest::newRow("empty field without quotes has no value") << u"1,,\"\"\n"_s
                                                             << QList<QStringList>{{u"1"_s, u"<null>"_s, u""_s}}
                                                             << true;
    QTest::newRow("text ending inside quotes") << u"1,\"abc"_s << QList<QStringList>{{u"1"_s, u"abc"_s}}
                                               << false;
}

void TestPlanoraAdmin::exportedText()
{
    QFETCH(QString, text);
    QFETCH(QList<QStringList>, rows);
    QFETCH(bool, complete);

    const CsvText::Table table = CsvText::parse(text);
    QList<QStringList> shown = table.rows;
    for (QStringList &row : shown) {
        for (QString &field : row)
            field = field.isNull() ? u"<null>"_s : field;
    }
    QCOMPARE(shown, rows);
    QCOMPARE(table.complete, complete);
}

QTEST_GUILESS_MAIN(TestPlanoraAdmin)
#include "tst_planoraadmin.moc"
