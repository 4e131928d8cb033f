#include "configfiles.h"
#include "databasefile.h"
#include "datenumber.h"
#include "dayrecord.h"
#include "demopractice.h"
#include "namegenerator.h"
#include "schemaupgrade.h"
#include "settingsstore.h"
#include "storetestdatabase.h"
#include "textrules.h"
#include "toolrun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

using FileSetup = std::function<void(const QString &path)>;
using Predicate = std::function<bool(const NameGenerator::Patient &)>;
Q_DECLARE_METATYPE(FileSetup)
Q_DECLARE_METATYPE(Predicate)
Q_DECLARE_METATYPE(LookupSettings)

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
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

// The days of RVOUS1, every column in SQL notation: texts quoted, numbers
// bare, NULL as NULL.
QStringList daysOfFirstAgenda(const QString &path)
{
    const QString columns = allRows(path, u"SELECT group_concat('quote(' || name || ')', ' || ''|'' || ')"
                                          " FROM pragma_table_info('RVOUS1')"_s).value(0);
    return allRows(path, u"SELECT "_s + columns + u" FROM RVOUS1 ORDER BY AGENDATE"_s);
}

// A new database made by the schema's steps up to `version`, then `sql`.
void makeDatabase(const QString &path, int version, const QString &sql = {})
{
    const Status made = DatabaseFile::create(path, [&](SqliteConnection &db) {
        Status status = Status::success();
        for (const SchemaUpgrade::Step &step : SchemaUpgrade::steps()) {
            if (status.ok() && step.version <= version)
                status = DatabaseFile::execute(db, step.sql.toUtf8().constData());
        }
        return status.ok() ? DatabaseFile::execute(db, sql.toUtf8().constData()) : status;
    });
    QVERIFY2(made.ok(), qPrintable(made.message()));
}

// RVOUS with the given slots filled (slot index -> text).
QString rvous(const QHash<int, QString> &texts)
{
    std::array<QString, SlotCount> slots;
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        slots[std::size_t(it.key())] = it.value();
    return DayEncoding::encodeSlots(slots);
}

// An Access file as far as its first bytes go.
const QByteArray LegacyFile = StoreTestDatabase::JetHeader + QByteArray(2048, '\0');

} // namespace

// The supervisor's tool run as its own process: command lines, init, check on
// sound and damaged files, settings, convert through a stand-in for mdbtools;
// and the rules of its name generator.
class TestPlanoraAdmin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandLine_data()
    {
        QTest::addColumn<QString>("words"); // @ stands for a folder that does not exist, '' for an empty word
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");

        QTest::newRow("no command") << QString() << 2 << u"Aucune commande"_s;
        QTest::newRow("unknown command") << u"create"_s << 2 << u"Commande inconnue"_s;
        QTest::newRow("init without its folder") << u"init"_s << 2 << u"DOSSIER"_s;
        QTest::newRow("init with two folders") << u"init @ @"_s << 2 << u"en trop"_s;
        QTest::newRow("empty folder") << u"init ''"_s << 2 << u"vide"_s;
        QTest::newRow("sample count not a number") << u"init @ --sample-names many"_s << 2 << u"--sample-names"_s;
        QTest::newRow("negative sample count") << u"init @ --sample-names=-5"_s << 2 << u"--sample-names"_s;
        QTest::newRow("option without its value") << u"init @ --sample-names"_s << 2 << u"attend une valeur"_s;
        QTest::newRow("option unknown to the command") << u"check @ --table=X"_s << 2 << u"Option inconnue"_s;
        QTest::newRow("settings without --names") << u"settings --database @ --users @"_s << 2 << u"--names"_s;
        QTest::newRow("option given twice")
            << u"settings --database @ --database @ --users @ --names @"_s << 2 << u"deux fois"_s;
        QTest::newRow("table name that is not a plain name")
            << u"settings --database @ --users @ --names @ --table PATIENTS;DROP"_s << 2 << u"--table"_s;
        QTest::newRow("database not named AGENDAS.MDB")
            << u"settings --database @/agendas.mdb --users @ --names @ --program-folder @"_s << 1
            << u"AGENDAS.MDB (en majuscules)"_s;
        QTest::newRow("program folder missing")
            << u"settings --database @/AGENDAS.MDB --users @ --names @ --program-folder @"_s << 1
            << u"Le dossier du programme"_s;
        QTest::newRow("history with nothing to do") << u"history @"_s << 2 << u"history attend soit"_s;
        QTest::newRow("history --user without --date") << u"history @ --user 2"_s << 2 << u"ensemble"_s;
        QTest::newRow("history of user 7") << u"history @ --user 7 --date 2026-12-01"_s << 2 << u"--user"_s;
        QTest::newRow("history of an impossible day")
            << u"history @ --user 1 --date 2026-02-30"_s << 2 << u"--date attend"_s;
        QTest::newRow("history listing and restoring at once")
            << u"history @ --user 1 --date 2026-12-01 --restore 3"_s << 2 << u"history attend soit"_s;
        QTest::newRow("restore of a version that is not a number") << u"history @ --restore trois"_s << 2
                                                                  << u"--restore"_s;
        QTest::newRow("prune before no date") << u"history @ --prune-before hier"_s << 2 << u"--prune-before"_s;
        QTest::newRow("upgrade of a missing file") << u"upgrade @"_s << 1 << u"n'existe pas"_s;
        QTest::newRow("help") << u"--help"_s << 0 << u"convert ANCIEN.MDB DESTINATION"_s;
        QTest::newRow("help after a command") << u"init -h"_s << 0 << u"check FICHIER"_s;
        QTest::newRow("--demo takes no value") << u"init @ --demo=oui"_s << 2 << u"ne prend pas de valeur"_s;
        QTest::newRow("--demo twice") << u"init @ --demo --demo"_s << 2 << u"deux fois"_s;
    }

    void commandLine()
    {
        QFETCH(QString, words);
        QFETCH(int, exitCode);
        QFETCH(QString, said);

        QTemporaryDir temporary;
        QStringList arguments = words.split(u' ', Qt::SkipEmptyParts);
        arguments.replaceInStrings(u"@"_s, temporary.filePath(u"cabinet"_s)).replaceInStrings(u"''"_s, QString());
        const ToolRun run = runTool(arguments, temporary.path());

        QCOMPARE(run.exitCode, exitCode);
        const QString shown = exitCode == 0 ? run.out : run.err;
        QVERIFY2(shown.contains(said), qPrintable(shown));
        // The help goes with words not understood, not with a refused request.
        QCOMPARE(shown.contains(u"Utilisation : planora-admin"_s), exitCode != 1);
        // Nothing half done: no folder, no setting, no Alpha.agc.
        QVERIFY(QDir(temporary.path()).isEmpty());
    }

    void initThenCheck()
    {
        QTemporaryDir temporary;
        const QString folder = temporary.path() + u"/partage/cabinet"_s; // two levels to make
        const ToolRun init = runTool({u"init"_s, folder, u"--sample-names"_s, u"250"_s}, temporary.path());
        QVERIFY2(init.exitCode == 0, qPrintable(init.err));
        const ToolRun check = runTool({u"check"_s, folder + u"/AGENDAS.MDB"_s}, temporary.path());
        QVERIFY2(check.exitCode == 0, qPrintable(check.err));
        QVERIFY(check.out.contains(u"base correcte"_s));

        // User 1 named on the 15-minute grid, the others unassigned.
        const UserConfigRead users = ConfigFiles::readUserConfig(folder);
        QVERIFY(users.valid);
        for (int user = 0; user < UserCount; ++user) {
            QCOMPARE(users.users[user].name.isEmpty(), user != 0);
            QCOMPARE(users.users[user].intervalIndex, qint16(user == 0 ? 1 : -1));
            QCOMPARE(users.users[user].colour, SystemWindowColour);
        }

        const QString names = folder + u"/NOMS.db"_s;
        QCOMPARE(allRows(names, u"SELECT count(*) FROM PATIENTS WHERE NOM <> '' AND PRENOM <> ''"_s),
                 QStringList{u"250"_s});
        // The lookup's order is the index's order, so the lookup can read it.
        const QString plan = allRows(
            names, u"EXPLAIN QUERY PLAN SELECT * FROM PATIENTS WHERE NOM COLLATE PLANORA_NOCASE >= 'DU'"
                   " ORDER BY NOM COLLATE PLANORA_NOCASE, PRENOM COLLATE PLANORA_NOCASE LIMIT 1"_s).join(u' ');
        QVERIFY2(plan.contains(u"INDEX PATIENTS_NOM_PRENOM"_s) && !plan.contains(u"TEMP B-TREE"_s), qPrintable(plan));
        // The files of a shared folder are for every workstation, not private.
        QVERIFY(QFile::permissions(folder + u"/AGENDAS.MDB"_s) & QFile::ReadGroup);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    void initBesideExistingFiles_data()
    {
        QTest::addColumn<QString>("existing"); // a file already there
        QTest::addColumn<QString>("target");   // the folder given to init
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");

        QTest::newRow("an AGENDAS.MDB already there") << u"AGENDAS.MDB"_s << u"."_s << 1 << u"existe déjà"_s;
        QTest::newRow("the same name in lower case") << u"agendas.mdb"_s << u"."_s << 1 << u"existe déjà"_s;
        QTest::newRow("the folder is a file") << u"cabinet"_s << u"cabinet"_s << 1 << u"est un fichier"_s;
        QTest::newRow("a folder under a file")
            << u"cabinet"_s << u"cabinet/agendas"_s << 1 << u"Impossible de créer le dossier"_s;
        // After a failure on the way, init is run again: what is there is kept.
        QTest::newRow("a users file kept, whatever its case") << u"utilisat.agc"_s << u"."_s << 0 << u"gardé"_s;
        QTest::newRow("a names database kept") << u"NOMS.db"_s << u"."_s << 0 << u"gardée"_s;
    }

    void initBesideExistingFiles()
    {
        QFETCH(QString, existing);
        QFETCH(QString, target);
        QFETCH(int, exitCode);
        QFETCH(QString, said);

        QTemporaryDir temporary;
        const QString folder = temporary.path();
        writeFile(folder + u'/' + existing, "appointments of ten years");
        const ToolRun run = runTool({u"init"_s, folder + u'/' + target, u"--sample-names=10"_s}, folder + u"/config"_s);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((exitCode == 0 ? run.out : run.err).contains(said), qPrintable(run.out + run.err));
        QCOMPARE(StoreTestDatabase::contents(folder + u'/' + existing), QByteArray("appointments of ten years"));
        // A refusal makes nothing; a success adds the two missing files only.
        const QStringList files = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        QCOMPARE(files.size(), exitCode == 0 ? 3 : 1);
        QCOMPARE(files.contains(u"AGENDAS.MDB"_s), exitCode == 0 || existing == u"AGENDAS.MDB"_s);
    }

    void check_data()
    {
        QTest::addColumn<FileSetup>("setup"); // makes the file checked
        QTest::addColumn<QString>("said");

        const auto bytes = [](const QByteArray &content) {
            return FileSetup([=](const QString &path) { writeFile(path, content); });
        };
        // A sound database made by the tool, then cut to a size or changed by SQL.
        const auto damaged = [](qint64 size, const char *sql) {
            return FileSetup([=](const QString &path) {
                QCOMPARE(runTool({u"init"_s, QFileInfo(path).path()}, path + u".config"_s).exitCode, 0);
                if (size > 0)
                    QVERIFY(QFile::resize(path, size));
                else
                    QVERIFY(StoreTestDatabase::run(path, QString::fromUtf8(sql)));
            });
        };
        QTest::newRow("missing file") << FileSetup([](const QString &) {}) << u"n'existe pas"_s;
        QTest::newRow("a folder") << FileSetup([](const QString &path) { QDir().mkdir(path); }) << u"dossier"_s;
        QTest::newRow("empty file") << bytes({}) << u"vide"_s;
        QTest::newRow("text file") << bytes("RVOUS1;AGENDATE;37986\r\n") << u"pas une base de données"_s;
        QTest::newRow("legacy Access file") << bytes(LegacyFile) << u"planora-admin convert"_s;
        QTest::newRow("cut inside its header") << damaged(60, nullptr) << u"tronqué"_s;
        QTest::newRow("cut at a page boundary") << damaged(8192, nullptr) << u"tronqué"_s;
        QTest::newRow("missing table") << damaged(0, "DROP TABLE RVOUS4") << u"La table RVOUS4 manque"_s;
        QTest::newRow("missing column")
            << damaged(0, "DROP TRIGGER RVOUS2_HISTORIQUE_MAJ; DROP TRIGGER RVOUS2_HISTORIQUE_SUPPR;"
                          "ALTER TABLE RVOUS2 DROP COLUMN COCHE")
            << u"La table RVOUS2 n'a pas de colonne COCHE"_s;
        QTest::newRow("column of another kind")
            << damaged(0, "DROP TRIGGER RVOUS6_HISTORIQUE_MAJ; DROP TRIGGER RVOUS6_HISTORIQUE_SUPPR;"
                          "ALTER TABLE RVOUS6 DROP COLUMN COCHE; ALTER TABLE RVOUS6 ADD COLUMN COCHE INTEGER")
            << u"COCHE de la table RVOUS6 est de type INTEGER au lieu de TEXT"_s;
        // CREATE TABLE ... AS SELECT keeps the columns and their kinds, not the constraints.
        QTest::newRow("day not unique") << damaged(0, "ALTER TABLE RVOUS3 RENAME TO OLD;"
                                                      "CREATE TABLE RVOUS3 AS SELECT * FROM OLD; DROP TABLE OLD")
                                        << u"AGENDATE de la table RVOUS3 n'est pas unique"_s;
        QTest::newRow("history trigger dropped") << damaged(0, "DROP TRIGGER RVOUS3_HISTORIQUE_MAJ")
                                                 << u"Le déclencheur RVOUS3_HISTORIQUE_MAJ manque"_s;
        QTest::newRow("history trigger that keeps nothing")
            << damaged(0, "DROP TRIGGER RVOUS5_HISTORIQUE_SUPPR; CREATE TRIGGER RVOUS5_HISTORIQUE_SUPPR AFTER "
                          "DELETE ON RVOUS5 BEGIN SELECT 1; END")
            << u"RVOUS5_HISTORIQUE_SUPPR n'est pas celui du schéma"_s;
        QTest::newRow("an older schema version") << damaged(0, "PRAGMA user_version = 1")
                                                 << u"mettez-la à jour avec « planora-admin upgrade »"_s;
        // Pages of an index whose description is then removed: SQLite's own
        // integrity check finds them used by nothing.
        QTest::newRow("integrity failure")
            << damaged(0, "CREATE INDEX EXTRA ON RVOUS1 (RVOUS);"
                          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400)"
                          " INSERT INTO RVOUS1 (AGENDATE, RVOUS) SELECT 37000 + i, printf('%0500d', i) FROM n;"
                          "PRAGMA writable_schema = ON; DELETE FROM sqlite_schema WHERE name = 'EXTRA';")
            << u"Intégrité"_s;
    }

    void check()
    {
        QFETCH(FileSetup, setup);
        QFETCH(QString, said);

        QTemporaryDir temporary;
        const QString path = temporary.path() + u"/AGENDAS.MDB"_s;
        setup(path);
        if (QTest::currentTestFailed())
            return;
        const QByteArray before = StoreTestDatabase::contents(path);
        const ToolRun run = runTool({u"check"_s, path}, temporary.path() + u"/config"_s);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(said), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(StoreTestDatabase::contents(path), before); // checking never writes
    }

    void upgrade_data()
    {
        QTest::addColumn<int>("version"); // the schema steps the file was made with
        QTest::addColumn<QString>("sql"); // then run on it
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");

        const QString days = u"INSERT INTO RVOUS1 (AGENDATE, RVOUS, Postit, ABSENT2, ABSENT2_TXT, COCHE) VALUES "
                             "(46357, 'DUPONT' || char(13, 10) || 'MARTIN', 'a' || char(13, 10) || 'b', 0, 'Congrès', "
                             "'1'), (46358, NULL, NULL, 1, 'ABSENT', NULL);"
                             "INSERT INTO RVOUS4 (AGENDATE, Bloc) VALUES (46357, '8h hernie');"_s;
        QTest::newRow("version 1 with days") << 1 << days << 0 << u"de la version 1 à la version 2"_s;
        QTest::newRow("day tables without a version") << 1 << days + u"PRAGMA user_version = 0"_s << 0
                                                      << u"de la version 1 à la version 2"_s;
        QTest::newRow("already up to date") << 2 << days << 0 << u"déjà à jour (version 2)"_s;
        QTest::newRow("newer than the tool") << 2 << u"PRAGMA user_version = 3"_s << 1 << u"plus récente"_s;
        QTest::newRow("not an appointment database") << 0 << u"CREATE TABLE T (x)"_s << 1
                                                     << u"n'est pas une base d'agendas"_s;
        // The last statement of the step fails: everything before it is undone.
        QTest::newRow("a step failing at its end")
            << 1 << days + u"CREATE TABLE X (y); CREATE TRIGGER RVOUS6_HISTORIQUE_SUPPR AFTER DELETE ON X BEGIN "
                           "SELECT 1; END"_s
            << 1 << u"already exists"_s;
    }

    void upgrade()
    {
        QFETCH(int, version);
        QFETCH(QString, sql);
        QFETCH(int, exitCode);
        QFETCH(QString, said);

        QTemporaryDir temporary;
        const QString path = temporary.filePath(u"AGENDAS.MDB"_s);
        makeDatabase(path, version, sql);
        const QStringList daysBefore = daysOfFirstAgenda(path);
        const QByteArray before = StoreTestDatabase::contents(path);

        const ToolRun run = runTool({u"upgrade"_s, path}, temporary.filePath(u"config"_s));
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((exitCode == 0 ? run.out : run.err).contains(said), qPrintable(run.out + run.err));
        if (exitCode != 0 || said.contains(u"déjà"_s)) {
            QCOMPARE(StoreTestDatabase::contents(path), before); // refused, failed or up to date: untouched
            return;
        }
        QCOMPARE(daysOfFirstAgenda(path), daysBefore);
        QCOMPARE(allRows(path, u"PRAGMA user_version"_s), QStringList{u"2"_s});
        const ToolRun check = runTool({u"check"_s, path}, temporary.filePath(u"config"_s));
        QVERIFY2(check.exitCode == 0, qPrintable(check.err));
        // The triggers work: a change keeps the day it replaced, an
        // unchanged write keeps nothing.
        QVERIFY(StoreTestDatabase::run(path, u"UPDATE RVOUS1 SET RVOUS = 'DURAND' WHERE AGENDATE = 46357;"
                                             "UPDATE RVOUS4 SET Bloc = Bloc;"_s));
        QCOMPARE(allRows(path, u"SELECT UTILISATEUR, AGENDATE, quote(RVOUS), quote(ABSENT2_TXT) FROM HISTORIQUE"_s),
                 QStringList{u"1|46357|'DUPONT\r\nMARTIN'|'Congrès'"_s});
    }

    void history_data()
    {
        QTest::addColumn<QStringList>("arguments"); // after FILE; {tomorrow} is the day after today
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("said");     // in this order, in what the tool printed
        QTest::addColumn<QString>("query");        // on the file afterwards
        QTest::addColumn<QString>("result");

        const QString versionsKept = u"SELECT group_concat(NUMERO) FROM HISTORIQUE"_s;
        // Kept: 1 (DUPONT in slot 5), then 2 (DURAND in slot 5); stored now:
        // DURAND in slot 5, MARTIN in slot 7 and a post-it.
        QTest::newRow("the day's versions, newest first, with what the next one changed")
            << QStringList{u"--user"_s, u"2"_s, u"--date"_s, u"2026-12-01"_s} << 0
            << QStringList{u"2 version(s)"_s, u"Version 2, remplacée le "_s,
                           u"créneau 7 : (vide), remplacé par « MARTIN »"_s, u"autres changements : post-it"_s,
                           u"Version 1, remplacée le "_s, u"créneau 5 : « DUPONT », remplacé par « DURAND »"_s}
            << versionsKept << u"1,2"_s;
        QTest::newRow("another user's same day has no versions")
            << QStringList{u"--user"_s, u"3"_s, u"--date"_s, u"2026-12-01"_s} << 0
            << QStringList{u"aucune version remplacée"_s} << versionsKept << u"1,2"_s;
        QTest::newRow("restoring version 1 keeps what it replaces")
            << QStringList{u"--restore"_s, u"1"_s} << 0 << QStringList{u"Version 1 rétablie"_s, u"01/12/2026"_s}
            << u"SELECT instr(RVOUS, 'DUPONT') > 0, Postit IS NULL, (SELECT group_concat(NUMERO) FROM HISTORIQUE) "
               "FROM RVOUS2"_s
            << u"1|1|1,2,3"_s;
        QTest::newRow("restoring a version that does not exist")
            << QStringList{u"--restore"_s, u"7"_s} << 1 << QStringList{u"La version 7 n'existe pas"_s}
            << versionsKept << u"1,2"_s;
        QTest::newRow("pruning before tomorrow removes every version")
            << QStringList{u"--prune-before"_s, u"{tomorrow}"_s} << 0 << QStringList{u"2 version(s)"_s}
            << versionsKept << QString();
        QTest::newRow("pruning before an old day removes nothing")
            << QStringList{u"--prune-before"_s, u"2000-01-01"_s} << 0 << QStringList{u"0 version(s)"_s}
            << versionsKept << u"1,2"_s;
    }

    void history()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, said);
        QFETCH(QString, query);
        QFETCH(QString, result);

        QTemporaryDir temporary;
        const QString path = temporary.filePath(u"AGENDAS.MDB"_s);
        const QString day = QString::number(DateNumber::fromDate(QDate(2026, 12, 1)));
        makeDatabase(path, SchemaUpgrade::currentVersion(),
                     u"INSERT INTO RVOUS2 (AGENDATE, RVOUS) VALUES (%1, '%2');"
                     "UPDATE RVOUS2 SET RVOUS = '%3';"
                     "UPDATE RVOUS2 SET RVOUS = '%4', Postit = 'rappel';"
                     "INSERT INTO RVOUS3 (AGENDATE, RVOUS) VALUES (%1, 'seul');"_s
                         .arg(day, rvous({{5, u"DUPONT"_s}}), rvous({{5, u"DURAND"_s}}),
                              rvous({{5, u"DURAND"_s}, {7, u"MARTIN"_s}})));
        arguments.replaceInStrings(u"{tomorrow}"_s, QDate::currentDate().addDays(1).toString(Qt::ISODate));

        const ToolRun run = runTool(QStringList{u"history"_s, path} + arguments, temporary.filePath(u"config"_s));
        QCOMPARE(run.exitCode, exitCode);
        const QString shown = exitCode == 0 ? run.out : run.err;
        qsizetype from = 0;
        for (const QString &part : said) {
            from = shown.indexOf(part, from);
            QVERIFY2(from >= 0, qPrintable(part + u" not found in:\n"_s + shown));
        }
        QCOMPARE(allRows(path, query).value(0), result);
    }

    void historyOfAnOlderDatabase()
    {
        QTemporaryDir temporary;
        const QString path = temporary.filePath(u"AGENDAS.MDB"_s);
        makeDatabase(path, 1);
        const ToolRun run = runTool({u"history"_s, path, u"--prune-before"_s, u"2026-01-01"_s},
                                    temporary.filePath(u"config"_s));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"« planora-admin upgrade »"_s), qPrintable(run.err));
    }

    void settings_data()
    {
        QTest::addColumn<QString>("table");       // given with --table when not empty
        QTest::addColumn<QString>("alphaBefore"); // the name of an Alpha.agc already there, if any
        QTest::addColumn<LookupSettings>("lookupAfter");

        const LookupSettings supervisorChoice{false, u"MATABLE"_s}; // what Alpha.agc held before
        QTest::newRow("first run writes Alpha.agc") << QString() << QString() << LookupSettings{true, u"PATIENTS"_s};
        QTest::newRow("re-run keeps the supervisor's switch") << QString() << u"Alpha.agc"_s << supervisorChoice;
        QTest::newRow("re-run keeps a lower-case alpha.agc") << QString() << u"alpha.agc"_s << supervisorChoice;
        QTest::newRow("a table given replaces it")
            << u"CLIENTS"_s << u"Alpha.agc"_s << LookupSettings{true, u"CLIENTS"_s};
    }

    void settings()
    {
        QFETCH(QString, table);
        QFETCH(QString, alphaBefore);
        QFETCH(LookupSettings, lookupAfter);

        QTemporaryDir temporary;
        const QString practice = temporary.path() + u"/cabinet"_s;
        const QString program = temporary.path() + u"/programme"_s;
        QVERIFY(QDir().mkpath(practice) && QDir().mkpath(program));
        if (!alphaBefore.isEmpty())
            writeFile(program + u'/' + alphaBefore, "#FALSE#,\"MATABLE\"\r\n");
        QStringList arguments{u"settings"_s, u"--database"_s, u"AGENDAS.MDB"_s, u"--users=."_s,
                              u"--names"_s,    u"NOMS.db"_s,    u"--program-folder"_s, program};
        if (!table.isEmpty())
            arguments << u"--table"_s << table;
        // Relative paths, as typed in the practice folder, are stored whole.
        const ToolRun run = runTool(arguments, temporary.path() + u"/config"_s, practice);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));

        const SettingsStore store(temporary.path() + u"/config"_s);
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

    void convert_data()
    {
        QTest::addColumn<QString>("rvous1"); // what the stand-in mdb-export prints for RVOUS1
        QTest::addColumn<bool>("withTools");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QStringList>("days"); // RVOUS1 afterwards; empty: the conversion fails

        // Columns by name: the old file's own VIEUX is left out wherever it stands.
        const QString header = u"VIEUX,AGENDATE,RVOUS,Postit,Bloc,ABSENT1,ABSENT1_TXT,ABSENT2,ABSENT2_TXT,"
                               "ECHO1,ECHO1_TXT,ECHO2,ECHO2_TXT,COCHE"_s;
        QTest::newRow("quotes, commas and line breaks kept; an empty field is no value")
            << header + u"\nx,37986,\"DUPONT Jean\r\n\r\nMARTIN, \"\"Paul\"\"\",\"post-it\",,1,\"Congrès\",0,,0,,0,,"
                        "\"0\r\n1\"\nx,37987,,,,0,,0,,1,\"Echo\",0,,"_s
            << true << u"RVOUS1 : 2 jour(s) copié(s)"_s
            << QStringList{u"37986|'DUPONT Jean\r\n\r\nMARTIN, \"Paul\"'|'post-it'|NULL|1|'Congrès'|0|NULL|0|NULL|0|"
                           "NULL|'0\r\n1'"_s,
                           u"37987|NULL|NULL|NULL|0|NULL|0|NULL|1|'Echo'|0|NULL|NULL"_s};
        QTest::newRow("yes and no in words, CR LF line ends, an empty text")
            << header + u"\r\nx,37986,\"\",,,TRUE,\"A\",False,,-1,,0,,\"C\"\r\n"_s << true
            << u"RVOUS1 : 1 jour(s) copié(s)"_s
            << QStringList{u"37986|''|NULL|NULL|1|'A'|0|NULL|1|NULL|0|NULL|'C'"_s};
        QTest::newRow("a day that is not a number")
            << header + u"\nx,31/12/2003,,,,0,,0,,0,,0,,\n"_s << true << u"AGENDATE « 31/12/2003 »"_s
            << QStringList{};
        QTest::newRow("an export cut inside quotes")
            << header + u"\nx,37986,\"DUPONT"_s << true << u"RVOUS1 est incomplet"_s << QStringList{};
        QTest::newRow("mdbtools not installed") << header << false << u"apt-get install mdbtools"_s << QStringList{};
    }

    void convert()
    {
        QFETCH(QString, rvous1);
        QFETCH(bool, withTools);
        QFETCH(QString, said);
        QFETCH(QStringList, days);

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
        writeFile(legacy, LegacyFile);
        const QString target = temporary.path() + u"/nouveau"_s;
        QVERIFY(QDir().mkpath(target));

        // The shell and cat stay reachable; mdbtools only through the stand-ins.
        const auto convert = [&](const QString &destination) {
            return runTool({u"convert"_s, legacy, destination}, temporary.path() + u"/config"_s, {},
                           tools + u":/bin:/usr/bin"_s);
        };
        const ToolRun run = convert(target);
        QCOMPARE(run.exitCode, days.isEmpty() ? 1 : 0);
        QVERIFY2((days.isEmpty() ? run.err : run.out).contains(said), qPrintable(run.out + run.err));
        const QString database = target + u"/AGENDAS.MDB"_s;
        QCOMPARE(QFileInfo::exists(database), !days.isEmpty());
        if (days.isEmpty())
            return;
        QVERIFY(run.out.contains(u"RVOUS5 manque"_s));
        QCOMPARE(runTool({u"check"_s, database}, temporary.path() + u"/config"_s).exitCode, 0);
        QCOMPARE(daysOfFirstAgenda(database), days);
        // A second conversion never replaces the first one's file.
        const ToolRun again = convert(database);
        QCOMPARE(again.exitCode, 1);
        QVERIFY(again.err.contains(u"existe déjà"_s));
    }

    void demoPractice_data()
    {
        QTest::addColumn<int>("user");
        QTest::addColumn<int>("intervalIndex");
        QTest::addColumn<QString>("markedDays"); // an SQL condition some of the user's days meet

        QTest::newRow("user 1: 15 minutes, echography afternoons") << 1 << 1 << u"ECHO2 = 1 AND ECHO2_TXT <> ''"_s;
        QTest::newRow("user 2: 20 minutes, a morning absence") << 2 << 2 << u"ABSENT1 = 1 AND ABSENT1_TXT <> ''"_s;
        QTest::newRow("user 3: 30 minutes, theatre programmes") << 3 << 3 << u"Bloc LIKE '%' || char(13, 10) || '%'"_s;
    }

    void demoPractice()
    {
        QFETCH(int, user);
        QFETCH(int, intervalIndex);
        QFETCH(QString, markedDays);

        QTemporaryDir temporary;
        const QString folder = temporary.filePath(u"demo"_s);
        const QDate today = QDate::currentDate();
        const ToolRun init = runTool({u"init"_s, folder, u"--demo"_s}, temporary.path());
        QVERIFY2(init.exitCode == 0, qPrintable(init.err));
        const QString database = folder + u"/AGENDAS.MDB"_s;
        const ToolRun check = runTool({u"check"_s, database}, temporary.path());
        QVERIFY2(check.exitCode == 0, qPrintable(check.err));

        const UserConfigRead users = ConfigFiles::readUserConfig(folder);
        QVERIFY(users.valid);
        const UserEntry &entry = users.users[user - 1];
        QVERIFY(!entry.name.isEmpty());
        QCOMPARE(entry.intervalIndex, qint16(intervalIndex));
        for (int other = 0; other < UserCount; ++other) {
            QCOMPARE(users.users[other].name.isEmpty(), other >= 3);
            if (other != user - 1 && other < 3)
                QVERIFY(users.users[other].colour != entry.colour);
        }

        // Working days only, in the six weeks around today, every week of them.
        const DemoPractice::Weeks weeks = DemoPractice::weeksAround(today);
        QCOMPARE(weeks.first.dayOfWeek(), int(Qt::Monday));
        QCOMPARE(weeks.first.daysTo(weeks.last), 41);
        QVERIFY(weeks.first <= today && today <= weeks.last);
        const QString table = u"RVOUS%1"_s.arg(user);
        QSet<qint64> weeksSeen;
        for (const QString &number : allRows(database, u"SELECT AGENDATE FROM "_s + table)) {
            const QDate day = DateNumber::toDate(number.toInt());
            QVERIFY2(day >= weeks.first && day <= weeks.last, qPrintable(day.toString()));
            // Only user 1 works at weekends, and only in the morning.
            QVERIFY(day.dayOfWeek() <= Qt::Friday || user == 1);
            weeksSeen.insert(weeks.first.daysTo(day) / 7);
        }
        QCOMPARE(weeksSeen.size(), 6);
        QVERIFY(allRows(database, u"SELECT count(*) FROM %1 WHERE %2"_s.arg(table, markedDays)).value(0).toInt() > 0);
        // Weekend afternoons stay free (date number + 6, modulo 7: 6 Saturday, 0 Sunday).
        for (const QString &rvous :
             allRows(database, u"SELECT RVOUS FROM %1 WHERE (AGENDATE + 6) % 7 IN (0, 6)"_s.arg(table))) {
            const auto slots = DayEncoding::decodeSlots(rvous);
            QVERIFY(std::all_of(slots.begin() + MorningSlotCount, slots.end(),
                                [](const QString &slot) { return slot.isEmpty(); }));
        }

        // Check marks on days gone by only; some there.
        const QString todayNumber = QString::number(DateNumber::fromDate(today));
        QCOMPARE(allRows(database, u"SELECT count(*) FROM %1 WHERE AGENDATE > %2 AND instr(COCHE, '1') > 0"_s.arg(
                                       table, todayNumber)),
                 QStringList{u"0"_s});
        QVERIFY(allRows(database, u"SELECT count(*) FROM %1 WHERE AGENDATE < %2 AND instr(COCHE, '1') > 0"_s.arg(
                                      table, todayNumber)).value(0).toInt() > 0);

        // Every appointment begins with a patient of the names database.
        SqliteConnection names;
        QCOMPARE(names.open(folder + u"/NOMS.db"_s, SqliteConnection::Mode::ReadOnly), 0);
        int appointments = 0;
        for (const QString &rvous : allRows(database, u"SELECT RVOUS FROM "_s + table)) {
            for (const QString &slot : DayEncoding::decodeSlots(rvous)) {
                if (slot.isEmpty())
                    continue;
                ++appointments;
                const QString patient = slot.section(u" - "_s, 0, 0);
                const auto found = DatabaseFile::query(
                    names, u"SELECT count(*) FROM PATIENTS WHERE NOM || ' ' || PRENOM = ?"_s, {patient});
                QVERIFY2(found.rows.value(0).value(0).toInt() > 0, qPrintable(slot));
            }
        }
        QVERIFY(appointments > 100);
        QCOMPARE(allRows(database, u"SELECT count(*) FROM RVOUS4"_s), QStringList{u"0"_s});
    }

    void generatedNames_data()
    {
        QTest::addColumn<Predicate>("holds");
        QTest::addColumn<double>("atLeast"); // share of the patients it holds for
        QTest::addColumn<double>("atMost");

        const auto hasAccent = [](const QString &text) {
            return text.normalized(QString::NormalizationForm_D).size() != text.size();
        };
        using P = NameGenerator::Patient;
        QTest::newRow("family names in capitals, given names capitalised")
            << Predicate([](const P &p) { return p.nom == p.nom.toUpper() && p.prenom.at(0).isUpper(); }) << 1.0 << 1.0;
        QTest::newRow("nothing that breaks a slot or a record") << Predicate([](const P &p) {
            static const QRegularExpression breaking(u"[\",\r\n]"_s);
            return !p.nom.isEmpty() && !p.prenom.isEmpty() && !p.nom.contains(breaking)
                && !p.prenom.contains(breaking);
        }) << 1.0 << 1.0;
        QTest::newRow("some family names accented") << Predicate([=](const P &p) { return hasAccent(p.nom); })
                                                    << 0.05 << 0.6;
        QTest::newRow("some given names accented") << Predicate([=](const P &p) { return hasAccent(p.prenom); })
                                                   << 0.1 << 0.8;
        // About a third of the family names and two fifths of the given names.
        QTest::newRow("compound family and given names")
            << Predicate([](const P &p) { return p.nom.contains(u'-') || p.prenom.contains(u'-'); }) << 0.5 << 0.72;
    }

    void generatedNames()
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

    void generatorIsRepeatable()
    {
        NameGenerator first;
        NameGenerator second;
        NameGenerator other(7);
        QSet<QString> distinct;
        int sameAsOther = 0;
        constexpr int count = 200000;
        const auto both = [](const NameGenerator::Patient &p) -> QString { return p.nom + u'|' + p.prenom; };
        for (int i = 0; i < count; ++i) {
            const QString patient = both(first.next());
            QCOMPARE(both(second.next()), patient);
            sameAsOther += both(other.next()) == patient ? 1 : 0;
            distinct.insert(patient);
        }
        QVERIFY(sameAsOther < count / 100);
        // Distinct enough that a million patients are mostly different people.
        QVERIFY2(distinct.size() > count * 6 / 10, qPrintable(QString::number(distinct.size())));
    }
};

QTEST_GUILESS_MAIN(TestPlanoraAdmin)
#include "tst_planoraadmin.moc"
