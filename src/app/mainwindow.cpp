#include "mainwindow.h"

#include "birthdaytexts.h"
#include "colourvalue.h"
#include "configfiles.h"
#include "datenumber.h"
#include "daymerge.h"
#include "dayview.h"
#include "form15.h"
#include "form2.h"
#include "frmrech.h"
#include "mousedownbutton.h"
#include "programfolder.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString DatabaseFileName = QStringLiteral("AGENDAS.MDB");
constexpr int RefreshMilliseconds = 60000;
const QColor ShownUserRed(255, 0, 0);

QString databaseNotFoundMessage()
{
    return QStringLiteral("La base de données 'AGENDAS.MDB' est introuvable. Veuillez à l'aide du "
                          "SUPERVISEUR la placer dans un repertoire quelconque de votre reseau puis "
                          "relancer le programme");
}

QString userOneMissingMessage()
{
    return QStringLiteral("L'utilisateur N°1 n'est pas attribué, or il doit l'être en priorité. "
                          "Veuillez corriger sinon cela est source d'erreues.");
}

// Said whenever the shown day could not be read (see showShownDay).
QString unreadDayNotice()
{
    return QStringLiteral("Ce jour n'a pas pu être lu : il reste vide et verrouillé, et il ne sera pas "
                          "enregistré, pour ne pas effacer les rendez-vous déjà enregistrés. Cliquez sur "
                          "« x » pour le relire ; il est aussi relu à chaque actualisation et en changeant "
                          "de jour.");
}

// Shows the hourglass for as long as it lives.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

QAction *addNamedAction(QWidget *menu, const QString &name, const QString &caption)
{
    auto *action = new QAction(caption, menu);
    action->setObjectName(name);
    menu->addAction(action);
    return action;
}

void addNamedSeparator(QMenu *menu, const QString &name)
{
    menu->addSeparator()->setObjectName(name);
}

} // namespace

Form1::Form1(const Environment &environment, QWidget *parent)
    : QMainWindow(parent)
    , m_environment(environment)
    , m_settings(environment.settingsFolder)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Agenda"));

    m_dayView = new DayView(*m_environment.prompts, this);
    setCentralWidget(m_dayView);
    buildMenus();

    fitMenuBar();

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(RefreshMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &Form1::Timer1_Timer);

    connect(m_dayView, &DayView::edited, this, [this] {
        if (!m_filling)
            m_changed = true;
    });
    connect(m_dayView, &DayView::userButtonPressed, this, &Form1::CmdUtilisat_MouseDown);
    connect(m_dayView, &DayView::previousDayPressed, this, &Form1::CmdPrec_MouseDown);
    connect(m_dayView, &DayView::nextDayPressed, this, &Form1::CmdSuiv_MouseDown);
    connect(m_dayView, &DayView::calendarDateClicked, this, &Form1::MonthView1_DateClick);
    connect(m_dayView, &DayView::redisplayClicked, this, &Form1::Command1_Click);
    connect(m_dayView, &DayView::checkToggledByUser, this, &Form1::Check1_Click);
}

Form1::~Form1() = default;

void Form1::buildMenus()
{
    QMenu *fichier = menuBar()->addMenu(QStringLiteral("&Fichier"));
    fichier->setObjectName(QStringLiteral("Fichier"));
    connect(addNamedAction(fichier, QStringLiteral("Enregistrer"), QStringLiteral("&Enregistrer")),
            &QAction::triggered, this, &Form1::Enregistrer_Click);
    addNamedSeparator(fichier, QStringLiteral("T1"));
    m_enregAuto = addNamedAction(fichier, QStringLiteral("Enreg_auto"),
                                 QStringLiteral("Enregistrement automatique"));
    m_enregAuto->setCheckable(true);
    m_enregAuto->setChecked(true);
    connect(m_enregAuto, &QAction::triggered, this, &Form1::Enreg_auto_Click);
    addNamedSeparator(fichier, QStringLiteral("T3"));
    connect(addNamedAction(fichier, QStringLiteral("Quitte"), QStringLiteral("&Quitter")),
            &QAction::triggered, this, &Form1::Quitte_Click);
    addNamedSeparator(fichier, QStringLiteral("T2"));
    QMenu *imprimer = fichier->addMenu(QStringLiteral("&Imprimer"));
    imprimer->setObjectName(QStringLiteral("Imprimer"));
    connect(addNamedAction(imprimer, QStringLiteral("Matin"), QStringLiteral("La liste du &Matin")),
            &QAction::triggered, this, &Form1::Matin_Click);
    connect(addNamedAction(imprimer, QStringLiteral("Amidi"), QStringLiteral("La liste de l'&Après midi")),
            &QAction::triggered, this, &Form1::Amidi_Click);
    connect(addNamedAction(imprimer, QStringLiteral("Postit"), QStringLiteral("&Post -It")),
            &QAction::triggered, this, &Form1::Postit_Click);

    QMenuBar *bar = menuBar();
    connect(addNamedAction(bar, QStringLiteral("Utilisat"), QStringLiteral("&Utilisateurs")),
            &QAction::triggered, this, [this] {
                UserButtons buttons;
                for (int user = 1; user <= UserCount; ++user)
                    buttons[user - 1] = m_dayView->userButton(user);
                Form2::showFor(m_environment, buttons, this);
            });
    connect(addNamedAction(bar, QStringLiteral("Rechercher"), QStringLiteral("&Rechercher")), &QAction::triggered,
            this, [this] { FrmRech::showFor(*this, m_environment); });
    connect(addNamedAction(bar, QStringLiteral("Sauve"), QStringLiteral("Sau&vegarder")), &QAction::triggered, this,
            &Form1::Sauve_Click);
    connect(addNamedAction(bar, QStringLiteral("Coches"), QStringLiteral("Voir les c&oches")),
            &QAction::triggered, this, &Form1::Coches_Click);
    m_blocAction = addNamedAction(bar, QStringLiteral("Bloc"), QStringLiteral("Bloc &Opératoire"));
    connect(m_blocAction, &QAction::triggered, this, &Form1::Bloc_Click);
    connect(addNamedAction(bar, QStringLiteral("Aide"), QStringLiteral("Ai&de")), &QAction::triggered, this,
            &Form1::Aide_Click);
    connect(addNamedAction(bar, QStringLiteral("Propos"), QStringLiteral("A &Propos ?")), &QAction::triggered, this,
            &Form1::Propos_Click);

    // The week view's button, at the end of the menu row.
    auto *weekButton = new QPushButton(QStringLiteral("Par &Semaine"), bar);
    weekButton->setObjectName(QStringLiteral("Semaine"));
    connect(weekButton, &QPushButton::clicked, this, &Form1::Semaine_Click);
    weekButton->setFocusPolicy(Qt::NoFocus);
    bar->setCornerWidget(weekButton, Qt::TopRightCorner);
}

// --- start-up -------------------------------------------------------------

void Form1::load()
{
    const QDate today = m_environment.clock->today();
    if (today.toString(QStringLiteral("ddMM")) == BirthdayTexts::noticeDayMonth())
        showBirthdayNotice();

    m_dayView->calendar()->setSelectedDate(today);
    m_calendarDate = today;
    m_shownDate = today;
    showDateLabels(DateNumber::fromDate(today));
    m_shownDateNumber = labelDateNumber();
    showChecksForDate(m_shownDateNumber);

    if (!readDatabasePath()) {
        m_environment.prompts->information(databaseNotFoundMessage());
        return;
    }
    m_userConfigFolder = ConfigFiles::userConfigFolder(m_settings, m_environment.programFolder);
    m_namesDatabasePath = m_settings.value(PlanoraSettings::application(), PlanoraSettings::section(),
                                           PlanoraSettings::namesDatabaseKey(),
                                           m_environment.programFolder);
    readUserConfig(true);

    const LookupSettingsRead lookup = ConfigFiles::readLookupSettings(m_environment.programFolder);
    if (!lookup.valid)
        m_environment.prompts->information(lookup.message);
    m_lookupEnabled = lookup.settings.enabled;
    m_namesTableName = lookup.settings.tableName;
    m_dayView->setNameLookup(m_lookupEnabled, m_namesDatabasePath, m_namesTableName);

    if (m_users[0].name.isEmpty() && !m_users[1].name.isEmpty())
        m_environment.prompts->information(userOneMissingMessage());
    bool othersEmpty = true;
    for (int user = 1; user <= UserCount; ++user) {
        if (m_users[user - 1].name.isEmpty())
            m_dayView->userButton(user)->hide();
        if (user > 1 && !m_users[user - 1].name.isEmpty())
            othersEmpty = false;
    }
    if (othersEmpty) {
        m_dayView->userButton(1)->hide();
        setBottomAnnotation(m_users[0].bottomAnnotation);
    }
    if (othersEmpty && m_users[0].name.isEmpty())
        m_users[0].name = QStringLiteral("PLANORA");

    setUserButtonColours(1);
    setWindowTitle(m_users[0].name);
    m_shownUser = 1;
    m_dayView->hiddenUserLabel()->setText(QStringLiteral("1"));
    layOutGrid(m_users[0].intervalIndex);
    m_dayView->hiddenIntervalLabel()->setText(QString::number(m_intervalMinutes));

    showShownDay(false, false);
    m_timer->start();
    m_changed = false;
}

void Form1::showBirthdayNotice()
{
    m_birthdayNotice = new Form15(this);
    m_birthdayNotice->label(2)->setText(BirthdayTexts::day());
    m_birthdayNotice->label(4)->setText(BirthdayTexts::contactLine());
    m_birthdayNotice->label(5)->setText(BirthdayTexts::personName());
    m_birthdayNotice->show();
    hide();
}

bool Form1::readDatabasePath()
{
    const QString chemin = m_settings.value(PlanoraSettings::application(), PlanoraSettings::section(),
                                            PlanoraSettings::databasePathKey(),
                                            m_environment.programFolder);
    if (chemin.isEmpty()) {
        m_databasePath = joinPath(m_environment.programFolder, DatabaseFileName);
        return true;
    }
    // The name must be written in capitals: the comparison is case-sensitive.
    if (!chemin.endsWith(DatabaseFileName, Qt::CaseSensitive))
        return false;
    m_databasePath = chemin;
    return true;
}

// Utilisat.agc, read at start-up and again at every change of user.
//
// Decided: at start-up a file that is empty, holds only empty values or is
// missing leaves all six users unassigned, and their rules apply (user 1's
// empty annotations replace the design captions); a missing or unreadable
// file is also said, once, naming the file looked for. At a change of user
// such a file gives no record, and the user shown stays as it was.
bool Form1::readUserConfig(bool atStartUp)
{
    if (m_userConfigFolder.isEmpty())
        return false;
    const UserConfigRead read = ConfigFiles::readUserConfig(m_userConfigFolder);
    if (!read.valid || (atStartUp && !read.found))
        m_environment.prompts->information(read.message);
    if (!atStartUp && read.users == UserConfig{})
        return false;
    m_users = read.users;
    if (!atStartUp)
        return true;
    for (int user = 1; user <= UserCount; ++user)
        m_dayView->userButton(user)->setText(m_users[user - 1].name);
    applyWindowColour(m_users[0].colour);
    m_dayView->setEchoAnnotation(m_users[0].topAnnotation);
    setBottomAnnotation(m_users[0].bottomAnnotation);
    return true;
}

void Form1::applyUser(int user)
{
    const UserEntry &entry = m_users[user - 1];
    setUserButtonColours(user);
    applyWindowColour(entry.colour);
    m_dayView->setEchoAnnotation(entry.topAnnotation);
    m_shownUser = user;
    m_dayView->hiddenUserLabel()->setText(QString::number(user));
    setWindowTitle(entry.name);
    setBottomAnnotation(entry.bottomAnnotation);
    layOutGrid(entry.intervalIndex);
}

void Form1::applyWindowColour(std::optional<qint32> colourValue)
{
    // What the file held there was no number: the window keeps its colour.
    if (!colourValue)
        return;
    // The client area takes the colour; the menu bar keeps the system's.
    const QColor colour = ColourValue::toColour(*colourValue, QApplication::palette());
    QPalette windowPalette = m_dayView->palette();
    windowPalette.setColor(QPalette::Window, colour);
    m_dayView->setPalette(windowPalette);
    m_dayView->setAutoFillBackground(true);

    QLabel *maker = m_dayView->makerLabel();
    QPalette makerPalette = maker->palette();
    makerPalette.setColor(QPalette::Window, colour);
    maker->setPalette(makerPalette);
    maker->setAutoFillBackground(true);
}

void Form1::setUserButtonColours(int shownUser)
{
    const QColor buttonFace =
        ColourValue::toColour(ColourValue::ButtonFace, QApplication::palette());
    for (int user = 1; user <= UserCount; ++user) {
        MouseDownButton *button = m_dayView->userButton(user);
        QPalette buttonPalette = button->palette();
        buttonPalette.setColor(QPalette::Button, user == shownUser ? ShownUserRed : buttonFace);
        button->setPalette(buttonPalette);
    }
}

void Form1::setBottomAnnotation(const QString &annotation)
{
    m_dayView->bottomAnnotationLabel()->setText(annotation);
    m_blocAction->setText(annotation);
    fitMenuBar();
}

// The menu bar holds one row: with a long annotation in "Bloc" it can be
// wider than the day view, and the window widens so that every entry and
// "Par &Semaine" stay in sight.
void Form1::fitMenuBar()
{
    const int width = qMax(m_dayView->minimumSizeHint().width(), menuBar()->sizeHint().width());
    setMinimumWidth(width);
    if (this->width() < width)
        resize(width, height());
}

void Form1::layOutGrid(int intervalIndex)
{
    // An index outside 0..4 lays out nothing and keeps the minutes.
    if (const int minutes = m_dayView->layOutGrid(intervalIndex); minutes != 0)
        m_intervalMinutes = minutes;
}

// --- shown date -------------------------------------------------------------

void Form1::setShownDateNumber(qint32 dateNumber)
{
    m_shownDateNumber = dateNumber;
    m_shownDate = DateNumber::toDate(dateNumber);
}

void Form1::showDateLabels(qint32 dateNumber)
{
    m_dayView->hiddenDateLabel()->setText(QString::number(dateNumber));
    m_dayView->dateLabel()->setText(
        QLocale().toString(DateNumber::toDate(dateNumber), QLocale::LongFormat));
}

void Form1::showChecksForDate(qint32 dateNumber)
{
    m_dayView->setChecksVisible(dateNumber == DateNumber::fromDate(m_environment.clock->today()));
}

qint32 Form1::labelDateNumber() const
{
    return m_dayView->hiddenDateLabel()->text().toInt();
}

// --- store routines ---------------------------------------------------------

// Positions the day cursor on the shown day of the shown user and shows its
// row, or an empty day when it has none. Without a database (start-up
// stopped) every day shows empty.
//
// Decided: a day that cannot be read (the file locked by another workstation
// past the wait, missing, damaged) shows empty, never as the day that was on
// screen before, and locked: nothing can be typed or ticked in it and it is
// never saved, so that its stored appointments cannot be replaced by an
// empty page. It is read again by "x", by the refresh tick and by any
// navigation; unless quiet, the user is told why and what to do.
void Form1::showShownDay(bool quiet, bool hideAbsencesWhenEmpty)
{
    Status status = Status::success();
    if (hasDatabase()) {
        status = m_cursor.position(m_databasePath, m_shownUser, m_shownDateNumber);
        if (status.ok() && m_cursor.found()) {
            if (AFFICHE_JOUR())
                return;
            status = Status::failure(QStringLiteral("Le jour n'a pas pu être lu dans la base de données %1.")
                                         .arg(QDir::toNativeSeparators(m_databasePath)));
        }
    }
    if (hideAbsencesWhenEmpty)
        m_dayView->hideAbsencePanels();
    VIDE_JOUR();
    setDayUnread(!status.ok());
    if (!status.ok() && !quiet)
        m_environment.prompts->information(status.message() + u"\n\n"_s + unreadDayNotice());
}

void Form1::setDayUnread(bool unread)
{
    m_dayUnread = unread;
    m_dayView->setDayLocked(unread);
}

bool Form1::ENREG_01()
{
    m_shownDateNumber = labelDateNumber();
    if (m_dayUnread) {
        m_environment.prompts->information(unreadDayNotice());
        return false;
    }
    if (!hasDatabase()) {
        m_environment.prompts->information(
            QStringLiteral("Aucune base de données n'est ouverte : le jour affiché ne peut pas être "
                           "enregistré. Veuillez à l'aide du SUPERVISEUR placer la base "
                           "'AGENDAS.MDB' puis relancer le programme."));
        return false;
    }
    Status status = Status::success();
    DayRecord saved;
    {
        const BusyCursor hourglass;
        status = m_cursor.save(m_databasePath, m_shownUser, m_shownDateNumber, m_rememberedDay, m_dayView->record(),
                               saved);
    }
    if (!status.ok()) {
        // The typed day stays on screen and the flag stays set, so that the
        // next save writes it.
        m_environment.prompts->information(
            status.message()
            + QStringLiteral("\n\nLe jour reste affiché avec vos modifications ; il sera enregistré "
                             "au prochain enregistrement."));
        return false;
    }
    // What another workstation saved meanwhile in the fields left alone
    // here is now on screen too.
    if (!DayMerge::sameDay(saved, m_dayView->record()))
        fillView(saved);
    m_rememberedDay = saved;
    m_changed = false;
    return true;
}

void Form1::SUIV_PREC()
{
    setShownDateNumber(m_shownDateNumber);
    showDateLabels(m_shownDateNumber);
    showChecksForDate(m_shownDateNumber);
    showShownDay(false, false);
}

bool Form1::AFFICHE_JOUR()
{
    const std::optional<DayRecord> record = m_cursor.currentRecord();
    if (!record)
        return false;
    fillView(*record);
    m_rememberedDay = *record;
    setDayUnread(false);
    return true;
}

// The refresh: the stored day merged with what is on screen, so that the
// fields this workstation changed and has not saved stay as typed.
void Form1::showMergedDay(const DayRecord &stored)
{
    const DayRecord shown = m_dayView->record();
    const DayRecord merged = DayMerge::merge(m_rememberedDay, shown, stored);
    if (!DayMerge::sameDay(merged, shown))
        fillView(merged);
    m_rememberedDay = stored;
}

void Form1::fillView(const DayRecord &record)
{
    const QScopedValueRollback filling(m_filling, true);
    m_dayView->showRecord(record);
}

bool Form1::AFFICHE_JOUR_DATE()
{
    const std::optional<qint32> dateNumber = m_cursor.currentDateNumber();
    if (!dateNumber)
        return false;
    showDateLabels(*dateNumber);
    return AFFICHE_JOUR();
}

void Form1::VIDE_JOUR()
{
    const QScopedValueRollback filling(m_filling, true);
    m_dayView->showEmptyDay();
    m_rememberedDay = DayRecord();
}
