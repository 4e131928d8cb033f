#include "frmrech.h"

#include "configfiles.h"
#include "datacontrol.h"
#include "datebox.h"
#include "datenumber.h"
#include "dayview.h"
#include "mainwindow.h"
#include "searchquery.h"
#include "slotedit.h"
#include "textfold.h"
#include "twips.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace {

constexpr int RangeBeforeDays = 30;
constexpr int RangeAfterDays = 60;

QString invalidDateMessage()
{
    return QStringLiteral("La Date est saisie selon un mode incorrect. Veuillez corriger.");
}

template <typename T>
T *placed(QWidget *parent, const char *name, QRect geometry)
{
    auto *control = new T(parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, QRect geometry)
{
    QLabel *control = placed<QLabel>(parent, name, geometry);
    control->setText(caption);
    return control;
}

// Runs an action once, after its window has been activated and its line
// edits have handled the activation; then goes. A line edit without the
// focus drops its selection when its window is activated, in a call it
// posts while the activation event goes down to it, after this filter has
// seen the event: the action is posted from a call posted now, so that it
// runs after theirs.
class WhenActivated : public QObject
{
public:
    static constexpr char Name[] = "WhenActivated";

    WhenActivated(QWidget *window, std::function<void()> action)
        : QObject(window), m_action(std::move(action))
    {
        setObjectName(QLatin1String(Name));
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate) {
            QObject *window = parent();
            QTimer::singleShot(0, window, [window, action = m_action] { QTimer::singleShot(0, window, action); });
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_action;
};

QPushButton *button(QWidget *parent, const char *name, const QString &caption, QRect geometry)
{
    QPushButton *control = placed<QPushButton>(parent, name, geometry);
    control->setText(caption);
    return control;
}

} // namespace

// Decided: without a database (start-up stopped) there is nothing to
// search; the entry says so instead of opening an empty window. A window
// already open is brought forward as it stands, its results kept.
void FrmRech::showFor(Form1 &mainWindow, const Environment &environment)
{
    if (!mainWindow.hasDatabase()) {
        environment.prompts->information(
            QStringLiteral("Aucune base de données n'est ouverte : la recherche est impossible. Veuillez à "
                           "l'aide du SUPERVISEUR placer la base 'AGENDAS.MDB' puis relancer le programme."));
        return;
    }
    auto *window = mainWindow.findChild<FrmRech *>(QStringLiteral("FrmRech"), Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new FrmRech(mainWindow, environment);
        window->load();
        mainWindow.setSearchWindow(window);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

FrmRech::FrmRech(Form1 &mainWindow, const Environment &environment)
    : QWidget(&mainWindow, Qt::Window)
    , m_mainWindow(mainWindow)
    , m_environment(environment)
{
    setObjectName(QStringLiteral("FrmRech"));
    setAttribute(Qt::WA_DeleteOnClose); // closing unloads it
    setWindowTitle(QStringLiteral("Recherche"));
    m_data1 = new DataControl(this);
    buildControls();
}

FrmRech::~FrmRech() = default;

void FrmRech::buildControls()
{
    setFixedSize(Twips::rect(0, 0, 5280, 5520).size());
    label(this, "Label1", QStringLiteral("Entre le"), Twips::rect(240, 240, 1080, 285));
    m_txtDate1 = placed<QLineEdit>(this, "TxtDate1", Twips::rect(1320, 200, 1500, 345));
    label(this, "Label2", QStringLiteral("et le "), Twips::rect(3000, 240, 600, 285));
    m_txtDate2 = placed<QLineEdit>(this, "TxtDate2", Twips::rect(3600, 200, 1440, 345));
    label(this, "Label3", QStringLiteral("Nom à rechercher"), Twips::rect(240, 780, 1800, 285));
    m_txtNom = placed<QLineEdit>(this, "TxtNom", Twips::rect(240, 1080, 3240, 345));
    QPushButton *command1 = button(this, "Command1", QStringLiteral("Recherche"), Twips::rect(3720, 1020, 1320, 435));
    m_list1 = placed<QListWidget>(this, "List1", Twips::rect(240, 1620, 3240, 3000));
    m_lblNbr = placed<QLabel>(this, "LblNbr", Twips::rect(3720, 1680, 1320, 285));
    m_lblNbr->setAlignment(Qt::AlignCenter);
    QLabel *label4 = label(this, "Label4", QStringLiteral("Double clic sur la date trouvée pour retrouver le rendez vous"),
                           Twips::rect(3720, 2160, 1320, 1560));
    label4->setWordWrap(true);
    label4->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPushButton *command2 = button(this, "Command2", QStringLiteral("Quitter"), Twips::rect(3720, 4800, 1320, 435));
    m_txtRV = placed<QLineEdit>(this, "TxtRV", Twips::rect(240, 4800, 1320, 345));
    m_txtRV->hide(); // the searched table: holds no input and is not meant to be seen

    connect(command1, &QPushButton::clicked, this, &FrmRech::Command1_Click);
    // Decided: Enter in any of the three boxes runs the search.
    for (QLineEdit *box : {m_txtDate1, m_txtDate2, m_txtNom}) {
        connect(box, &QLineEdit::returnPressed, this, &FrmRech::Command1_Click);
    }
    connect(command2, &QPushButton::clicked, this, &FrmRech::Command2_Click);
    connect(m_list1, &QListWidget::itemDoubleClicked, this, &FrmRech::List1_DblClick);
}

void FrmRech::load()
{
    const QDate today = m_environment.clock->today();
    m_txtDate1->setText(DateBox::format(today.addDays(-RangeBeforeDays), QLocale()));
    m_txtDate2->setText(DateBox::format(today.addDays(RangeAfterDays), QLocale()));

    // Decided: the file searched is the one the main window shows, so that
    // a found day always opens from the file it was found in.
    m_data1->setDatabaseName(m_mainWindow.databasePath());

    // Decided: CheminUt is read with the main window's rule for an empty
    // value (the program's folder).
    const SettingsStore settings(m_environment.settingsFolder);
    const UserConfigRead read =
        ConfigFiles::readUserConfig(ConfigFiles::userConfigFolder(settings, m_environment.programFolder));
    if (!read.valid) {
        m_environment.prompts->information(read.message);
    }
    const int user = m_mainWindow.dayView()->hiddenUserLabel()->text().toInt();
    if (user >= 1 && user <= UserCount) {
        m_txtRV->setText(SearchQuery::tableOf(user));
        setWindowTitle(QStringLiteral("Recherche chez ") + read.users[std::size_t(user - 1)].name);
    }
}

// Decided: an error of the engine while the query runs is told in a message
// (which says what went wrong) and leaves the list empty and the count
// blank; a search only reads, so nothing is written either way.
void FrmRech::Command1_Click()
{
    const std::optional<QDate> first = DateBox::parse(m_txtDate1->text(), QLocale());
    const std::optional<QDate> last = DateBox::parse(m_txtDate2->text(), QLocale());
    if (!first || !last) {
        m_environment.prompts->information(invalidDateMessage());
        return;
    }
    const QString table = m_txtRV->text();
    const QString searched = m_txtNom->text();
    m_list1->clear();
    m_lblNbr->clear();

    m_data1->setRecordSource(
        SearchQuery::text(table, DateNumber::fromDate(*first), DateNumber::fromDate(*last), searched));
    QVariantList days;
    Status status = m_data1->refresh();
    if (status) {
        status = m_data1->recordset()->getRows(QStringLiteral("AGENDATE"), days);
    }
    if (!status) {
        m_environment.prompts->information(QStringLiteral("La recherche n'a pas pu être faite.\n\n") + status.message());
        return;
    }
    // A first date after the last finds nothing: BETWEEN holds no day then.
    m_lblNbr->setText(QString::number(days.size()));
    for (const QVariant &day : days) {
        const qint32 dateNumber = qint32(day.toLongLong());
        auto *item = new QListWidgetItem(DateBox::format(DateNumber::toDate(dateNumber), QLocale()), m_list1);
        item->setData(Qt::UserRole, dateNumber);
    }
}

// Decided: the main window's unsaved edits are saved first, so that opening
// a found day never loses what was typed; when that save fails (its message
// is shown) the search window stays open and the day is not opened. A
// double click with no line selected opens nothing.
void FrmRech::List1_DblClick()
{
    QListWidgetItem *line = m_list1->currentItem();
    if (!line || !line->isSelected()) {
        return;
    }
    const int user = SearchQuery::userOf(m_txtRV->text());
    const QString searched = m_txtNom->text();
    const qint32 dateNumber = line->data(Qt::UserRole).toInt();
    if (m_mainWindow.isChanged() && !m_mainWindow.ENREG_01()) {
        return;
    }

    close();
    m_mainWindow.raise();
    m_mainWindow.activateWindow();

    const Status status = m_mainWindow.dayCursor().positionForSearch(m_mainWindow.databasePath(), user, dateNumber);
    if (!status) {
        m_environment.prompts->information(status.message());
        return;
    }
    if (m_mainWindow.AFFICHE_JOUR_DATE()) {
        selectInSlots(searched);
    }
}

// Each slot's text box finds the searched text and selects its first
// occurrence, compared as the search compares it (case and accents apart).
// Done once the main window is active again (see WhenActivated).
void FrmRech::selectInSlots(const QString &searched)
{
    DayView *dayView = m_mainWindow.dayView();
    const auto select = [dayView, searched] {
        for (int slot = 0; slot < SlotCount; ++slot) {
            SlotEdit *edit = dayView->slotEdit(slot);
            const TextFold::Span found = TextFold::find(edit->text(), searched);
            if (found.start >= 0 && found.length > 0) {
                edit->setSelection(int(found.start), int(found.length));
            }
        }
    };
    // A day opened before, whose selections still wait, is no longer shown.
    qDeleteAll(m_mainWindow.findChildren<QObject *>(QLatin1String(WhenActivated::Name), Qt::FindDirectChildrenOnly));
    if (m_mainWindow.isActiveWindow()) {
        QTimer::singleShot(0, dayView, select);
    } else {
        new WhenActivated(&m_mainWindow, select);
    }
}

void FrmRech::Command2_Click()
{
    close();
}
