// The users' configuration (Form2), the backup window (Form21), the about box and the help window: each alone
// with the recording Prompts, and opened from the main window's menu.
#include "captions.h"
#include "colourswatch.h"
#include "filebytes.h"
#include "form2.h"
#include "form21.h"
#include "frmabout.h"
#include "helpwindow.h"
#include "practice.h"
#include "refusedwrites.h"

#include <QComboBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QScreen>
#include <QTextBrowser>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using Bytes = std::optional<QByteArray>; // a file's content; nothing: no file
const QByteArray LookupOn = "#TRUE#,\"PATIENTS\"\r\n", MinusOne = "-1,\"PATIENTS\"", Save = "CmDEnreg";
const QStringList OldCaptions = u"Ancien 1,Ancien 2,Ancien 3,Ancien 4,Ancien 5,Ancien 6"_s.split(u',');
const QFile::Permissions Writable(0x7777), ReadOnly(0x5555);
const QString Kept = u"  Dr Hélène, Noël-Çà  "_s; // what typing "  Dr \"Hélène\", Noël-Çà  " gives

// A Utilisat.agc brought from an older workstation: Windows-1252 accents,
// users 1 and 2 named, user 1 on light grey and the 20-minute grid, user 3
// on an interval outside the list's items (shown, and saved, as none chosen).
const QByteArray LegacyFile =
    uR"("Dr Hélène","Dr Noël","","","","",12632256,%1,%1,%1,%1,%1,2,0,7,-1,-1,-1,)"
    uR"("Échographies","","","","","","Bloc opératoire","","","","","")"_s.arg(SystemWindowColour).toLatin1() + "\r\n";

UserConfig usersOf(qint16 intervalIndex)
{
    UserConfig users;
    users.fill({QString(), SystemWindowColour, intervalIndex, QString(), QString()});
    return users;
}

// What LegacyFile holds, with other names when given.
UserConfig legacyUsers(const QStringList &names = {})
{
    UserConfig users = usersOf(-1);
    users[0] = {u"Dr Hélène"_s, 12632256, 2, u"Échographies"_s, u"Bloc opératoire"_s};
    users[1] = {u"Dr Noël"_s, SystemWindowColour, 0, QString(), QString()};
    for (int index = 0; index < names.size(); ++index)
        users[index].name = names[index];
    return users;
}

// A practice holding the two files, six buttons standing for the main
// window's, and Form2 opened on them as the menu opens it.
struct Session
{
    Session(const Bytes &users, const Bytes &lookup)
    {
        for (const auto &[path, bytes] : {std::pair(usersPath(), users), std::pair(lookupPath(), lookup)})
            if (bytes ? !writeBytes(path, *bytes) : (QFile::exists(path) && !QFile::remove(path)))
                qFatal("cannot write %s", qPrintable(path));
        for (int index = 0; index < UserCount; ++index)
            buttons[index] = new QPushButton(OldCaptions[index], &mainWindow);
        form = Form2::showFor(practice.environment(), buttons, &mainWindow);
    }
    QString usersPath() const { return practice.sharedFolder() + u"/Utilisat.agc"_s; }
    QString lookupPath() const { return practice.programFolder() + u"/Alpha.agc"_s; }
    template <typename T = QWidget>
    T *control(const QByteArray &name) const { return named<T>(form.data(), name.constData()); }
    void click(const QByteArray &button) { QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton); }
    // Typed key by key, each key carrying its letter as a French keyboard sends it.
    void type(const QByteArray &box, const QString &text)
    {
        control<QLineEdit>(box)->clear();
        for (const QChar letter : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(letter));
            QApplication::sendEvent(control(box), &press);
        }
    }
    UserConfig savedUsers() const { return ConfigFiles::readUserConfig(practice.sharedFolder()).users; }

    Practice practice;
    QWidget mainWindow;
    UserButtons buttons;
    QPointer<Form2> form;
};

// The files before; the names typed into users 1 to 6 (none: what was read is kept); clicks on Check1; the button
// left by, "": the close box; Alpha.agc after; the users saved, nothing: Utilisat.agc left as it was; the main
// window's captions after, comma-separated, "-": hidden; the messages of the reading, %1: the practice's folder.
struct Leaving { Bytes usersBefore, lookupBefore; QStringList names; int clicks; QByteArray button;
                 QByteArray lookupAfter; std::optional<UserConfig> saved; QString captions; QStringList messages; };
// refused: the folder, or "absent" for a CheminUt naming no folder; file: named in the message, under the
// practice's folder; Alpha.agc at the refusal.
struct Refusal { QString refused; QByteArray button; QString file; QByteArray lookupAfter; };

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

// The window of type T that the main window's menu entry opens, chosen twice:
// the only one, shown, and leaving the main window usable; null otherwise.
template <typename T>
T *openedTwice(QWidget *main, const char *entry)
{
    triggerAction(main, entry);
    triggerAction(main, entry);
    const QList<T *> windows = main->findChildren<T *>();
    const bool one = windows.size() == 1 && windows[0]->isVisible() && !windows[0]->isModal();
    return one && !QApplication::activeModalWidget() && main->isEnabled() ? windows[0] : nullptr;
}

const QString GuideSource = QStringLiteral(PLANORA_GUIDE_DIR);

} // namespace

Q_DECLARE_METATYPE(Leaving)
Q_DECLARE_METATYPE(Refusal)

class DialogsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        ::umask(022);
    }

    // What the files hold is shown, with the messages of the reading, and
    // what is shown is what leaving writes: saving writes both files and gives
    // the main window's user buttons the new names; quitting writes Alpha.agc
    // only; the close box writes nothing.
    void leaving_data()
    {
        QTest::addColumn<Leaving>("c");
        const QStringList tape = u"Dr Hélène,Dr Noël,Dr Tapé,,,"_s.split(u','), gap = {u"Dr Un"_s, {}, u"Dr Trois"_s};
        const QStringList six = u"Dr Un,Dr Deux,Dr Trois,Dr Quatre,Dr Cinq,Dr Six"_s.split(u',');
        const QString old = OldCaptions.join(u','), hidden = u"-,-,-,-,-,-"_s;
        UserConfig partial = usersOf(1);
        partial[0].name = u"Dr Seul"_s;
        QTest::newRow("no file: design values, no message") << Leaving{
            {}, {}, {}, 0, Save, "#FALSE#,\"MATABLE\"\r\n", usersOf(1), hidden, {}};
        QTest::newRow("records cut short: what was read over the design values, one name: all hidden") << Leaving{
            "\"Dr Seul\"\r\n", "#TRUE#\r\n", {}, 0, Save, "#TRUE#,\"MATABLE\"\r\n", partial, hidden,
            {u"Fichier %1/program/Alpha.agc non valide."_s,
             u"Fichier %1/shared/Utilisat.agc non valide (trop ou pas assez de paramètres)."_s}};
        QTest::newRow("quit writes Alpha.agc as shown, unchecked with its table") << Leaving{
            LegacyFile, MinusOne, tape, 1, "Quitte", "#FALSE#,\"PATIENTS\"\r\n", {}, old, {}};
        QTest::newRow("close box writes nothing") << Leaving{LegacyFile, LookupOn, tape, 1, "", LookupOn, {}, old, {}};
        QTest::newRow("1 _ 3: unchanged")
            << Leaving{LegacyFile, LookupOn, gap, 0, Save, LookupOn, legacyUsers(gap), old, {}};
        QTest::newRow("all six")
            << Leaving{LegacyFile, LookupOn, six, 0, Save, LookupOn, legacyUsers(six), six.join(u','), {}};
    }

    void leaving()
    {
        QFETCH(Leaving, c);
        Session session(c.usersBefore, c.lookupBefore);
        Form2 *form = session.form;
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QCOMPARE(session.control<QLabel>("Label11")->text(), session.practice.sharedFolder() + u"/NOMS.db"_s);
        // The texts users see: the title, the interval list, the captions.
        QStringList texts = captionsOf(form, u"Label1 Label4 Label9 Label10 Label8 Label7 Label60 Label5 Label6 "
                                             u"Command6 Check1 Frame1 Label12 Label50 CmDEnreg Quitte"_s.split(u' '));
        for (int i = 0; i < session.control<QComboBox>("Combo3")->count(); ++i)
            texts << session.control<QComboBox>("Combo3")->itemText(i);
        QCOMPARE(texts << form->windowTitle(),
                 (u"Utilisateur N°1|Utilisateur N°4|Utilisateur N°5|Utilisateur N°6|Nom de l'utilisateur|"
                  u"Couleur de fond|Rendez vous|Annotation haut|Annotation bas|...|Utiliser la recherche alphabetique "
                  u"des noms sur une base ACCESS|Base de données ACCESS désignée par le Superviseur|Nom de la TABLE à "
                  u"utiliser dans la base de données ACCESS|Redémarrer le programme PLANORA après modification d'un ou "
                  u"plusieurs utilisateurs|&Enregistrer Quitter|Annuler / &Quitter|Toutes les 10'|Toutes les 15'|"
                  u"Toutes les 20'|Toutes les 30'|Toutes les 60'|Utilisateurs"_s.split(u'|')));
        // Centred (the platform may nudge a window wider than its screen by a pixel or two).
        QVERIFY((form->frameGeometry().center() - form->screen()->geometry().center()).manhattanLength() <= 4);
        for (int user = 1; user <= c.names.size(); ++user)
            session.type("Text" + QByteArray::number(user), c.names[user - 1]);
        QTest::keyClicks(session.control("Combo2"), u"xyz"_s); // a list: typed text chooses nothing
        for (int i = 0; i < c.clicks; ++i)
            session.click("Check1");
        QCOMPARE(session.control("Frame1")->isVisible(), session.control<QCheckBox>("Check1")->isChecked());
        if (c.button.isEmpty())
            form->close();
        else
            session.click(c.button);
        QTRY_VERIFY(session.form.isNull());
        QCOMPARE(bytesOf(session.lookupPath()), c.lookupAfter);
        if (c.saved)
            QCOMPARE(session.savedUsers(), *c.saved);
        else
            QCOMPARE(bytesOf(session.usersPath()), c.usersBefore); // byte for byte
        QStringList shown; // the main window's user buttons, "-" for a hidden one
        for (const QAbstractButton *button : session.buttons)
            shown << (button->isHidden() ? u"-"_s : button->text());
        QCOMPARE(shown.join(u','), c.captions);
        for (QString &message : c.messages)
            message = message.arg(QFileInfo(session.practice.programFolder()).path());
        QCOMPARE(session.practice.prompts.informations, c.messages); // the reading's only
    }

    // What is typed and chosen stays shown through a refused write, which
    // says which file and leaves both files as they were; once the supervisor
    // has put things right, the same window saves it. Colours: rows 2, 4, 1,
    // 6 in turn, row 4 cancelled; the dialog opens black at first, then on
    // the last colour chosen, not on the swatch's. Typed into every text of
    // user 4 and the table name: accents, a comma and the blanks around
    // kept; a double quote cannot be typed.
    void editedThroughRefusal_data()
    {
        QTest::addColumn<Refusal>("c");
        QTest::newRow("CheminUt naming no folder") << Refusal{u"absent"_s, Save, u"/shared/absent/Utilisat.agc"_s,
                                                              "#TRUE#,\"" + Kept.toUtf8() + "\"\r\n"};
        QTest::newRow("read-only program folder, quitting")
            << Refusal{u"program"_s, "Quitte", u"/program/Alpha.agc"_s, MinusOne};
        QTest::newRow("full disk") << Refusal{u"full disk"_s, Save, u"/program/Alpha.agc"_s, MinusOne};
    }

    void editedThroughRefusal()
    {
        QFETCH(Refusal, c);
        Session session(LegacyFile, MinusOne);
        Practice &practice = session.practice;
        practice.prompts.colorAnswers = {QColor(255, 0, 0), std::nullopt, QColor(0, 0, 255), QColor(0, 128, 0)};
        for (const char *button : {"Command2", "Command4", "Command1", "Command6"})
            session.click(button);
        QCOMPARE(practice.prompts.colorInitials, (QList<QColor>{Qt::black, Qt::red, Qt::red, Qt::blue}));
        QCOMPARE(session.control<ColourSwatch>("LblColor2")->palette().color(QPalette::Window), QColor(Qt::red));
        for (const char *box : {"Text4", "TxtAnnot4", "Text7_3", "TxtTable"})
            session.type(box, u"  Dr \"Hélène\", Noël-Çà  "_s);
        if (c.refused == "absent"_L1)
            practice.setSetting(u"CheminUt"_s, practice.sharedFolder() + u"/absent"_s);
        // Everything open to an ordinary user, but for the folder refused.
        const QString settings = practice.environment().settingsFolder, root = QFileInfo(settings).path();
        QFile::setPermissions(root, ReadOnly);
        QFile::setPermissions(settings + u"/hirondel.ini"_s, QFile::Permissions(0x4444));
        for (const QString &folder : {practice.programFolder(), practice.sharedFolder(), settings})
            QFile::setPermissions(folder, QFileInfo(folder).fileName() == c.refused ? ReadOnly : Writable);
        {
            const auto ordinaryUser = asOrdinaryUser();
            const auto full = c.refused == "full disk"_L1 ? std::optional(fullDisk()) : std::nullopt;
            session.click(c.button);
        }
        const QString message = u"Impossible d'enregistrer le fichier %1 : le dossier est absent ou protégé en "
                                u"écriture, ou le disque est plein. Le fichier déjà présent n'a pas été modifié et "
                                u"les valeurs saisies restent affichées."_s;
        QCOMPARE(practice.prompts.informations, QStringList{message.arg(root + c.file)});
        QVERIFY(session.form && session.form->isVisible());
        QCOMPARE(bytesOf(session.usersPath()), LegacyFile);
        QCOMPARE(bytesOf(session.lookupPath()), c.lookupAfter);
        for (const QString &folder : {practice.sharedFolder(), practice.programFolder()})
            QFile::setPermissions(folder, Writable);
        practice.setSetting(u"CheminUt"_s, practice.sharedFolder());
        session.click(Save);
        QTRY_VERIFY(session.form.isNull());
        UserConfig expected = legacyUsers();
        expected[3] = {Kept, SystemWindowColour, -1, Kept, Kept};
        std::tie(expected[0].colour, expected[1].colour, expected[5].colour) = std::tuple(0xFF0000, 0x0000FF, 0x008000);
        QCOMPARE(session.savedUsers(), expected);
        QCOMPARE(ConfigFiles::readLookupSettings(practice.programFolder()).settings, (LookupSettings{true, Kept}));
    }

    // The backup goes into the folder chosen in the window, which is kept in
    // the settings; without SAUVE and with the choice cancelled, into the
    // program's folder.
    void backup_data()
    {
        QTest::addColumn<QString>("folder"); // the folder chosen and what is in it
        QTest::addColumn<QStringList>("messages"); // %1: the shared folder, %2: the settings file
        QTest::newRow("choice cancelled: into the program's folder") << u"program"_s << QStringList{Done};
        QTest::newRow("a folder that does not exist") << u"missing"_s << QStringList{Failed};
        QTest::newRow("Utilisat.agc missing: nothing written, said why") << u"no users file"_s << QStringList{Failed
                + u"\n\nLe fichier Utilisat.agc est introuvable ou illisible dans %1 : rien n'a été sauvegardé."_s};
        QTest::newRow("the database's own folder: refused, said why") << u"database folder"_s
            << QStringList{Failed + u"\n\nLe répertoire de sauvegarde est celui de la base AGENDAS.MDB elle-même : "
                                    u"choisissez-en un autre."_s};
        QTest::newRow("the choice cannot be kept in the settings: said, used all the same") << u"settings"_s
            << QStringList{u"Le répertoire de sauvegarde n'a pas pu être enregistré dans les paramètres (%2) : "
                           u"il servira jusqu'à la fermeture de cette fenêtre."_s, Done};
    }

    void backup()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, messages);
        Practice practice;
        const QString shared = practice.sharedFolder(), users = shared + u"/Utilisat.agc"_s;
        const QString program = practice.programFolder(), database = practice.databasePath();
        practice.storeDay(1, practice.today(), StoredDay::withSlots({{0, u"Mme Durand"_s}}));
        const QString target = folder == "program"_L1 ? program
                               : folder == "database folder"_L1 ? shared : shared + u"/sauvegardes"_s;
        QVERIFY(folder == "missing"_L1 || QDir().mkpath(target));
        QVERIFY(folder != "no users file"_L1 || QFile::remove(users));
        const QStringList before = QDir(target).entryList(QDir::Files);
        const QByteArray databaseBefore = bytesOf(database);
        const auto inodeBefore = inodeOf(database);
        DayCursor cursor;
        QVERIFY(cursor.position(database, 1, practice.today()).ok());
        QPointer<Form21> window = new Form21(practice.environment(), cursor);
        window->show();
        practice.prompts.folderAnswers << (folder == "program"_L1 ? QString() : target);
        const SettingsStore settings(practice.environment().settingsFolder);
        const QString settingsFile = settings.filePath(u"HIRONDEL"_s);
        QVERIFY(folder != "settings"_L1 || (QFile::remove(settingsFile) && QDir().mkpath(settingsFile)));
        clickButton(window, "Command2");
        QCOMPARE(settings.value(u"HIRONDEL"_s, u"PLANORA"_s, u"SAUVE"_s, u"<absent>"_s),
                 folder == "program"_L1 || folder == "settings"_L1 ? u"<absent>"_s : target);
        // The backup side shows the folder; the restore side keeps the one read at opening.
        const QString controls = u"Label1 Label3 CmdSauve CmdRestaure Frame1 Frame2 Frame3 Frame4 Command1 Command2 "
                                 u"Command3"_s, copy = program + u"/AGENDAS.MDB"_s;
        QCOMPARE(captionsOf(window, controls.split(u' ')) << window->windowTitle(),
                 (QStringList{target, copy, lines({u"Lancer la Sauvegarde de "_s, database, u"vers"_s, target}),
                              lines({u"Restaurer"_s, copy, u"vers"_s, database})}
                  + u"Répertoire de Sauvegarde|Restauration|Sauvegarde|Path de la base AGENDAS.MDB sauvegardée|"
                    u"&Quitter|Définir le répertoire de Sauvegarde|Rchercher une base AGENDAS.MDB sauvegardée|"
                    u"Sauvegardes"_s.split(u'|')));
        clickButton(window, "CmdSauve");
        for (QString &message : messages)
            message.replace(u"%1"_s, shared).replace(u"%2"_s, settingsFile);
        QCOMPARE(practice.prompts.informations, messages);
        QTRY_VERIFY(window.isNull()); // closed in either case
        QVERIFY(!cursor.isOpen());
        if (messages.last().startsWith(Failed)) {
            QCOMPARE(QDir(target).entryList(QDir::Files), before); // nothing half-written left
            QCOMPARE(bytesOf(database), databaseBefore);
            QCOMPARE(inodeOf(database), inodeBefore); // the very file the others have open
            return;
        }
        QCOMPARE(storedSlot(target + u"/AGENDAS.MDB"_s), u"Mme Durand"_s);
        QCOMPARE(bytesOf(target + u"/Utilisat.agc"_s), bytesOf(users));
        // The day cursor opens the file again at its next positioning.
        QVERIFY(cursor.position(database, 1, practice.today()).ok());
    }

    void restore_data()
    {
        // file: what the picked file is (an SQLite file of another program: see tests/store); message: its first line
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("a backup AGENDAS.MDB with its Utilisat.agc") << u"AGENDAS.MDB"_s << Restored;
        QTest::newRow("a backup named otherwise: no Utilisat.agc there") << u"other name"_s << Restored;
        QTest::newRow("garbage refused")
            << u"garbage"_s << u"Le fichier %1 n'est pas une sauvegarde de la base AGENDAS.MDB de PLANORA."_s;
        QTest::newRow("pick cancelled, no AGENDAS.MDB in the folder")
            << u"missing"_s << u"Fichier AGENDAS.MDB non existant à cet endroit"_s;
    }

    // Restoring from the backup window the main window's menu opens.
    void restore()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        Practice practice;
        const QString shared = practice.sharedFolder(), users = shared + u"/Utilisat.agc"_s;
        const QString backupFolder = shared + u"/sauvegarde du lundi"_s;
        QVERIFY(QDir().mkpath(backupFolder));
        practice.setSetting(u"SAUVE"_s, backupFolder); // the picking starts there
        const bool usersThere = file == "AGENDAS.MDB"_L1; // a backup's Utilisat.agc is beside an AGENDAS.MDB only
        const QString backup =
            backupFolder + (usersThere || file == "missing"_L1 ? u"/AGENDAS.MDB"_s : u"/copie-lundi.sqlite"_s);
        practice.storeDay(1, practice.today(), StoredDay::withSlots({{0, u"Mme Sauvée"_s}}));
        if (file == "AGENDAS.MDB"_L1 || file == "other name"_L1)
            QVERIFY(QFile::copy(practice.databasePath(), backup));
        else if (file == "garbage"_L1)
            QVERIFY(writeBytes(backup, QByteArray(8192, '#')));
        QVERIFY(writeBytes(backupFolder + u"/Utilisat.agc"_s, "sauvegarde"));
        practice.storeDay(1, practice.today(), StoredDay::withSlots({{0, u"M. Actuel"_s}}));
        const QByteArray liveBefore = bytesOf(practice.databasePath()), usersBefore = bytesOf(users);
        practice.prompts.fileAnswers << (file == "missing"_L1 ? QString() : backup);
        const auto main = practice.loadedForm(true);
        QPointer<Form21> window = openedTwice<Form21>(main.get(), "Sauve");
        QVERIFY(window);
        clickButton(window, "Command3");
        QCOMPARE(practice.prompts.dialogFolders, QStringList{backupFolder});
        QCOMPARE(captionsOf(window, {u"Label1"_s, u"Label3"_s, u"CmdRestaure"_s}), (QStringList{backupFolder, backup,
                 lines({u"Restaurer"_s, backup, u"vers"_s, practice.databasePath()})}));
        clickButton(window, "CmdRestaure");
        QCOMPARE(practice.prompts.informations.size(), 1);
        const QString said = practice.prompts.informations[0];
        QCOMPARE(said.section(u'\n', 0, 0), QString(message).replace(u"%1"_s, backup));
        // The main window shows the restored day at once.
        QCOMPARE(main->dayView()->slotEdit(0)->text(), message == Restored ? u"Mme Sauvée"_s : u"M. Actuel"_s);
        if (message != Restored) { // the window stays until left, nothing replaced
            QVERIFY(window && window->isVisible());
            QCOMPARE(bytesOf(practice.databasePath()), liveBefore);
            QCOMPARE(bytesOf(users), usersBefore);
            QCOMPARE(QDir(shared).entryList({u"*avant-restauration*"_s}, QDir::Files), QStringList());
            clickButton(window, "Command1");
        }
        QTRY_VERIFY(window.isNull());
        if (message != Restored)
            return;
        QVERIFY(!main->isChanged());
        // The replaced database is kept beside the live one, and said so.
        const QStringList kept = QDir(shared).entryList({u"AGENDAS-avant-restauration-*.MDB"_s}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(storedSlot(shared + u'/' + kept[0]), u"M. Actuel"_s);
        QVERIFY(said.contains(kept[0]));
        // Utilisat.agc comes from the path cut 12 characters short; when not
        // there, the message says that the users were not restored. The
        // replaced Utilisat.agc is kept, dated, when one was written over.
        QCOMPARE(bytesOf(users), usersThere ? QByteArray("sauvegarde") : usersBefore);
        QCOMPARE(said.contains(u"Utilisat.agc n'a pas pu être copié"_s), !usersThere);
        const QStringList keptUsers = QDir(shared).entryList({u"Utilisat-avant-restauration-*.agc"_s}, QDir::Files);
        QCOMPARE(keptUsers.size(), usersThere ? 1 : 0);
        QVERIFY(!usersThere || (bytesOf(shared + u'/' + keptUsers[0]) == usersBefore && said.contains(keptUsers[0])));
    }

    // The menu's windows, each opened by choosing its entry twice (see
    // openedTwice), in turn: the help, the about box, the users. The backup
    // window is opened from the menu by restore above.
    void fromMainWindow()
    {
        Practice practice;
        const auto main = practice.loadedForm(true);
        // The guide missing is said, and nothing opened; once installed, its contents page.
        const QString guide = practice.programFolder() + u"/aide/index.html"_s;
        const QStringList missing(2, u"Le guide d'utilisation de PLANORA est introuvable :\n%1\nDemandez au "
                                     u"SUPERVISEUR de réinstaller le programme."_s.arg(guide));
        QVERIFY(!openedTwice<HelpWindow>(main.get(), "Aide") && main->findChildren<HelpWindow *>().isEmpty());
        QCOMPARE(practice.prompts.informations, missing);
        QVERIFY(QDir().mkpath(QFileInfo(guide).path()) && QFile::copy(GuideSource + u"/index.html"_s, guide));
        HelpWindow *help = openedTwice<HelpWindow>(main.get(), "Aide");
        QVERIFY(help);
        QCOMPARE(help->browser()->source(), QUrl::fromLocalFile(guide));
        QCOMPARE(help->browser()->documentTitle(), u"Guide d'utilisation de PLANORA"_s);
        // The about box, centred; its OK closes it.
        QPointer<frmAbout> box = openedTwice<frmAbout>(main.get(), "Propos");
        QVERIFY(box && QTest::qWaitForWindowExposed(box));
        QCOMPARE(captionsOf(box, u"lblTitle lblVersion lblDescription Label1 Contact lblDisclaimer cmdOK"_s.split(u' '))
                     << box->windowTitle(),
                 (QStringList{u"PLANORA"_s, u"Version 4.0.0"_s, u"AGENDA pour prise de rendez vous"_s, u"Auteur"_s,
                              u"Contact"_s, frmAbout::authorName(), u"OK"_s, u"À propos de PLANORA"_s}));
        QVERIFY((box->frameGeometry().center() - box->screen()->geometry().center()).manhattanLength() <= 20);
        clickButton(box, "cmdOK");
        QTRY_VERIFY(box.isNull());
        // The users: a third user named gives the main window a third button at
        // once; nothing else changes before a change of user or the next start.
        QPointer<Form2> users = openedTwice<Form2>(main.get(), "Utilisat");
        QVERIFY(users);
        named<QLineEdit>(users.data(), "Text3")->setText(u"Dr C"_s);
        named<QComboBox>(users.data(), "Combo1")->setCurrentIndex(4);
        clickButton(users, "CmDEnreg");
        QTRY_VERIFY(users.isNull());
        QCOMPARE(main->dayView()->userButton(3)->text(), u"Dr C"_s);
        QVERIFY(main->dayView()->userButton(3)->isVisible() && !main->dayView()->userButton(4)->isVisible());
        QCOMPARE(main->intervalMinutes(), 15);
        QCOMPARE(main->users(), Practice::namedUsers({1, 2}));
        QCOMPARE(ConfigFiles::readUserConfig(practice.sharedFolder()).users[0].intervalIndex, qint16(4));
    }

    // Every page of the guide has a title and leads back to the contents,
    // every link and picture in it is there; the contents lead to every topic.
    void guideLinks()
    {
        static const QRegularExpression reference(u"(?:href|src)=\"([^\"#:]+)(?:#[^\"]*)?\""_s);
        const QString topics = u"jour saisie utilisateurs semaine recherche impression sauvegarde configuration"_s;
        for (QDirIterator pages(GuideSource, {u"*.html"_s}, QDir::Files); pages.hasNext();) {
            const QString page = pages.next(), html = QString::fromUtf8(bytesOf(page));
            const bool contents = page.endsWith(u"/index.html"_s);
            QVERIFY2(html.contains(u"<title>"_s) && (contents || html.contains(u"href=\"index.html\""_s)),
                     qPrintable(page));
            for (auto match = reference.globalMatch(html); match.hasNext();) {
                const QString target = match.next().captured(1);
                QVERIFY2(QFileInfo(page).dir().exists(target), qPrintable(page + u": "_s + target));
            }
            for (const QString &topic : contents ? topics.split(u' ') : QStringList())
                QVERIFY2(html.contains(u"href=\""_s + topic + u".html\""_s), qPrintable(topic));
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
