// The main window's life after start-up: saving, the refresh timer and its
// menu item, quitting, and the failures of a database that goes away.
#include "datenumber.h"
#include "dayview.h"
#include "mainwindow.h"
#include "mousedownbutton.h"
#include "practice.h"
#include "slotedit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString EmptyRvous = QString(u"\r\n"_s).repeated(52);
const QString EmptyCoche = u"0"_s + QString(u"\r\n0"_s).repeated(52);

std::unique_ptr<Form1> loaded(Practice &practice)
{
    practice.writeUsers(Practice::namedUsers({1, 2}));
    auto form = std::make_unique<Form1>(practice.environment());
    form->load();
    return form;
}

// Typed key by key, as a person would (QTest types ASCII only).
void type(Form1 &form, int slot, const QString &text)
{
    SlotEdit *edit = form.dayView()->slotEdit(slot);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

qint32 todayNumber(const Practice &practice)
{
    return DateNumber::fromDate(practice.clock.today());
}

// Makes the database unusable after start-up, in the ways a shared file can
// stop working under a running program.
void breakDatabase(const Practice &practice, const QString &how)
{
    QFile::remove(practice.databasePath());
    if (how == u"replaced by text"_s) {
        QFile file(practice.databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Ceci n'est pas une base de rendez-vous.\n");
    }
}

} // namespace

class LifecycleTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void refreshTick_data();
    void refreshTick();
    void enregAutoSwitchesTimer();
    void quittingWritesToday_data();
    void quittingWritesToday();
    void roundTrip_data();
    void roundTrip();
    void saveFailureKeepsEdits_data();
    void saveFailureKeepsEdits();
    void quitWhenSaveFails_data();
    void quitWhenSaveFails();
    void withoutDatabase_data();
    void withoutDatabase();
    void foundRowShownWithItsDate();
};

void LifecycleTest::refreshTick_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<QString>("afterTick");

    QTest::newRow("stored day: unsaved text replaced by the stored text")
        << u"stored"_s << true << u"Dupont"_s;
    QTest::newRow("no edit: the flag stays off") << u"stored"_s << false << u"Dupont"_s;
    QTest::newRow("another workstation's save shows up")
        << u"changed elsewhere"_s << true << u"Ailleurs"_s;
    QTest::newRow("another workstation's save, no edit")
        << u"changed elsewhere"_s << false << u"Ailleurs"_s;
    QTest::newRow("day added by a save: its saved text comes back")
        << u"added by save"_s << true << u"Sauve"_s;
    QTest::newRow("day without a row: screen left alone") << u"no row"_s << true << u"Tape"_s;
    QTest::newRow("cursor moved to another day's row: the shown day, not that one")
        << u"cursor elsewhere"_s << true << u"Dupont"_s;
}

void LifecycleTest::refreshTick()
{
    QFETCH(QString, situation);
    QFETCH(bool, typed);
    QFETCH(QString, afterTick);
    Practice practice;
    const qint32 today = todayNumber(practice);
    if (situation != u"no row"_s && situation != u"added by save"_s)
        practice.storeDay(1, today, StoredDay::withSlots(Practice::rvous({{3, u"Dupont"_s}})));
    practice.storeDay(1, today + 1, StoredDay::withSlots(Practice::rvous({{3, u"Lendemain"_s}})));
    const auto form = loaded(practice);

    if (situation == u"added by save"_s) {
        type(*form, 3, u"Sauve"_s);
        QVERIFY(form->ENREG_01());
    }
    if (situation == u"changed elsewhere"_s)
        practice.storeDay(1, today, StoredDay::withSlots(Practice::rvous({{3, u"Ailleurs"_s}})));
    if (situation == u"cursor elsewhere"_s)
        QVERIFY(form->dayCursor().position(practice.databasePath(), 1, today + 1).ok());

    if (typed)
        type(*form, 3, u"Tape"_s);
    QCOMPARE(form->isChanged(), typed);
    form->Timer1_Timer();

    QCOMPARE(form->dayView()->slotEdit(3)->text(), afterTick);
    // The tick neither writes nor touches the changed flag.
    QCOMPARE(form->isChanged(), typed);
    QCOMPARE(form->dayView()->hiddenDateLabel()->text(), QString::number(today));
    QCOMPARE(practice.prompts.informations, QStringList{});
    if (situation == u"no row"_s)
        QCOMPARE(practice.readDay(1, today), std::nullopt);
}

void LifecycleTest::enregAutoSwitchesTimer()
{
    Practice practice;
    const auto form = loaded(practice);
    QAction *item = named<QAction>(form.get(), "Enreg_auto");
    QTimer *timer = form->refreshTimer();
    QVERIFY(timer->isActive());

    item->trigger();
    QVERIFY(!item->isChecked());
    QVERIFY(!timer->isActive());

    item->trigger();
    QVERIFY(item->isChecked());
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 60000);
}

void LifecycleTest::quittingWritesToday_data()
{
    QTest::addColumn<bool>("throughMenu");
    QTest::newRow("the \"&Quitter\" item") << true;
    QTest::newRow("the close box") << false;
}

void LifecycleTest::quittingWritesToday()
{
    QFETCH(bool, throughMenu);
    Practice practice;
    const auto form = loaded(practice);
    QVERIFY(!form->isChanged());
    form->show();

    if (throughMenu)
        named<QAction>(form.get(), "Quitte")->trigger();
    else
        QVERIFY(form->close());

    QVERIFY(!form->isVisible());
    const std::optional<StoredDay> day = practice.readDay(1, todayNumber(practice));
    QVERIFY(day);
    QCOMPARE(day->rvous, EmptyRvous);
    QCOMPARE(day->coche, EmptyCoche);
    QCOMPARE(day->absent1, 0);
    QCOMPARE(day->echo2, 0);
    QCOMPARE(practice.rowCount(1), 1);
    QCOMPARE(practice.rowCount(2), 0);
    QCOMPARE(practice.prompts.questions.size(), 0);
}

void LifecycleTest::roundTrip_data()
{
    QTest::addColumn<StoredDay>("day");

    StoredDay full = StoredDay::withSlots(Practice::rvous(
        {{0, u"Martin Paul"_s}, {17, u"L'Hôte Zoé, écho"_s}, {52, u"XXXXXXXXXX- Pas de RV -XXXXXXXXX"_s}}));
    full.postit = u"Appeler\nle laboratoire"_s;
    full.bloc = u"8h Genou\n10h Hanche"_s;
    full.coche = Practice::coche({0, 17, 52});
    StoredDay allFlags = full;
    allFlags.absent1 = 1;
    allFlags.absent1Txt = u"ABSENT"_s;
    allFlags.absent2 = 1;
    allFlags.absent2Txt = u"Congrès"_s;
    allFlags.echo1 = 1;
    allFlags.echo1Txt = u"Echo matin"_s;
    allFlags.echo2 = 1;
    allFlags.echo2Txt = u"Echo soir"_s;
    QTest::newRow("every half-day flag set") << allFlags;

    StoredDay unset = full;
    unset.absent1Txt = u"ancienne absence"_s;
    unset.absent2Txt = u"ABSENT"_s;
    unset.echo1Txt = u"ancienne écho"_s;
    unset.echo2Txt = u"autre"_s;
    QTest::newRow("flags unset: their stored texts kept") << unset;

    StoredDay mixed = unset;
    mixed.absent2 = 1;
    mixed.echo1 = 1;
    QTest::newRow("two flags set, two unset with texts") << mixed;

    StoredDay empty = StoredDay::withSlots(EmptyRvous);
    empty.coche = EmptyCoche;
    QTest::newRow("an empty day") << empty;
}

void LifecycleTest::roundTrip()
{
    QFETCH(StoredDay, day);
    Practice practice;
    const qint32 today = todayNumber(practice);
    practice.storeDay(1, today, day);
    const auto form = loaded(practice);

    named<QAction>(form.get(), "Enregistrer")->trigger();

    QCOMPARE(practice.readDay(1, today), std::optional<StoredDay>(day));
    QCOMPARE(practice.rowCount(1), 1);
    QVERIFY(!form->isChanged());
    QCOMPARE(practice.prompts.informations, QStringList{});
    QCOMPARE(QApplication::overrideCursor(), nullptr); // the hourglass is gone
}

void LifecycleTest::saveFailureKeepsEdits_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("database removed") << u"removed"_s;
    QTest::newRow("database replaced by a text file") << u"replaced by text"_s;
}

void LifecycleTest::saveFailureKeepsEdits()
{
    QFETCH(QString, how);
    Practice practice;
    const auto form = loaded(practice);
    type(*form, 7, u"Lefevre"_s);
    const QByteArray original = [&] {
        QFile file(practice.databasePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    breakDatabase(practice, how);

    named<QAction>(form.get(), "Enregistrer")->trigger();
    QCOMPARE(practice.prompts.informations.size(), 1);
    QVERIFY(!practice.prompts.informations.first().isEmpty());
    QCOMPARE(form->dayView()->slotEdit(7)->text(), u"Lefevre"_s);
    QVERIFY(form->isChanged());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // A second failing save says it again, once.
    named<QAction>(form.get(), "Enregistrer")->trigger();
    QCOMPARE(practice.prompts.informations.size(), 2);

    // The file is back: the next save writes what was typed.
    QFile::remove(practice.databasePath());
    QFile restored(practice.databasePath());
    QVERIFY(restored.open(QIODevice::WriteOnly));
    restored.write(original);
    restored.close();
    named<QAction>(form.get(), "Enregistrer")->trigger();
    QCOMPARE(practice.prompts.informations.size(), 2);
    QVERIFY(!form->isChanged());
    const std::optional<StoredDay> day = practice.readDay(1, todayNumber(practice));
    QVERIFY(day);
    QCOMPARE(day->rvous, Practice::rvous({{7, u"Lefevre"_s}}));
}

void LifecycleTest::quitWhenSaveFails_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("unsaved edits, answer No: the window stays") << true << false << false;
    QTest::newRow("unsaved edits, answer Yes: the program ends") << true << true << true;
    QTest::newRow("nothing unsaved: ends without asking") << false << false << true;
}

void LifecycleTest::quitWhenSaveFails()
{
    QFETCH(bool, edited);
    QFETCH(bool, answer);
    QFETCH(bool, closes);
    Practice practice;
    const auto form = loaded(practice);
    form->show();
    if (edited)
        type(*form, 1, u"Bernard"_s);
    breakDatabase(practice, u"removed"_s);
    practice.prompts.questionAnswers = {answer};

    QCOMPARE(form->close(), closes);
    QCOMPARE(form->isVisible(), !closes);
    QCOMPARE(practice.prompts.informations.size(), 1); // the store's message
    QCOMPARE(practice.prompts.questions.size(), edited ? 1 : 0);
    if (edited) {
        QCOMPARE(practice.prompts.questions.first().title, u"PLANORA"_s);
        QVERIFY(practice.prompts.questions.first().text.contains(u"Quitter quand même"_s));
        QCOMPARE(form->dayView()->slotEdit(1)->text(), u"Bernard"_s);
    }
}

void LifecycleTest::withoutDatabase_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("messages");
    QTest::newRow("\"&Enregistrer\" says why it cannot save") << u"save"_s << 1;
    QTest::newRow("a check box click says it too") << u"check"_s << 1;
    QTest::newRow("a refresh tick is silent") << u"tick"_s << 0;
    QTest::newRow("next day moves on, silently") << u"next"_s << 0;
    QTest::newRow("a user switch is silent") << u"user"_s << 0;
    QTest::newRow("quitting ends without asking") << u"quit"_s << 0;
}

void LifecycleTest::withoutDatabase()
{
    QFETCH(QString, action);
    QFETCH(int, messages);
    Practice practice;
    practice.setSetting(u"CHEMIN"_s, practice.sharedFolder() + u"/agendas.mdb"_s);
    const auto form = loaded(practice);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(practice.prompts.informations.size(), 1); // start-up stopped at step 4
    practice.prompts.informations.clear();
    const qint32 today = todayNumber(practice);
    type(*form, 4, u"Petit"_s);

    if (action == u"save"_s)
        named<QAction>(form.get(), "Enregistrer")->trigger();
    else if (action == u"check"_s)
        QTest::mouseClick(form->dayView()->checkBox(4), Qt::LeftButton);
    else if (action == u"tick"_s)
        form->Timer1_Timer();
    else if (action == u"next"_s)
        QTest::mousePress(named<MouseDownButton>(form.get(), "CmdSuiv"), Qt::LeftButton);
    else if (action == u"user"_s)
        QTest::mousePress(form->dayView()->userButton(2), Qt::LeftButton);
    else
        QVERIFY(form->close());

    QCOMPARE(practice.prompts.informations.size(), messages);
    QCOMPARE(practice.prompts.questions.size(), 0);
    if (messages == 1)
        QVERIFY(practice.prompts.informations.first().contains(u"AGENDAS.MDB"_s));
    if (action == u"next"_s) {
        QCOMPARE(form->dayView()->hiddenDateLabel()->text(), QString::number(today + 1));
        QCOMPARE(form->dayView()->slotEdit(4)->text(), QString());
    }
    if (action == u"tick"_s || action == u"save"_s)
        QCOMPARE(form->dayView()->slotEdit(4)->text(), u"Petit"_s);
    QCOMPARE(practice.rowCount(1), 0);
}

// What the search window does with a found day: AFFICHE_JOUR_DATE puts the
// row's date in Label2 and LblDate, and the next save goes to that date.
void LifecycleTest::foundRowShownWithItsDate()
{
    Practice practice;
    const qint32 today = todayNumber(practice);
    practice.storeDay(1, today + 40, StoredDay::withSlots(Practice::rvous({{11, u"Trouvé"_s}})));
    const auto form = loaded(practice);
    QVERIFY(form->dayCursor().positionForSearch(practice.databasePath(), 1, today + 40).ok());

    QVERIFY(form->AFFICHE_JOUR_DATE());

    QCOMPARE(form->dayView()->hiddenDateLabel()->text(), QString::number(today + 40));
    QCOMPARE(form->dayView()->dateLabel()->text(),
             QLocale().toString(DateNumber::toDate(today + 40), QLocale::LongFormat));
    QCOMPARE(form->dayView()->slotEdit(11)->text(), u"Trouvé"_s);
    QCOMPARE(form->shownDateNumber(), today);
    type(*form, 12, u"Suite"_s);
    QVERIFY(form->ENREG_01());
    QCOMPARE(practice.readDay(1, today + 40)->rvous,
             Practice::rvous({{11, u"Trouvé"_s}, {12, u"Suite"_s}}));
    QCOMPARE(practice.readDay(1, today), std::nullopt);
}

QTEST_MAIN(LifecycleTest)
#include "tst_lifecycle.moc"
