// The backup window: its folder and captions, the backup, picking a backup
// file and the restore, driven by its buttons with the recording Prompts;
// and the main window's "Sau&vegarder".
#include "../app/practice.h"
#include "captions.h"
#include "filebytes.h"
#include "form21.h"
#include "refusedwrites.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString Done = u"Sauvegarde terminée"_s, Restored = u"Restauration effectuée"_s;
const QString Failed = u"Assurez vous que tous les utilisateurs aient quitté le programme"_s;

QString lines(const QStringList &pieces) { return pieces.join(u'\n'); }

ino_t inodeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

// Slot 0 of user 1 on 15 March 2024 as the day cursor reads it from database.
QString storedSlot(const QString &database)
{
    DayCursor cursor;
    const bool read = cursor.position(database, 1, 45366).ok() && cursor.currentRecord();
    return read ? cursor.currentRecord()->slots[0] : u"<unread>"_s;
}

QPointer<Form21> openWindow(Practice &practice, DayCursor &cursor)
{
    QPointer<Form21> window = new Form21(practice.environment(), cursor);
    window->show();
    return window;
}

void click(QWidget *window, const char *button) { QTest::mouseClick(named<QPushButton>(window, button), Qt::LeftButton); }

} // namespace

class TestForm21 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ::umask(022); }

    void cleanup()
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->objectName() == "Form21"_L1)
                delete window;
    }

    // Without SAUVE, the program's folder; the folder chosen is kept, and
    // shown again on reopening. The backup and the restore are below.
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
        const QString folder = practice.programFolder(), copy = folder + u"/AGENDAS.MDB"_s;
        const QString chosen = practice.sharedFolder() + u"/sauvegardes"_s, shown = cancelled ? folder : chosen;
        practice.prompts.folderAnswers << (cancelled ? QString() : chosen);
        DayCursor cursor;
        QPointer<Form21> window = openWindow(practice, cursor);
        QCOMPARE(window->windowTitle(), u"Sauvegardes"_s);
        QVERIFY(!window->isModal());
        const QStringList controls = u"Label1 Label3 CmdSauve CmdRestaure Frame1 Frame2 Frame3 Frame4 Command1 Command2 "
                                     u"Command3"_s.split(u' ');
        QCOMPARE(captionsOf(window, controls),
                 (QStringList{folder, copy, lines({u"Lancer la Sauvegarde de "_s, practice.databasePath(), u"vers"_s, folder}),
                              lines({u"Restaurer"_s, copy, u"vers"_s, practice.databasePath()}),
                              u"Répertoire de Sauvegarde"_s, u"Restauration"_s, u"Sauvegarde"_s,
                              u"Path de la base AGENDAS.MDB sauvegardée"_s, u"&Quitter"_s,
                              u"Définir le répertoire de Sauvegarde"_s, u"Rchercher une base AGENDAS.MDB sauvegardée"_s}));
        click(window, "Command2");
        QCOMPARE(practice.prompts.dialogTitles, QStringList{u"Choix du répertoire pour la sauvegarde :"_s});
        // The backup side shows the folder; the restore side keeps the one read at opening.
        QCOMPARE(captionsOf(window, controls.mid(0, 3)),
                 (QStringList{shown, copy, lines({u"Lancer la Sauvegarde de "_s, practice.databasePath(), u"vers"_s, shown})}));
        const SettingsStore settings(practice.environment().settingsFolder);
        QCOMPARE(settings.value(u"HIRONDEL"_s, u"PLANORA"_s, u"SAUVE"_s, u"<absent>"_s), cancelled ? u"<absent>"_s : chosen);
        click(window, "Command1");
        QTRY_VERIFY(window.isNull());
        QPointer<Form21> reopened = openWindow(practice, cursor);
        QCOMPARE(captionsOf(reopened, controls.mid(0, 2)), (QStringList{shown, shown + u"/AGENDAS.MDB"_s}));
    }

    void backup_data()
    {
        QTest::addColumn<QString>("folder"); // the SAUVE folder and what is in it
        QTest::addColumn<QString>("message");
        QTest::newRow("no SAUVE: into the program's folder") << u"program"_s << Done;
        QTest::newRow("folder that cannot be written") << u"read-only"_s << Failed;
        QTest::newRow("Utilisat.agc missing: nothing written, said why") << u"no users file"_s
            << Failed + u"\n\nLe fichier Utilisat.agc est introuvable ou illisible dans %1 : rien n'a été sauvegardé."_s;
        QTest::newRow("the database's own folder: refused, said why") << u"database folder"_s
            << Failed + u"\n\nLe répertoire de sauvegarde est celui de la base AGENDAS.MDB elle-même : "
                        u"choisissez-en un autre."_s;
    }

    void backup()
    {
        QFETCH(QString, folder);
        QFETCH(QString, message);
        Practice practice;
        const QString users = practice.sharedFolder() + u"/Utilisat.agc"_s;
        practice.storeDay(1, practice.today(), StoredDay::withSlots({{0, u"Mme Durand"_s}}));
        QString target = folder == "program"_L1 ? practice.programFolder()
                         : folder == "database folder"_L1 ? practice.sharedFolder()
                                                          : practice.sharedFolder() + u"/sauvegardes"_s;
        QVERIFY(QDir().mkpath(target));
        if (folder != "program"_L1)
            practice.setSetting(u"SAUVE"_s, target);
        if (folder == "no users file"_L1)
            QVERIFY(QFile::remove(users));
        const QStringList before = QDir(target).entryList(QDir::Files);
        const QByteArray databaseBefore = bytesOf(practice.databasePath());
        const auto inodeBefore = inodeOf(practice.databasePath());
        DayCursor cursor;
        QVERIFY(cursor.position(practice.databasePath(), 1, practice.today()).ok());
        QPointer<Form21> window = openWindow(practice, cursor);
        if (folder == "read-only"_L1) { // everything else open to "nobody", the backup folder not
            const QString shared = practice.sharedFolder();
            for (const QString &path : QStringList{shared + u"/.."_s, shared, practice.databasePath(), users})
                QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(0x7777)));
            QVERIFY(QFile::setPermissions(target, QFileDevice::Permissions(0x5555)));
        }
        {
            const auto nobody = folder == "read-only"_L1 ? std::optional(asOrdinaryUser()) : std::nullopt;
            click(window, "CmdSauve");
        }
        QCOMPARE(practice.prompts.informations, QStringList{QString(message).replace(u"%1"_s, practice.sharedFolder())});
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
        QCOMPARE(storedSlot(copy), u"Mme Durand"_s);
        QCOMPARE(bytesOf(target + u"/Utilisat.agc"_s), bytesOf(users));
        // The day cursor opens the file again at its next positioning.
        QVERIFY(cursor.position(practice.databasePath(), 1, practice.today()).ok());
    }

    void restore_data()
    {
        QTest::addColumn<QString>("file"); // what the picked file is (an SQLite file of another program: see tests/store)
        QTest::addColumn<QString>("message"); // its first line
        const QString notABackup = u"Le fichier %1 n'est pas une sauvegarde de la base AGENDAS.MDB de PLANORA."_s;
        QTest::newRow("a backup AGENDAS.MDB with its Utilisat.agc") << u"AGENDAS.MDB"_s << Restored;
        QTest::newRow("a backup named otherwise: no Utilisat.agc there") << u"other name"_s << Restored;
        QTest::newRow("garbage refused") << u"garbage"_s << notABackup;
        QTest::newRow("pick cancelled, no AGENDAS.MDB in the folder") << u"missing"_s
                                                                      << u"Fichier AGENDAS.MDB non existant à cet endroit"_s;
    }

    void restore()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        Practice practice;
        const QString backupFolder = practice.sharedFolder() + u"/sauvegarde du lundi"_s, shared = practice.sharedFolder();
        QVERIFY(QDir().mkpath(backupFolder));
        practice.setSetting(u"SAUVE"_s, backupFolder); // the picking starts there
        const bool usersThere = file == "AGENDAS.MDB"_L1; // a backup's Utilisat.agc is beside an AGENDAS.MDB only
        const QString backup = backupFolder + (usersThere || file == "missing"_L1 ? u"/AGENDAS.MDB"_s : u"/copie-lundi.sqlite"_s);
        practice.storeDay(1, practice.today(), StoredDay::withSlots({{0, u"Mme Sauvée"_s}}));
        if (file == "AGENDAS.MDB"_L1 || file == "other name"_L1)
            QVERIFY(QFile::copy(practice.databasePath(), backup));
        else if (file == "garbage"_L1)
            QVERIFY(writeBytes(backup, QByteArray(8192, '#')));
        QVERIFY(writeBytes(backupFolder + u"/Utilisat.agc"_s, "sauvegarde"));
        practice.storeDay(1, practice.today(), StoredDay::withSlots({{0, u"M. Actuel"_s}}));
        const QByteArray liveBefore = bytesOf(practice.databasePath()), usersBefore = bytesOf(shared + u"/Utilisat.agc"_s);
        practice.prompts.fileAnswers << (file == "missing"_L1 ? QString() : backup);
        DayCursor cursor;
        QVERIFY(cursor.position(practice.databasePath(), 1, practice.today()).ok());
        QPointer<Form21> window = openWindow(practice, cursor);
        QSignalSpy restored(window.data(), &Form21::restored);
        click(window, "Command3");
        QCOMPARE(practice.prompts.fileFilters, QStringList{u"Fichier AGENDAS.MDB) (AGENDAS.MDB);;Tous Fichiers (*.*) (*)"_s});
        QCOMPARE(practice.prompts.dialogFolders, QStringList{backupFolder});
        QCOMPARE(captionsOf(window, {u"Label3"_s, u"CmdRestaure"_s}),
                 (QStringList{backup, lines({u"Restaurer"_s, backup, u"vers"_s, practice.databasePath()})}));
        click(window, "CmdRestaure");
        QCOMPARE(practice.prompts.informations.size(), 1);
        const QString said = practice.prompts.informations[0];
        QCOMPARE(said.section(u'\n', 0, 0), QString(message).replace(u"%1"_s, backup));
        QCOMPARE(restored.size(), message == Restored ? 1 : 0);
        if (message != Restored) { // the window stays, nothing replaced
            QVERIFY(window && window->isVisible());
            QCOMPARE(named<QLineEdit>(window, "Text1")->text(), backup);
            QCOMPARE(bytesOf(practice.databasePath()), liveBefore);
            QCOMPARE(bytesOf(shared + u"/Utilisat.agc"_s), usersBefore);
            QCOMPARE(QDir(shared).entryList({u"*avant-restauration*"_s}, QDir::Files), QStringList());
            return;
        }
        QTRY_VERIFY(window.isNull());
        // The day cursor, opened again, reads the restored day.
        QVERIFY(cursor.position(practice.databasePath(), 1, practice.today()).ok());
        QCOMPARE(cursor.currentRecord()->slots[0], u"Mme Sauvée"_s);
        // The replaced database is kept beside the live one, and said so.
        const QStringList kept = QDir(shared).entryList({u"AGENDAS-avant-restauration-*.MDB"_s}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(storedSlot(shared + u'/' + kept[0]), u"M. Actuel"_s);
        QVERIFY(said.contains(kept[0]));
        // Utilisat.agc comes from the path cut 12 characters short; when not
        // there, the message says that the users were not restored. The
        // replaced Utilisat.agc is kept, dated, when one was written over.
        QCOMPARE(bytesOf(shared + u"/Utilisat.agc"_s), usersThere ? QByteArray("sauvegarde") : usersBefore);
        QCOMPARE(said.contains(u"Utilisat.agc n'a pas pu être copié"_s), !usersThere);
        const QStringList keptUsers = QDir(shared).entryList({u"Utilisat-avant-restauration-*.agc"_s}, QDir::Files);
        QCOMPARE(keptUsers.size(), usersThere ? 1 : 0);
        QVERIFY(!usersThere || (bytesOf(shared + u'/' + keptUsers[0]) == usersBefore && said.contains(keptUsers[0])));
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
        sauve->trigger();
        sauve->trigger();
        const QList<Form21 *> windows = form->findChildren<Form21 *>();
        QCOMPARE(windows.size(), 1);
        QVERIFY(windows[0]->isVisible() && !windows[0]->isModal() && !QApplication::activeModalWidget());
        click(windows[0], "CmdRestaure");
        QCOMPARE(practice.prompts.informations.value(0).section(u'\n', 0, 0), Restored);
        QCOMPARE(form->dayView()->slotEdit(2)->text(), u"Mme Sauvée"_s);
        QVERIFY(!form->isChanged());
    }
};

QTEST_MAIN(TestForm21)
#include "tst_form21.moc"
