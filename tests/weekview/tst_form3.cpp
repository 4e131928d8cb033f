// The week view against the real main window and a practice on disk: the
// "Par &Semaine" button, paging, opening a day, the database path read
// again, and store errors.

#include "form3.h"
#include "practice.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint32 Monday11March2024 = 45362;

QString longDate(qint32 dateNumber)
{
    return QLocale().toString(DateNumber::toDate(dateNumber), QLocale::LongFormat);
}

Form3 *openWeek(Form1 &form)
{
    named<QPushButton>(&form, "Semaine")->click();
    return form.findChild<Form3 *>(u"Form3"_s);
}

QStringList linesOf(const QListWidget *list)
{
    QStringList lines;
    for (int row = 0; row < list->count(); ++row)
        lines << list->item(row)->text();
    return lines;
}

void doubleClickLine(Form3 *week, int column, int line)
{
    QListWidget *list = week->list(column);
    list->scrollToItem(list->item(line));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(line)).center());
}

// The week view closes itself with a deferred delete.
void letDeferredDeletesRun()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestForm3 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QCOMPARE(DateNumber::fromDate(QDate(2024, 3, 11)), Monday11March2024);
    }

    void controls_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("previous week") << "CmdPrec"_ba << u"<   &Précédent"_s;
        QTest::newRow("next week") << "CmdSuiv"_ba << u"&Suivant   >"_s;
        QTest::newRow("quit") << "Command2"_ba << u"&Quitte"_s;
    }

    void controls()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, caption);
        Practice practice;
        auto form = practice.loadedForm();
        Form3 *week = openWeek(*form);
        QVERIFY(week);
        QCOMPARE(week->windowTitle(), u"Agenda"_s);
        QVERIFY(week->isWindow() && !week->isModal());
        QCOMPARE(named<QPushButton>(week, name.constData())->text(), caption);
        // Seven columns, Monday first, side by side in a window that fits a
        // 1280 x 800 screen.
        QVERIFY(week->width() <= 1280 && week->height() <= 760);
        for (int day = 1; day < 7; ++day)
            QVERIFY(week->list(day - 1)->geometry().right() < week->list(day)->geometry().left());
        QVERIFY(week->list(6)->geometry().right() < week->width());
        QVERIFY(week->list(0)->width() >= 120);
        QCOMPARE(named<QListWidget>(week, "List1_6"), week->list(6));
        QCOMPARE(named<QLabel>(week, "Label1_6"), week->header(6));
    }

    // "Par &Semaine" from a shown date: the week start in Label2, the long
    // dates, the date numbers, a stored day with its marks.
    void weekAroundShownDate_data()
    {
        QTest::addColumn<QDate>("shown");
        QTest::addColumn<QString>("firstHeader");
        QTest::addColumn<QString>("lastHeader");
        QTest::newRow("Wednesday") << QDate(2024, 3, 13) << u"lundi 11 mars 2024"_s << u"dimanche 17 mars 2024"_s;
        QTest::newRow("Monday: its own week") << QDate(2024, 3, 11) << u"lundi 11 mars 2024"_s << u"dimanche 17 mars 2024"_s;
        QTest::newRow("Sunday") << QDate(2024, 3, 17) << u"lundi 11 mars 2024"_s << u"dimanche 17 mars 2024"_s;
        QTest::newRow("before 30 December 2002") << QDate(2001, 5, 10) << u"lundi 30 décembre 2002"_s
                                                 << u"dimanche 5 janvier 2003"_s;
    }

    void weekAroundShownDate()
    {
        QFETCH(QDate, shown);
        QFETCH(QString, firstHeader);
        QFETCH(QString, lastHeader);
        Practice practice;
        StoredDay wednesday = StoredDay::withSlots({{4, u"Dupont"_s}, {52, u"Durand"_s}});
        wednesday.absent2 = u"1"_s;
        practice.storeDay(1, Monday11March2024 + 2, wednesday);
        practice.storeDay(2, Monday11March2024 + 3, StoredDay::withSlots({{4, u"Autre médecin"_s}}));
        auto form = practice.loadedForm();
        form->MonthView1_DateClick(shown);
        Form3 *week = openWeek(*form);
        QVERIFY(week);
        const qint32 monday = WeekStart::of(DateNumber::fromDate(shown));
        QCOMPARE(week->weekStartLabel()->text(), QString::number(monday));
        QCOMPARE(week->header(0)->text(), firstHeader);
        QCOMPARE(week->header(6)->text(), lastHeader);
        for (int day = 0; day < 7; ++day) {
            QCOMPARE(week->dateNumberLabel(day)->text(), QString::number(monday + day));
            QCOMPARE(week->header(day)->text(), longDate(monday + day));
        }
        if (monday == Monday11March2024) {
            const QStringList stored = linesOf(week->list(2));
            QCOMPARE(stored.size(), 31); // afternoon absent
            QCOMPARE(stored.at(4), u"09h00 : Dupont"_s);
            QCOMPARE(stored.at(25), u"14h00 : "_s);
            QCOMPARE(linesOf(week->list(3)).at(4), u"09h00 : "_s); // user 2's day is not shown
        }
        QCOMPARE(linesOf(week->list(6)).size(), 54);
        QVERIFY(practice.prompts.informations.isEmpty());
    }

    // Stored slot texts that are fewer than the slots: the others are empty.
    void shortStoredDay_data()
    {
        QTest::addColumn<QString>("rvous");
        QTest::addColumn<QStringList>("firstLines");
        QTest::newRow("two texts") << u"Alpha\r\nBeta"_s << QStringList{u"08h00 : Alpha"_s, u"      15 : Beta"_s, u"      30 : "_s};
        QTest::newRow("no text at all") << QString() << QStringList{u"08h00 : "_s, u"      15 : "_s, u"      30 : "_s};
    }

    void shortStoredDay()
    {
        QFETCH(QString, rvous);
        QFETCH(QStringList, firstLines);
        Practice practice;
        StoredDay day;
        day.rvous = rvous;
        practice.storeDay(1, practice.today(), day);
        auto form = practice.loadedForm();
        Form3 *week = openWeek(*form);
        const QStringList lines = linesOf(week->list(4)); // Friday 15 March
        QCOMPARE(lines.size(), 54);
        QCOMPARE(lines.mid(0, 3), firstLines);
        QCOMPARE(lines.last(), u"21h00 : "_s);
    }

    // The button saves unsaved edits first, clears the changed flag, and a
    // second press while the window is open rebuilds it around the date the
    // main window shows then.
    void semaineButton_data()
    {
        QTest::addColumn<bool>("edited");
        QTest::addColumn<int>("daysMovedBeforeSecondPress");
        QTest::newRow("unsaved edits are saved first") << true << 0;
        QTest::newRow("no edits") << false << 0;
        QTest::newRow("second press a week later") << false << 7;
        QTest::newRow("second press after edits elsewhere") << true << 10;
    }

    void semaineButton()
    {
        QFETCH(bool, edited);
        QFETCH(int, daysMovedBeforeSecondPress);
        Practice practice;
        auto form = practice.loadedForm();
        if (edited)
            typeInSlot(*form, 6, u"Nouveau"_s);
        QCOMPARE(form->isChanged(), edited);
        QPointer<Form3> week = openWeek(*form);
        QVERIFY(week);
        QVERIFY(!form->isChanged());
        QCOMPARE(practice.readDay(1, practice.today()).has_value(), edited);
        if (edited)
            QCOMPARE(linesOf(week->list(4)).at(6), u"      30 : Nouveau"_s);

        for (int step = 0; step < daysMovedBeforeSecondPress; ++step)
            form->CmdSuiv_MouseDown();
        if (edited)
            typeInSlot(*form, 1, u"Encore"_s);
        const qint32 shownNow = practice.today() + daysMovedBeforeSecondPress;
        QCOMPARE(openWeek(*form), week.data());
        QCOMPARE(form->findChildren<Form3 *>().size(), 1);
        QCOMPARE(week->weekStartLabel()->text(), QString::number(WeekStart::of(shownNow)));
        QVERIFY(!form->isChanged());
        if (edited)
            QCOMPARE(practice.readDay(1, shownNow)->rvous.split(u"\r\n"_s).at(1), u"Encore"_s);
        QVERIFY(practice.prompts.informations.isEmpty());
    }

    // Paging never saves and leaves the main window's changed flag alone.
    void paging_data()
    {
        QTest::addColumn<QString>("clicks"); // + next, - previous
        QTest::addColumn<int>("weeksMoved");
        QTest::newRow("next then previous: the same days") << u"+-"_s << 0;
        QTest::newRow("previous") << u"-"_s << -1;
        QTest::newRow("next twice") << u"++"_s << 2;
        QTest::newRow("previous, next, previous") << u"-+-"_s << -1;
    }

    void paging()
    {
        QFETCH(QString, clicks);
        QFETCH(int, weeksMoved);
        Practice practice;
        practice.storeDay(1, Monday11March2024 + 7 * weeksMoved, StoredDay::withSlots({{0, u"Lundi"_s}}));
        auto form = practice.loadedForm();
        Form3 *week = openWeek(*form);
        typeInSlot(*form, 2, u"Pas encore"_s);
        const int rows = practice.rowCount(1);
        for (QChar click : clicks)
            QTest::mouseClick(named<QPushButton>(week, click == u'+' ? "CmdSuiv" : "CmdPrec"), Qt::LeftButton);
        const qint32 monday = Monday11March2024 + 7 * weeksMoved;
        QCOMPARE(week->weekStartLabel()->text(), QString::number(monday));
        QCOMPARE(week->header(0)->text(), longDate(monday));
        QCOMPARE(week->dateNumberLabel(6)->text(), QString::number(monday + 6));
        QCOMPARE(week->list(0)->item(0)->text(), u"08h00 : Lundi"_s);
        QVERIFY(form->isChanged());
        QCOMPARE(practice.rowCount(1), rows);
        QCOMPARE(form->dayView()->slotEdit(2)->text(), u"Pas encore"_s);
    }

    // Paging takes the user and LblHorImp of the main window at the time
    // of the click.
    void pagingFollowsTheMainWindow_data()
    {
        QTest::addColumn<int>("user");
        QTest::addColumn<QStringList>("firstLines");
        QTest::newRow("switched to user 2 on 60 minutes")
            << 2 << QStringList{u"08h00 : Martin"_s, u"         : suite"_s, u"         : "_s, u"         : "_s, u"09h00 : "_s};
        QTest::newRow("user 1 kept, 15 minutes")
            << 1 << QStringList{u"08h00 : Premier"_s, u"      15 : "_s, u"      30 : "_s, u"      45 : "_s, u"09h00 : "_s};
    }

    void pagingFollowsTheMainWindow()
    {
        QFETCH(int, user);
        QFETCH(QStringList, firstLines);
        Practice practice;
        UserConfig users = Practice::namedUsers({1, 2});
        users[1].intervalIndex = 4;
        practice.writeUsers(users);
        practice.storeDay(1, Monday11March2024 + 7, StoredDay::withSlots({{0, u"Premier"_s}}));
        practice.storeDay(2, Monday11March2024 + 7, StoredDay::withSlots({{0, u"Martin"_s}, {1, u"suite"_s}}));
        auto form = practice.loadedForm();
        Form3 *week = openWeek(*form);
        form->CmdUtilisat_MouseDown(user);
        week->CmdSuiv_Click();
        QCOMPARE(linesOf(week->list(0)).mid(0, 5), firstLines);
    }

    // A double-click on any line of a column opens that day in the main
    // window and closes the week view; unsaved edits are saved first.
    void openDay_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("line");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("edited");
        QTest::newRow("the separator of a stored day") << 2 << 24 << true << false;
        QTest::newRow("the first line of an empty day") << 5 << 0 << false << false;
        QTest::newRow("the last line, with unsaved edits") << 6 << 53 << false << true;
        QTest::newRow("a stored day, with unsaved edits") << 0 << 10 << true << true;
    }

    void openDay()
    {
        QFETCH(int, column);
        QFETCH(int, line);
        QFETCH(bool, stored);
        QFETCH(bool, edited);
        Practice practice;
        // Today is shown with both absence marks, which an empty day hides.
        StoredDay today = StoredDay::withSlots({{0, u"Aujourd'hui"_s}});
        today.absent1 = today.absent2 = today.echo1 = u"1"_s;
        practice.storeDay(1, practice.today(), today);
        const qint32 opened = Monday11March2024 + column;
        if (stored)
            practice.storeDay(1, opened, StoredDay::withSlots({{4, u"Ouvert"_s}}));
        auto form = practice.loadedForm();
        QPointer<Form3> week = openWeek(*form);
        QVERIFY(QTest::qWaitForWindowExposed(week));
        if (edited)
            typeInSlot(*form, 7, u"Tape"_s);

        doubleClickLine(week, column, line);
        letDeferredDeletesRun();
        QVERIFY(!week);
        DayView *view = form->dayView();
        QCOMPARE(shownDate(*form), QString::number(opened));
        QCOMPARE(view->dateLabel()->text(), longDate(opened));
        QCOMPARE(form->shownDateNumber(), opened);
        QCOMPARE(view->slotEdit(4)->text(), stored ? u"Ouvert"_s : QString());
        QCOMPARE(view->slotEdit(0)->text(), QString());
        for (const char *panel : {"Text4_0", "Text4_1", "TxtEcho1"})
            QVERIFY2(named<QLineEdit>(view, panel)->isHidden(), panel);
        QVERIFY(!form->isChanged());
        QCOMPARE(practice.readDay(1, practice.today())->rvous.split(u"\r\n"_s).at(7),
                 edited ? u"Tape"_s : QString());
        QVERIFY(!practice.readDay(1, opened).has_value() || stored);
        QVERIFY(practice.prompts.informations.isEmpty());
    }

    // A store error shows the store's message once and leaves the columns,
    // the week start and the main window as they were.
    void storeError_data()
    {
        QTest::addColumn<bool>("removed"); // else overwritten with bytes that are no database
        QTest::addColumn<bool>("pageNotOpen");
        QTest::newRow("file removed, next week") << true << true;
        QTest::newRow("file not a database, next week") << false << true;
        QTest::newRow("file removed, opening a day") << true << false;
        QTest::newRow("file not a database, opening a day") << false << false;
    }

    void storeError()
    {
        QFETCH(bool, removed);
        QFETCH(bool, pageNotOpen);
        Practice practice;
        practice.storeDay(1, Monday11March2024, StoredDay::withSlots({{0, u"Lundi"_s}}));
        auto form = practice.loadedForm();
        QPointer<Form3> week = openWeek(*form);
        const QStringList before = linesOf(week->list(0));
        QVERIFY(QFile::remove(practice.databasePath()));
        if (!removed) {
            QFile broken(practice.databasePath());
            QVERIFY(broken.open(QIODevice::WriteOnly));
            broken.write(QByteArray(4096, 'x'));
        }
        if (pageNotOpen)
            week->CmdSuiv_Click();
        else
            week->List1_DblClick(3);
        letDeferredDeletesRun();
        QVERIFY(week);
        QCOMPARE(practice.prompts.informations.size(), 1);
        QVERIFY(!practice.prompts.informations.first().isEmpty());
        QCOMPARE(week->weekStartLabel()->text(), QString::number(Monday11March2024));
        QCOMPARE(linesOf(week->list(0)), before);
        QCOMPARE(shownDate(*form), QString::number(practice.today()));
    }

    // The button on a database that cannot be read: one message, no week
    // view; an open one keeps its columns.
    void semaineWithStoreError_data()
    {
        QTest::addColumn<bool>("alreadyOpen");
        QTest::addColumn<bool>("startUpStopped"); // CHEMIN names no AGENDAS.MDB
        QTest::newRow("first press") << false << false;
        QTest::newRow("press while the week view is open") << true << false;
        QTest::newRow("start-up stopped before a database") << false << true;
    }

    void semaineWithStoreError()
    {
        QFETCH(bool, alreadyOpen);
        QFETCH(bool, startUpStopped);
        Practice practice;
        if (startUpStopped)
            practice.setSetting(u"CHEMIN"_s, practice.sharedFolder() + u"/agendas.db"_s);
        auto form = practice.loadedForm();
        practice.prompts.informations.clear();
        QPointer<Form3> week = alreadyOpen ? openWeek(*form) : nullptr;
        form->CmdSuiv_MouseDown();
        form->CmdSuiv_MouseDown();
        form->CmdSuiv_MouseDown();
        QVERIFY(QFile::remove(practice.databasePath()));
        named<QPushButton>(form.get(), "Semaine")->click();
        letDeferredDeletesRun();
        QCOMPARE(form->findChildren<Form3 *>().size(), alreadyOpen ? 1 : 0);
        QCOMPARE(bool(week), alreadyOpen);
        QCOMPARE(practice.prompts.informations.size(), 1);
        if (alreadyOpen)
            QCOMPARE(week->weekStartLabel()->text(), QString::number(Monday11March2024));
    }

    // The week window's handlers read CHEMIN again.
    void databasePathReadAgain_data()
    {
        QTest::addColumn<bool>("emptySetting");
        QTest::newRow("CHEMIN names another file") << false;
        QTest::newRow("CHEMIN empty: the program's folder") << true;
    }

    void databasePathReadAgain()
    {
        QFETCH(bool, emptySetting);
        Practice practice;
        auto form = practice.loadedForm();
        Form3 *week = openWeek(*form);
        const QString other = emptySetting ? practice.programFolder() + u"/AGENDAS.MDB"_s
                                           : practice.sharedFolder() + u"/AUTRE/AGENDAS.MDB"_s;
        QVERIFY(QDir().mkpath(QFileInfo(other).absolutePath()));
        QVERIFY(QFile::copy(practice.databasePath(), other));
        practice.setSetting(u"CHEMIN"_s, emptySetting ? QString() : other);
        QVERIFY(QFile::remove(practice.databasePath()));
        QVERIFY(QFile::copy(other, practice.databasePath())); // the old path still opens
        practice.storeDay(1, Monday11March2024 + 7, StoredDay::withSlots({{0, u"Ancien"_s}}));
        {
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open(other.toUtf8().constData(), &db), SQLITE_OK);
            const QByteArray insert = "INSERT INTO RVOUS1 (AGENDATE, RVOUS) VALUES (" + QByteArray::number(Monday11March2024 + 7)
                + ", 'Ailleurs')";
            QCOMPARE(sqlite3_exec(db, insert.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        }
        week->CmdSuiv_Click();
        QCOMPARE(week->list(0)->item(0)->text(), u"08h00 : Ailleurs"_s);
        week->List1_DblClick(0);
        QCOMPARE(form->dayView()->slotEdit(0)->text(), u"Ailleurs"_s);
        QVERIFY(practice.prompts.informations.isEmpty());
    }

    void quitCloses()
    {
        Practice practice;
        auto form = practice.loadedForm();
        QPointer<Form3> week = openWeek(*form);
        QTest::mouseClick(named<QPushButton>(week, "Command2"), Qt::LeftButton);
        letDeferredDeletesRun();
        QVERIFY(!week);
        QCOMPARE(shownDate(*form), QString::number(practice.today()));
    }
};

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
