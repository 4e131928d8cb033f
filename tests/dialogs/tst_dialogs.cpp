// The dialogs around the main window: the users' configuration (Form2), the
// backup window (Form21), the birthday notice, the about box and the help
// window; each alone with the recording Prompts and opened from the menu.
#include "captions.h"
#include "colourswatch.h"
#include "colourvalue.h"
#include "filebytes.h"
#include "form15.h"
#include "form2.h"
#include "form21.h"
#include "frmabout.h"
#include "helpwindow.h"
#include "mousedownbutton.h"
#include "practice.h"
#include "refusedwrites.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTextBrowser>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {


using Bytes = std::optional<QByteArray>; // a file's content; nothing: no file
const QByteArray LookupOn = "#TRUE#,\"PATIENTS\"\r\n", MinusOne = "-1,\"PATIENTS\"";
const QStringList OldCaptions = u"Ancien 1,Ancien 2,Ancien 3,Ancien 4,Ancien 5,Ancien 6"_s.split(u',');
const QFile::Permissions Writable(0x7777), ReadOnly(0x5555);

// A Utilisat.agc brought from an older workstation: Windows-1252 accents,
// users 1 and 2 named, user 1 on light grey and the 20-minute grid.
const QByteArray LegacyFile =
    uR"("Dr Hélène","Dr Noël","","","","",12632256,%1,%1,%1,%1,%1,2,0,-1,-1,-1,-1,)"
    uR"("Échographies","","","","","","Bloc opératoire","","","","","")"_s.arg(SystemWindowColour)
        .toLatin1()
    + "\r\n";

// The main window's user buttons: their captions, "-" for a hidden one.
QStringList shownCaptions(const UserButtons &buttons)
{
    QStringList result;
    for (const QAbstractButton *button : buttons)
        result << (button->isHidden() ? u"-"_s : button->text());
    return result;
}

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
    QString at(QString text) const // <shared> and <program> put for the folders
    { return text.replace(u"<shared>"_s, practice.sharedFolder()).replace(u"<program>"_s, practice.programFolder()); }
    template <typename T = QWidget>
    T *control(const QByteArray &name) const { return named<T>(form.data(), name.constData()); }
    QString text(const QByteArray &box) const { return control<QLineEdit>(box)->text(); }
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
    bool unloaded() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); return form.isNull(); }
    bool saved() { click("CmDEnreg"); return unloaded(); } // by its button, and the window unloaded
    QStringList captions() const { return shownCaptions(buttons); }
    UserConfig savedUsers() const { return ConfigFiles::readUserConfig(practice.sharedFolder()).users; }

    Practice practice;
    QWidget mainWindow;
    UserButtons buttons;
    QPointer<Form2> form;
};

// The rows of the tables below.
struct Filling { Bytes usersFile, lookupFile; UserConfig shown; bool lookup; QString table; QStringList messages; };
// The six names typed; button "": the close box; clicks on Check1; the main window's captions after, "-": hidden.
struct Leaving { QStringList names; QByteArray button; Bytes lookupBefore; int clicks; bool frameShown;
                 QByteArray lookupAfter; QStringList captions; };
// refused: the folder, or "absent" for a CheminUt naming no folder; file: named in the message.
struct Refusal { QString refused; QByteArray button; QString file; QByteArray lookupAfter; };



const QString Done = u"Sauvegarde terminée"_s, Restored = u"Restauration effectuée"_s;
const QString Failed = u"Assurez vous que tous les utilisateurs aient quitté le programme"_s;

QString lines(const QStringList &pieces) { return pieces.join(u'\n'); }

ino_t inodeOf(const QString &path)
{ struct stat status = {}; return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0; }

// Slot 0 of user 1 on 15 March 2024 as the day cursor reads it from database.
QString storedSlot(const QString &database)
{
    DayCursor cursor;
    const bool read = cursor.position(database, 1, 45366).ok() && cursor.currentRecord();
    return read ? cursor.currentRecord()->slots[0] : u"<unread>"_s;
}

QPointer<Form21> openWindow(Practice &practice, DayCursor &cursor)
{ auto *window = new Form21(practice.environment(), cursor); window->show(); return window; }

// The window of type T that the main window's menu entry opens, chosen twice:
// the only one, shown, and leaving the main window usable; null otherwise.
template <typename T>
T *openedTwice(QWidget *main, const char *entry)
{
    QAction *action = named<QAction>(main, entry);
    action->trigger();
    action->trigger();
    const QList<T *> windows = main->findChildren<T *>();
    const bool one = windows.size() == 1 && windows[0]->isVisible() && !windows[0]->isModal();
    return one && !QApplication::activeModalWidget() && main->isEnabled() ? windows[0] : nullptr;
}

void click(QWidget *window, const char *button)
{
    QTest::mouseClick(named<QPushButton>(window, button), Qt::LeftButton);
}

const QString GuideSource = QStringLiteral(PLANORA_GUIDE_DIR);

} // namespace

Q_DECLARE_METATYPE(Filling)
Q_DECLARE_METATYPE(Leaving)
Q_DECLARE_METATYPE(Refusal)

class DialogsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); ::umask(022); }

    void cleanup() // the backup windows a test left open go before the next test
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->objectName() == "Form21"_L1)
                delete window;
    }

    // What the files hold is shown, in the captions, lists and placing of
    // the design, with the messages of the reading; and what is shown is
    // what saving writes back.
    void filling_data()
    {
        QTest::addColumn<Filling>("c");
        UserConfig partial = usersOf(1), noInterval = legacyUsers();
        partial[0].name = u"Dr Seul"_s;
        noInterval[1].intervalIndex = -1;
        QTest::newRow("no file: design values, 15', no message")
            << Filling{{}, {}, usersOf(1), false, u"MATABLE"_s, {}};
        QTest::newRow("old accents, lookup on through -1, no interval: -1")
            << Filling{LegacyFile, "-1,\"NOMS\"\r\n"_ba, legacyUsers(), true, u"NOMS"_s, {}};
        QTest::newRow("interval outside the items: none chosen") << Filling{
            QByteArray(LegacyFile).replace(",0,-1,", ",7,-1,"), LookupOn, noInterval, true, u"PATIENTS"_s, {}};
        QTest::newRow("records cut short: what was read over the design values")
            << Filling{"\"Dr Seul\"\r\n"_ba, "#TRUE#\r\n"_ba, partial, true, u"MATABLE"_s,
                       {u"Fichier <program>/Alpha.agc non valide."_s,
                        u"Fichier <shared>/Utilisat.agc non valide (trop ou pas assez de paramètres)."_s}};
    }

    void filling()
    {
        QFETCH(Filling, c);
        Session session(c.usersFile, c.lookupFile);
        Form2 *form = session.form;
        QVERIFY(QTest::qWaitForWindowExposed(form));
        UserConfig entries;
        for (int user = 1; user <= UserCount; ++user) {
            const QByteArray n = QByteArray::number(user);
            const auto *swatch = session.control<ColourSwatch>("LblColor" + n);
            entries[user - 1] = {session.text("Text" + n), swatch->value(),
                                 qint16(session.control<QComboBox>("Combo" + n)->currentIndex()),
                                 session.text("TxtAnnot" + n), session.text("Text7_" + QByteArray::number(user - 1))};
            QCOMPARE(swatch->palette().color(QPalette::Window),
                     ColourValue::toColour(swatch->value(), QApplication::palette()));
        }
        QCOMPARE(entries, c.shown);
        QCOMPARE(session.control<QCheckBox>("Check1")->isChecked(), c.lookup);
        QCOMPARE(session.control("Frame1")->isVisible(), c.lookup);
        QCOMPARE(session.text("TxtTable"), c.table);
        QCOMPARE(session.control<QLabel>("Label11")->text(), session.practice.sharedFolder() + u"/NOMS.db"_s);
        const auto *list = session.control<QComboBox>("Combo3");
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        // The texts users see: the title, the interval list, the captions.
        QCOMPARE(
            QStringList(form->windowTitle()) + items
                + captionsOf(
                    form,
                    u"Label1 Label4 Label9 Label10 Label8 Label7 "
                    u"Label60 Label5 Label6 Command6 Check1 Frame1 Label12 Label50 CmDEnreg Quitte"_s.split(u' ')),
            (u"Utilisateurs|Toutes les 10'|Toutes les 15'|Toutes les 20'|Toutes les 30'|Toutes les 60'|Utilisateur N°1|"
             u"Utilisateur N°4|Utilisateur N°5|Utilisateur N°6|Nom de l'utilisateur|Couleur de fond|Rendez vous|"
             u"Annotation haut|Annotation bas|...|Utiliser la recherche alphabetique des noms sur une base ACCESS|"
             u"Base de données ACCESS désignée par le Superviseur|Nom de la TABLE à utiliser dans la base de données "
             u"ACCESS|"
             u"Redémarrer le programme PLANORA après modification d'un ou plusieurs utilisateurs|&Enregistrer Quitter|"
             u"Annuler / &Quitter"_s.split(u'|')));
        // Modeless, centred (the platform may nudge a window wider than its
        // screen by a pixel or two).
        QVERIFY(form->isWindow() && !form->isModal());
        QVERIFY((form->frameGeometry().center() - form->screen()->geometry().center()).manhattanLength() <= 4);
        QVERIFY(session.saved());
        QCOMPARE(session.savedUsers(), c.shown);
        for (QString &message : c.messages)
            message = session.at(message);
        QCOMPARE(session.practice.prompts.informations, c.messages); // the reading's only
    }

    // Typing names, the lookup check box, then leaving: by saving, which
    // writes both files and gives the main window's user buttons the new
    // names; by quitting, which writes Alpha.agc only; by the close box,
    // which writes nothing.
    void leaving_data()
    {
        QTest::addColumn<Leaving>("c");
        const QStringList tape = u"Dr Hélène,Dr Noël,Dr Tapé,,,"_s.split(u',');
        const QStringList six = u"Dr Un,Dr Deux,Dr Trois,Dr Quatre,Dr Cinq,Dr Six"_s.split(u','), hidden(6, u"-"_s);
        const QByteArray save = "CmDEnreg";
        QTest::newRow("quit writes a missing Alpha.agc as shown")
            << Leaving{tape, "Quitte", {}, 0, false, "#FALSE#,\"MATABLE\"\r\n", OldCaptions};
        QTest::newRow("close box writes nothing") << Leaving{tape, "", MinusOne, 1, false, MinusOne, OldCaptions};
        QTest::newRow("unchecked: frame hidden, table still saved")
            << Leaving{tape,
                       save,
                       LookupOn,
                       1,
                       false,
                       "#FALSE#,\"PATIENTS\"\r\n",
                       u"Dr Hélène,Dr Noël,Dr Tapé,-,-,-"_s.split(u',')};
        QTest::newRow("no name: all buttons hidden")
            << Leaving{QStringList(6), save, LookupOn, 0, true, LookupOn, hidden};
        QTest::newRow("only 1: all hidden")
            << Leaving{u"Dr Un,,,,,"_s.split(u','), save, LookupOn, 0, true, LookupOn, hidden};
        QTest::newRow("1 _ 3: as they were")
            << Leaving{u"Dr Un,,Dr Trois,,,"_s.split(u','), save, LookupOn, 0, true, LookupOn, OldCaptions};
        QTest::newRow("all six") << Leaving{six, save, LookupOn, 0, true, LookupOn, six};
    }

    void leaving()
    {
        QFETCH(Leaving, c);
        Session session(LegacyFile, c.lookupBefore);
        for (int user = 1; user <= UserCount; ++user)
            session.type("Text" + QByteArray::number(user), c.names[user - 1]);
        QTest::keyClicks(session.control("Combo2"), u"xyz"_s); // a list: typed text chooses nothing
        for (int i = 0; i < c.clicks; ++i)
            session.click("Check1");
        QCOMPARE(session.control("Frame1")->isVisible(), c.frameShown);
        if (c.button.isEmpty())
            session.form->close();
        else
            session.click(c.button);
        QVERIFY(session.unloaded());
        QCOMPARE(bytesOf(session.lookupPath()), c.lookupAfter);
        if (c.button == "CmDEnreg")
            QCOMPARE(session.savedUsers(), legacyUsers(c.names));
        else
            QCOMPARE(bytesOf(session.usersPath()), LegacyFile); // byte for byte
        QCOMPARE(session.captions(), c.captions);
        QCOMPARE(session.practice.prompts.informations, QStringList());
    }

    // What is typed and chosen is what saving writes. Colours: rows 2, 4, 1,
    // 6 in turn, row 4 cancelled; the dialog opens black at first, then on
    // the last colour chosen, not on the swatch's. Typed into every text of
    // user 4 and the table name: accents, a comma and the blanks around
    // kept; a double quote cannot be typed.
    void edited()
    {
        Session session(LegacyFile, LookupOn);
        session.practice.prompts.colorAnswers = {QColor(255, 0, 0), std::nullopt, QColor(0, 0, 255), QColor(0, 128, 0)};
        for (const char *button : {"Command2", "Command4", "Command1", "Command6"})
            session.click(button);
        QCOMPARE(session.practice.prompts.colorInitials, (QList<QColor>{Qt::black, Qt::red, Qt::red, Qt::blue}));
        QCOMPARE(session.control<ColourSwatch>("LblColor2")->palette().color(QPalette::Window), QColor(Qt::red));
        for (const char *box : {"Text4", "TxtAnnot4", "Text7_3", "TxtTable"})
            session.type(box, u"  Dr \"Hélène\", Noël-Çà  "_s);
        QVERIFY(session.saved());
        const QString read = u"  Dr Hélène, Noël-Çà  "_s;
        UserConfig expected = legacyUsers();
        expected[3] = {read, SystemWindowColour, -1, read, read};
        std::tie(expected[0].colour, expected[1].colour, expected[5].colour) = std::tuple(0xFF0000, 0x0000FF, 0x008000);
        const UserConfigRead users = ConfigFiles::readUserConfig(session.practice.sharedFolder());
        QVERIFY(users.valid);
        QCOMPARE(users.users, expected);
        QCOMPARE(ConfigFiles::readLookupSettings(session.practice.programFolder()).settings,
                 (LookupSettings{true, read}));
    }

    void refusedWrites_data()
    {
        QTest::addColumn<Refusal>("c");
        QTest::newRow("CheminUt naming no folder")
            << Refusal{u"absent"_s, "CmDEnreg", u"<shared>/absent/Utilisat.agc"_s, LookupOn};
        QTest::newRow("read-only program folder, quitting")
            << Refusal{u"program"_s, "Quitte", u"<program>/Alpha.agc"_s, MinusOne};
        QTest::newRow("full disk") << Refusal{u"full disk"_s, "CmDEnreg", u"<program>/Alpha.agc"_s, MinusOne};
    }

    void refusedWrites()
    {
        QFETCH(Refusal, c);
        Session session(LegacyFile, MinusOne);
        Practice &practice = session.practice;
        session.type("Text3", u"Dr Tapé"_s);
        practice.prompts.colorAnswers << QColor(0, 128, 0);
        session.click("Command1");
        if (c.refused == "absent"_L1)
            practice.setSetting(u"CheminUt"_s, practice.sharedFolder() + u"/absent"_s);
        // Everything open to an ordinary user, but for the folder refused.
        const QString settings = practice.environment().settingsFolder;
        QFile::setPermissions(QFileInfo(practice.programFolder()).path(), ReadOnly);
        QFile::setPermissions(settings + u"/hirondel.ini"_s, QFile::Permissions(0x4444));
        for (const QString &folder : {practice.programFolder(), practice.sharedFolder(), settings})
            QFile::setPermissions(folder, QFileInfo(folder).fileName() == c.refused ? ReadOnly : Writable);
        {
            const auto ordinaryUser = asOrdinaryUser();
            const auto full = c.refused == "full disk"_L1 ? std::optional(fullDisk()) : std::nullopt;
            session.click(c.button);
        }
        QCOMPARE(practice.prompts.informations.size(), 1);
        const QString said = practice.prompts.informations[0];
        QVERIFY2(said.startsWith(session.at(u"Impossible d'enregistrer le fichier "_s + c.file + u" :"_s)),
                 qPrintable(said));
        QVERIFY(!session.unloaded() && session.form->isVisible());
        QCOMPARE(session.text("Text3"), u"Dr Tapé"_s);
        QCOMPARE(session.control<ColourSwatch>("LblColor1")->value(), qint32(0x008000));
        QCOMPARE(bytesOf(session.usersPath()), LegacyFile);
        QCOMPARE(bytesOf(session.lookupPath()), c.lookupAfter);
        QCOMPARE(session.captions(), OldCaptions);
        // Once the supervisor has put things right, the same window saves.
        for (const QString &folder : {practice.sharedFolder(), practice.programFolder()})
            QFile::setPermissions(folder, Writable);
        practice.setSetting(u"CheminUt"_s, practice.sharedFolder());
        QVERIFY(session.saved());
        QCOMPARE(session.savedUsers()[2].name, u"Dr Tapé"_s);
    }

    // Opened from the menu: one window; a third user named gives the main
    // window three buttons at once, and nothing else changes before a change
    // of user or the next start.
    void usersFromMainWindow()
    {
        Practice practice;
        const auto main = practice.loadedForm(true);
        QPointer<Form2> form = openedTwice<Form2>(main.get(), "Utilisat"); // the second brings it forward
        QVERIFY(form);
        QCOMPARE(named<QLineEdit>(form.data(), "Text2")->text(), u"Dr B"_s);
        named<QLineEdit>(form.data(), "Text3")->setText(u"Dr C"_s);
        named<QComboBox>(form.data(), "Combo1")->setCurrentIndex(4);
        QTest::mouseClick(named<QPushButton>(form.data(), "CmDEnreg"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(form.isNull());
        UserButtons buttons;
        for (int user = 1; user <= UserCount; ++user)
            buttons[user - 1] = main->dayView()->userButton(user);
        QCOMPARE(shownCaptions(buttons), u"Dr A,Dr B,Dr C,-,-,-"_s.split(u','));
        QCOMPARE(main->windowTitle(), u"Dr A"_s);
        QCOMPARE(main->intervalMinutes(), 15);
        QCOMPARE(main->users(), Practice::namedUsers({1, 2}));
        QCOMPARE(ConfigFiles::readUserConfig(practice.sharedFolder()).users[0].intervalIndex, qint16(4));
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
        const QStringList controls =
            u"Label1 Label3 CmdSauve CmdRestaure Frame1 Frame2 Frame3 Frame4 Command1 Command2 "
            u"Command3"_s.split(u' ');
        QCOMPARE(
            captionsOf(window, controls) << window->windowTitle(),
            (QStringList{folder, copy,
                         lines({u"Lancer la Sauvegarde de "_s, practice.databasePath(), u"vers"_s, folder}),
                         lines({u"Restaurer"_s, copy, u"vers"_s, practice.databasePath()})}
             + u"Répertoire de Sauvegarde|Restauration|Sauvegarde|Path de la base AGENDAS.MDB sauvegardée|&Quitter|"
               u"Définir le répertoire de Sauvegarde|Rchercher une base AGENDAS.MDB sauvegardée|Sauvegardes"_s.split(
                   u'|')));
        click(window, "Command2");
        // The backup side shows the folder; the restore side keeps the one read at opening.
        QCOMPARE(captionsOf(window, controls.mid(0, 3)),
                 (QStringList{shown, copy,
                              lines({u"Lancer la Sauvegarde de "_s, practice.databasePath(), u"vers"_s, shown})}));
        const SettingsStore settings(practice.environment().settingsFolder);
        QCOMPARE(settings.value(u"HIRONDEL"_s, u"PLANORA"_s, u"SAUVE"_s, u"<absent>"_s),
                 cancelled ? u"<absent>"_s : chosen);
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
        QTest::newRow("Utilisat.agc missing: nothing written, said why")
            << u"no users file"_s
            << Failed
                   + u"\n\nLe fichier Utilisat.agc est introuvable ou illisible dans %1 : rien n'a été sauvegardé."_s;
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
        QCOMPARE(practice.prompts.informations,
                 QStringList{QString(message).replace(u"%1"_s, practice.sharedFolder())});
        QVERIFY(practice.prompts.questions.isEmpty());
        QTRY_VERIFY(window.isNull()); // closed in either case
        QVERIFY(!cursor.isOpen());
        if (message.startsWith(Failed)) {
            QCOMPARE(QDir(target).entryList(QDir::Files), before); // nothing half-written left
            QCOMPARE(bytesOf(practice.databasePath()), databaseBefore);
            QCOMPARE(inodeOf(practice.databasePath()), inodeBefore); // the very file the others have open
            return;
        }
        QCOMPARE(storedSlot(target + u"/AGENDAS.MDB"_s), u"Mme Durand"_s);
        QCOMPARE(bytesOf(target + u"/Utilisat.agc"_s), bytesOf(users));
        // The day cursor opens the file again at its next positioning.
        QVERIFY(cursor.position(practice.databasePath(), 1, practice.today()).ok());
    }

    void restore_data()
    {
        QTest::addColumn<QString>(
            "file"); // what the picked file is (an SQLite file of another program: see tests/store)
        QTest::addColumn<QString>("message"); // its first line
        const QString notABackup = u"Le fichier %1 n'est pas une sauvegarde de la base AGENDAS.MDB de PLANORA."_s;
        QTest::newRow("a backup AGENDAS.MDB with its Utilisat.agc") << u"AGENDAS.MDB"_s << Restored;
        QTest::newRow("a backup named otherwise: no Utilisat.agc there") << u"other name"_s << Restored;
        QTest::newRow("garbage refused") << u"garbage"_s << notABackup;
        QTest::newRow("pick cancelled, no AGENDAS.MDB in the folder")
            << u"missing"_s << u"Fichier AGENDAS.MDB non existant à cet endroit"_s;
    }

    void restore()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        Practice practice;
        const QString backupFolder = practice.sharedFolder() + u"/sauvegarde du lundi"_s,
                      shared = practice.sharedFolder();
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
        const QByteArray liveBefore = bytesOf(practice.databasePath()),
                         usersBefore = bytesOf(shared + u"/Utilisat.agc"_s);
        practice.prompts.fileAnswers << (file == "missing"_L1 ? QString() : backup);
        DayCursor cursor;
        QVERIFY(cursor.position(practice.databasePath(), 1, practice.today()).ok());
        QPointer<Form21> window = openWindow(practice, cursor);
        QSignalSpy restored(window.data(), &Form21::restored);
        click(window, "Command3");
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
    void backupFromMainWindow()
    {
        Practice practice;
        practice.storeDay(1, practice.today(), StoredDay::withSlots({{2, u"Mme Sauvée"_s}}));
        QVERIFY(QFile::copy(practice.databasePath(), practice.programFolder() + u"/AGENDAS.MDB"_s)); // no SAUVE: there
        practice.storeDay(1, practice.today(), StoredDay::withSlots({{2, u"M. Actuel"_s}}));
        const auto form = practice.loadedForm(true);
        QCOMPARE(form->dayView()->slotEdit(2)->text(), u"M. Actuel"_s);
        Form21 *window = openedTwice<Form21>(form.get(), "Sauve");
        QVERIFY(window);
        click(window, "CmdRestaure");
        QCOMPARE(practice.prompts.informations.value(0).section(u'\n', 0, 0), Restored);
        QCOMPARE(form->dayView()->slotEdit(2)->text(), u"Mme Sauvée"_s);
        QVERIFY(!form->isChanged());
    }

    // On 16 April the birthday notice comes first: after its OK the main
    // window's menu opens the about box (one only, modeless), centred; OK
    // closes it.
    void aboutBox()
    {
        Practice practice;
        practice.clock.setToday(QDate(2024, 4, 16));
        const auto form = std::make_unique<Form1>(practice.environment());
        form->show();
        form->load();
        QPointer<Form15> notice = form->birthdayNotice();
        QTest::mouseClick(named<QPushButton>(notice, "Command1"), Qt::LeftButton);
        QTRY_VERIFY(notice.isNull());
        QPointer<frmAbout> box = openedTwice<frmAbout>(form.get(), "Propos");
        QVERIFY(box && QTest::qWaitForWindowExposed(box));
        QCOMPARE(captionsOf(box, u"lblTitle lblVersion lblDescription Label1 Contact lblDisclaimer cmdOK"_s.split(u' '))
                     << box->windowTitle(),
                 (QStringList{u"PLANORA"_s, u"Version 4.0.0"_s, u"AGENDA pour prise de rendez vous"_s, u"Auteur"_s,
                              u"Contact"_s, frmAbout::authorName(), u"OK"_s, u"À propos de PLANORA"_s}));
        const QPoint offset = box->frameGeometry().center() - box->screen()->geometry().center();
        QVERIFY2(offset.manhattanLength() <= 20, qPrintable(u"box at %1,%2"_s.arg(box->x()).arg(box->y())));
        QTest::mouseClick(named<QPushButton>(box, "cmdOK"), Qt::LeftButton);
        QTRY_VERIFY(box.isNull());
        QVERIFY(form->isVisible());
    }

    void help_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::newRow("chosen twice: one help window") << true;
        QTest::newRow("guide missing: said, nothing opened") << false;
    }

    void help()
    {
        QFETCH(bool, installed);
        Practice practice;
        for (QDirIterator it(GuideSource, QDir::Files, QDirIterator::Subdirectories); installed && it.hasNext();) {
            const QString target =
                practice.programFolder() + u"/aide/"_s + QDir(GuideSource).relativeFilePath(it.next());
            QVERIFY(QDir().mkpath(QFileInfo(target).path()) && QFile::copy(it.filePath(), target));
        }
        const auto form = practice.loadedForm(true);
        HelpWindow *window = openedTwice<HelpWindow>(form.get(), "Aide");
        if (!installed) {
            QVERIFY(form->findChildren<HelpWindow *>().isEmpty());
            QCOMPARE(practice.prompts.informations.size(), 2);
            QVERIFY(
                practice.prompts.informations[0].startsWith(u"Le guide d'utilisation de PLANORA est introuvable"_s));
            QVERIFY(practice.prompts.informations[0].contains(u"/program/aide/index.html"_s));
            return;
        }
        QVERIFY(practice.prompts.informations.isEmpty());
        QVERIFY(window);
        QTextBrowser *browser = window->browser();
        QCOMPARE(browser->source(), QUrl::fromLocalFile(practice.programFolder() + u"/aide/index.html"_s));
        QCOMPARE(browser->documentTitle(), u"Guide d'utilisation de PLANORA"_s);
        QVERIFY(browser->toPlainText().contains(u"Sommaire"_s));
        QVERIFY(openedTwice<frmAbout>(form.get(), "Propos")); // the main window goes on working
    }

    // Every page of the guide, every link between its pages and every
    // picture it shows are there; the contents page leads to every topic.
    void guideLinks()
    {
        static const QRegularExpression reference(u"(?:href|src)=\"([^\"#:]+)(?:#[^\"]*)?\""_s);
        const QString topics = u"jour saisie utilisateurs semaine recherche impression sauvegarde configuration"_s;
        for (QDirIterator pages(GuideSource, {u"*.html"_s}, QDir::Files); pages.hasNext();) {
            const QString page = pages.next(), html = QString::fromUtf8(bytesOf(page));
            QVERIFY2(html.contains(u"<title>"_s), qPrintable(page));
            QStringList targets;
            for (auto match = reference.globalMatch(html); match.hasNext();)
                targets << match.next().captured(1);
            for (const QString &target : targets)
                QVERIFY2(QFileInfo::exists(QFileInfo(page).dir().filePath(target)),
                         qPrintable(page + u": "_s + target));
            QVERIFY2(!targets.isEmpty(), qPrintable(page)); // every page links back to the contents at least
            for (const QString &topic : page.endsWith(u"/index.html"_s) ? topics.split(u' ') : QStringList())
                QVERIFY2(targets.contains(topic + u".html"_s), qPrintable(topic)); // the contents lead to every topic
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
