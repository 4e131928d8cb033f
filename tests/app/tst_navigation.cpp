// Users and days: the user buttons, the previous / next day buttons, the
// calendar, "x", the check boxes and "Voir les c&oches".
#include "colourvalue.h"
#include "datenumber.h"
#include "dayview.h"
#include "mainwindow.h"
#include "mousedownbutton.h"
#include "practice.h"
#include "slotedit.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// Users 1 to 3 named, each with a grid, a colour and annotations of its own.
UserConfig threeUsers()
{
    UserConfig users = Practice::namedUsers({1, 2, 3});
    users[0].colour = 12632256;       // light grey
    users[1].colour = 0x00FFFF;       // yellow
    users[1].intervalIndex = 0;       // 10 minutes
    users[2].colour = SystemWindowColour;
    users[2].intervalIndex = 4;       // 60 minutes
    return users;
}

std::unique_ptr<Form1> shownForm(Practice &practice)
{
    practice.writeUsers(threeUsers());
    auto form = std::make_unique<Form1>(practice.environment());
    form->load();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qFatal("the main window was not shown");
    return form;
}

// Typed key by key, as a person would (QTest types ASCII only).
void type(Form1 &form, int slot, const QString &text)
{
    SlotEdit *edit = form.dayView()->slotEdit(slot);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

MouseDownButton *button(const Form1 &form, const char *name)
{
    return named<MouseDownButton>(form.dayView(), name);
}

QString shownDateNumber(const Form1 &form)
{
    return form.dayView()->hiddenDateLabel()->text();
}

// What clicking a date of the calendar does: the calendar selects it and
// reports the click.
void clickCalendar(Form1 &form, QDate date)
{
    QCalendarWidget *calendar = form.dayView()->calendar();
    calendar->setSelectedDate(date);
    Q_EMIT calendar->clicked(date);
}

bool allChecks(const Form1 &form, bool visible)
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (form.dayView()->checkBox(slot)->isHidden() == visible)
            return false;
    }
    return true;
}

} // namespace

class NavigationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void userButtonSwitches_data();
    void userButtonSwitches();
    void keyboardDoesNothing_data();
    void keyboardDoesNothing();
    void dayStep_data();
    void dayStep();
    void pendingEditsSaved_data();
    void pendingEditsSaved();
    void userWithoutRow();
    void calendar_data();
    void calendar();
    void redisplayThrowsEditsAway();
    void cochesInvertsEachBox();
    void failedSaveStaysOnDay_data();
    void failedSaveStaysOnDay();
};

void NavigationTest::userButtonSwitches_data()
{
    QTest::addColumn<Qt::MouseButton>("mouseButton");
    QTest::addColumn<int>("user");
    QTest::addColumn<QColor>("windowColour");
    QTest::addColumn<QString>("minutes");
    QTest::newRow("left button on user 2") << Qt::LeftButton << 2 << QColor(255, 255, 0) << u"10"_s;
    QTest::newRow("right button on user 2") << Qt::RightButton << 2 << QColor(255, 255, 0) << u"10"_s;
    QTest::newRow("middle button on user 3")
        << Qt::MiddleButton << 3 << QApplication::palette().color(QPalette::Base) << u"60"_s;
    QTest::newRow("right button on user 1 itself")
        << Qt::RightButton << 1 << QColor(192, 192, 192) << u"15"_s;
}

void NavigationTest::userButtonSwitches()
{
    QFETCH(Qt::MouseButton, mouseButton);
    QFETCH(int, user);
    QFETCH(QColor, windowColour);
    QFETCH(QString, minutes);
    Practice practice;
    const qint32 today = DateNumber::fromDate(practice.clock.today());
    practice.storeDay(user, today, StoredDay::withSlots(Practice::rvous({{9, u"Client %1"_s.arg(user)}})));
    const auto form = shownForm(practice);

    QTest::mousePress(form->dayView()->userButton(user), mouseButton);

    const UserEntry entry = threeUsers()[user - 1];
    QCOMPARE(form->shownUser(), user);
    QCOMPARE(form->dayView()->hiddenUserLabel()->text(), QString::number(user));
    QCOMPARE(form->windowTitle(), entry.name);
    QCOMPARE(form->dayView()->hiddenIntervalLabel()->text(), minutes);
    QCOMPARE(form->dayView()->palette().color(QPalette::Window), windowColour);
    QCOMPARE(form->dayView()->makerLabel()->palette().color(QPalette::Window), windowColour);
    for (int other = 1; other <= 6; ++other) {
        QCOMPARE(form->dayView()->userButton(other)->palette().color(QPalette::Button),
                 other == user ? QColor(255, 0, 0) : QApplication::palette().color(QPalette::Button));
    }
    QCOMPARE(form->dayView()->bottomAnnotationLabel()->text(), entry.bottomAnnotation);
    QCOMPARE(named<QAction>(form.get(), "Bloc")->text(), entry.bottomAnnotation);
    QCOMPARE(named<QLineEdit>(form->dayView(), "TxtEcho1")->text(), entry.topAnnotation);
    QCOMPARE(form->dayView()->slotEdit(9)->text(), u"Client %1"_s.arg(user));
    QCOMPARE(form->dayCursor().sqlText(), u"SELECT*FROM RVOUS%1 ORDER BY AGENDATE"_s.arg(user));
    QCOMPARE(shownDateNumber(*form), QString::number(today));
    QVERIFY(!form->isChanged());
}

void NavigationTest::keyboardDoesNothing_data()
{
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<int>("key");
    QTest::newRow("space on CmdSuiv") << "CmdSuiv"_ba << int(Qt::Key_Space);
    QTest::newRow("Enter on CmdSuiv") << "CmdSuiv"_ba << int(Qt::Key_Return);
    QTest::newRow("space on CmdPrec") << "CmdPrec"_ba << int(Qt::Key_Space);
    QTest::newRow("Enter on CmdPrec") << "CmdPrec"_ba << int(Qt::Key_Enter);
    QTest::newRow("space on CmdUtilisat2") << "CmdUtilisat2"_ba << int(Qt::Key_Space);
    QTest::newRow("Enter on CmdUtilisat3") << "CmdUtilisat3"_ba << int(Qt::Key_Return);
}

void NavigationTest::keyboardDoesNothing()
{
    QFETCH(QByteArray, control);
    QFETCH(int, key);
    Practice practice;
    const auto form = shownForm(practice);
    const QString before = shownDateNumber(*form);
    MouseDownButton *target = button(*form, control.constData());
    target->setFocus();

    QTest::keyClick(target, Qt::Key(key));

    QCOMPARE(shownDateNumber(*form), before);
    QCOMPARE(form->shownUser(), 1);
}

void NavigationTest::dayStep_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<Qt::MouseButton>("mouseButton");
    QTest::addColumn<QDate>("shown");
    QTest::addColumn<QString>("longDate");

    QTest::newRow("1 March of a non-leap year back to 28 February")
        << QDate(2023, 3, 1) << "CmdPrec"_ba << Qt::LeftButton << QDate(2023, 2, 28)
        << u"mardi 28 février 2023"_s;
    QTest::newRow("1 March of a leap year back to 29 February")
        << QDate(2024, 3, 1) << "CmdPrec"_ba << Qt::LeftButton << QDate(2024, 2, 29)
        << u"jeudi 29 février 2024"_s;
    QTest::newRow("31 December forward to 1 January")
        << QDate(2003, 12, 31) << "CmdSuiv"_ba << Qt::LeftButton << QDate(2004, 1, 1)
        << u"jeudi 1 janvier 2004"_s;
    QTest::newRow("right button on CmdSuiv: Saturday to Sunday, no day skipped")
        << QDate(2024, 6, 15) << "CmdSuiv"_ba << Qt::RightButton << QDate(2024, 6, 16)
        << u"dimanche 16 juin 2024"_s;
    QTest::newRow("right button on CmdPrec: Monday back to Sunday")
        << QDate(2024, 6, 17) << "CmdPrec"_ba << Qt::RightButton << QDate(2024, 6, 16)
        << u"dimanche 16 juin 2024"_s;
}

void NavigationTest::dayStep()
{
    QFETCH(QDate, today);
    QFETCH(QByteArray, control);
    QFETCH(Qt::MouseButton, mouseButton);
    QFETCH(QDate, shown);
    QFETCH(QString, longDate);
    Practice practice;
    practice.clock.setToday(today);
    practice.storeDay(1, DateNumber::fromDate(shown),
                      StoredDay::withSlots(Practice::rvous({{0, u"Jour voisin"_s}})));
    const auto form = shownForm(practice);
    QVERIFY(allChecks(*form, true));

    QTest::mousePress(button(*form, control.constData()), mouseButton);

    QCOMPARE(shownDateNumber(*form), QString::number(DateNumber::fromDate(shown)));
    QCOMPARE(form->shownDateNumber(), DateNumber::fromDate(shown));
    QCOMPARE(form->dayView()->dateLabel()->text(), longDate);
    QCOMPARE(form->dayView()->slotEdit(0)->text(), u"Jour voisin"_s);
    QVERIFY(allChecks(*form, false)); // not today
    // The calendar keeps the date last clicked.
    QCOMPARE(form->dayView()->calendar()->selectedDate(), today);
    QVERIFY(!form->isChanged());

    // And back to today: the boxes show again.
    QTest::mousePress(button(*form, control == "CmdSuiv" ? "CmdPrec" : "CmdSuiv"), mouseButton);
    QCOMPARE(shownDateNumber(*form), QString::number(DateNumber::fromDate(today)));
    QVERIFY(allChecks(*form, true));
    QCOMPARE(form->dayView()->slotEdit(0)->text(), QString());
}

void NavigationTest::pendingEditsSaved_data()
{
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<int>("shownUser");    // afterwards
    QTest::addColumn<int>("shownOffset");  // days from today, afterwards
    QTest::addColumn<QString>("coche");    // of the saved row
    const QString noneChecked = Practice::coche({});
    QTest::newRow("next day: saved under the old date") << "CmdSuiv"_ba << 1 << 1 << noneChecked;
    QTest::newRow("previous day: saved under the old date") << "CmdPrec"_ba << 1 << -1 << noneChecked;
    QTest::newRow("user switch: saved under the old user") << "CmdUtilisat2"_ba << 2 << 0 << noneChecked;
    QTest::newRow("calendar: saved under the day typed on") << "MonthView1"_ba << 1 << 9 << noneChecked;
    QTest::newRow("check-box click: saved at once with its mark")
        << "Check1_3"_ba << 1 << 0 << Practice::coche({3});
}

void NavigationTest::pendingEditsSaved()
{
    QFETCH(QByteArray, action);
    QFETCH(int, shownUser);
    QFETCH(int, shownOffset);
    QFETCH(QString, coche);
    Practice practice;
    const qint32 today = DateNumber::fromDate(practice.clock.today());
    const auto form = shownForm(practice);
    type(*form, 3, u"Roux"_s);
    QVERIFY(form->isChanged());

    if (action == "MonthView1")
        clickCalendar(*form, practice.clock.today().addDays(shownOffset));
    else if (action == "Check1_3")
        QTest::mouseClick(form->dayView()->checkBox(3), Qt::LeftButton);
    else
        QTest::mousePress(button(*form, action.constData()), Qt::RightButton);

    const std::optional<StoredDay> saved = practice.readDay(1, today);
    QVERIFY(saved);
    QCOMPARE(saved->rvous, Practice::rvous({{3, u"Roux"_s}}));
    QCOMPARE(saved->coche, coche);
    QCOMPARE(practice.rowCount(1), 1);
    QCOMPARE(practice.rowCount(2), 0);
    QCOMPARE(form->shownUser(), shownUser);
    QCOMPARE(shownDateNumber(*form), QString::number(today + shownOffset));
    QCOMPARE(form->dayView()->slotEdit(3)->text(), shownOffset == 0 && shownUser == 1 ? u"Roux"_s : QString());
    QVERIFY(!form->isChanged());

    // Without an edit, moving on writes nothing more.
    QTest::mousePress(button(*form, "CmdSuiv"), Qt::LeftButton);
    QCOMPARE(practice.rowCount(1) + practice.rowCount(2), 1);
}

void NavigationTest::userWithoutRow()
{
    Practice practice;
    const qint32 today = DateNumber::fromDate(practice.clock.today());
    StoredDay busy = StoredDay::withSlots(Practice::rvous({{0, u"Premier"_s}, {30, u"Après-midi"_s}}));
    busy.postit = u"Post-it"_s;
    busy.bloc = u"Bloc"_s;
    busy.absent1 = 1;
    busy.absent1Txt = u"ABSENT"_s;
    busy.absent2 = 1;
    busy.absent2Txt = u"ABSENT"_s;
    busy.echo1 = 1;
    busy.echo1Txt = u"Echo du jour"_s;
    busy.coche = Practice::coche({0, 30});
    practice.storeDay(1, today, busy);
    const auto form = shownForm(practice);
    DayView *view = form->dayView();
    QVERIFY(!named<QLineEdit>(view, "Text4_0")->isHidden());

    QTest::mousePress(view->userButton(3), Qt::LeftButton);

    for (int slot = 0; slot < SlotCount; ++slot) {
        QCOMPARE(view->slotEdit(slot)->text(), QString());
        QVERIFY(!view->checkBox(slot)->isChecked());
    }
    QCOMPARE(named<QPlainTextEdit>(view, "Text2")->toPlainText(), QString());
    QCOMPARE(named<QPlainTextEdit>(view, "Text3")->toPlainText(), QString());
    for (const char *panel : {"Text4_0", "Text4_1", "TxtEcho1", "TxtEcho2"})
        QVERIFY(named<QLineEdit>(view, panel)->isHidden());
    QCOMPARE(named<QLineEdit>(view, "TxtEcho1")->text(), u"Echo 3"_s);
    QCOMPARE(named<QLineEdit>(view, "TxtEcho2")->text(), u"Echo 3"_s);
    QVERIFY(allChecks(*form, true)); // a user switch leaves the boxes as they were
    QVERIFY(!form->isChanged());
    QCOMPARE(practice.rowCount(3), 0);
}

void NavigationTest::calendar_data()
{
    QTest::addColumn<int>("offset"); // days from today
    QTest::addColumn<bool>("checksVisible");
    QTest::newRow("today: the boxes are shown") << 0 << true;
    QTest::newRow("tomorrow: hidden") << 1 << false;
    QTest::newRow("a year back: hidden") << -365 << false;
}

void NavigationTest::calendar()
{
    QFETCH(int, offset);
    QFETCH(bool, checksVisible);
    Practice practice;
    const QDate today = practice.clock.today();
    const QDate clicked = today.addDays(offset);
    practice.storeDay(1, DateNumber::fromDate(clicked),
                      StoredDay::withSlots(Practice::rvous({{20, u"Choisi"_s}})));
    const auto form = shownForm(practice);
    // Start from another day, boxes hidden.
    QTest::mousePress(button(*form, "CmdPrec"), Qt::LeftButton);
    QVERIFY(allChecks(*form, false));

    clickCalendar(*form, clicked);

    QCOMPARE(shownDateNumber(*form), QString::number(DateNumber::fromDate(clicked)));
    QCOMPARE(form->dayView()->dateLabel()->text(), QLocale().toString(clicked, QLocale::LongFormat));
    QCOMPARE(form->dayView()->slotEdit(20)->text(), u"Choisi"_s);
    QVERIFY(allChecks(*form, checksVisible));
    QVERIFY(!form->isChanged());
}

void NavigationTest::redisplayThrowsEditsAway()
{
    Practice practice;
    const qint32 today = DateNumber::fromDate(practice.clock.today());
    practice.storeDay(1, today, StoredDay::withSlots(Practice::rvous({{6, u"Dupont"_s}})));
    const auto form = shownForm(practice);
    type(*form, 6, u"Efface"_s);

    QTest::mouseClick(named<QPushButton>(form->dayView(), "Command1"), Qt::LeftButton);

    QCOMPARE(form->dayView()->slotEdit(6)->text(), u"Dupont"_s);
    QCOMPARE(practice.readDay(1, today)->rvous, Practice::rvous({{6, u"Dupont"_s}}));
    QCOMPARE(shownDateNumber(*form), QString::number(today));
}

void NavigationTest::cochesInvertsEachBox()
{
    Practice practice;
    const auto form = shownForm(practice);
    DayView *view = form->dayView();
    for (int slot = 0; slot < SlotCount; ++slot)
        view->checkBox(slot)->setVisible(slot <= 10);

    named<QAction>(form.get(), "Coches")->trigger();

    for (int slot = 0; slot < SlotCount; ++slot)
        QCOMPARE(view->checkBox(slot)->isHidden(), slot <= 10);
}

void NavigationTest::failedSaveStaysOnDay_data()
{
    QTest::addColumn<QByteArray>("control");
    QTest::newRow("next day") << "CmdSuiv"_ba;
    QTest::newRow("previous day") << "CmdPrec"_ba;
    QTest::newRow("user 2") << "CmdUtilisat2"_ba;
    QTest::newRow("calendar") << "MonthView1"_ba;
}

void NavigationTest::failedSaveStaysOnDay()
{
    QFETCH(QByteArray, control);
    Practice practice;
    const QDate today = practice.clock.today();
    const auto form = shownForm(practice);
    type(*form, 8, u"Perdu"_s);
    QVERIFY(QFile::remove(practice.databasePath()));

    if (control == "MonthView1")
        clickCalendar(*form, today.addDays(3));
    else
        QTest::mousePress(button(*form, control.constData()), Qt::LeftButton);

    QCOMPARE(practice.prompts.informations.size(), 1);
    QCOMPARE(shownDateNumber(*form), QString::number(DateNumber::fromDate(today)));
    QCOMPARE(form->shownUser(), 1);
    QCOMPARE(form->dayView()->slotEdit(8)->text(), u"Perdu"_s);
    QCOMPARE(form->dayView()->calendar()->selectedDate(), today);
    QVERIFY(form->isChanged());
}

QTEST_MAIN(NavigationTest)
#include "tst_navigation.moc"
