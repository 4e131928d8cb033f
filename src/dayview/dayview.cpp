#include "dayview.h"

#include "dayviewcontrols.h"
#include "memoedit.h"
#include "mousedownbutton.h"
#include "prompts.h"
#include "slotedit.h"
#include "slotgrid.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// Put by a double click into an empty slot: ten X, the words, nine X.
const QString &noAppointmentMarker()
{
    static const QString marker = QStringLiteral("XXXXXXXXXX- Pas de RV -XXXXXXXXX");
    return marker;
}

constexpr int LookupMinimumPrefix = 2;

// The control of an index, or null for an index out of range.
template<typename Control, std::size_t Count>
Control *itemAt(const std::array<Control *, Count> &controls, int index)
{
    return index >= 0 && index < static_cast<int>(Count) ? controls[static_cast<std::size_t>(index)] : nullptr;
}

void showMark(QLineEdit *panel, const HalfDayMark &mark)
{
    if (mark.set)
        panel->setText(mark.text);
    panel->setHidden(!mark.set);
}

HalfDayMark markOf(const QLineEdit *panel)
{
    return {!panel->isHidden(), panel->text()};
}

} // namespace

DayView::DayView(Prompts &prompts, QWidget *parent)
    : QWidget(parent)
    , m(std::make_unique<Controls>(this))
    , m_prompts(prompts)
{
    connectControls();
}

DayView::~DayView() = default;

void DayView::connectControls()
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        SlotEdit *edit = m->slotEdits[slot];
        connect(edit, &QLineEdit::textChanged, this, &DayView::edited);
        connect(edit, &SlotEdit::doubleClicked, this, [this, slot] { slotDoubleClicked(slot); });
        connect(edit, &SlotEdit::keyReleased, this, [this, slot](int key) { slotKeyReleased(slot, key); });
        // clicked comes from the user only (mouse or space), never from setChecked.
        connect(m->checks[slot], &QCheckBox::clicked, this, [this, slot] { Q_EMIT checkToggledByUser(slot); });
    }
    connect(m->postit, &QPlainTextEdit::textChanged, this, &DayView::edited);
    connect(m->bloc, &QPlainTextEdit::textChanged, this, &DayView::edited);

    for (int half = 0; half < 2; ++half) {
        connect(m->absenceButtons[half], &MouseDownButton::mouseDown, this,
                [this, half] { toggleMark(m->absencePanels[half], QStringLiteral("ABSENT")); });
        connect(m->echoButtons[half], &MouseDownButton::mouseDown, this,
                [this, half] { toggleMark(m->echoPanels[half], m_echoAnnotation); });
    }

    for (int user = 1; user <= 6; ++user)
        connect(m->users[user - 1], &MouseDownButton::mouseDown, this, [this, user] { Q_EMIT userButtonPressed(user); });
    connect(m->previousDay, &MouseDownButton::mouseDown, this, &DayView::previousDayPressed);
    connect(m->nextDay, &MouseDownButton::mouseDown, this, &DayView::nextDayPressed);
    connect(m->calendar, &QCalendarWidget::clicked, this, &DayView::calendarDateClicked);
    connect(m->redisplay, &QPushButton::clicked, this, &DayView::redisplayClicked);
}

// --- grid -------------------------------------------------------------------

int DayView::layOutGrid(int intervalIndex)
{
    const int minutes = SlotGrid::minutesOfIndex(intervalIndex);
    if (minutes == 0)
        return 0;
    const SlotGrid::Captions captions = SlotGrid::captions(minutes);
    for (int slot = 0; slot < SlotCount; ++slot)
        m->timeLabels[slot]->setText(captions[slot]);
    return minutes;
}

void DayView::GRILLE_10() { layOutGrid(0); }
void DayView::GRILLE_15() { layOutGrid(1); }
void DayView::GRILLE_20() { layOutGrid(2); }
void DayView::GRILLE_30() { layOutGrid(3); }
void DayView::GRILLE_60() { layOutGrid(4); }

// --- record <-> view ----------------------------------------------------------

void DayView::showRecord(const DayRecord &record)
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        m->slotEdits[slot]->setText(record.slots[slot]);
        // A long text shows its beginning (the patient's name), not its end.
        m->slotEdits[slot]->setCursorPosition(0);
    }
    m->postit->setStoredText(record.postit);
    m->bloc->setStoredText(record.bloc);
    showMark(m->absencePanels[0], record.absent1);
    showMark(m->absencePanels[1], record.absent2);
    showMark(m->echoPanels[0], record.echo1);
    showMark(m->echoPanels[1], record.echo2);
    for (int slot = 0; slot < SlotCount; ++slot)
        m->checks[slot]->setChecked(record.checks[slot]);
}

void DayView::showEmptyDay()
{
    for (SlotEdit *edit : m->slotEdits)
        edit->clear();
    m->postit->setStoredText(QString());
    m->bloc->setStoredText(QString());
    for (QLineEdit *panel : {m->absencePanels[0], m->absencePanels[1], m->echoPanels[0], m->echoPanels[1]})
        panel->setHidden(true);
    for (QCheckBox *check : m->checks)
        check->setChecked(false);
}

DayRecord DayView::record() const
{
    DayRecord result;
    for (int slot = 0; slot < SlotCount; ++slot) {
        result.slots[slot] = m->slotEdits[slot]->text();
        result.checks[slot] = m->checks[slot]->isChecked();
    }
    result.postit = m->postit->storedText();
    result.bloc = m->bloc->storedText();
    result.absent1 = markOf(m->absencePanels[0]);
    result.absent2 = markOf(m->absencePanels[1]);
    result.echo1 = markOf(m->echoPanels[0]);
    result.echo2 = markOf(m->echoPanels[1]);
    return result;
}

void DayView::hideAbsencePanels()
{
    for (QLineEdit *panel : m->absencePanels)
        panel->setHidden(true);
}

void DayView::setDayLocked(bool locked)
{
    m_locked = locked;
    for (SlotEdit *edit : m->slotEdits)
        edit->setReadOnly(locked);
    m->postit->setReadOnly(locked);
    m->bloc->setReadOnly(locked);
    for (QCheckBox *check : m->checks)
        check->setEnabled(!locked);
    for (MouseDownButton *button : {m->absenceButtons[0], m->absenceButtons[1], m->echoButtons[0], m->echoButtons[1]})
        button->setEnabled(!locked);
}

// --- check boxes ----------------------------------------------------------------

void DayView::setChecksVisible(bool visible)
{
    for (QCheckBox *check : m->checks)
        check->setHidden(!visible);
}

void DayView::invertChecksVisibility()
{
    for (QCheckBox *check : m->checks)
        check->setHidden(!check->isHidden());
}

// --- state set by the main window ---------------------------------------------------

void DayView::setEchoAnnotation(const QString &topAnnotation)
{
    m_echoAnnotation = topAnnotation;
    for (QLineEdit *panel : m->echoPanels)
        panel->setText(topAnnotation);
}

void DayView::setNameLookup(bool enabled, const QString &namesDatabasePath, const QString &tableName)
{
    m_lookupEnabled = enabled;
    m_lookupMode = enabled;
    m_lookup.setSource(namesDatabasePath, tableName);
}

bool DayView::lookupMode() const
{
    return m_lookupMode;
}

// --- behaviour of the controls ------------------------------------------------------

void DayView::slotDoubleClicked(int slot)
{
    if (m_locked)
        return;
    SlotEdit *edit = m->slotEdits[slot];
    // Only the truly empty text gets the marker; a slot of spaces is asked.
    if (edit->text().isEmpty())
        edit->setText(noAppointmentMarker());
    else if (m_prompts.question(QStringLiteral("Effacer vraiment ?"), QStringLiteral("Attention")))
        edit->setText(QString());
}

void DayView::slotKeyReleased(int slot, int key)
{
    if (m_lookupEnabled && key == Qt::Key_F2)
        m_lookupMode = !m_lookupMode;
    if (!m_lookupMode || m_locked)
        return;

    SlotEdit *edit = m->slotEdits[slot];
    // The insertion point: with a selection, where typing would replace it
    // from. A Tab into a filled slot selects its whole text with the caret at
    // the end; that is no prefix typed by anyone.
    const int caret = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    if (caret < LookupMinimumPrefix)
        return;
    // No matching name, or no names to read: the slot keeps what was typed,
    // without a message at every key.
    const std::optional<QString> name = m_lookup.complete(edit->text().left(caret));
    if (!name)
        return;
    edit->setText(*name);
    edit->setCursorPosition(caret);
}

void DayView::toggleMark(QLineEdit *panel, const QString &text)
{
    panel->setText(text);
    panel->setHidden(!panel->isHidden());
    Q_EMIT edited();
}

// --- controls the main window reaches ------------------------------------------------

QLabel *DayView::dateLabel() const { return m->date; }
QLabel *DayView::hiddenDateLabel() const { return m->hiddenDate; }
QLabel *DayView::hiddenUserLabel() const { return m->hiddenUser; }
QLabel *DayView::hiddenIntervalLabel() const { return m->hiddenInterval; }
QLabel *DayView::makerLabel() const { return m->maker; }
QLabel *DayView::bottomAnnotationLabel() const { return m->blocTitle; }
QCalendarWidget *DayView::calendar() const { return m->calendar; }
MouseDownButton *DayView::userButton(int user) const { return itemAt(m->users, user - 1); }
SlotEdit *DayView::slotEdit(int slot) const { return itemAt(m->slotEdits, slot); }
QCheckBox *DayView::checkBox(int slot) const { return itemAt(m->checks, slot); }
QLabel *DayView::timeLabel(int slot) const { return itemAt(m->timeLabels, slot); }
