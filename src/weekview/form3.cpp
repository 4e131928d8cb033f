#include "form3.h"

#include "controlname.h"

#include "datenumber.h"
#include "daylist.h"
#include "prompts.h"
#include "weekviewhost.h"

#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int Days = WeekStart::DaysPerWeek;

using ControlName::element;
using ControlName::named;

} // namespace

struct Form3::Controls
{
    std::array<QLabel *, Days> headers{};     // Label1
    std::array<QListWidget *, Days> lists{};  // List1
    std::array<QLabel *, Days> dateNumbers{}; // Label4
    QLabel *weekStart = nullptr;              // Label2
    QPushButton *previous = nullptr;          // CmdPrec
    QPushButton *next = nullptr;              // CmdSuiv
    QPushButton *quit = nullptr;              // Command2
};

Form3::Form3(std::unique_ptr<WeekViewHost> host, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m(std::make_unique<Controls>())
    , m_host(std::move(host))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Agenda"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    connect(m->previous, &QPushButton::clicked, this, &Form3::CmdPrec_Click);
    connect(m->next, &QPushButton::clicked, this, &Form3::CmdSuiv_Click);
    connect(m->quit, &QPushButton::clicked, this, &Form3::Command2_Click);
}

Form3::~Form3() = default;

// Seven equal columns in a window that fits a 1280 x 800 screen. The lines
// use a fixed-pitch font so that the slot labels line up in each column.
void Form3::buildControls()
{
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    QFont lineFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    lineFont.setPointSize(8);
    for (int day = 0; day < Days; ++day) {
        // The design's placeholder until the first week is shown.
        m->headers[day] = named(new QLabel(QStringLiteral("Dimanche 31 Décembre"), this), element("Label1", day));
        m->headers[day]->setAlignment(Qt::AlignCenter);
        m->headers[day]->setWordWrap(true);
        QFont headerFont = m->headers[day]->font();
        headerFont.setBold(true);
        m->headers[day]->setFont(headerFont);
        m->lists[day] = named(new QListWidget(this), element("List1", day));
        m->lists[day]->setFont(lineFont);
        m->lists[day]->setMinimumWidth(120);
        m->lists[day]->setUniformItemSizes(true);
        // Long slot texts are cut at the column's edge, the same in every
        // column; the day opened by a double-click shows them whole.
        m->lists[day]->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m->lists[day]->viewport()->installEventFilter(this);
        m->dateNumbers[day] = named(new QLabel(this), element("Label4", day));
        m->dateNumbers[day]->hide();
        grid->addWidget(m->headers[day], 0, day);
        grid->addWidget(m->lists[day], 1, day);
        grid->setColumnStretch(day, 1);
    }
    m->weekStart = named(new QLabel(this), QStringLiteral("Label2"));
    m->weekStart->hide();

    m->previous = named(new QPushButton(QStringLiteral("<   &Précédent"), this), QStringLiteral("CmdPrec"));
    m->next = named(new QPushButton(QStringLiteral("&Suivant   >"), this), QStringLiteral("CmdSuiv"));
    m->quit = named(new QPushButton(QStringLiteral("&Quitte"), this), QStringLiteral("Command2"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m->previous);
    buttons->addStretch();
    buttons->addWidget(m->quit);
    buttons->addStretch();
    buttons->addWidget(m->next);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);
    resize(1260, 740);
}

QLabel *Form3::header(int day) const
{
    return day >= 0 && day < Days ? m->headers[day] : nullptr;
}

QListWidget *Form3::list(int day) const
{
    return day >= 0 && day < Days ? m->lists[day] : nullptr;
}

QLabel *Form3::dateNumberLabel(int day) const
{
    return day >= 0 && day < Days ? m->dateNumbers[day] : nullptr;
}

QLabel *Form3::weekStartLabel() const
{
    return m->weekStart;
}

bool Form3::showWeekAroundShownDate()
{
    return showWeek(WeekStart::of(m_host->shownDateNumber()));
}

void Form3::CmdPrec_Click()
{
    showWeek(m->weekStart->text().toInt() - Days);
}

void Form3::CmdSuiv_Click()
{
    showWeek(m->weekStart->text().toInt() + Days);
}

// The user and the interval are the main window's at the time of the call.
// Decided: a store error shows the store's message once and leaves every
// column, and Label2, as they were.
bool Form3::showWeek(qint32 weekStart)
{
    WeekReader::Week week;
    const Status status =
        WeekReader::read(m_host->dayCursor(), m_host->databasePath(), m_host->shownUser(), weekStart, week);
    if (!status.ok()) {
        m_host->prompts().information(status.message());
        return false;
    }
    fillColumns(weekStart, week, m_host->intervalMinutes());
    return true;
}

void Form3::fillColumns(qint32 weekStart, const WeekReader::Week &week, int minutes)
{
    const QLocale locale;
    m->weekStart->setText(QString::number(weekStart));
    for (int day = 0; day < Days; ++day) {
        const qint32 dateNumber = weekStart + day;
        m->headers[day]->setText(locale.toString(DateNumber::toDate(dateNumber), QLocale::LongFormat));
        m->dateNumbers[day]->setText(QString::number(dateNumber));
        const std::optional<DayRecord> &record = week[std::size_t(day)];
        m->lists[day]->clear();
        m->lists[day]->addItems(DayList::lines(minutes, record ? &*record : nullptr));
    }
}

// Decided: the main window's unsaved edits are saved before its day is
// replaced, so that nothing typed is lost; when that save fails, or the day
// cannot be read, the main window and the week view stay as they are.
void Form3::List1_DblClick(int index)
{
    if (!dateNumberLabel(index) || !m_host->saveChangedDay())
        return;
    const qint32 dateNumber = m->dateNumbers[index]->text().toInt();
    DayCursor &cursor = m_host->dayCursor();
    const Status status = cursor.position(m_host->databasePath(), m_host->shownUser(), dateNumber);
    if (!status.ok()) {
        m_host->prompts().information(status.message());
        return;
    }
    m_host->showDay(dateNumber, cursor.found());
    close();
}

void Form3::Command2_Click()
{
    close();
}

// A double-click anywhere in a column opens its day, between or below the
// lines as well as on them.
bool Form3::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int day = 0; day < Days; ++day) {
            if (watched == m->lists[day]->viewport()) {
                List1_DblClick(day);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
