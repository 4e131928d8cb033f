#include "dayviewcontrols.h"

#include "halfdaypicture.h"
#include "memoedit.h"
#include "mousedownbutton.h"
#include "slotedit.h"
#include "controlname.h"
#include "twips.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// Window layout, in twips from the top left of the client area.
constexpr int FrameLeft[2] = {120, 4200};
constexpr int FrameTop = 480;
constexpr int FrameWidth = 4000;
constexpr int FrameHeight = 7335;

// Inside a frame: row k of the frame has its top at RowTop + k * RowHeight.
constexpr int RowTop = 240;
constexpr int RowHeight = 240;

constexpr int UserButtonTop = 7800;
constexpr int UserButtonLeft[6] = {120, 1680, 3240, 7080, 8640, 10200};

// Below the calendar: the post-it and the theatre programme, with the column
// of half-day buttons under Command1 at their right.
constexpr int NotesLeft = 8280;
constexpr int NotesWidth = 2700;
constexpr int HalfDayButtonLeft = 11040;
constexpr int HalfDayButtonTop = 4560;
constexpr int HalfDayButtonSide = 735;

// Over a frame's slot column: the absence mark on rows 2 to 9, the
// echography mark on rows 13 to 16, so that both read when both are set.
constexpr int SlotTextLeft = 720;
constexpr int SlotTextWidth = 3075;
constexpr int AbsenceFirstRow = 2;
constexpr int AbsenceRows = 8;
constexpr int EchoFirstRow = 13;
constexpr int EchoRows = 4;

constexpr int SlotFontPoints = 8;

template<typename Widget>
Widget *named(Widget *widget, const QString &name, QRect geometry = {})
{
    ControlName::named(widget, name);
    if (geometry.isValid())
        widget->setGeometry(geometry);
    return widget;
}

using ControlName::element;

QFont withPoints(QFont font, int points, bool bold)
{
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

// "ABSENT" in Arial Black; where the font is missing, the heaviest weight
// of a plain sans serif stands in for it.
QFont absenceFont()
{
    QFont font(QStringLiteral("Arial Black"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Black);
    font.setPointSize(24);
    return font;
}

// A mark laid over the slots: shown when its half-day is marked. Its text
// comes from its button or from the stored day, not from typing, so that
// what is shown is always what the day record will hold.
QLineEdit *markPanel(QWidget *frame, const QString &name, const QString &text, int firstRow, int rows)
{
    auto *panel = named(new QLineEdit(text, frame), name,
                        Twips::rect(SlotTextLeft, RowTop + firstRow * RowHeight, SlotTextWidth, rows * RowHeight));
    panel->setReadOnly(true);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFocusPolicy(Qt::NoFocus);
    panel->setHidden(true);
    return panel;
}

} // namespace

DayView::Controls::Controls(QWidget *owner)
{
    const QFont slotFont = withPoints(owner->font(), SlotFontPoints, false);
    // "08h 00" must fit the narrow time label of the design.
    QFont timeFont = withPoints(owner->font(), SlotFontPoints, false);
    timeFont.setStretch(QFont::Condensed);

    const QString frameCaptions[2] = {QStringLiteral("Matin"), QStringLiteral("Aprés midi")};
    for (int f = 0; f < 2; ++f) {
        auto *frame = named(new QGroupBox(frameCaptions[f], owner), element("Frame1", f),
                            Twips::rect(FrameLeft[f], FrameTop, FrameWidth, FrameHeight));
        frame->setFont(withPoints(owner->font(), SlotFontPoints, true));
        frames[f] = frame;
    }

    for (int slot = 0; slot < SlotCount; ++slot) {
        const bool morning = slot < MorningSlotCount;
        QGroupBox *frame = frames[morning ? 0 : 1];
        const int top = RowTop + RowHeight * (morning ? slot : slot - MorningSlotCount);

        auto *label = named(new QLabel(frame), element("Label1", slot),
                            Twips::rect(120, top, 495, 255));
        label->setFont(timeFont);
        timeLabels[slot] = label;

        auto *edit = named(new SlotEdit(frame), element("Text1", slot),
                           Twips::rect(720, top, 3075, 285));
        edit->setFont(slotFont);
        slotEdits[slot] = edit;

        auto *check = named(new QCheckBox(frame), element("Check1", slot),
                            Twips::rect(3800, top, 195, 200));
        // The style's own indicator is larger than the box of the design.
        check->setStyleSheet(QStringLiteral("QCheckBox { spacing: 0px; } "
                                            "QCheckBox::indicator { width: 12px; height: 12px; }"));
        checks[slot] = check;
    }

    for (int f = 0; f < 2; ++f) {
        absencePanels[f] = markPanel(frames[f], element("Text4", f), QStringLiteral("ABSENT"),
                                     AbsenceFirstRow, AbsenceRows);
        absencePanels[f]->setFont(absenceFont());
        absencePanels[f]->setStyleSheet(
            QStringLiteral("QLineEdit { color: #c00000; background: #fff4f0; border: 2px solid #c00000; }"));

        echoPanels[f] = markPanel(frames[f], QStringLiteral("TxtEcho%1").arg(f + 1), QStringLiteral("Echographies"),
                                  EchoFirstRow, EchoRows);
        echoPanels[f]->setFont(withPoints(owner->font(), 12, true));
        echoPanels[f]->setStyleSheet(
            QStringLiteral("QLineEdit { color: #103c9c; background: #eef4ff; border: 2px solid #103c9c; }"));
    }

    previousDay = named(new MouseDownButton(QStringLiteral("&<"), owner), QStringLiteral("CmdPrec"),
                        Twips::rect(120, 50, 1800, 400));
    date = named(new QLabel(QStringLiteral("Dimanche 31 Décembre 2003"), owner), QStringLiteral("LblDate"),
                 Twips::rect(2110, 50, 4095, 400));
    date->setAlignment(Qt::AlignCenter);
    date->setFont(withPoints(owner->font(), 12, true));
    QPalette datePalette = date->palette();
    datePalette.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00));
    date->setPalette(datePalette);
    nextDay = named(new MouseDownButton(QStringLiteral("&>"), owner), QStringLiteral("CmdSuiv"),
                    Twips::rect(6400, 50, 1800, 400));

    const QFont userFont = withPoints(owner->font(), owner->font().pointSize(), true);
    for (int user = 1; user <= 6; ++user) {
        // The first caption is spelled so in the window design.
        const QString caption = user == 1 ? QStringLiteral("Uttilisat 1") : QStringLiteral("Utilisat %1").arg(user);
        auto *button = named(new MouseDownButton(caption, owner), QStringLiteral("CmdUtilisat%1").arg(user),
                             Twips::rect(UserButtonLeft[user - 1], UserButtonTop, 1550, 375));
        button->setFont(userFont);
        users[user - 1] = button;
    }

    calendar = named(new QCalendarWidget(owner), QStringLiteral("MonthView1"), Twips::rect(8280, 0, 2700, 4515));
    // The design's calendar is narrow: no week numbers, one letter a weekday.
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    calendar->setFont(withPoints(owner->font(), SlotFontPoints, false));
    redisplay = named(new QPushButton(QStringLiteral("x"), owner), QStringLiteral("Command1"),
                      Twips::rect(11040, 3860, 735, 540));
    redisplay->setAutoDefault(false);

    postitTitle = named(new QLabel(QStringLiteral("Post-It"), owner), QStringLiteral("Label4"),
                        Twips::rect(NotesLeft, 4560, NotesWidth, 240));
    postit = named(new MemoEdit(owner), QStringLiteral("Text2"), Twips::rect(NotesLeft, 4800, NotesWidth, 1080));
    blocTitle = named(new QLabel(QStringLiteral("Programme Bloc Opératoire"), owner), QStringLiteral("Label3"),
                      Twips::rect(NotesLeft, 5940, NotesWidth, 240));
    bloc = named(new MemoEdit(owner), QStringLiteral("Text3"), Twips::rect(NotesLeft, 6180, NotesWidth, 1560));
    for (QLabel *title : {postitTitle, blocTitle})
        title->setFont(withPoints(owner->font(), SlotFontPoints, true));
    for (QPlainTextEdit *notes : {postit, bloc}) {
        notes->setFont(slotFont);
        notes->setTabChangesFocus(true);
    }

    struct HalfDayButton
    {
        const char *name;
        const char *caption;
        HalfDayPicture::Mark mark;
        HalfDayPicture::HalfDay halfDay;
        MouseDownButton **target;
    };
    const HalfDayButton halfDayButtons[] = {
        {"CmdAbsent1", "&Matin", HalfDayPicture::Mark::Absence, HalfDayPicture::HalfDay::Morning, &absenceButtons[0]},
        {"CmdAbsent2", "&A. Midi", HalfDayPicture::Mark::Absence, HalfDayPicture::HalfDay::Afternoon,
         &absenceButtons[1]},
        {"CmdEcho1", "Ma&tin", HalfDayPicture::Mark::Echography, HalfDayPicture::HalfDay::Morning, &echoButtons[0]},
        {"CmdEcho2", "A. Mi&di", HalfDayPicture::Mark::Echography, HalfDayPicture::HalfDay::Afternoon,
         &echoButtons[1]},
    };
    int top = HalfDayButtonTop;
    for (const HalfDayButton &design : halfDayButtons) {
        auto *button = named(new MouseDownButton(QString::fromUtf8(design.caption), owner),
                             QString::fromLatin1(design.name),
                             Twips::rect(HalfDayButtonLeft, top, HalfDayButtonSide, HalfDayButtonSide));
        button->setIcon(HalfDayPicture::icon(design.mark, design.halfDay));
        button->setFont(withPoints(owner->font(), 7, false));
        *design.target = button;
        top += HalfDayButtonSide;
    }

    maker = named(new QLabel(QStringLiteral("PLANORA · Atelier Hirondel"), owner), QStringLiteral("Label5"),
                  Twips::rect(120, 8220, 11655, 240));
    maker->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    maker->setFont(withPoints(owner->font(), SlotFontPoints, false));
    maker->setAutoFillBackground(true);

    hiddenDate = named(new QLabel(owner), QStringLiteral("Label2"));
    hiddenUser = named(new QLabel(owner), QStringLiteral("LblUtilisat"));
    hiddenInterval = named(new QLabel(owner), QStringLiteral("LblHorImp"));
    for (QLabel *hidden : {hiddenDate, hiddenUser, hiddenInterval})
        hidden->setHidden(true);

    // The half-day marks lie over the slots of their frame.
    for (int f = 0; f < 2; ++f) {
        absencePanels[f]->raise();
        echoPanels[f]->raise();
    }
    // Up to the right edge of Command1 and the bottom of Label5, with the
    // design's margin of 120 twips.
    owner->setMinimumSize(Twips::toPixels(11895), Twips::toPixels(8520));
}
