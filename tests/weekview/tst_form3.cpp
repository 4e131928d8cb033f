// The week view against the real main window and a practice on disk: the
// "Par &Semaine" button, paging, opening a day, the database path read
// again, and store errors.

#include "captions.h"
#include "filebytes.h"
#include "form3.h"
#include "listlines.h"
#include "practice.h"

#include <QPointer>

using namespace Qt::Literals::StringLiterals;

static constexpr qint32 Monday11March2024 = 45362; // today, Friday 15 March, is in its week

static Form3 *openWeek(Form1 &form)
{
    named<QPushButton>(&form, "Semaine")->click();
    return form.findChild<Form3 *>(u"Form3"_s);
}

class TestForm3 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // "Par &Semaine" with a Sunday shown, edited: the edits are saved first and
    // the changed flag cleared, then the week from its Monday: the long dates,
    // user 1's stored days (user 2's same day unseen), seven columns side by
    // side in a window that fits a 1280 x 800 screen. Pressed again while open, without edits, it stores nothing and
    // rebuilds the same window around the date the main window shows then.
    // A double-click on any line (here the last line of an empty day; paging
    // opens a stored day) closes the week view and opens that day in the main
    // window, unsaved edits saved first; "&Quitte" leaves the shown day.
    // Dates before the first week are WeekStart's rule (weekStart in tst_grid).
    void semaineButton()
    {
        Practice practice;
        practice.storeDay(1, Monday11March2024 + 2, StoredDay::withSlots({{4, u"Dupont"_s}}));
        practice.storeDay(2, Monday11March2024 + 2, StoredDay::withSlots({{4, u"Autre médecin"_s}}));
        auto form = practice.loadedForm();
        form->MonthView1_DateClick(QDate(2024, 3, 17)); // a Sunday
        typeInSlot(*form, 6, u"Nouveau"_s);
        QPointer<Form3> week = openWeek(*form);
        QVERIFY(week && week->isWindow() && !week->isModal() && !form->isChanged());
        QCOMPARE(captionsOf(week, {u"CmdPrec"_s, u"CmdSuiv"_s, u"Command2"_s}) << week->windowTitle(),
                 (QStringList{u"<   &Précédent"_s, u"&Suivant   >"_s, u"&Quitte"_s, u"Agenda"_s}));
        QVERIFY(week->width() <= 1280 && week->height() <= 760 && week->list(6)->geometry().right() < week->width());
        for (int day = 1; day < 7; ++day)
            QVERIFY(week->list(day - 1)->geometry().right() < week->list(day)->geometry().left());
        QCOMPARE(week->header(0)->text(), u"lundi 11 mars 2024"_s);
        QCOMPARE(week->list(2)->item(4)->text(), u"09h00 : Dupont"_s);
        QCOMPARE(linesOf(week->list(6)).at(6), u"      30 : Nouveau"_s); // read back from the database: saved first

        const qint32 shownNow = Monday11March2024 + 16; // ten days on
        for (int step = 0; step < 10; ++step)
            form->CmdSuiv_MouseDown();
        QCOMPARE(openWeek(*form), week.data());
        QCOMPARE(form->findChildren<Form3 *>().size(), 1); // rebuilt around shownNow: its Sunday opens below
        QVERIFY(!practice.readDay(1, shownNow).has_value());

        typeInSlot(*form, 0, u"Tape"_s);
        QListWidget *list = week->list(6);
        QVERIFY(QTest::qWaitForWindowExposed(week));
        list->scrollToItem(list->item(53));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(53)).center());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the week view closes itself so
        QVERIFY(!week);
        const qint32 opened = WeekStart::of(shownNow) + 6;
        QCOMPARE(shownDate(*form), QString::number(opened));
        QCOMPARE(form->shownDateNumber(), opened);
        QCOMPARE(form->dayView()->dateLabel()->text(), u"dimanche 31 mars 2024"_s);
        QCOMPARE(form->dayView()->slotEdit(0)->text(), QString());
        QVERIFY(!form->isChanged());
        QCOMPARE(practice.readDay(1, shownNow).value_or(StoredDay()).rvous, joinedSlots({{0, u"Tape"_s}}));
        QVERIFY(!practice.readDay(1, opened).has_value());
        QVERIFY(practice.prompts.informations.isEmpty());
        week = openWeek(*form);
        QTest::mouseClick(named<QPushButton>(week, "Command2"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!week);
        QCOMPARE(shownDate(*form), QString::number(opened));
    }

    // Paging never saves, leaves the main window's edits alone, and takes the
    // user, grid and database (CHEMIN read again) the main window has at the
    // time of the click; a double-click (on the separator line) then opens the
    // stored day from there too.
    void paging_data()
    {
        QTest::addColumn<QString>("clicks"); // + next, - previous
        QTest::addColumn<int>("user");
        QTest::addColumn<QString>("chemin"); // set once the week view is open (the file copied there); "-": not set
        QTest::newRow("previous, next, previous") << u"-+-"_s << 1 << u"-"_s;
        QTest::newRow("switched to user 2 on 60 minutes") << u"+"_s << 2 << u"-"_s;
        QTest::newRow("CHEMIN names another file") << u"+"_s << 1 << u"/AUTRE/AGENDAS.MDB"_s;
        QTest::newRow("CHEMIN empty: the program's folder") << u"+"_s << 1 << QString();
    }

    void paging()
    {
        QFETCH(QString, clicks);
        QFETCH(int, user);
        QFETCH(QString, chemin);
        Practice practice;
        UserConfig users = Practice::namedUsers({1, 2});
        users[1].intervalIndex = 4; // user 2 on 60 minutes, user 1 on 15
        practice.writeUsers(users);
        const qint32 monday = Monday11March2024 + 7 * int(clicks.count(u'+') - clicks.count(u'-'));
        for (int owner : {1, 2})
            practice.storeDay(owner, monday, StoredDay::withSlots({{0, u"Lundi %1"_s.arg(owner)}, {1, u"suite"_s}}));
        auto form = practice.loadedForm();
        Form3 *week = openWeek(*form);
        if (chemin != u"-"_s) {
            const QString other = chemin.isEmpty() ? practice.programFolder() + u"/AGENDAS.MDB"_s
                                                   : practice.sharedFolder() + chemin;
            QVERIFY(QDir().mkpath(QFileInfo(other).absolutePath()) && QFile::copy(practice.databasePath(), other));
            practice.setSetting(u"CHEMIN"_s, chemin.isEmpty() ? QString() : other);
            practice.storeDay(1, monday, StoredDay::withSlots({{0, u"Ancien"_s}})); // the old file still opens
        }
        form->CmdUtilisat_MouseDown(user);
        typeInSlot(*form, 2, u"Pas encore"_s);
        const int rows = practice.rowCount(user);
        for (QChar click : clicks)
            QTest::mouseClick(named<QPushButton>(week, click == u'+' ? "CmdSuiv" : "CmdPrec"), Qt::LeftButton);
        QCOMPARE(week->list(0)->item(0)->text(), u"08h00 : Lundi %1"_s.arg(user));
        QCOMPARE(week->list(0)->item(1)->text(), user == 2 ? u"         : suite"_s : u"      15 : suite"_s);
        QVERIFY(form->isChanged());
        QCOMPARE(practice.rowCount(user), rows);
        QCOMPARE(form->dayView()->slotEdit(2)->text(), u"Pas encore"_s);
        QPointer<QListWidget> list = week->list(0);
        QVERIFY(QTest::qWaitForWindowExposed(week));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(24)).center());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!list); // the separator line opened the day too, and the week view closed
        QCOMPARE(shownDate(*form), QString::number(monday));
        QCOMPARE(form->dayView()->slotEdit(0)->text(), u"Lundi %1"_s.arg(user));
        QVERIFY(!form->isChanged() && practice.readDay(user, monday).has_value()); // the opened day still stored
        QVERIFY(practice.prompts.informations.isEmpty());
    }

    // A store error shows one message and leaves an open week view's columns
    // and week start, and the main window, as they were; "Par &Semaine" then
    // opens no week view.
    void storeError_data()
    {
        QTest::addColumn<QString>("action"); // next, open (a day), semaine
        QTest::addColumn<bool>("weekOpen"); // the week view is open before the damage
        // %1: the database's path, removed, or overwritten with bytes that are no database when the message says
        // so; without %1, start-up stopped (CHEMIN names no AGENDAS.MDB).
        QTest::addColumn<QString>("message");
        const QString &missing = MissingDatabaseMessage, &notPlanora = NotPlanoraMessage;
        QTest::newRow("file removed, next week") << u"next"_s << true << missing;
        QTest::newRow("file not a database, opening a day") << u"open"_s << true << notPlanora;
        QTest::newRow("button, week view open, three days on") << u"semaine"_s << true << missing;
        QTest::newRow("button, file removed before the first press") << u"semaine"_s << false << missing;
        QTest::newRow("button, start-up stopped before a database")
            << u"semaine"_s << false
            << u"Aucune base de données n'est ouverte : la semaine ne peut pas être affichée. Veuillez à l'aide du "
               "SUPERVISEUR placer la base 'AGENDAS.MDB' puis relancer le programme."_s;
    }

    void storeError()
    {
        QFETCH(QString, action);
        QFETCH(bool, weekOpen);
        QFETCH(QString, message);
        const bool startUpStopped = !message.contains(u"%1"_s);
        Practice practice;
        practice.storeDay(1, Monday11March2024, StoredDay::withSlots({{0, u"Lundi"_s}}));
        if (startUpStopped)
            practice.setSetting(u"CHEMIN"_s, practice.sharedFolder() + u"/agendas.db"_s);
        auto form = practice.loadedForm();
        practice.prompts.informations.clear();
        QPointer<Form3> week = weekOpen ? openWeek(*form) : nullptr;
        const QStringList before = week ? linesOf(week->list(0)) : QStringList();
        const int daysMoved = action == u"semaine"_s ? 3 : 0; // into the next week
        for (int step = 0; step < daysMoved; ++step)
            form->CmdSuiv_MouseDown();
        QVERIFY(QFile::remove(practice.databasePath())
                && (message.contains(u"introuvable"_s) || writeBytes(practice.databasePath(), QByteArray(4096, 'x'))));

        if (action == u"next"_s)
            week->CmdSuiv_Click();
        else if (action == u"open"_s)
            week->List1_DblClick(3);
        else
            named<QPushButton>(form.get(), "Semaine")->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QCOMPARE(practice.prompts.informations,
                 QStringList{startUpStopped ? message : message.arg(practice.databasePath())});
        QCOMPARE(form->findChildren<Form3 *>().size(), weekOpen ? 1 : 0);
        QCOMPARE(bool(week), weekOpen);
        QCOMPARE(shownDate(*form), QString::number(practice.today() + daysMoved));
        if (weekOpen) {
            QCOMPARE(week->weekStartLabel()->text(), QString::number(Monday11March2024));
            QCOMPARE(linesOf(week->list(0)), before);
        }
    }
};

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
