// The backup window: its folder and captions, the backup, picking a backup
// file and the restore, driven by its buttons with the recording Prompts;
// and the main window's "Sau&vegarder".
#include "../app/practice.h"
#include "filebytes.h"
#include "refusedwrites.h"
#include "form21.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString Done = u"Sauvegarde terminée"_s;
const QString Failed = u"Assurez vous que tous les utilisateurs aient quitté le programme"_s;
const QString Missing = u"Fichier AGENDAS.MDB non existant à cet endroit"_s;
const QString Restored = u"Restauration effectuée"_s;

QString lines(std::initializer_list<QString> pieces)
{
    return QStringList(pieces).join(u'\n');
}

ino_t inodeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

// An SQLite file of another program.
bool makeForeignDatabase(const QString &path)
{
    sqlite3 *db = nullptr;
    const bool made = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK
                      && sqlite3_exec(db, "CREATE TABLE patients (nom TEXT)", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return made;
}

// Slot 0 of user 1 on 15 March 2024 as stored, or "" when there is none.
QString storedSlot(const QString &database)
{
    sqlite3 *db = nullptr;
    QString text;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_open_v2(database.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, "SELECT RVOUS FROM RVOUS1 WHERE AGENDATE = 45366", -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))).section(u"\r\n"_s, 0, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return text;
}

} // namespace

class TestForm21 : public QObject
{
    Q_OBJECT

private:
    static QPointer<Form21> openWindow(Practice &practice, DayCursor &cursor)
    {
        QPointer<Form21> window = new Form21(practice.environment(), cursor);
        window->show();
        return window;
    }

    static QString backupSetting(Practice &practice)
    {
        return SettingsStore(practice.environment().settingsFolder)
            .value(u"HIRONDEL"_s, u"PLANORA"_s, u"SAUVE"_s, u"<absent>"_s);
    }

private Q_SLOTS:
    void initTestCase() { ::umask(022); }

    void cleanup()
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->objectName() == "Form21"_L1)
                delete window;
    }

    // Without SAUVE, the program's folder; with it, see the choosing, the
    // backup and the restore below.
    void opening()
    {
        Practice practice;
        const QString folder = practice.programFolder();
        DayCursor cursor;
        QPointer<Form21> window = openWindow(practice, cursor);

        QCOMPARE(window->windowTitle(), u"Sauvegardes"_s);
        QVERIFY(!window->isModal());
        QCOMPARE(named<QLabel>(window, "Label1")->text(), folder);
        QCOMPARE(named<QLabel>(window, "Label3")->text(), folder + u"/AGENDAS.MDB"_s);
        QCOMPARE(named<QPushButton>(window, "CmdSauve")->text(),
                 lines({u"Lancer la Sauvegarde de "_s, practice.databasePath(), u"vers"_s, folder}));
        QCOMPARE(named<QPushButton>(window, "CmdRestaure")->text(),
                 lines({u"Restaurer"_s, folder + u"/AGENDAS.MDB"_s, u"vers"_s, practice.databasePath()}));
        const QList<std::pair<const char *, QString>> captions = {
            {"Frame1", u"Répertoire de Sauvegarde"_s}, {"Frame2", u"Restauration"_s}, {"Frame3", u"Sauvegarde"_s},
            {"Frame4", u"Path de la base AGENDAS.MDB sauvegardée"_s}};
        for (const auto &[name, caption] : captions)
            QCOMPARE(named<QGroupBox>(window, name)->title(), caption);
        QCOMPARE(named<QPushButton>(window, "Command1")->text(), u"&Quitter"_s);
        QCOMPARE(named<QPushButton>(window, "Command2")->text(), u"Définir le répertoire de Sauvegarde"_s);
        QCOMPARE(named<QPushButton>(window, "Command3")->text(), u"Rchercher une base AGENDAS.MDB sauvegardée"_s);
        QVERIFY(!named<QLabel>(window, "Image1")->pixmap().isNull());

        QTest::mouseClick(named<QPushButton>(window, "Command1"), Qt::LeftButton);
        QTRY_VERIFY(window.isNull());
    }

    void chooseFolder_data()
    {
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("chosen: kept and shown again on reopening") << false;
        QTest::newRow("cancelled: the folder stays, nothing saved") << true;
    }

    void chooseFolder()
    {
        QFETCH(bool, cancelled);
        Practice practice;
        const QString chosen = practice.sharedFolder() + u"/sauvegardes"_s;
        practice.prompts.folderAnswers << (cancelled ? QString() : chosen);
        DayCursor cursor;
        QPointer<Form21> window = openWindow(practice, cursor);

        QTest::mouseClick(named<QPushButton>(window, "Command2"), Qt::LeftButton);

        QCOMPARE(practice.prompts.dialogTitles, QStringList{u"Choix du répertoire pour la sauvegarde :"_s});
        const QString shown = cancelled ? practice.programFolder() : chosen;
        QCOMPARE(named<QLabel>(window, "Label1")->text(), shown);
        QVERIFY(named<QPushButton>(window, "CmdSauve")->text().endsWith(u"\nvers\n"_s + shown));
        // The restore side keeps the folder read at opening.
        QCOMPARE(named<QLabel>(window, "Label3")->text(), practice.programFolder() + u"/AGENDAS.MDB"_s);
        QCOMPARE(backupSetting(practice), cancelled ? u"<absent>"_s : chosen);
        // Written as "Hirondel" / "Sauve": one value with "HIRONDEL" / "SAUVE".
        if (!cancelled) {
            QCOMPARE(SettingsStore(practice.environment().settingsFolder)
                         .value(u"Hirondel"_s, u"PLANORA"_s, u"Sauve"_s, QString()),
                     chosen);
        }
        delete window;

        QPointer<Form21> reopened = openWindow(practice, cursor);
        QCOMPARE(named<QLabel>(reopened, "Label1")->text(), shown);
        QCOMPARE(named<QLabel>(reopened, "Label3")->text(), shown + u"/AGENDAS.MDB"_s);
    }

    void backup_data()
    {
        QTest::addColumn<QString>("folder"); // "program", "earlier backup", "read-only", "no users file"
        QTest::addColumn<QString>("message");
        QTest::newRow("no SAUVE: into the program's folder") << u"program"_s << Done;
        QTest::newRow("over an earlier backup, without asking") << u"earlier backup"_s << Done;
        QTest::newRow("folder that cannot be written") << u"read-only"_s << Failed;
        QTest::newRow("Utilisat.agc missing: nothing written, said why")
            << u"no users file"_s << Failed + u"\n\nLe fichier Utilisat.agc est introuvable ou illisible dans %1 : "
                                                u"rien n'a été sauvegardé."_s;
        QTest::newRow("the database's own folder: refused, said why")
            << u"database folder"_s
            << Failed + u"\n\nLe répertoire de sauvegarde est celui de la base AGENDAS.MDB elle-même : "
                        u"choisissez-en un autre."_s;
    }

    void backup()
    {
        QFETCH(QString, folder);
        QFETCH(QString, message);
        Practice practice;
        practice.storeDay(1, practice.today(), StoredDay::withSlots({{0, u"Mme Durand"_s}}));
        QString target = practice.programFolder();
        if (folder == "database folder"_L1) {
            target = practice.sharedFolder();
            practice.setSetting(u"SAUVE"_s, target);
        } else if (folder != "program"_L1) {
            target = practice.sharedFolder() + u"/sauvegardes"_s;
            QVERIFY(QDir().mkpath(target));
            practice.setSetting(u"SAUVE"_s, target);
        }
        if (folder == "earlier backup"_L1) {
            QVERIFY(QFile::copy(practice.databasePath(), target + u"/AGENDAS.MDB"_s));
            QVERIFY(writeBytes(target + u"/Utilisat.agc"_s, "ancien"));
            practice.storeDay(1, practice.today(), StoredDay::withSlots({{0, u"M. Petit"_s}}));
        }
        if (folder == "no users file"_L1)
            QVERIFY(QFile::remove(practice.sharedFolder() + u"/Utilisat.agc"_s));
        const QStringList before = QDir(target).entryList(QDir::Files);
        const QByteArray databaseBefore = bytesOf(practice.databasePath());
        const auto inodeBefore = inodeOf(practice.databasePath());
        DayCursor cursor;
        QVERIFY(cursor.position(practice.databasePath(), 1, practice.today()).ok());
        QPointer<Form21> window = openWindow(practice, cursor);

        if (folder == "read-only"_L1) {
            // Everything else open to "nobody", the backup folder not.
            const QStringList reached = {practice.sharedFolder() + u"/.."_s, practice.sharedFolder(),
                                         practice.databasePath(), practice.sharedFolder() + u"/Utilisat.agc"_s};
            for (const QString &path : reached)
                QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(0x7777)));
            QVERIFY(QFile::setPermissions(target, QFileDevice::Permissions(0x5555)));
            const auto nobody = asOrdinaryUser();
            QTest::mouseClick(named<QPushButton>(window, "CmdSauve"), Qt::LeftButton);
        } else {
            QTest::mouseClick(named<QPushButton>(window, "CmdSauve"), Qt::LeftButton);
        }

        QCOMPARE(practice.prompts.informations,
                 QStringList{message.contains(u"%1"_s) ? message.arg(practice.sharedFolder()) : message});
        QVERIFY(practice.prompts.questions.isEmpty());
        QTRY_VERIFY(window.isNull()); // closed in either case
        QVERIFY(!cursor.isOpen());
        const QString copy = target + u"/AGENDAS.MDB"_s;
        if (message.startsWith(Failed)) {
            QCOMPARE(QDir(target).entryList(QDir::Files), before); // nothing half-written left
            QCOMPARE(bytesOf(practice.databasePath()), databaseBefore);
            QCOMPARE(inodeOf(practice.databasePath()), inodeBefore); // the very file the others have open
            return;
        }
        QCOMPARE(storedSlot(copy), storedSlot(practice.databasePath()));
        QVERIFY(!storedSlot(copy).isEmpty());
        QCOMPARE(bytesOf(target + u"/Utilisat.agc"_s), bytesOf(practice.sharedFolder() + u"/Utilisat.agc"_s));
        // The day cursor opens the file again at its next positioning.
        QVERIFY(cursor.position(practice.databasePath(), 1, practice.today()).ok());
    }

    void restore_data()
    {
        QTest::addColumn<QString>("file");  // "AGENDAS.MDB", "other name", "garbage", "foreign", "missing"
        QTest::addColumn<QString>("message"); // its first line
        QTest::addColumn<bool>("stillOpen");
        QTest::newRow("a backup AGENDAS.MDB with its Utilisat.agc") << u"AGENDAS.MDB"_s << Restored << false;
        QTest::newRow("a backup named otherwise: no Utilisat.agc there") << u"other name"_s << Restored << false;
        QTest::newRow("garbage refused") << u"garbage"_s
                                         << u"Le fichier %1 n'est pas une sauvegarde de la base AGENDAS.MDB de PLANORA."_s
                                         << true;
        QTest::newRow("another program's SQLite refused")
            << u"foreign"_s << u"Le fichier %1 n'est pas une sauvegarde de la base AGENDAS.MDB de PLANORA."_s << true;
        QTest::newRow("pick cancelled, no AGENDAS.MDB in the folder") << u"missing"_s << Missing << true;
    }

    void restore()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFETCH(bool, stillOpen);
        Practice practice;
        const QString backupFolder = practice.sharedFolder() + u"/sauvegarde du lundi"_s;
        QVERIFY(QDir().mkpath(backupFolder));
        practice.setSetting(u"SAUVE"_s, backupFolder); // the picking starts there
        const QString backup = backupFolder + (file == "AGENDAS.MDB"_L1 || file == "missing"_L1 ? u"/AGENDAS.MDB"_s
                                                                                               : u"/copie-lundi.sqlite"_s);
        practice.storeDay(1, practice.today(), StoredDay::withSlots({{0, u"Mme Sauvée"_s}}));
        if (file == "AGENDAS.MDB"_L1 || file == "other name"_L1)
            QVERIFY(QFile::copy(practice.databasePath(), backup));
        else if (file == "garbage"_L1)
            QVERIFY(writeBytes(backup, QByteArray(8192, '#')));
        else if (file == "foreign"_L1)
            QVERIFY(makeForeignDatabase(backup));
        QVERIFY(writeBytes(backupFolder + u"/Utilisat.agc"_s, "sauvegarde"));
        practice.storeDay(1, practice.today(), StoredDay::withSlots({{0, u"M. Actuel"_s}}));
        const QByteArray liveBefore = bytesOf(practice.databasePath());
        const QByteArray usersBefore = bytesOf(practice.sharedFolder() + u"/Utilisat.agc"_s);
        practice.prompts.fileAnswers << (file == "missing"_L1 ? QString() : backup);
        DayCursor cursor;
        QVERIFY(cursor.position(practice.databasePath(), 1, practice.today()).ok());
        QPointer<Form21> window = openWindow(practice, cursor);
        QSignalSpy restored(window.data(), &Form21::restored);
        QTest::mouseClick(named<QPushButton>(window, "Command3"), Qt::LeftButton);
        QCOMPARE(practice.prompts.fileFilters, QStringList{u"Fichier AGENDAS.MDB) (AGENDAS.MDB);;Tous Fichiers (*.*) (*)"_s});
        QCOMPARE(practice.prompts.dialogFolders, QStringList{backupFolder});
        QCOMPARE(named<QLabel>(window, "Label3")->text(), backup);
        QCOMPARE(named<QPushButton>(window, "CmdRestaure")->text(),
                 lines({u"Restaurer"_s, backup, u"vers"_s, practice.databasePath()}));

        QTest::mouseClick(named<QPushButton>(window, "CmdRestaure"), Qt::LeftButton);

        QCOMPARE(practice.prompts.informations.size(), 1);
        QCOMPARE(practice.prompts.informations[0].section(u'\n', 0, 0), message.arg(backup));
        QCOMPARE(restored.size(), message == Restored ? 1 : 0);
        if (stillOpen) {
            QVERIFY(window && window->isVisible());
            QCOMPARE(named<QLineEdit>(window, "Text1")->text(), backup);
            QCOMPARE(bytesOf(practice.databasePath()), liveBefore);
            QCOMPARE(bytesOf(practice.sharedFolder() + u"/Utilisat.agc"_s), usersBefore);
            QCOMPARE(QDir(practice.sharedFolder()).entryList({u"*avant-restauration*"_s}, QDir::Files), QStringList());
            return;
        }
        QTRY_VERIFY(window.isNull());
        // The day cursor, opened again, reads the restored day.
        QVERIFY(cursor.position(practice.databasePath(), 1, practice.today()).ok());
        QCOMPARE(cursor.currentRecord()->slots[0], u"Mme Sauvée"_s);
        // The replaced database is kept beside the live one, and said so.
        const QStringList kept = QDir(practice.sharedFolder()).entryList({u"AGENDAS-avant-restauration-*.MDB"_s}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(storedSlot(practice.sharedFolder() + u'/' + kept[0]), u"M. Actuel"_s);
        QVERIFY(practice.prompts.informations[0].contains(kept[0]));
        // Utilisat.agc comes from the path cut 12 characters short; when not
        // there, the message says that the users were not restored.
        const bool usersThere = file == "AGENDAS.MDB"_L1;
        QCOMPARE(bytesOf(practice.sharedFolder() + u"/Utilisat.agc"_s), usersThere ? QByteArray("sauvegarde") : usersBefore);
        QCOMPARE(practice.prompts.informations[0].contains(u"Utilisat.agc n'a pas pu être copié"_s), !usersThere);
        // The replaced Utilisat.agc is kept, dated, when one was written over.
        const QStringList keptUsers =
            QDir(practice.sharedFolder()).entryList({u"Utilisat-avant-restauration-*.agc"_s}, QDir::Files);
        QCOMPARE(keptUsers.size(), usersThere ? 1 : 0);
        if (usersThere) {
            QCOMPARE(bytesOf(practice.sharedFolder() + u'/' + keptUsers[0]), usersBefore);
            QVERIFY(practice.prompts.informations[0].contains(keptUsers[0]));
        }
    }

    // From the main window: one backup window, not modal; a restore shows
    // the restored day at once.
    void fromMainWindow()
    {
        Practice practice;
        practice.storeDay(1, practice.today(), StoredDay::withSlots({{2, u"Mme Sauvée"_s}}));
        const QString backupFolder = practice.sharedFolder() + u"/sauvegardes"_s;
        QVERIFY(QDir().mkpath(backupFolder));
        QVERIFY(QFile::copy(practice.databasePath(), backupFolder + u"/AGENDAS.MDB"_s));
        practice.storeDay(1, practice.today(), StoredDay::withSlots({{2, u"M. Actuel"_s}}));
        practice.setSetting(u"SAUVE"_s, backupFolder);
        const auto form = practice.loadedForm(true);
        QCOMPARE(form->dayView()->slotEdit(2)->text(), u"M. Actuel"_s);
        QAction *sauve = named<QAction>(form.get(), "Sauve");
        QVERIFY(sauve->isEnabled());

        sauve->trigger();
        sauve->trigger();

        const QList<Form21 *> windows = form->findChildren<Form21 *>();
        QCOMPARE(windows.size(), 1);
        QVERIFY(windows[0]->isVisible() && !windows[0]->isModal());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QTest::mouseClick(named<QPushButton>(windows[0], "CmdRestaure"), Qt::LeftButton);
        QCOMPARE(practice.prompts.informations.value(0).section(u'\n', 0, 0), Restored);
        QCOMPARE(form->dayView()->slotEdit(2)->text(), u"Mme Sauvée"_s);
        QVERIFY(!form->isChanged());
    }
};

QTEST_MAIN(TestForm21)
#include "tst_form21.moc"
