// Start-up of the main window, the splash hand-over, the birthday notice and
// the window's default state.
#include "datenumber.h"
#include "dayview.h"
#include "form0.h"
#include "form15.h"
#include "mainwindow.h"
#include "mousedownbutton.h"
#include "slotedit.h"
#include "practice.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString NotFoundMessage = QStringLiteral(
    "La base de données 'AGENDAS.MDB' est introuvable. Veuillez à l'aide du SUPERVISEUR la placer "
    "dans un repertoire quelconque de votre reseau puis relancer le programme");
const QString UserOneMessage = QStringLiteral(
    "L'utilisateur N°1 n'est pas attribué, or il doit l'être en priorité. Veuillez corriger sinon "
    "cela est source d'erreues.");

std::unique_ptr<Form1> loaded(Practice &practice)
{
    auto form = std::make_unique<Form1>(practice.environment());
    form->load();
    return form;
}

QString slotText(const Form1 &form, int slot)
{
    return form.dayView()->slotEdit(slot)->text();
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void birthdayNotice_data();
    void birthdayNotice();
    void birthdayNoticeOkShowsMainWindow();
    void databasePath_data();
    void databasePath();
    void userButtons_data();
    void userButtons();
    void missingUserFileKeepsDesign();
    void windowColour_data();
    void windowColour();
    void grid_data();
    void grid();
    void todayShown_data();
    void todayShown();
    void menusDefaultState();
    void menusFitWithLongAnnotation();
    void splashHandsOver();
};

void StartupTest::birthdayNotice_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<bool>("notice");
    QTest::newRow("16 April opens the notice") << QDate(2024, 4, 16) << true;
    QTest::newRow("16 April of another year too") << QDate(2003, 4, 16) << true;
    QTest::newRow("15 April does not") << QDate(2024, 4, 15) << false;
    QTest::newRow("17 April does not") << QDate(2024, 4, 17) << false;
    QTest::newRow("16 May: the month counts") << QDate(2024, 5, 16) << false;
    QTest::newRow("4 April: the day counts") << QDate(2024, 4, 4) << false;
}

void StartupTest::birthdayNotice()
{
    QFETCH(QDate, today);
    QFETCH(bool, notice);
    Practice practice;
    practice.writeUsers(Practice::namedUsers({1, 2}));
    practice.clock.setToday(today);
    Form1 form(practice.environment());
    form.show();
    form.load();

    QCOMPARE(form.birthdayNotice() != nullptr, notice);
    // The main window is hidden while the notice is up; the splash shows it.
    QCOMPARE(form.isVisible(), !notice);
    // Start-up went on to the end either way.
    QCOMPARE(form.windowTitle(), QStringLiteral("Dr A"));
    QVERIFY(form.refreshTimer()->isActive());
    if (!notice)
        return;
    Form15 *form15 = form.birthdayNotice();
    QVERIFY(form15->isVisible());
    QVERIFY(!form15->isModal());
    QCOMPARE(form15->windowTitle(), QStringLiteral("Form15"));
    QCOMPARE(named<QLabel>(form15, "Label1")->text(),
             QStringLiteral("Aujourd'hui c'est l'anniversaire du bon "));
    QCOMPARE(named<QLabel>(form15, "Label2")->text(), QStringLiteral("16 Avril"));
    QCOMPARE(named<QLabel>(form15, "Label3")->text(),
             QStringLiteral("Vous pouvez le lui souhaiter à l'adresse :"));
    QVERIFY(!named<QLabel>(form15, "Label4")->text().isEmpty());
    QVERIFY(!named<QLabel>(form15, "Label5")->text().isEmpty());
    QCOMPARE(form15->palette().color(QPalette::Window), QColor(224, 224, 224));
    for (const char *image : {"Image1", "Image2", "Image3", "Image4"})
        QVERIFY(!named<QLabel>(form15, image)->pixmap().isNull());
    QCOMPARE(named<QPushButton>(form15, "Command1")->text(), QStringLiteral("OK"));
}

void StartupTest::birthdayNoticeOkShowsMainWindow()
{
    Practice practice;
    practice.writeUsers(Practice::namedUsers({1}));
    practice.clock.setToday(QDate(2024, 4, 16));
    Form1 form(practice.environment());
    form.load();
    QPointer<Form15> notice = form.birthdayNotice();
    QVERIFY(notice);
    QVERIFY(!form.isVisible());

    QTest::mouseClick(named<QPushButton>(notice, "Command1"), Qt::LeftButton);
    QVERIFY(form.isVisible());
    QTRY_VERIFY(notice.isNull()); // closed and gone
}

void StartupTest::databasePath_data()
{
    QTest::addColumn<QString>("chemin"); // "<missing>", or a path under the practice
    QTest::addColumn<bool>("databaseOpened");

    QTest::newRow("CHEMIN empty: AGENDAS.MDB in the program folder") << QString() << true;
    QTest::newRow("CHEMIN missing: the program folder is not a database")
        << QStringLiteral("<missing>") << false;
    QTest::newRow("CHEMIN full path in capitals") << QStringLiteral("<shared>/AGENDAS.MDB") << true;
    QTest::newRow("CHEMIN name in small letters") << QStringLiteral("<shared>/agendas.mdb") << false;
    QTest::newRow("CHEMIN name in mixed case") << QStringLiteral("<shared>/Agendas.MDB") << false;
    QTest::newRow("CHEMIN with a name after AGENDAS.MDB")
        << QStringLiteral("<shared>/AGENDAS.MDB.bak") << false;
    QTest::newRow("CHEMIN naming only the folder") << QStringLiteral("<shared>") << false;
}

void StartupTest::databasePath()
{
    QFETCH(QString, chemin);
    QFETCH(bool, databaseOpened);
    Practice practice;
    practice.writeUsers(Practice::namedUsers({1, 2}));
    const qint32 today = DateNumber::fromDate(practice.clock.today());

    // Each candidate file exists and holds today's row, so that only the
    // rule on the name decides; the program folder's database is empty.
    const QString shared = practice.sharedFolder();
    practice.storeDay(1, today, StoredDay::withSlots(Practice::rvous({{0, QStringLiteral("Shared")}})));
    for (const char *copy : {"/agendas.mdb", "/Agendas.MDB", "/AGENDAS.MDB.bak"})
        QVERIFY(QFile::copy(practice.databasePath(), shared + QLatin1String(copy)));
    Practice::createDatabase(practice.programFolder() + QStringLiteral("/AGENDAS.MDB"));

    if (chemin == QStringLiteral("<missing>"))
        practice.removeSettings();
    else
        practice.setSetting(QStringLiteral("CHEMIN"), QString(chemin).replace(QStringLiteral("<shared>"), shared));
    const auto form = loaded(practice);

    QCOMPARE(practice.prompts.informations.contains(NotFoundMessage), !databaseOpened);
    QCOMPARE(form->hasDatabase(), databaseOpened);
    QCOMPARE(form->dayCursor().isOpen(), databaseOpened);
    QCOMPARE(form->refreshTimer()->isActive(), databaseOpened);
    if (databaseOpened) {
        QCOMPARE(form->windowTitle(), QStringLiteral("Dr A"));
        QCOMPARE(form->dayCursor().sqlText(), QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE"));
        // CHEMIN empty opens the program folder's own (empty) database.
        QCOMPARE(slotText(*form, 0), chemin.isEmpty() ? QString() : QStringLiteral("Shared"));
        QCOMPARE(form->databasePath(),
                 chemin.isEmpty() ? practice.programFolder() + QStringLiteral("/AGENDAS.MDB")
                                  : practice.databasePath());
    } else {
        // Stopped at step 4: the design captions stay, no day is shown.
        QCOMPARE(practice.prompts.informations, QStringList{NotFoundMessage});
        QCOMPARE(form->windowTitle(), QStringLiteral("Agenda"));
        QCOMPARE(form->dayView()->userButton(1)->text(), QStringLiteral("Uttilisat 1"));
        QCOMPARE(slotText(*form, 0), QString());
        // Steps 1 to 3 did run.
        QCOMPARE(form->dayView()->hiddenDateLabel()->text(), QString::number(today));
        QVERIFY(!form->dayView()->checkBox(0)->isHidden());
    }
}

void StartupTest::userButtons_data()
{
    QTest::addColumn<QList<int>>("named");
    QTest::addColumn<QList<int>>("visibleButtons");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("userOneMessage");

    QTest::newRow("all six names empty") << QList<int>{} << QList<int>{} << QStringLiteral("PLANORA") << false;
    QTest::newRow("only name 1") << QList<int>{1} << QList<int>{} << QStringLiteral("Dr A") << false;
    QTest::newRow("names 1 and 3") << QList<int>{1, 3} << QList<int>{1, 3} << QStringLiteral("Dr A") << false;
    QTest::newRow("name 1 empty, name 2 set") << QList<int>{2} << QList<int>{2} << QString() << true;
    QTest::newRow("only name 6") << QList<int>{6} << QList<int>{6} << QString() << false;
    QTest::newRow("all six names") << QList<int>{1, 2, 3, 4, 5, 6} << QList<int>{1, 2, 3, 4, 5, 6}
                                   << QStringLiteral("Dr A") << false;
}

void StartupTest::userButtons()
{
    QFETCH(QList<int>, named);
    QFETCH(QList<int>, visibleButtons);
    QFETCH(QString, caption);
    QFETCH(bool, userOneMessage);
    Practice practice;
    UserConfig users = Practice::namedUsers({});
    for (int user : named)
        users[user - 1] = Practice::namedUsers({user})[user - 1];
    practice.writeUsers(users);
    const auto form = loaded(practice);

    QCOMPARE(practice.prompts.informations.contains(UserOneMessage), userOneMessage);
    QCOMPARE(form->windowTitle(), caption);
    QCOMPARE(form->shownUser(), 1);
    QCOMPARE(form->dayView()->hiddenUserLabel()->text(), QStringLiteral("1"));
    for (int user = 1; user <= 6; ++user) {
        MouseDownButton *button = form->dayView()->userButton(user);
        QCOMPARE(!button->isHidden(), visibleButtons.contains(user));
        QCOMPARE(button->text(), users[user - 1].name);
    }
    // User 1's day is shown whatever the names.
    QCOMPARE(form->dayCursor().user(), 1);
}

void StartupTest::missingUserFileKeepsDesign()
{
    Practice practice; // no Utilisat.agc at all
    const auto form = loaded(practice);
    QCOMPARE(practice.prompts.informations, QStringList{});
    QCOMPARE(form->windowTitle(), QStringLiteral("PLANORA"));
    QCOMPARE(form->dayView()->userButton(2)->text(), QStringLiteral("Utilisat 2"));
    QCOMPARE(form->dayView()->bottomAnnotationLabel()->text(), QStringLiteral("Programme Bloc Opératoire"));
    QCOMPARE(named<QAction>(form.get(), "Bloc")->text(), QStringLiteral("Bloc &Opératoire"));
    QVERIFY(form->dayCursor().isOpen());
}

void StartupTest::windowColour_data()
{
    QTest::addColumn<qint32>("colour");
    QTest::addColumn<QColor>("expected");
    const QPalette system = QApplication::palette();
    QTest::newRow("explicit light grey 12632256") << qint32(12632256) << QColor(192, 192, 192);
    QTest::newRow("explicit 255 is red") << qint32(255) << QColor(255, 0, 0);
    QTest::newRow("explicit 0xFF0000 is blue") << qint32(0xFF0000) << QColor(0, 0, 255);
    QTest::newRow("explicit 0x0080FF: red low, green middle") << qint32(0x0080FF) << QColor(255, 128, 0);
    QTest::newRow("system 5: window background")
        << qint32(-2147483643) << system.color(QPalette::Base);
    QTest::newRow("system 15: button face") << qint32(0x8000000F) << system.color(QPalette::Button);
    QTest::newRow("system 8: window text") << qint32(0x80000008) << system.color(QPalette::Text);
    QTest::newRow("system 13: highlight") << qint32(0x8000000D) << system.color(QPalette::Highlight);
    QTest::newRow("system 24: tooltip background")
        << qint32(0x80000018) << system.color(QPalette::ToolTipBase);
}

void StartupTest::windowColour()
{
    QFETCH(qint32, colour);
    QFETCH(QColor, expected);
    Practice practice;
    UserConfig users = Practice::namedUsers({1, 2});
    users[0].colour = colour;
    users[1].colour = 0x00FFFF; // yellow: user 2's colour is not applied at start
    practice.writeUsers(users);
    const auto form = loaded(practice);

    QCOMPARE(form->dayView()->palette().color(QPalette::Window), expected);
    QCOMPARE(form->dayView()->makerLabel()->palette().color(QPalette::Window), expected);
    QVERIFY(form->dayView()->makerLabel()->autoFillBackground());
    QCOMPARE(form->dayView()->userButton(1)->palette().color(QPalette::Button), QColor(255, 0, 0));
    QCOMPARE(form->dayView()->userButton(2)->palette().color(QPalette::Button),
             QApplication::palette().color(QPalette::Button));
}

void StartupTest::grid_data()
{
    QTest::addColumn<int>("intervalIndex");
    QTest::addColumn<QString>("minutes");
    QTest::newRow("index 0: 10 minutes") << 0 << QStringLiteral("10");
    QTest::newRow("index 1: 15 minutes") << 1 << QStringLiteral("15");
    QTest::newRow("index 2: 20 minutes") << 2 << QStringLiteral("20");
    QTest::newRow("index 3: 30 minutes") << 3 << QStringLiteral("30");
    QTest::newRow("index 4: 60 minutes") << 4 << QStringLiteral("60");
    QTest::newRow("index -1: no grid, minutes stay 0") << -1 << QStringLiteral("0");
    QTest::newRow("index 5: no grid, minutes stay 0") << 5 << QStringLiteral("0");
}

void StartupTest::grid()
{
    QFETCH(int, intervalIndex);
    QFETCH(QString, minutes);
    Practice practice;
    UserConfig users = Practice::namedUsers({1, 2});
    users[0].intervalIndex = qint16(intervalIndex);
    users[0].topAnnotation = QStringLiteral("Echographies du matin");
    users[0].bottomAnnotation = QStringLiteral("Programme opératoire");
    practice.writeUsers(users);

    // The captions a fresh day view shows for this index, to compare with.
    FakePrompts quiet;
    DayView reference(quiet);
    const QString designCaption = reference.timeLabel(5)->text();
    reference.layOutGrid(intervalIndex);

    const auto form = loaded(practice);
    QCOMPARE(form->dayView()->hiddenIntervalLabel()->text(), minutes);
    QCOMPARE(form->intervalMinutes(), minutes.toInt());
    for (int slot : {0, 5, 23, 24, 52})
        QCOMPARE(form->dayView()->timeLabel(slot)->text(), reference.timeLabel(slot)->text());
    if (minutes == QStringLiteral("0"))
        QCOMPARE(form->dayView()->timeLabel(5)->text(), designCaption);
    // Annotations of user 1.
    QCOMPARE(named<QLineEdit>(form->dayView(), "TxtEcho1")->text(), users[0].topAnnotation);
    QCOMPARE(named<QLineEdit>(form->dayView(), "TxtEcho2")->text(), users[0].topAnnotation);
    QCOMPARE(form->dayView()->bottomAnnotationLabel()->text(), users[0].bottomAnnotation);
    QCOMPARE(named<QAction>(form.get(), "Bloc")->text(), users[0].bottomAnnotation);
}

void StartupTest::todayShown_data()
{
    QTest::addColumn<bool>("stored");
    QTest::newRow("today has a row: shown") << true;
    QTest::newRow("today has no row: empty day") << false;
}

void StartupTest::todayShown()
{
    QFETCH(bool, stored);
    Practice practice;
    practice.writeUsers(Practice::namedUsers({1, 2}));
    const QDate today(2003, 12, 31);
    practice.clock.setToday(today);
    const qint32 todayNumber = DateNumber::fromDate(today);
    StoredDay day = StoredDay::withSlots(
        Practice::rvous({{2, QStringLiteral("Durand")}, {52, QStringLiteral("Fin")}}));
    day.postit = QStringLiteral("Rappeler le labo");
    day.absent2 = 1;
    day.absent2Txt = QStringLiteral("ABSENT");
    day.coche = Practice::coche({2});
    if (stored)
        practice.storeDay(1, todayNumber, day);
    // Another user's row on the same date is never shown at start.
    practice.storeDay(2, todayNumber, StoredDay::withSlots(Practice::rvous({{2, QStringLiteral("Autre")}})));

    const auto form = loaded(practice);
    DayView *view = form->dayView();
    QCOMPARE(view->hiddenDateLabel()->text(), QStringLiteral("37986"));
    QCOMPARE(view->dateLabel()->text(), QStringLiteral("mercredi 31 décembre 2003"));
    QCOMPARE(view->calendar()->selectedDate(), today);
    QCOMPARE(form->shownDateNumber(), 37986);
    QCOMPARE(view->slotEdit(2)->text(), stored ? QStringLiteral("Durand") : QString());
    QCOMPARE(view->slotEdit(52)->text(), stored ? QStringLiteral("Fin") : QString());
    QCOMPARE(named<QPlainTextEdit>(view, "Text2")->toPlainText(), stored ? day.postit : QString());
    QCOMPARE(!named<QLineEdit>(view, "Text4_1")->isHidden(), stored);
    QCOMPARE(view->checkBox(2)->isChecked(), stored);
    QVERIFY(!view->checkBox(2)->isHidden()); // today: the boxes are shown
    QCOMPARE(form->dayCursor().found(), stored);
    QVERIFY(!form->isChanged());
    QVERIFY(form->refreshTimer()->isActive());
    QCOMPARE(practice.prompts.informations, QStringList{});
}

void StartupTest::menusDefaultState()
{
    Practice practice;
    practice.writeUsers(Practice::namedUsers({1, 2}));
    const auto form = loaded(practice);

    QStringList names;
    QStringList captions;
    for (QAction *action : form->menuBar()->actions()) {
        names << (action->menu() ? action->menu()->objectName() : action->objectName());
        captions << action->text();
    }
    QCOMPARE(names, (QStringList{u"Fichier"_s, u"Utilisat"_s, u"Rechercher"_s, u"Sauve"_s, u"Coches"_s,
                          u"Bloc"_s, u"Aide"_s, u"Propos"_s}));
    QCOMPARE(captions, (QStringList{u"&Fichier"_s, u"&Utilisateurs"_s, u"&Rechercher"_s, u"Sau&vegarder"_s,
                          u"Voir les c&oches"_s, u"Bloc 1"_s, u"Ai&de"_s, u"A &Propos ?"_s}));

    names.clear();
    captions.clear();
    for (QAction *action : named<QMenu>(form.get(), "Fichier")->actions()) {
        names << (action->menu() ? action->menu()->objectName() : action->objectName());
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    QCOMPARE(names, (QStringList{u"Enregistrer"_s, u"T1"_s, u"Enreg_auto"_s, u"T3"_s, u"Quitte"_s,
                          u"T2"_s, u"Imprimer"_s}));
    QCOMPARE(captions, (QStringList{u"&Enregistrer"_s, u"-"_s, u"Enregistrement automatique"_s, u"-"_s,
                          u"&Quitter"_s, u"-"_s, u"&Imprimer"_s}));
    QAction *enregAuto = named<QAction>(form.get(), "Enreg_auto");
    QVERIFY(enregAuto->isCheckable());
    QVERIFY(enregAuto->isChecked());

    QCOMPARE(named<QPushButton>(form.get(), "Semaine")->text(), QStringLiteral("Par &Semaine"));
    QTimer *timer = named<QTimer>(form.get(), "Timer1");
    QCOMPARE(timer->interval(), 60000);
    QVERIFY(!timer->isSingleShot());
    QVERIFY(timer->isActive());
}

void StartupTest::menusFitWithLongAnnotation()
{
    Practice practice;
    UserConfig users = Practice::namedUsers({1, 2});
    users[0].bottomAnnotation = u"Programme du bloc opératoire de la clinique du Parc"_s;
    practice.writeUsers(users);
    const auto form = loaded(practice);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));

    // Every entry in sight: none pushed into the overflow arrow, nor under
    // the "Par &Semaine" button.
    QMenuBar *bar = form->menuBar();
    const QRect week = named<QPushButton>(form.get(), "Semaine")->geometry();
    for (QAction *action : bar->actions()) {
        const QRect place = bar->actionGeometry(action);
        QVERIFY2(!place.isEmpty() && bar->rect().contains(place), qPrintable(action->text()));
        QVERIFY2(!place.intersects(week), qPrintable(action->text()));
    }
}

void StartupTest::splashHandsOver()
{
    Practice practice;
    practice.writeUsers(Practice::namedUsers({1, 2}));
    QPointer<Form0> splash = new Form0(practice.environment());
    splash->show();
    QCOMPARE(splash->windowTitle(), QStringLiteral("PLANORA"));
    QCOMPARE(named<QLabel>(splash, "LblTitle")->text(), QStringLiteral("PLANORA"));
    QCOMPARE(named<QLabel>(splash, "LblVersion")->text(), QStringLiteral("Version 4.0.0"));
    QCOMPARE(named<QLabel>(splash, "Label3")->text(), QStringLiteral("Le carnet de rendez vous du médecin"));
    QVERIFY(!named<QLabel>(splash, "Image1")->pixmap().isNull());
    for (const char *label : {"Label1", "Label2", "Label4"})
        QVERIFY(!named<QLabel>(splash, label)->text().isEmpty());
    QTimer *timer = named<QTimer>(splash, "Timer1");
    QCOMPARE(timer->interval(), 4000);
    QVERIFY(timer->isSingleShot());
    QVERIFY(timer->isActive());

    splash->Timer1_Timer(); // what the timer does when it fires
    const std::unique_ptr<Form1> main(splash->mainWindow());
    QVERIFY(main);
    QVERIFY(!splash->isVisible());
    QVERIFY(!timer->isActive());
    QVERIFY(main->isVisible());
    QCOMPARE(main->windowTitle(), QStringLiteral("Dr A")); // loaded before shown
    QTRY_VERIFY(splash.isNull()); // unloaded
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
