// The main window: start-up, the default state, saving, moving between users
// and days, bad files, and two workstations on one file.
#include "captions.h"
#include "filebytes.h"
#include "form0.h"
#include "form15.h"
#include "practice.h"
#include "refusedwrites.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>

namespace {

const QString NotFoundMessage =
    u"La base de données 'AGENDAS.MDB' est introuvable. Veuillez à l'aide du SUPERVISEUR la placer "
    "dans un repertoire quelconque de votre reseau puis relancer le programme"_s;
const QString UserOneMessage = u"L'utilisateur N°1 n'est pas attribué, or il doit l'être en priorité. "
                               "Veuillez corriger sinon cela est source d'erreues."_s;

// One start-up with Utilisat.agc, then a press on another user's button or
// none: what the file holds and what the window shows for the shown user.
struct ShownUser
{
    QList<int> named{1, 2}, buttons{1, 2}; // named in the file; buttons shown
    // The caption; the one message, "<file>" for Utilisat.agc's path, empty: none.
    QString caption = u"Dr A"_s, message = {};
    qint32 colour = SystemWindowColour; // of the shown user
    QColor windowColour = QApplication::palette().color(QPalette::Base);
    qint16 intervalIndex = 1;
    QString minutes = u"15"_s;
    int user = 1; // shown: its button pressed after start-up, unless 1
    // When set, Utilisat.agc spells the shown user's colour (and any other of that value) so; "<no file>": no file.
    QByteArray colourText = {};
};

// A day with every field filled: two half-day flags set, two unset with
// their texts kept, a lone LF and CR in the post-it.
StoredDay fullDay()
{
    const QString noAppointment = u"XXXXXXXXXX- Pas de RV -XXXXXXXXX"_s; // the day view's marker
    return {joinedSlots({{0, u"Martin Paul"_s}, {17, u"L'Hôte Zoé, écho"_s}, {52, noAppointment}}),
            u"Écrit\nailleurs\r"_s, u"8h Genou\r\n10h Hanche"_s, u"0"_s, u"ABSENT"_s, u"1"_s,
            u"Congrès"_s, u"1"_s, u"Echo matin"_s, u"0"_s, u"Echo soir"_s, joinedChecks({0, 17, 52})};
}


const QString UnreadNotice =
    u"Ce jour n'a pas pu être lu : il reste vide et verrouillé, et il ne sera pas enregistré, pour ne pas "
    "effacer les rendez-vous déjà enregistrés. Cliquez sur « x » pour le relire ; il est aussi relu à chaque "
    "actualisation et en changeant de jour."_s;
const QString KeptNotice =
    u"\n\nLe jour reste affiché avec vos modifications ; il sera enregistré au prochain enregistrement."_s;
const QString Busy = u"La base de données %1 est occupée par un autre poste depuis plus de 0.1 secondes : "
                     "l'opération n'a pas été faite.\nRéessayez dans un instant."_s;
const QString ReadOnly = u"La base de données %1 est en lecture seule : la modification n'a pas été enregistrée."_s;

enum class Damage { Garbage, Locked, Deleted, ReadOnly };

// Where the damage is met (action): "load" (the start-up), "Enregistrer", or
// a move ("CmdSuiv", "CmdPrec", "CmdUtilisat2", the calendar "MonthView1"),
// with edits typed before or not; the message (%1: the database's path). A day
// that could not be read is read again by retry: "Command1" (the "x" button),
// "Timer1" (the refresh), "MonthView1", or the program is quit ("Quitte").
struct BadDatabase { Damage damage; QByteArray action; bool typed; QString message; QByteArray retry = "Command1"; };

// Bytes no text editor or database wrote: every byte value, NULs included.
QByteArray binaryBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 1024; ++i)
        bytes.append(char((i * 37 + 11) % 256));
    return bytes;
}

// Damages AGENDAS.MDB and puts the good file back. The good bytes are taken
// before the damage, so that mending restores the very day stored.
struct DatabaseDamage
{
    QString m_path;
    QByteArray m_good;
    SqliteConnection m_locker; // a workstation in the middle of a long write

    bool apply(Damage damage)
    {
        m_good = bytesOf(m_path);
        switch (damage) {
        case Damage::Garbage: return writeBytes(m_path, binaryBytes().repeated(32));
        case Damage::Locked:
            return m_locker.open(m_path, SqliteConnection::Mode::ReadWrite) == SQLITE_OK
                && m_locker.exec("BEGIN EXCLUSIVE") == SQLITE_OK;
        case Damage::Deleted: return QFile::remove(m_path);
        case Damage::ReadOnly: // open to "nobody" along the way, writable by nobody at the end
            for (const QString &folder : QStringList{QFileInfo(m_path).path(), QFileInfo(m_path).path() + u"/.."_s})
                QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
            return QFile::setPermissions(m_path, QFileDevice::Permissions(0x4444));
        }
        return false;
    }

    bool mend()
    {
        m_locker.close(); // a transaction left open is rolled back
        QFile::setPermissions(m_path, QFileDevice::Permissions(0x6666));
        return writeBytes(m_path, m_good);
    }
};

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // --- start-up ---------------------------------------------------------------

    // CHEMIN names AGENDAS.MDB, in capitals; on 16 April the birthday notice
    // comes up and hides the main window, start-up going on to the end.
    void startUp_data()
    {
        QTest::addColumn<QString>("chemin"); // "<missing>", or a path under the practice
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<bool>("notice");
        const QString capitals = u"<shared>/AGENDAS.MDB"_s;
        const QDate march(2024, 3, 15);
        QTest::newRow("CHEMIN empty: AGENDAS.MDB in the program folder") << QString() << true << march << false;
        QTest::newRow("CHEMIN missing: the program folder is not a database")
            << u"<missing>"_s << false << march << false;
        QTest::newRow("CHEMIN full path in capitals") << capitals << true << march << false;
        QTest::newRow("CHEMIN name in small letters") << u"<shared>/agendas.mdb"_s << false << march << false;
        QTest::newRow("CHEMIN with a name after AGENDAS.MDB") << capitals + u".bak"_s << false << march << false;
        QTest::newRow("16 April opens the birthday notice") << capitals << true << QDate(2024, 4, 16) << true;
        QTest::newRow("15 April: the day counts") << capitals << true << QDate(2024, 4, 15) << false;
        QTest::newRow("16 May: the month counts") << capitals << true << QDate(2024, 5, 16) << false;
    }

    void startUp()
    {
        QFETCH(QString, chemin);
        QFETCH(bool, opened);
        QFETCH(QDate, today);
        QFETCH(bool, notice);
        Practice practice;
        practice.clock.setToday(today);
        // Each candidate file exists and holds today's row, so that only the
        // rule on the name decides; the program folder's database is empty.
        practice.storeDay(1, practice.today(), StoredDay::withSlots({{0, u"Shared"_s}}));
        for (const char *copy : {"/agendas.mdb", "/AGENDAS.MDB.bak"})
            QVERIFY(QFile::copy(practice.databasePath(), practice.sharedFolder() + QLatin1String(copy)));
        Practice::createDatabase(practice.programFolder() + u"/AGENDAS.MDB"_s);
        if (chemin == u"<missing>"_s)
            QDir(practice.environment().settingsFolder).removeRecursively();
        else
            practice.setSetting(u"CHEMIN"_s, QString(chemin).replace(u"<shared>"_s, practice.sharedFolder()));
        const auto form = std::make_unique<Form1>(practice.environment());
        form->show();
        form->load();

        QPointer<Form15> form15 = form->birthdayNotice();
        QCOMPARE(!form15.isNull(), notice);
        QCOMPARE(form->isVisible(), !notice);
        QVERIFY(!notice || (form15->isVisible() && !form15->isModal()));
        if (notice) {
            QCOMPARE(captionsOf(form15, {u"Label1"_s, u"Label2"_s, u"Label3"_s}),
                     (QStringList{u"Aujourd'hui c'est l'anniversaire du bon "_s, u"16 Avril"_s,
                                  u"Vous pouvez le lui souhaiter à l'adresse :"_s}));
            // Its OK closes it and shows the main window.
            clickButton(form15, "Command1");
            QVERIFY(!form15->isVisible() && form->isVisible());
        }
        QCOMPARE(practice.prompts.informations, opened ? QStringList() : QStringList{NotFoundMessage});
        QCOMPARE(form->refreshTimer()->isActive(), opened);
        // Stopped at step 4: the design captions stay and no day is shown,
        // but steps 1 to 3 did run.
        QCOMPARE(form->windowTitle(), opened ? u"Dr A"_s : u"Agenda"_s);
        QCOMPARE(shownDate(*form), QString::number(practice.today()));
        QVERIFY(allChecks(*form, true));
        // CHEMIN empty opens the program folder's own (empty) database.
        QCOMPARE(form->dayView()->slotEdit(0)->text(), opened && !chemin.isEmpty() ? u"Shared"_s : QString());
        if (opened)
            return;
        // The window stays usable; only "&Enregistrer" says that nothing can be saved.
        practice.prompts.informations.clear();
        typeInSlot(*form, 4, u"Petit"_s);
        triggerAction(form.get(), "Enregistrer");
        QVERIFY(practice.prompts.informations.size() == 1
                && practice.prompts.informations.first().contains(u"AGENDAS.MDB"_s));
        pressButton(*form, "CmdSuiv"); // moves on: the edits have nowhere to go
        QCOMPARE(shownDate(*form), QString::number(practice.today() + 1));
        QCOMPARE(form->dayView()->slotEdit(4)->text(), QString());
        typeInSlot(*form, 4, u"Encore"_s); // a user switch, with no configuration read either
        pressButton(*form, "CmdUtilisat2");
        QCOMPARE(form->dayView()->slotEdit(4)->text(), QString());
        QVERIFY(form->close());
        QVERIFY(practice.prompts.informations.size() == 1 && practice.prompts.questions.isEmpty());
        QCOMPARE(practice.rowCount(1) + practice.rowCount(2), 1); // the row stored above
    }

    // Utilisat.agc read at start: the user buttons, the caption, and user 1's
    // colour, grid and annotations (user 2's colour is not applied); a press
    // on another user's button reads that user's.
    void userShown_data()
    {
        QTest::addColumn<ShownUser>("c");
        const QPalette system = QApplication::palette();
        QTest::newRow("all six names empty") << ShownUser{.named = {}, .buttons = {}, .caption = u"PLANORA"_s};
        QTest::newRow("only name 1: no button") << ShownUser{.named = {1}, .buttons = {}};
        QTest::newRow("name 1 empty, name 2 set")
            << ShownUser{.named = {2}, .buttons = {2}, .caption = QString(), .message = UserOneMessage};
        QTest::newRow("name 1 empty, only name 6 set: no message")
            << ShownUser{.named = {6}, .buttons = {6}, .caption = QString()};
        QTest::newRow("user 2 pressed, 0x00FFFF: red in the low byte; 10-minute grid")
            << ShownUser{.named = {1, 2, 3}, .buttons = {1, 2, 3}, .caption = u"Dr B"_s, .colour = 0x00FFFF,
                         .windowColour = QColor(255, 255, 0), .intervalIndex = 0, .minutes = u"10"_s, .user = 2};
        QTest::newRow("user 3 pressed, whose day has no row: empty view; system 15 is the button face")
            << ShownUser{.named = {1, 2, 3}, .buttons = {1, 2, 3}, .caption = u"Dr C"_s, .colour = qint32(0x8000000F),
                         .windowColour = system.color(QPalette::Button), .intervalIndex = 4, .minutes = u"60"_s,
                         .user = 3};
        // Utilisat.agc missing, empty, or holding no usable colour: the rules of
        // the unassigned users apply (no design caption stays), and a colour
        // that is no number leaves the window's own.
        const QColor own = system.color(QPalette::Window);
        QTest::newRow("Utilisat.agc missing: said once, naming the file")
            << ShownUser{.named = {}, .buttons = {}, .caption = u"PLANORA"_s, .message = u"<file> est introuvable"_s,
                         .windowColour = own, .minutes = u"0"_s, .colourText = "<no file>"};
        QTest::newRow("Utilisat.agc: a colour that is no number")
            << ShownUser{.windowColour = own, .colourText = "gris"};
    }

    void userShown()
    {
        QFETCH(ShownUser, c);
        Practice practice;
        UserConfig users = Practice::namedUsers(c.named);
        users[0].colour = 12632256; // light grey, and user 2 yellow: only the shown user's colour applies
        users[1].colour = 0x00FFFF;
        users[c.user - 1].colour = c.colour;
        users[c.user - 1].intervalIndex = c.intervalIndex;
        const QString path = practice.sharedFolder() + u"/Utilisat.agc"_s;
        practice.writeUsers(users);
        if (c.colourText == "<no file>")
            QVERIFY(QFile::remove(path));
        else if (!c.colourText.isNull())
            QVERIFY(writeBytes(path, bytesOf(path).replace(QByteArray::number(c.colour), c.colourText)));
        if (c.user != 1) { // user 1's marks of the day never show for the next user; user 2's day has a row
            practice.storeDay(1, practice.today(), fullDay());
            practice.storeDay(2, practice.today(), StoredDay::withSlots({{9, u"Client"_s}}));
        }
        const auto form = practice.loadedForm(true);
        if (c.user != 1) // any mouse button switches: the right one for user 2, the middle one for user 3
            QTest::mousePress(form->dayView()->userButton(c.user), c.user == 2 ? Qt::RightButton : Qt::MiddleButton);
        DayView *view = form->dayView();
        const UserEntry &shown = users[c.user - 1];

        const QStringList &told = practice.prompts.informations;
        QCOMPARE(told.size(), c.message.isEmpty() ? 0 : 1);
        QVERIFY(c.message.isEmpty() || told.first().contains(QString(c.message).replace(u"<file>"_s, path)));
        QCOMPARE(form->windowTitle(), c.caption);
        for (int user = 1; user <= 6; ++user) {
            QCOMPARE(!view->userButton(user)->isHidden(), c.buttons.contains(user));
            QCOMPARE(view->userButton(user)->text(), users[user - 1].name);
            QCOMPARE(view->userButton(user)->palette().color(QPalette::Button),
                     user == c.user ? QColor(255, 0, 0) : QApplication::palette().color(QPalette::Button));
        }
        QCOMPARE(view->palette().color(QPalette::Window), c.windowColour);
        QCOMPARE(view->makerLabel()->palette().color(QPalette::Window), c.windowColour);
        QVERIFY(view->makerLabel()->autoFillBackground());
        // The grid laid out: its minutes (its captions: tst_dayview); no grid for an unset index.
        QCOMPARE(view->hiddenIntervalLabel()->text(), c.minutes);
        QCOMPARE(view->bottomAnnotationLabel()->text(), shown.bottomAnnotation);
        // Every panel hidden; the echography panels hold the shown user's top annotation.
        DayRecord expected;
        expected.slots[9] = c.user == 2 ? u"Client"_s : QString();
        expected.absent1 = {false, u"ABSENT"_s};
        expected.absent2 = {false, c.user == 1 ? u"ABSENT"_s : u"Congrès"_s};
        expected.echo1 = expected.echo2 = {false, shown.topAnnotation};
        QCOMPARE(view->record(), expected);
    }

    // The splash hands over to a main window loaded before it is shown; its
    // menus, the refresh timer and the check boxes' menu entry.
    void splashThenMenus()
    {
        Practice practice;
        UserConfig users = Practice::namedUsers({1, 2});
        users[0].bottomAnnotation = u"Programme du bloc opératoire de la clinique du Parc"_s;
        practice.writeUsers(users);
        QPointer<Form0> splash = new Form0(practice.environment());
        splash->show();
        QCOMPARE(captionsOf(splash, {u"LblTitle"_s, u"LblVersion"_s, u"Label3"_s}),
                 (QStringList{u"PLANORA"_s, u"Version 4.0.0"_s, u"Le carnet de rendez vous du médecin"_s}));
        QTimer *splashTimer = named<QTimer>(splash, "Timer1");
        QVERIFY(splashTimer->isActive());
        splash->Timer1_Timer(); // what the timer does when it fires
        const std::unique_ptr<Form1> form(splash->mainWindow());
        QVERIFY(form && form->isVisible());
        QVERIFY(!splash->isVisible() && !splashTimer->isActive());
        QCOMPARE(form->windowTitle(), u"Dr A"_s); // loaded before shown
        QTRY_VERIFY(splash.isNull()); // unloaded
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));

        QMenuBar *bar = form->menuBar();
        // The menu bar, then the "&Fichier" menu, "-" for a separator.
        QStringList entries;
        for (QAction *action : bar->actions() + named<QMenu>(form.get(), "Fichier")->actions())
            entries << (action->isSeparator() ? u"-"_s : action->text());
        QCOMPARE(entries, (QStringList{u"&Fichier"_s, u"&Utilisateurs"_s, u"&Rechercher"_s, u"Sau&vegarder"_s,
                                       u"Voir les c&oches"_s, users[0].bottomAnnotation, u"Ai&de"_s, u"A &Propos ?"_s,
                                       u"&Enregistrer"_s, u"-"_s, u"Enregistrement automatique"_s, u"-"_s,
                                       u"&Quitter"_s, u"-"_s, u"&Imprimer"_s}));
        // With that long annotation every entry stays in sight: none pushed
        // into the overflow arrow, nor under the "Par &Semaine" button.
        const QRect week = named<QPushButton>(form.get(), "Semaine")->geometry();
        for (QAction *action : bar->actions()) {
            const QRect place = bar->actionGeometry(action);
            QVERIFY2(!place.isEmpty() && bar->rect().contains(place) && !place.intersects(week),
                     qPrintable(action->text()));
        }

        // "Enregistrement automatique" starts checked with the one-minute
        // refresh running; unchecking stops it, checking starts it again.
        QAction *item = named<QAction>(form.get(), "Enreg_auto");
        QTimer *timer = named<QTimer>(form.get(), "Timer1");
        QVERIFY(item->isCheckable() && item->isChecked());
        QCOMPARE(timer->interval(), 60000);
        QVERIFY(timer->isActive() && !timer->isSingleShot());
        item->trigger();
        QVERIFY(!item->isChecked() && !timer->isActive());
        item->trigger();
        QVERIFY(item->isChecked() && timer->isActive());

        // "Voir les c&oches" flips each box on its own.
        for (int slot = 0; slot < SlotCount; ++slot)
            form->dayView()->checkBox(slot)->setVisible(slot <= 10);
        triggerAction(form.get(), "Coches");
        for (int slot = 0; slot < SlotCount; ++slot)
            QCOMPARE(form->dayView()->checkBox(slot)->isHidden(), slot <= 10);
    }

    // --- saving ------------------------------------------------

    // --- bad files -----------------------------------------------------------------

    // AGENDAS.MDB damaged, locked, read-only or gone, at start-up and while the
    // program runs. Each gives its message and loses nothing typed; a day that
    // cannot be read stays locked and empty and overwrites nothing.
    void badDatabase_data()
    {
        QTest::addColumn<BadDatabase>("c");
        const QString unread = u"\n\n"_s + UnreadNotice;
        const auto row = [](const char *name, const BadDatabase &c) { QTest::newRow(name) << c; };
        row("garbage at start-up", {Damage::Garbage, "load", false, NotPlanoraMessage + unread});
        row("locked at start-up, then quit", {Damage::Locked, "load", false, Busy + unread, "Quitte"});
        row("missing at start-up", {Damage::Deleted, "load", false, MissingDatabaseMessage + unread});
        row("locked at the next day, read again by the refresh",
            {Damage::Locked, "CmdSuiv", false, Busy + unread, "Timer1"});
        row("missing at the next day", {Damage::Deleted, "CmdSuiv", false, MissingDatabaseMessage + unread});
        row("locked at a user switch, read again by the calendar",
            {Damage::Locked, "CmdUtilisat2", false, Busy + unread, "MonthView1"});
        row("locked, then a save", {Damage::Locked, "Enregistrer", true, Busy + KeptNotice});
        row("made read-only, then a save", {Damage::ReadOnly, "Enregistrer", true, ReadOnly + KeptNotice});
        row("replaced by garbage, then the next day: stays",
            {Damage::Garbage, "CmdSuiv", true, NotPlanoraMessage + KeptNotice});
        row("replaced by garbage, then the calendar: stays on that date",
            {Damage::Garbage, "MonthView1", true, NotPlanoraMessage + KeptNotice});
        row("replaced by garbage, then a user switch: stays with user 1",
            {Damage::Garbage, "CmdUtilisat2", true, NotPlanoraMessage + KeptNotice});
    }

    // The message names the file and says what is wrong. What was typed
    // stays on screen, where it was typed, marked as changed, and is saved
    // once the file is good. A day that could not be read takes nothing and
    // saves nothing, the stored one stays as it was, and once read again the
    // day takes edits and saves them.
    void badDatabase()
    {
        QFETCH(BadDatabase, c);
        Practice practice;
        const bool unread = (!c.typed && c.action.startsWith("Cmd")) || c.action == "load";
        const int user = unread && c.action == "CmdUtilisat2" ? 2 : 1;
        const qint32 date = practice.today() + (unread && c.action == "CmdSuiv");
        // The day that cannot be read has a row, which must stay as it is;
        // the edits that cannot be saved are typed on a day without one.
        const QString kept = unread ? u"Dupont"_s : QString(); // slot 3 of the stored row
        StoredDay stored = StoredDay::withSlots({{3, kept}});
        stored.postit = unread ? u"Rappeler"_s : QString();
        if (unread)
            practice.storeDay(user, date, stored);
        DatabaseDamage damage{practice.databasePath(), {}, {}};
        Form1 form(practice.environment());
        form.dayCursor().setBusyTimeout(100);
        if (c.action == "load")
            QVERIFY(damage.apply(c.damage));
        form.load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        DayView *view = form.dayView();
        if (c.typed)
            typeInSlot(form, 5, u"Martin"_s);
        if (c.action != "load") // nothing said before: the message compared below is the only one
            QVERIFY(damage.apply(c.damage));
        if (c.action == "Enregistrer") {
            const auto nobody = c.damage == Damage::ReadOnly ? std::optional(asOrdinaryUser()) : std::nullopt;
            triggerAction(&form, "Enregistrer");
        } else if (c.action == "MonthView1") {
            clickCalendar(form, practice.clock.today().addDays(9));
        } else if (c.action != "load") {
            pressButton(form, c.action.constData());
        }

        QCOMPARE(practice.prompts.informations, QStringList{c.message.arg(practice.databasePath())});
        QCOMPARE(form.isDayUnread(), unread);
        QCOMPARE(form.shownUser(), user);
        QCOMPARE(shownDate(form), QString::number(date));
        QCOMPARE(view->calendar()->selectedDate(), practice.clock.today()); // a failed click does not stay
        QCOMPARE(view->slotEdit(3)->text(), QString());
        QCOMPARE(view->slotEdit(5)->text(), c.typed ? u"Martin"_s : QString());
        QVERIFY(allChecks(form, date == practice.today())); // shown on today only
        QCOMPARE(form.isChanged(), c.typed);
        QCOMPARE(QApplication::overrideCursor(), nullptr); // the hourglass is gone
        if (unread) { // nothing can be typed, ticked or marked, and "&Enregistrer" writes nothing
            view->slotEdit(3)->setFocus();
            QTest::keyClicks(view->slotEdit(3), u"Vide"_s);
            QTest::mouseDClick(view->slotEdit(5), Qt::LeftButton);
            QTest::keyClicks(named<QPlainTextEdit>(view, "Text2"), u"Vide"_s);
            pressButton(form, "CmdAbsent1");
            QTest::mouseClick(view->checkBox(3), Qt::LeftButton);
            triggerAction(&form, "Enregistrer");
            QCOMPARE(view->slotEdit(3)->text() + view->slotEdit(5)->text(), QString());
            QCOMPARE(named<QPlainTextEdit>(view, "Text2")->toPlainText(), QString());
            QVERIFY(named<QLineEdit>(view, "Text4_0")->isHidden() && !view->checkBox(3)->isChecked());
            QVERIFY(!form.isChanged());
            QVERIFY(practice.prompts.informations.size() == 2
                    && practice.prompts.informations.last().startsWith(u"Ce jour n'a pas pu être lu"_s));
        }

        QVERIFY(damage.mend());
        if (c.retry == "Quitte")
            triggerAction(&form, "Quitte");
        QCOMPARE(practice.readDay(user, date), unread ? std::optional<StoredDay>(stored) : std::nullopt);
        if (c.retry == "Quitte") { // a day not read is not saved at the end, nor asked about
            QVERIFY(!form.isVisible());
            QVERIFY(practice.prompts.informations.size() == 2 && practice.prompts.questions.isEmpty());
            return;
        }
        if (unread && c.retry == "Command1")
            clickButton(view, "Command1");
        else if (unread && c.retry == "Timer1")
            form.Timer1_Timer();
        else if (unread)
            clickCalendar(form, DateNumber::toDate(date));
        QVERIFY(!form.isDayUnread());
        QCOMPARE(view->slotEdit(3)->text(), kept);
        const qsizetype told = practice.prompts.informations.size();
        typeInSlot(form, 4, u"Roux"_s);
        triggerAction(&form, "Enregistrer");
        QCOMPARE(practice.prompts.informations.size(), told);
        QVERIFY(!form.isChanged());
        stored.rvous = joinedSlots({{3, kept}, {4, u"Roux"_s}, {5, c.typed ? u"Martin"_s : QString()}});
        stored.coche = joinedChecks({});
        QCOMPARE(practice.readDay(user, date), std::optional(stored)); // the other fields of a row there are kept
        QCOMPARE(practice.rowCount(1) + practice.rowCount(2), 1);
    }

    // Utilisat.agc or Alpha.agc damaged: said once at start-up, naming the
    // file, and the day is read all the same (what Form2 then says: tst_form2);
    // the names lookup the window sets up completes a slot unless Alpha.agc is bad.
    void badSideFiles_data()
    {
        QTest::addColumn<bool>("alpha"); // Alpha.agc of 10 MB, else Utilisat.agc binary
        QTest::newRow("Utilisat.agc binary: the lookup still completes") << false;
        QTest::newRow("Alpha.agc of 10 MB: no lookup") << true;
    }

    void badSideFiles()
    {
        QFETCH(bool, alpha);
        Practice practice;
        QVERIFY(execSql(practice.sharedFolder() + u"/NOMS.db"_s,
                        "CREATE TABLE NOMS (NOM TEXT, PRENOM TEXT); INSERT INTO NOMS VALUES ('MARTIN', 'Paul')"));
        QVERIFY(ConfigFiles::writeLookupSettings(practice.programFolder(), {true, u"NOMS"_s}));
        const QString file =
            alpha ? practice.programFolder() + u"/Alpha.agc"_s : practice.sharedFolder() + u"/Utilisat.agc"_s;
        QVERIFY(writeBytes(file, alpha ? QByteArray(10 << 20, 'x') : binaryBytes()));

        const std::unique_ptr<Form1> form = practice.loadedForm(true);
        const QStringList &told = practice.prompts.informations;
        QVERIFY(told.size() == 1 && told.first().contains(file + u" non valide"_s));
        QCOMPARE(form->dayView()->lookupMode(), !alpha);
        form->dayView()->slotEdit(3)->setFocus();
        typeInSlot(*form, 3, u"MAR"_s);
        const QString shown = alpha ? u"MAR"_s : u"MARTIN Paul"_s;
        QCOMPARE(form->dayView()->slotEdit(3)->text(), shown);
        QCOMPARE(told.size(), 1);
        triggerAction(form.get(), "Enregistrer");
        QCOMPARE(practice.readDay(1, practice.today())->rvous, joinedSlots({{3, shown}}));
    }

    // --- users and days; two workstations --------------------------------------

    // Unsaved edits are saved under the day and user they were typed on before
    // the window moves to another (a save that fails: badDatabase); a day the
    // search found is saved to its own date.
    // Two main windows on one file, each with its own connection: no field typed
    // at one is lost, the later save of a field wins and the other text goes to
    // the history. The refresh keeps unsaved text; only "x" throws it away.
    // Steps: "<A|B> type <slot> <text>", "save", "tick" (the refresh), "x", "quit" (the close box),
    // "Quitter" (the menu), "search" (a search window opened), "cursor <days>" (the day cursor
    // moved, the shown day staying), "found <days>" (a day the search found shown), "press <day
    // view button>", "calendar <days>" (a date clicked), "check <slot>" (its box clicked);
    // "lock"/"unlock" (a third program), "delete", "answer yes", "rewrite" (every field of today's
    // row written elsewhere); first "no row" (else today's slot 20 holds "Ancien", tomorrow's
    // "Demain"). Expected: "stored <slot> <text>" (user 1's today), "stored whole" (as rewritten),
    // "marked <slot>" (its mark alone stored), "rows <n>" (tomorrow's not counted), "<A|B> shows
    // <slot> <text>", "<A|B> changed|unchanged", "<A|B> date <days>", "<A|B> user <n>", "<A|B>
    // calendar <days>" (its selected date), "<A|B> checks shown|hidden", "<A|B> open|closed" (with
    // its search window), "history <slot> <text>" (a version holding it beside slot 20's "Ancien"),
    // "history <n>" (versions kept), "messages <n>", "questions <n>", "question <text>" (the last
    // one, under "PLANORA").
    // The hourglass is gone after each.
    void twoWorkstations_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");

        const auto row = [](const char *name, const QString &steps, const QString &expected) {
            QTest::newRow(name) << steps.split(u", "_s) << expected.split(u", "_s);
        };
        row("next day: saved under the day typed on", u"A type 3 Roux, A press CmdSuiv"_s,
            u"stored 3 Roux, A date 1, A calendar 0, A shows 3 , A shows 20 Demain, A checks hidden, A unchanged, "
            "rows 1, messages 0"_s);
        row("previous day: saved under the day typed on", u"A type 3 Roux, A press CmdPrec"_s,
            u"stored 3 Roux, A date -1, A shows 3 , A shows 20 , A checks hidden, A unchanged, rows 1, messages 0"_s);
        row("user switch: saved under the user typed for", u"A type 3 Roux, A press CmdUtilisat2"_s,
            u"stored 3 Roux, A user 2, A date 0, A shows 3 , A checks shown, A unchanged, rows 1, messages 0"_s);
        row("calendar: saved under the day typed on", u"A type 3 Roux, A calendar 9"_s,
            u"stored 3 Roux, A date 9, A calendar 9, A shows 3 , A checks hidden, A unchanged, rows 1"_s);
        row("check-box click: saved with its mark", u"A type 3 Roux, A check 3"_s,
            u"stored 3 Roux, marked 3, A shows 3 Roux, A checks shown, A unchanged, rows 1, messages 0"_s);
        row("a day the search found: shown with its date, saved to it", u"A found 1, A type 3 Trouve, A save, A x"_s,
            u"A date 1, A calendar 0, A shows 3 Trouve, A shows 20 Demain, stored 3 , A unchanged, messages 0"_s);
        row("every field written elsewhere: a save with nothing typed keeps them and shows them", u"rewrite, A save"_s,
            u"stored whole, A shows 0 Ailleurs, A unchanged, messages 0"_s);
        row("the same slot: the later save wins, the other is kept",
            u"A type 3 Dupont, B type 3 Martin, A save, B save"_s,
            u"stored 3 Martin, history 3 Dupont, B shows 3 Martin, history 2"_s);
        row("refresh with a slot typed: it stays, the other's slot comes",
            u"A type 3 Dupont, B type 7 Martin, B save, A tick"_s,
            u"A shows 3 Dupont, A shows 7 Martin, A changed, stored 3 , stored 7 Martin"_s);
        row("a refresh after its own save still sees the other's later save",
            u"A type 3 Dupont, A save, B type 7 Martin, B save, A tick"_s,
            u"A shows 3 Dupont, A shows 7 Martin, A unchanged, stored 3 Dupont"_s);
        // A tick on a day still without a row leaves the screen alone (else the save would store an
        // emptied slot); once its own save has added the row, a tick finds it.
        row("a day without a row refreshed, added by its own save, typed again and refreshed",
            u"no row, A type 3 Sauve, A tick, A save, A type 3 Tape, A tick"_s,
            u"A shows 3 Tape, A changed, stored 3 Sauve, A date 0, messages 0"_s);
        row("the cursor on another day's row: the refresh reads the shown day", u"A type 3 Tape, A cursor 1, A tick"_s,
            u"A shows 3 Tape, A shows 20 Ancien, A changed, stored 3 , A date 0, messages 0"_s);
        row("the \"x\" button throws unsaved text away", u"A type 3 Tape, A x"_s,
            u"A shows 3 , A shows 20 Ancien, A changed, stored 3 , A date 0, messages 0"_s);
        row("nothing typed, quitting after the other saved", u"B type 7 Martin, B save, A quit"_s,
            u"stored 7 Martin, history 1, messages 0"_s);
        row("\"&Quitter\" without a change writes today", u"no row, A search, A Quitter"_s,
            u"A closed, rows 1, messages 0, questions 0"_s);
        row("quitting, the save fails with edits, answer No: the window stays",
            u"A search, A type 1 Bernard, delete, A quit"_s,
            u"A open, A shows 1 Bernard, messages 1, questions 1, question Quitter quand même"_s);
        row("quitting, the save fails with edits, answer Yes: the program ends",
            u"A search, A type 1 Bernard, delete, answer yes, A Quitter"_s,
            u"A closed, messages 1, questions 1, question Quitter quand même"_s);
        row("quitting, the save fails, nothing unsaved: ends without asking", u"A search, delete, A quit"_s,
            u"A closed, messages 1, questions 0"_s);
        row("the shown day's row erased elsewhere (a restore), refreshed: the screen left alone",
            u"A type 3 Tape, erase, A tick"_s,
            u"A shows 3 Tape, A shows 20 Ancien, A changed, rows 0, messages 0"_s);
        row("a failed save, a refresh, then a save",
            u"A type 3 Dupont, lock, A save, unlock, B type 7 Martin, B save, A tick, A save"_s,
            u"messages 1, stored 3 Dupont, stored 7 Martin, A unchanged, A shows 7 Martin"_s);
    }

    void twoWorkstations()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, expected);
        Practice practice;
        const qint32 today = practice.today();
        const bool noRow = steps.first() == u"no row"; // else the day has a row, as most days worked on do
        if (!noRow)
            practice.storeDay(1, today, StoredDay::withSlots({{20, u"Ancien"_s}}));
        practice.storeDay(1, today + 1, StoredDay::withSlots({{20, u"Demain"_s}}));
        const auto a = practice.loadedForm(true), b = practice.loadedForm(true);
        const QHash<QString, Form1 *> workstations = {{u"A"_s, a.get()}, {u"B"_s, b.get()}};
        QWidget search; // A's, hidden until a "search" step
        a->setSearchWindow(&search);
        a->dayCursor().setBusyTimeout(100);
        SqliteConnection third;
        StoredDay whole = fullDay();
        whole.rvous = joinedSlots({{0, u"Ailleurs"_s}, {20, u"Ancien"_s}});

        for (const QString &step : steps.mid(noRow ? 1 : 0)) {
            const QStringList word = step.split(u' ');
            Form1 *form = workstations.value(word[0]);
            const QString verb = word.value(1);
            if (step == u"lock")
                QVERIFY(third.open(practice.databasePath(), SqliteConnection::Mode::ReadWrite) == 0
                        && third.exec("BEGIN EXCLUSIVE") == 0);
            else if (step == u"unlock")
                QCOMPARE(third.exec("ROLLBACK"), 0);
            else if (step == u"erase")
                practice.query(u"DELETE FROM RVOUS1 WHERE AGENDATE = %1"_s.arg(today));
            else if (step == u"rewrite")
                practice.storeDay(1, today, whole);
            else if (step == u"delete")
                QVERIFY(QFile::remove(practice.databasePath()));
            else if (step == u"answer yes")
                practice.prompts.questionAnswers = {true};
            else if (verb == u"type")
                typeInSlot(*form, word[2].toInt(), word[3]);
            else if (verb == u"save")
                form->ENREG_01();
            else if (verb == u"tick")
                form->Timer1_Timer();
            else if (verb == u"x")
                clickButton(form->dayView(), "Command1");
            else if (verb == u"cursor")
                QVERIFY(form->dayCursor().position(practice.databasePath(), 1, today + word[2].toInt()).ok());
            else if (verb == u"quit")
                form->close();
            else if (verb == u"Quitter")
                triggerAction(form, "Quitte");
            else if (verb == u"found")
                QVERIFY(form->dayCursor().positionForSearch(practice.databasePath(), 1, today + word[2].toInt()).ok()
                        && form->AFFICHE_JOUR_DATE());
            else if (verb == u"press") // any mouse button goes down on these buttons: the right one here
                pressButton(*form, qPrintable(word[2]), Qt::RightButton);
            else if (verb == u"calendar")
                clickCalendar(*form, practice.clock.today().addDays(word[2].toInt()));
            else if (verb == u"check")
                QTest::mouseClick(form->dayView()->checkBox(word[2].toInt()), Qt::LeftButton);
            else if (step == u"A search")
                search.show();
            else
                QFAIL(qPrintable(u"unknown step: "_s + step));
        }

        const bool gone = !QFile::exists(practice.databasePath());
        const StoredDay stored = gone ? StoredDay() : practice.readDay(1, today).value_or(StoredDay());
        // The versions of the day kept in the history: RVOUS first.
        const QList<QStringList> kept = gone ? QList<QStringList>() :
            practice.query(u"SELECT RVOUS FROM HISTORIQUE WHERE UTILISATEUR = 1 AND AGENDATE = %1"_s.arg(today));
        const auto slotOf = [](const QString &rvous, const QString &slot) {
            return rvous.split(u"\r\n"_s).value(slot.toInt());
        };
        for (const QString &expectation : expected) {
            const QStringList word = expectation.split(u' ');
            const QString text = word.mid(2).join(u' ');
            Form1 *form = workstations.value(word[0]);
            if (expectation == u"stored whole")
                QCOMPARE(stored, whole);
            else if (word[0] == u"stored")
                QCOMPARE(slotOf(stored.rvous, word[1]), text);
            else if (word[0] == u"marked")
                QCOMPARE(stored.coche, joinedChecks({word[1].toInt()}));
            else if (word[0] == u"history" && word.size() == 2)
                QCOMPARE(kept.size(), word[1].toInt());
            else if (word[0] == u"history") // a version with that slot's text and the untouched slot's
                QVERIFY(kept.contains(QStringList{joinedSlots({{word[1].toInt(), text}, {20, u"Ancien"_s}})}));
            else if (word[0] == u"rows") // tomorrow's not counted
                QCOMPARE(practice.rowCount(1) + practice.rowCount(2) - 1, word[1].toInt());
            else if (word[0] == u"messages" || word[0] == u"questions")
                QCOMPARE(
                    (word[0] == u"messages" ? practice.prompts.informations.size() : practice.prompts.questions.size()),
                    word[1].toInt());
            else if (word[0] == u"question")
                QVERIFY(practice.prompts.questions.last().title == u"PLANORA"_s
                        && practice.prompts.questions.last().text.contains(word.mid(1).join(u' ')));
            else if (word[1] == u"open" || word[1] == u"closed") // with its search window
                QVERIFY(form->isVisible() == (word[1] == u"open") && search.isVisible() == form->isVisible());
            else if (word[1] == u"date")
                QCOMPARE(shownDate(*form), QString::number(today + word[2].toInt()));
            else if (word[1] == u"shows")
                QCOMPARE(form->dayView()->slotEdit(word[2].toInt())->text(), word.mid(3).join(u' '));
            else if (word[1] == u"user")
                QCOMPARE(form->shownUser(), word[2].toInt());
            else if (word[1] == u"calendar")
                QCOMPARE(form->dayView()->calendar()->selectedDate(), practice.clock.today().addDays(word[2].toInt()));
            else if (word[1] == u"checks")
                QVERIFY(allChecks(*form, word[2] == u"shown"));
            else if (word[1] == u"changed" || word[1] == u"unchanged")
                QCOMPARE(form->isChanged(), word[1] == u"changed");
            else
                QFAIL(qPrintable(u"unknown expectation: "_s + expectation));
        }
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        // Whatever happened, the slot nobody touched keeps its text (unless
        // the whole row was erased on purpose).
        if (!gone && !steps.contains(u"erase"_s))
            QCOMPARE(slotOf(stored.rvous, u"20"_s), noRow ? QString() : u"Ancien"_s);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
