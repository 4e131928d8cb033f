#include "configfiles.h"
#include "csvexport.h"
#include "datenumber.h"
#include "daycursor.h"
#include "filebytes.h"
#include "icalendartext.h"
#include "practicesetup.h"
#include "schemaupgrade.h"
#include "settingsstore.h"
#include "slottimes.h"
#include "storetestdatabase.h"
#include "toolrun.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

using FileSetup = std::function<void(const QString &path)>;
Q_DECLARE_METATYPE(FileSetup)
Q_DECLARE_METATYPE(LookupSettings)

namespace {

QString text(const char *utf8) { return QString::fromUtf8(utf8); }

// The rows of a query, columns joined by '|'.
QStringList allRows(const QString &path, const QString &sql)
{
    QStringList rows;
    for (const QVariantList &row : StoreTestDatabase::rows(path, sql))
        rows << QVariant(row).toStringList().join(u'|');
    return rows;
}

// The days of RVOUS1, every column in SQL notation: texts quoted, numbers bare, NULL as NULL.
QStringList daysOfFirstAgenda(const QString &path)
{
    const QString columns = allRows(path, u"SELECT group_concat('quote(' || name || ')', ' || ''|'' || ')"
                                          " FROM pragma_table_info('RVOUS1')"_s).value(0);
    return allRows(path, u"SELECT "_s + columns + u" FROM RVOUS1 ORDER BY AGENDATE"_s);
}

// A new database made by the schema's steps up to `version`, then `sql`.
void makeDatabase(const QString &path, int version, const QString &sql = {})
{
    QString steps;
    for (const SchemaUpgrade::Step &step : SchemaUpgrade::steps())
        steps += step.version <= version ? step.sql : QString();
    QVERIFY(StoreTestDatabase::run(path, steps + sql));
}

const QString SomeDays = u"INSERT INTO RVOUS1 (AGENDATE, RVOUS, Postit, ABSENT2, ABSENT2_TXT, COCHE) VALUES (46357, "
                         "'DUPONT' || char(13, 10) || 'MARTIN', 'a' || char(13, 10) || 'b', 0, 'Congrès', '1'),"
                         "(46358, NULL, NULL, 1, 'ABSENT', NULL); INSERT INTO RVOUS4 (AGENDATE, Bloc) VALUES "
                         "(46357, '8h hernie');"_s;

const QByteArray LegacyFile = StoreTestDatabase::JetHeader + QByteArray(2048, '\0'); // as far as its first bytes go
// An appointment's text that a calendar folds, with what a CSV field or a calendar value escapes.
const QString LongText = u"D'ALMEIDA-HÉBERT, Zoé; dit \"Zozo\" \\ écho - résultats prise de sang, ECG; rappeler "
                         "l'hôpital à propos du compte rendu"_s;

bool saveDay(const QString &folder, int user, QDate date, const DayRecord &day)
{
    DayRecord written;
    return DayCursor().save(folder + u"/AGENDAS.MDB"_s, user, DateNumber::fromDate(date), {}, day, written).ok();
}

// A practice as init makes it; user 1, Dr Lévêque, on the 15-minute grid, user 2, unnamed, on the 20-minute one;
// RVOUS1 and RVOUS6 hold 'ancien' on day 1.
void makePractice(const QString &folder)
{
    QStringList notes;
    const Status made = PracticeSetup::init(folder, 0, notes);
    QVERIFY2(made.ok(), qPrintable(made.message()));
    UserConfig users = PracticeSetup::firstUsers();
    users[0].name = u"Dr Lévêque"_s;
    users[1].intervalIndex = 2;
    QVERIFY(ConfigFiles::writeUserConfigFile(folder, users));
    QVERIFY(StoreTestDatabase::run(folder + u"/AGENDAS.MDB"_s, u"INSERT INTO RVOUS1 (AGENDATE, RVOUS) VALUES "
                                   "(1, 'ancien'); INSERT INTO RVOUS6 (AGENDATE, RVOUS) VALUES (1, 'ancien')"_s));
}

// Every entry under `folder` with a digest of its bytes, so that any change shows.
QStringList tree(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries << path.mid(folder.size() + 1) + u' ' + QString::number(qHash(bytesOf(path)), 16);
    }
    entries.sort();
    return entries;
}

// planora-admin with its own settings folder, so that no run touches the
// user's; path holds the folders searched for mdbtools.
ToolRun runTool(const QStringList &arguments, const QString &settingsFolder, const QString &workingFolder = {},
                const QString &path = qEnvironmentVariable("PATH"))
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, settingsFolder);
    environment.insert(u"PATH"_s, path);
    return runProgram(QStringLiteral(PLANORA_ADMIN_PATH), arguments, workingFolder, environment);
}

// March of `user` exported into agenda.<format>, as a standard parser reads it
// back (readback.py), fields joined by '|'; what the tool and the parser said when either fails.
QStringList exported(const QString &folder, int user, const QString &format)
{
    const QString file = folder + u"/agenda."_s + format;
    const ToolRun made = runTool({u"export"_s, folder + u"/AGENDAS.MDB"_s, u"--user"_s, QString::number(user),
                                  u"--from"_s, u"2026-03-01"_s, u"--to=31/03/2026"_s, u"--format"_s, format,
                                  u"--output"_s, file},
                                 folder);
    const ToolRun read = runProgram(QStringLiteral(PLANORA_PYTHON), {QStringLiteral(PLANORA_READBACK), format, file});
    return made.exitCode == 0 && read.exitCode == 0 ? read.out.split(u'\n', Qt::SkipEmptyParts)
                                                     : QStringList{made.err + read.err};
}

} // namespace

// The supervisor's tool run as its own process: its command lines, init,
// check, upgrade, history, settings, convert, export and backup; and the rules
// of its slot times and export texts.
class TestPlanoraAdmin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandLine_data()
    {
        // % is a practice folder holding also ABIME.MDB, sauvegardes/20261201-020000/AGENDAS.MDB,
        // ancien/agendas.mdb, utilisateurs/utilisat.agc and noms/NOMS.db; $ is its
        // AGENDAS.MDB; @ is a folder in it that does not exist; # is examen/AGENDAS.MDB,
        // made by setup if at all; {march} is --from 2026-03-01 --to 2026-03-31;
        // {paths} is --users @ --names @; '' an empty word.
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QStringList>("made"); // the new files; nothing else changes
        QTest::addColumn<FileSetup>("setup");
        const auto row = [](const char *name, const char *words, int exitCode, const char *said,
                            const FileSetup &setup = {}, const QStringList &made = {}) {
            QTest::newRow(name) << text(words) << exitCode << text(said) << made << setup;
        };
        row("no command", "", 2, "Aucune commande");
        row("unknown command", "create", 2, "Commande inconnue");
        row("help after a command", "init -h", 0, "check FICHIER");
        row("option unknown to the command", "check @ --table=X", 2, "Option inconnue");
        row("init with two folders", "init @ @", 2, "en trop");
        row("init of an empty folder name", "init ''", 2, "vide");
        row("negative sample count", "init @ --sample-names=-5", 2, "--sample-names");
        row("option without its value", "init @ --sample-names", 2, "attend une valeur");
        row("--demo takes no value", "init @ --demo=oui", 2, "ne prend pas de valeur");
        row("init beside an agendas.mdb in lower case", "init %/ancien", 1, "existe déjà");
        row("init of a file", "init %/Utilisat.agc", 1, "est un fichier");
        row("init of a folder under a file", "init %/Utilisat.agc/agendas", 1, "Impossible de créer le dossier");
        // After a failure on the way, init is run again: what is there is kept.
        row("init keeps a users file, whatever its case", "init %/utilisateurs --sample-names=10", 0, "gardé", {},
            {u"utilisateurs/AGENDAS.MDB"_s, u"utilisateurs/NOMS.db"_s});
        row("init keeps a names database", "init %/noms --sample-names=10", 0, "gardée", {},
            {u"noms/AGENDAS.MDB"_s, u"noms/Utilisat.agc"_s});
        row("settings without --names", "settings --database @ --users @", 2, "--names");
        row("option given twice", "settings --database @ --database @ {paths}", 2, "deux fois");
        row("table name that is not a plain name", "settings --database @ {paths} --table PATIENTS;DROP", 2, "--table");
        row("database not named AGENDAS.MDB", "settings --database @/agendas.mdb {paths} --program-folder @", 1,
            "AGENDAS.MDB (en majuscules)");
        row("program folder missing", "settings --database @/AGENDAS.MDB {paths} --program-folder @", 1,
            "Le dossier du programme");
        row("history with nothing to do", "history @", 2, "history attend soit");
        row("history --user without --date", "history @ --user 2", 2, "ensemble");
        row("history of user 7", "history @ --user 7 --date 2026-12-01", 2, "--user");
        row("history of an impossible day", "history @ --user 1 --date 2026-02-30", 2, "--date attend");
        row("restore of a version that is not a number", "history @ --restore trois", 2, "--restore");
        row("upgrade of a missing file", "upgrade @", 1, "n'existe pas");
        row("export of a missing database", "export @/AGENDAS.MDB --user 1 {march} --format ics", 1, "introuvable");
        row("export of a user without a grid", "export $ --user 4 {march} --format ics", 1, "pas de grille");
        row("export without Utilisat.agc", "export $ --user 1 {march} --format csv --users %/ancien", 1, "introuvable");
        row("unwritable output", "export $ --user 1 {march} --format ics --output @/ici.ics", 1, "Impossible d'écrire");
        row("export to an unknown format", "export $ --user 1 {march} --format pdf", 2, "ics ou csv");
        row("export of user 7", "export $ --user 7 {march} --format ics", 2, "1 à 6");
        row("export from an impossible day", "export $ --user 1 --from 31/02/2026 --to 2026-03-31 --format ics", 2,
            "--from attend une date");
        row("export with its dates the wrong way", "export $ --user 1 --from 2026-04-01 --to 2026-03-31 --format ics",
            2, "après");
        row("backup of a damaged database", "backup %/ABIME.MDB %/sauvegardes --keep 1", 1, "base de données PLANORA");
        row("backup folder is a file", "backup $ %/Utilisat.agc --keep 1", 1, "Le dossier de sauvegarde");
        row("backup without Utilisat.agc", "backup $ %/sauvegardes --users %/ancien --keep 1", 1,
            "Utilisat.agc introuvable");
        row("backup --keep 0", "backup $ %/sauvegardes --keep 0", 2, "--keep");
        row("backup without its folder", "backup $ --keep 1", 2, "DOSSIER");
        const auto bytes = [](const QByteArray &content) {
            return FileSetup([=](const QString &path) { QVERIFY(writeBytes(path, content)); });
        };
        // A database made by the schema's steps up to `version`, changed by SQL, then cut to a size.
        const auto database = [](const QString &sql, int version = SchemaUpgrade::currentVersion(), qint64 cut = 0) {
            return FileSetup([=](const QString &path) {
                makeDatabase(path, version, sql);
                QVERIFY(cut == 0 || QFile::resize(path, cut));
            });
        };
        const auto check = [&](const char *name, const FileSetup &setup, const char *said) {
            row(QByteArray("check: ").append(name).constData(), "check #", 1, said, setup);
        };
        // Without its history triggers, which read every column.
        const auto untracked = [](int user) {
            return u"DROP TRIGGER RVOUS%1_HISTORIQUE_MAJ; DROP TRIGGER RVOUS%1_HISTORIQUE_SUPPR;"_s.arg(user);
        };
        check("missing file", [](const QString &) {}, "n'existe pas");
        check("a folder", [](const QString &path) { QDir().mkdir(path); }, "dossier");
        check("empty file", bytes({}), "vide");
        check("text file", bytes("RVOUS1;AGENDATE;37986\r\n"), "pas une base de données");
        check("legacy Access file", bytes(LegacyFile), "planora-admin convert");
        check("cut inside its header", database({}, SchemaUpgrade::currentVersion(), 60), "tronqué");
        check("cut at a page boundary", database({}, SchemaUpgrade::currentVersion(), 8192), "tronqué");
        check("missing table", database(u"DROP TABLE RVOUS4"_s), "La table RVOUS4 manque");
        check("missing column", database(untracked(2) + u"ALTER TABLE RVOUS2 DROP COLUMN COCHE"_s),
              "La table RVOUS2 n'a pas de colonne COCHE");
        check("column of another kind",
              database(untracked(6) + u"ALTER TABLE RVOUS6 DROP COLUMN COCHE; ALTER TABLE RVOUS6 ADD COLUMN COCHE "
                                      "INTEGER"_s),
              "COCHE de la table RVOUS6 est de type INTEGER au lieu de TEXT");
        // CREATE TABLE ... AS SELECT keeps the columns and their kinds, not the constraints.
        check("day not unique",
              database(u"ALTER TABLE RVOUS3 RENAME TO OLD; CREATE TABLE RVOUS3 AS SELECT * FROM OLD; DROP TABLE OLD"_s),
              "AGENDATE de la table RVOUS3 n'est pas unique");
        check("history trigger dropped", database(u"DROP TRIGGER RVOUS3_HISTORIQUE_MAJ"_s),
              "RVOUS3_HISTORIQUE_MAJ manque");
        check("history trigger that keeps nothing",
              database(u"DROP TRIGGER RVOUS5_HISTORIQUE_SUPPR; CREATE TRIGGER RVOUS5_HISTORIQUE_SUPPR AFTER DELETE ON "
                       "RVOUS5 BEGIN SELECT 1; END"_s),
              "RVOUS5_HISTORIQUE_SUPPR n'est pas celui du schéma");
        check("an older schema version", database(u"PRAGMA user_version = 1"_s), "« planora-admin upgrade »");
        // Pages of an index whose description is then removed: SQLite's own
        // integrity check finds them used by nothing.
        check("integrity failure",
              database(u"CREATE INDEX EXTRA ON RVOUS1 (RVOUS); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                       "FROM n WHERE i < 400) INSERT INTO RVOUS1 (AGENDATE, RVOUS) SELECT 37000 + i, printf('%0500d', "
                       "i) FROM n; PRAGMA writable_schema = ON; DELETE FROM sqlite_schema WHERE name = 'EXTRA';"_s),
              "Intégrité");
        row("history of a file without its history table", "history # --user 1 --date 2026-12-01", 1,
            "Lecture de l'historique impossible", database(u"DROP TABLE HISTORIQUE"_s));
        row("upgrade: newer than the tool", "upgrade #", 1, "plus récente", database(u"PRAGMA user_version = 3"_s, 2));
        row("upgrade: not agendas", "upgrade #", 1, "pas une base d'agendas", database(u"CREATE TABLE T (x)"_s, 0));
        // The last statement of the step fails: everything before it is undone.
        row("upgrade: a step failing at its end", "upgrade #", 1, "already exists",
            database(SomeDays + u"CREATE TABLE X (y); CREATE TRIGGER RVOUS6_HISTORIQUE_SUPPR AFTER DELETE ON X "
                                "BEGIN SELECT 1; END"_s, 1));
        // Up to date, the file is left as it is, byte for byte.
        row("upgrade: already up to date", "upgrade #", 0, "déjà à jour (version 2)", database(SomeDays));
        row("convert onto an existing database", "convert # %/AGENDAS.MDB", 1, "existe déjà", bytes(LegacyFile));
        row("history of an old database", "history # --prune-before 2026-01-01", 1, "« planora-admin upgrade »",
            database({}, 1));
    }

    void commandLine()
    {
        QFETCH(QString, words);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QFETCH(QStringList, made);
        QFETCH(FileSetup, setup);

        QTemporaryDir temporary;
        const QString practice = temporary.path();
        QVERIFY(QDir(practice).mkdir(u"examen"_s));
        if (setup)
            setup(practice + u"/examen/AGENDAS.MDB"_s);
        if (QTest::currentTestFailed())
            return;
        makePractice(practice);
        for (const QString &file : {u"ABIME.MDB"_s, u"sauvegardes/20261201-020000/AGENDAS.MDB"_s,
                                    u"ancien/agendas.mdb"_s, u"utilisateurs/utilisat.agc"_s, u"noms/NOMS.db"_s})
            QVERIFY(QDir(practice).mkpath(QFileInfo(file).path()) && writeBytes(practice + u'/' + file, "ten years"));
        const QStringList before = tree(practice);

        words.replace(u"{march}"_s, u"--from 2026-03-01 --to 2026-03-31"_s)
            .replace(u"{paths}"_s, u"--users @ --names @"_s).replace(u"@"_s, u"%/nouveau"_s)
            .replace(u"#"_s, u"%/examen/AGENDAS.MDB"_s).replace(u"$"_s, u"%/AGENDAS.MDB"_s).replace(u"%"_s, practice);
        const ToolRun run =
            runTool(words.split(u' ', Qt::SkipEmptyParts).replaceInStrings(u"''"_s, QString()), practice);
        QCOMPARE(run.exitCode, exitCode);
        const QString shown = exitCode == 0 ? run.out : run.err;
        QVERIFY2(shown.contains(said) && (exitCode == 0 ? run.err : run.out).isEmpty(), qPrintable(run.out + run.err));
        // The help goes with words not understood or asked for, never with a refused request.
        QCOMPARE(shown.contains(u"Utilisation : planora-admin"_s), exitCode == 2 || words.endsWith(u" -h"_s));
        QStringList added = tree(practice);
        for (const QString &entry : before)
            QVERIFY2(added.removeOne(entry), qPrintable(entry + u" changed or removed"_s));
        QCOMPARE(added.replaceInStrings(QRegularExpression(u" [0-9a-f]+$"_s), QString()), made);
    }

    void initThenCheck_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("named");    // users 1 to N named, user N on grid N (15, 20, 30 min), no others
        QTest::addColumn<int>("patients"); // in the names database
        QTest::newRow("a new practice with sample names") << u"--sample-names=250"_s << 1 << 250;
        // Three practitioners with colours of their own, six weeks of working
        // days around today, patients of the names database.
        QTest::newRow("a demo practice") << u"--demo"_s << 3 << 2000;
    }

    void initThenCheck()
    {
        QFETCH(QString, option);
        QFETCH(int, named);
        QFETCH(int, patients);

        QTemporaryDir temporary;
        const QString folder = temporary.path() + u"/partage/cabinet"_s; // two levels to make
        const QString database = folder + u"/AGENDAS.MDB"_s;
        const ToolRun init = runTool({u"init"_s, folder, option}, temporary.path());
        QVERIFY2(init.exitCode == 0, qPrintable(init.err));
        const ToolRun check = runTool({u"check"_s, database}, temporary.path());
        QVERIFY2(check.exitCode == 0 && check.out.contains(u"base correcte"_s), qPrintable(check.err));
        const UserConfigRead users = ConfigFiles::readUserConfig(folder);
        QVERIFY(users.valid);
        for (int user = 0; user < UserCount; ++user) {
            QCOMPARE(users.users[user].name.isEmpty(), user >= named);
            QCOMPARE(users.users[user].intervalIndex, qint16(user < named ? user + 1 : -1));
        }
        const QString names = folder + u"/NOMS.db"_s;
        // Invented patients fit for a slot and a CSV field: family names in capitals, given names capitalised, no
        // quote, comma or line break; mostly different people.
        static const QRegularExpression fit(u"^[^\\p{Ll}\",\r\n|]+\\|\\p{Lu}[^\",\r\n|]*$"_s);
        QStringList patientList = allRows(names, u"SELECT NOM, PRENOM FROM PATIENTS"_s);
        QCOMPARE(patientList.size(), patients);
        for (const QString &patient : patientList)
            QVERIFY2(fit.match(patient).hasMatch(), qPrintable(patient));
        patientList.replaceInStrings(u"|"_s, u" "_s); // as an appointment names them
        const QSet<QString> patientNames(patientList.cbegin(), patientList.cend());
        QVERIFY(patientNames.size() > patients * 9 / 10);
        // The lookup's order is the index's order, so the lookup can read it.
        const QString plan = allRows(
            names, u"EXPLAIN QUERY PLAN SELECT * FROM PATIENTS WHERE NOM COLLATE PLANORA_NOCASE >= 'DU'"
                   " ORDER BY NOM COLLATE PLANORA_NOCASE, PRENOM COLLATE PLANORA_NOCASE LIMIT 1"_s).join(u' ');
        QVERIFY2(plan.contains(u"INDEX PATIENTS_NOM_PRENOM"_s) && !plan.contains(u"TEMP B-TREE"_s), qPrintable(plan));
        // The files of a shared folder are for every workstation, not private.
        QVERIFY(QFile::permissions(database) & QFile::ReadGroup);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 3);
        if (named == 1)
            return;

        // Three practitioners told apart by their colours, each with appointments of the names database's
        // patients around today, check marks on days gone by only.
        const auto colour = [&](int user) { return users.users[user].colour; };
        QVERIFY(colour(0) != colour(1) && colour(1) != colour(2) && colour(0) != colour(2));
        const qint32 today = DateNumber::fromDate(QDate::currentDate());
        for (int user = 1; user <= 3; ++user) {
            QCOMPARE(allRows(database, u"SELECT min(AGENDATE) < %2 AND max(AGENDATE) > %2, sum(instr(COCHE, '1') > 0 "
                                       "AND AGENDATE > %2) FROM RVOUS%1"_s.arg(user).arg(today)),
                     QStringList{u"1|0"_s});
            int appointments = 0;
            for (const QString &rvous : allRows(database, u"SELECT RVOUS FROM RVOUS%1"_s.arg(user))) {
                for (const QString &slot : DayEncoding::decodeSlots(rvous)) {
                    appointments += slot.isEmpty() ? 0 : 1;
                    QVERIFY2(slot.isEmpty() || patientNames.contains(slot.section(u" - "_s, 0, 0)), qPrintable(slot));
                }
            }
            QVERIFY(appointments > 100);
        }
    }

    void history_data()
    {
        QTest::addColumn<QString>("arguments"); // after FILE; {tomorrow} is the day after today
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("said"); // in this order, in what the tool printed
        QTest::addColumn<QString>("dayAfter"); // DUPONT back?|post-it gone?|the versions kept
        const auto row = [](const char *name, const char *arguments, int exitCode, const QStringList &said,
                            const char *dayAfter) {
            QTest::newRow(name) << text(arguments) << exitCode << said << text(dayAfter);
        };
        // User 2's day on 1 December: kept 1 (DUPONT in slot 1), then 2 (DURAND in slot 1); stored now:
        // DURAND in slot 1, MARTIN in slot 2 and a post-it. Kept 3: user 1's day 46357.
        row("the day's versions, newest first, with what the next one changed", "--user 2 --date 2026-12-01", 0,
            {u"2 version(s)"_s, u"Version 2, remplacée le "_s, u"créneau 2 : (vide), remplacé par « MARTIN »"_s,
             u"autres changements : post-it"_s, u"Version 1, remplacée le "_s,
             u"créneau 1 : « DUPONT », remplacé par « DURAND »"_s},
            "0|0|1,2,3");
        row("no versions of another user's day", "--user 3 --date 2026-12-01", 0, {u"aucune version remplacée"_s},
            "0|0|1,2,3");
        row("restoring version 1 keeps what it replaces", "--restore 1", 0,
            {u"Version 1 rétablie"_s, u"01/12/2026"_s}, "1|1|1,2,3,4");
        row("restoring a version that does not exist", "--restore 7", 1, {u"La version 7 n'existe pas"_s}, "0|0|1,2,3");
        row("pruning before tomorrow removes all", "--prune-before {tomorrow}", 0, {u"3 version(s)"_s}, "0|0|");
        row("pruning before an old day removes nothing", "--prune-before 2000-01-01", 0, {u"0 version(s)"_s},
            "0|0|1,2,3");
    }

    void history()
    {
        QFETCH(QString, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, said);
        QFETCH(QString, dayAfter);

        QTemporaryDir temporary;
        const QString path = temporary.filePath(u"AGENDAS.MDB"_s);
        // Made before days had versions: version 1, whose files have no schema version. Upgraded, its days are
        // kept as they were, and its new triggers keep every column of a replaced day, nothing of an unchanged one.
        makeDatabase(path, 1, SomeDays + u"PRAGMA user_version = 0"_s);
        const QStringList daysBefore = daysOfFirstAgenda(path);
        const ToolRun upgraded = runTool({u"upgrade"_s, path}, temporary.path());
        QVERIFY2(upgraded.exitCode == 0 && upgraded.out.contains(u"de la version 1 à la version 2"_s),
                 qPrintable(upgraded.out + upgraded.err));
        QCOMPARE(daysOfFirstAgenda(path), daysBefore);
        QCOMPARE(runTool({u"check"_s, path}, temporary.path()).exitCode, 0);
        QVERIFY(StoreTestDatabase::run(
            path, u"INSERT INTO RVOUS2 (AGENDATE, RVOUS) VALUES (%1, char(13, 10) || 'DUPONT'); UPDATE RVOUS2 SET "
                  "RVOUS = char(13, 10) || 'DURAND'; UPDATE RVOUS2 SET RVOUS = char(13, 10) || 'DURAND' || "
                  "char(13, 10) || 'MARTIN', Postit = 'rappel'; INSERT INTO RVOUS3 (AGENDATE, RVOUS) VALUES (%1, "
                  "'seul'); UPDATE RVOUS1 SET RVOUS = 'DURAND' WHERE AGENDATE = 46357; UPDATE RVOUS4 SET Bloc = Bloc;"_s
                      .arg(DateNumber::fromDate(QDate(2026, 12, 1)))));
        QCOMPARE(allRows(path, u"SELECT UTILISATEUR, AGENDATE, quote(RVOUS), quote(ABSENT2_TXT) FROM HISTORIQUE "
                               "WHERE NUMERO = 3"_s),
                 QStringList{u"1|46357|'DUPONT\r\nMARTIN'|'Congrès'"_s});
        arguments.replace(u"{tomorrow}"_s, QDate::currentDate().addDays(1).toString(Qt::ISODate));

        const ToolRun run = runTool(QStringList{u"history"_s, path} + arguments.split(u' '), temporary.path());
        QCOMPARE(run.exitCode, exitCode);
        const QString shown = exitCode == 0 ? run.out : run.err;
        qsizetype from = 0;
        for (const QString &part : said) {
            from = shown.indexOf(part, from);
            QVERIFY2(from >= 0, qPrintable(part + u" not found in:\n"_s + shown));
        }
        QCOMPARE(allRows(path, u"SELECT instr(RVOUS, 'DUPONT') > 0, Postit IS NULL, (SELECT group_concat(NUMERO) "
                               "FROM (SELECT NUMERO FROM HISTORIQUE ORDER BY NUMERO)) FROM RVOUS2"_s),
                 QStringList{dayAfter});
    }

    void settings_data()
    {
        QTest::addColumn<QString>("table");       // a --table option, if given
        QTest::addColumn<QString>("alphaBefore"); // the name of an Alpha.agc already there, if any
        QTest::addColumn<LookupSettings>("lookupAfter");

        const LookupSettings supervisorChoice{false, u"MATABLE"_s}; // what Alpha.agc held before
        QTest::newRow("first run writes Alpha.agc") << QString() << QString() << LookupSettings{true, u"PATIENTS"_s};
        QTest::newRow("re-run keeps a lower-case alpha.agc") << QString() << u"alpha.agc"_s << supervisorChoice;
        QTest::newRow("a table given replaces it")
            << u"--table=CLIENTS"_s << u"Alpha.agc"_s << LookupSettings{true, u"CLIENTS"_s};
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
        QVERIFY(alphaBefore.isEmpty() || writeBytes(program + u'/' + alphaBefore, "#FALSE#,\"MATABLE\"\r\n"));
        // Relative paths, as typed in the practice folder, are stored whole.
        const ToolRun run = runTool(u"settings --database AGENDAS.MDB --users=. --names NOMS.db %1 --program-folder"_s
                                        .arg(table).split(u' ', Qt::SkipEmptyParts) << program,
                                    temporary.path() + u"/config"_s, practice);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));

        const SettingsStore store(temporary.path() + u"/config"_s);
        for (const auto &[key, value] : {std::pair{u"chemin"_s, u"/AGENDAS.MDB"_s}, {u"cheminut"_s, QString()},
                                         {u"cheminnoms"_s, u"/NOMS.db"_s}})
            QCOMPARE(store.value(u"hirondel"_s, u"planora"_s, key, u"<missing>"_s), practice + value);
        const LookupSettingsRead lookup = ConfigFiles::readLookupSettings(program);
        QVERIFY(lookup.valid);
        QCOMPARE(lookup.settings, lookupAfter);
        QCOMPARE(QDir(program).entryList(QDir::Files).size(), 1); // one Alpha.agc, whatever its case
    }

    void convert_data()
    {
        QTest::addColumn<QString>("rvous1"); // what the stand-in mdb-export prints for RVOUS1; empty: no mdbtools
        QTest::addColumn<QString>("said");
        QTest::addColumn<QStringList>("days"); // RVOUS1 afterwards; empty: the conversion fails

        // Columns by name: the old file's own VIEUX is left out wherever it stands.
        const QString header = u"VIEUX,AGENDATE,RVOUS,Postit,Bloc,ABSENT1,ABSENT1_TXT,ABSENT2,ABSENT2_TXT,"
                               "ECHO1,ECHO1_TXT,ECHO2,ECHO2_TXT,COCHE"_s;
        QTest::newRow("quotes, commas and line breaks kept; an empty field is no value")
            << header + u"\nx,37986,\"DUPONT Jean\r\n\r\nMARTIN, \"\"Paul\"\"\",\"post-it\",,1,\"Congrès\",0,,0,,0,,"
                        "\"0\r\n1\"\nx,37987,,,,0,,0,,1,\"Echo\",0,,"_s
            << u"RVOUS1 : 2 jour(s) copié(s)"_s
            << QStringList{u"37986|'DUPONT Jean\r\n\r\nMARTIN, \"Paul\"'|'post-it'|NULL|1|'Congrès'|0|NULL|0|NULL|0|"
                           "NULL|'0\r\n1'"_s,
                           u"37987|NULL|NULL|NULL|0|NULL|0|NULL|1|'Echo'|0|NULL|NULL"_s};
        QTest::newRow("yes and no in words, CR LF line ends, an empty text")
            << header + u"\r\nx,37986,\"\",,,TRUE,\"A\",False,,-1,,0,,\"C\"\r\n"_s << u"RVOUS1 : 1 jour(s) copié(s)"_s
            << QStringList{u"37986|''|NULL|NULL|1|'A'|0|NULL|1|NULL|0|NULL|'C'"_s};
        QTest::newRow("a day that is not a number")
            << header + u"\nx,31/12/2003,,,,0,,0,,0,,0,,\n"_s << u"AGENDATE « 31/12/2003 »"_s << QStringList{};
        QTest::newRow("an export cut inside quotes")
            << header + u"\nx,37986,\"DUPONT"_s << u"RVOUS1 est incomplet"_s << QStringList{};
        QTest::newRow("mdbtools not installed") << QString() << u"apt-get install mdbtools"_s << QStringList{};
    }

    void convert()
    {
        QFETCH(QString, rvous1);
        QFETCH(QString, said);
        QFETCH(QStringList, days);

        QTemporaryDir temporary;
        const QString tools = temporary.path() + u"/bin"_s;
        QVERIFY(QDir().mkpath(tools));
        if (!rvous1.isEmpty()) {
            // Stand-ins for mdbtools: RVOUS5 is missing from the old file, RVOUS1 holds rvous1, the other
            // tables nothing.
            for (const auto &[tool, script] :
                 {std::pair{"/mdb-tables", "printf 'RVOUS1\\nRVOUS2\\nRVOUS3\\nRVOUS4\\nRVOUS6\\n'"},
                  {"/mdb-export", "[ \"$2\" = RVOUS1 ] && cat \"${0%/*}/RVOUS1.csv\" || echo AGENDATE,RVOUS"}})
                QVERIFY(writeBytes(tools + text(tool), QByteArray("#!/bin/sh\n") + script + '\n')
                        && QFile::setPermissions(tools + text(tool), QFile::ReadOwner | QFile::ExeOwner));
            QVERIFY(writeBytes(tools + u"/RVOUS1.csv"_s, rvous1.toUtf8()));
        }
        const QString legacy = temporary.path() + u"/ANCIEN.MDB"_s;
        const QString target = temporary.path() + u"/nouveau"_s;
        QVERIFY(writeBytes(legacy, LegacyFile) && QDir().mkpath(target));
        // The shell and cat stay reachable; mdbtools only through the stand-ins.
        const ToolRun run = runTool({u"convert"_s, legacy, target}, temporary.path() + u"/config"_s, {},
                                    tools + u":/bin:/usr/bin"_s);
        QCOMPARE(run.exitCode, days.isEmpty() ? 1 : 0);
        QVERIFY2((days.isEmpty() ? run.err : run.out).contains(said), qPrintable(run.out + run.err));
        const QString database = target + u"/AGENDAS.MDB"_s;
        QCOMPARE(QFileInfo::exists(database), !days.isEmpty());
        if (days.isEmpty())
            return;
        QVERIFY(run.out.contains(u"RVOUS5 manque"_s));
        QCOMPARE(runTool({u"check"_s, database}, temporary.path() + u"/config"_s).exitCode, 0);
        QCOMPARE(daysOfFirstAgenda(database), days);
    }

    // The grids' own times are tested with the grids, a spare line with the export; here a grid that does
    // not exist.
    void slotTimes()
    {
        QCOMPARE(SlotTimes::startOf(45, 3), QTime());
        QVERIFY(!SlotTimes::hasOwnTime(45, 3));
    }

    // A text as an iCalendar value, escaped then folded into lines of 75 octets, and as a CSV field.
    void exportedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("inCalendar"); // escaped as an iCalendar text value
        QTest::addColumn<QString>("inCsv");      // as a CSV field
        QTest::addColumn<int>("physicalLines");  // of the escaped text, folded
        const auto plain = [](const char *name, const QString &text, int physicalLines) {
            QTest::newRow(name) << text << text << text << physicalLines;
        };
        plain("empty", QString(), 1);
        // A semicolon is quoted for French spreadsheets; a colon and quotes are plain in a calendar.
        QTest::newRow("semicolon, backslash, colon and quotes")
            << u"a;b C:\\d \"q\""_s << u"a\\;b C:\\\\d \"q\""_s << u"\"a;b C:\\d \"\"q\"\"\""_s << 1;
        QTest::newRow("CR LF and LF as line breaks")
            << u"un\r\ndeux\ntrois"_s << u"un\\ndeux\\ntrois"_s << u"\"un\r\ndeux\ntrois\""_s << 1;
        plain("75 octets fit", QString(75, u'a'), 1);
        plain("76 octets fold", QString(76, u'a'), 2);
        plain("continuations hold 74", QString(75 + 74, u'a'), 2);
        plain("one more makes three", QString(75 + 75, u'a'), 3);
        plain("accent across the limit", QString(74, u'a') + u"éé"_s, 2);
    }

    void exportedText()
    {
        QFETCH(QString, text);
        QFETCH(QString, inCalendar);
        QFETCH(QString, inCsv);
        QFETCH(int, physicalLines);
        QCOMPARE(ICalendarText::escaped(text), inCalendar);
        QCOMPARE(CsvExport::field(text), inCsv);
        const QByteArray bytes = ICalendarText::folded(inCalendar);
        const QList<QByteArray> lines = bytes.left(bytes.size() - 1).split('\n');
        QCOMPARE(lines.size(), physicalLines);
        for (const QByteArray &line : lines) {
            QVERIFY2(line.endsWith('\r') && line.size() <= 76, line.constData()); // 75 octets and the CR
            // Each piece is whole UTF-8 on its own: no character was cut.
            QVERIFY(QString::fromUtf8(line).toUtf8() == line);
        }
        QCOMPARE(QString::fromUtf8(QByteArray(bytes).replace("\r\n ", "").chopped(2)), inCalendar);
    }

    // Each user's March exported to both formats, read back by the parsers a calendar and a spreadsheet use:
    // an event per written slot and half-day mark, in the order of the day, at the times of the user's grid;
    // nothing of the days outside the range or of another user.
    void exportedAgenda_data()
    {
        QTest::addColumn<int>("user");
        QTest::addColumn<QString>("calendarName");
        QTest::addColumn<QStringList>("events"); // as the spreadsheet reads them: date|start|end|kind|text|checked
        QTest::newRow("15 min: marks with and without a text, the last slot, a long text folded")
            << 1 << u"Dr Lévêque"_s
            << QStringList{u"2026-03-10|08:00|14:00|Absence|Congrès, Lyon|"_s,
                           u"2026-03-10|08:30|08:45|Rendez-vous|MATIN Deux|non"_s,
                           u"2026-03-10|14:00|21:15|Absence|Absent|"_s,
                           u"2026-03-10|15:30|15:45|Rendez-vous|APRÈS Midi|non"_s,
                           u"2026-03-10|21:00|21:15|Rendez-vous|"_s + LongText + u"|oui"_s,
                           u"2026-03-11|13:00|13:15|Rendez-vous|FAURE Paul|non"_s,
                           u"2026-03-11|14:00|21:15|Echographies|Congrès, Lyon|"_s};
        QTest::newRow("20 min, unnamed: an extra line starts with 13h40, echography afternoon to 21h20")
            << 2 << u"PLANORA"_s
            << QStringList{u"2026-03-10|13:40|14:00|Rendez-vous|FAURE Paul|non"_s,
                           u"2026-03-10|14:00|21:20|Echographies|Congrès, Lyon|"_s};
    }

    void exportedAgenda()
    {
        QFETCH(int, user);
        QFETCH(QString, calendarName);
        QFETCH(QStringList, events);

        DayRecord first; // user 1's on 10 March and 1 April
        first.absent1 = {true, u"Congrès, Lyon"_s};
        first.slots[2] = u"MATIN Deux"_s;
        first.slots[3] = u"   "_s; // blanks only: not an appointment
        first.absent2 = {true, QString()};
        first.slots[30] = u"APRÈS Midi"_s;
        first.slots[52] = LongText;
        first.checks[52] = true;
        DayRecord other; // user 2's on 10 March, user 1's on 11 March
        other.slots[20] = u"FAURE Paul"_s;
        other.echo2 = {true, u"Congrès, Lyon"_s};
        QTemporaryDir temporary;
        const QString folder = temporary.path();
        makePractice(folder);
        QVERIFY(saveDay(folder, 1, {2026, 3, 10}, first) && saveDay(folder, 1, {2026, 3, 11}, other)
                && saveDay(folder, 1, {2026, 4, 1}, first) && saveDay(folder, 2, {2026, 3, 10}, other));

        QStringList calendar = events; // date|start|end|summary
        for (QString &event : calendar)
            event = event.section(u'|', 0, 2) + u'|' + event.section(u'|', 4, 4);
        QCOMPARE(exported(folder, user, u"ics"_s), calendar);
        const QByteArray raw = bytesOf(folder + u"/agenda.ics"_s);
        QVERIFY(raw.contains(QByteArray("\r\nX-WR-CALNAME:" + calendarName.toUtf8() + "\r\n")));
        for (const QByteArray &line : raw.left(raw.size() - 1).split('\n'))
            QVERIFY2(line.size() > 1 && line.size() <= 76 && line.endsWith('\r'), line.constData()); // 75 octets, CR
        QCOMPARE(exported(folder, user, u"csv"_s), QStringList{u"Date|Début|Fin|Genre|Texte|Pointé"_s} + events);
    }

    void backup_data()
    {
        QTest::addColumn<QStringList>("existing"); // folders already in the backup folder
        QTest::addColumn<QString>("keep");         // the option, if given
        QTest::addColumn<QStringList>("kept");     // of those, by name
        // Another workstation holds a write transaction meanwhile. Its pages are already spilled into the
        // file: the copy waits for it or reads before it, and is whole either way. (The copy itself, with
        // the changes kept in the writer's cache too, is tested with the store.)
        QTest::addColumn<bool>("whileWriting");

        const QStringList three{u"20261201-020000"_s, u"20261202-020000"_s, u"20261203-020000"_s};
        QTest::newRow("no --keep, while another workstation writes") << three << QString() << three << true;
        QTest::newRow("--keep 1: the older backup goes, other folders are never touched")
            << QStringList{u"photos"_s, u"20261201-020000-copie"_s, u"20261203-020000"_s} << u"--keep=1"_s
            << QStringList{u"20261201-020000-copie"_s, u"photos"_s} << false;
    }

    void backup()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, keep);
        QFETCH(QStringList, kept);
        QFETCH(bool, whileWriting);

        QTemporaryDir temporary;
        const QString database = temporary.filePath(u"cabinet/AGENDAS.MDB"_s);
        const QString backups = temporary.filePath(u"sauvegardes"_s);
        makePractice(temporary.filePath(u"cabinet"_s));
        for (const QString &name : existing)
            QVERIFY(QDir(backups).mkpath(name));
        QProcess writer;
        if (whileWriting) {
            writer.start(QStringLiteral(STORE_HOLDWRITE), {database, u"1"_s, u"1500"_s});
            QVERIFY(writer.waitForReadyRead(30000) && writer.readLine().trimmed() == "held");
        }
        const ToolRun run = runTool(QStringList{u"backup"_s, database, backups} + keep.split(u' ', Qt::SkipEmptyParts),
                                    temporary.path());
        QVERIFY(!whileWriting || (writer.waitForFinished(30000) && writer.exitCode() == 0));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));

        QStringList after = QDir(backups).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QCOMPARE(after.size(), kept.size() + 1);
        // The new backup is the newest and holds both files, the copy whole.
        const QString newest = after.filter(QRegularExpression(u"^\\d{8}-\\d{6}$"_s)).last();
        QVERIFY(after.removeOne(newest) && !existing.contains(newest) && run.out.contains(newest));
        QCOMPARE(after, kept);
        QVERIFY(QFile::exists(backups + u'/' + newest + u"/Utilisat.agc"_s));
        const QString copy = backups + u'/' + newest + u"/AGENDAS.MDB"_s;
        QCOMPARE(runTool({u"check"_s, copy}, temporary.path()).exitCode, 0);
        // One state of the file: both days from before the save, or (only
        // while another writes) both from after it.
        const QString state = allRows(copy, u"SELECT a.RVOUS, b.RVOUS, (SELECT count(*) FROM RVOUS2) FROM RVOUS1 a "
                                            "JOIN RVOUS6 b USING (AGENDATE) WHERE AGENDATE = 1"_s).join(u'\n');
        QVERIFY2(state == u"ancien|ancien|0"_s || (whileWriting && state == u"nouveau|nouveau|2000"_s),
                 qPrintable(state));
    }
};

QTEST_GUILESS_MAIN(TestPlanoraAdmin)
#include "tst_planoraadmin.moc"
