#pragma once

#include "dayrecord.h"
#include "namelookup.h"

#include <QDate>
#include <QWidget>

#include <array>
#include <memory>

class Prompts;
class QCalendarWidget;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class MouseDownButton;
class SlotEdit;

// The client area of the main window: every control of the day view, laid
// out from the window design's twips, with the behaviour that belongs to the
// controls themselves (slot editing, the name lookup, the half-day marks, the
// check boxes' visibility) and the moves between a DayRecord and the screen.
// Navigation and saving belong to the main window, which listens to the
// signals below. Every control carries its design name as objectName
// ("Text1_5", "Check1_52", "Label1_0", "Text4_1", "Frame1_0", "CmdSuiv", ...).
class DayView : public QWidget
{
    Q_OBJECT

public:
    explicit DayView(Prompts &prompts, QWidget *parent = nullptr);
    ~DayView() override;

    // --- grid (slot captions) -------------------------------------------
    // The five grid routines write the 53 captions of Label1_0..Label1_52.
    void GRILLE_10();
    void GRILLE_15();
    void GRILLE_20();
    void GRILLE_30();
    void GRILLE_60();
    // The routine of an interval index (0..4); returns its minutes, or 0 and
    // lays out nothing for any other index.
    int layOutGrid(int intervalIndex);

    // --- record <-> view --------------------------------------------------
    void showRecord(const DayRecord &record); // AFFICHE_JOUR steps 1 to 7
    void showEmptyDay();                      // VIDE_JOUR
    DayRecord record() const;                 // what REMPLIT_JOUR writes
    void hideAbsencePanels();                 // Text4_0 and Text4_1 hidden
    // A locked day takes no edit: the slots, the post-it and the theatre
    // programme are read-only, the check boxes and half-day buttons do
    // nothing, and double clicks and the name lookup leave the slots alone.
    void setDayLocked(bool locked);
    bool isDayLocked() const { return m_locked; }

    // --- check boxes --------------------------------------------------------
    void setChecksVisible(bool visible);
    void invertChecksVisibility(); // "Voir les c&oches": each box flips on its own

    // --- state the main window sets ----------------------------------------
    // The shown user's top annotation: written at once into TxtEcho1 and
    // TxtEcho2 (start-up and a user switch do so), and put there again by
    // CmdEcho1 / CmdEcho2 at each press.
    void setEchoAnnotation(const QString &topAnnotation);
    // Lookup enabled (Alpha.agc) and where the names are; lookup mode starts
    // equal to lookup enabled and is then toggled by F2 in a slot.
    void setNameLookup(bool enabled, const QString &namesDatabasePath, const QString &tableName);
    bool lookupMode() const;

    // Controls the main window reads or writes directly (null for an index
    // out of range).
    QLabel *dateLabel() const;        // LblDate
    QLabel *hiddenDateLabel() const;  // Label2
    QLabel *hiddenUserLabel() const;  // LblUtilisat
    QLabel *hiddenIntervalLabel() const; // LblHorImp
    QLabel *makerLabel() const;       // Label5
    QLabel *bottomAnnotationLabel() const; // Label3
    QCalendarWidget *calendar() const; // MonthView1
    MouseDownButton *userButton(int user) const; // CmdUtilisat1..6
    SlotEdit *slotEdit(int slot) const;          // Text1_i
    QCheckBox *checkBox(int slot) const;         // Check1_i
    QLabel *timeLabel(int slot) const;           // Label1_i

Q_SIGNALS:
    // Any change of a slot text, Text2 or Text3 (typed or set by code), and
    // every press of a half-day button: the main window sets its changed flag.
    void edited();
    void userButtonPressed(int user);      // CmdUtilisat1..6, any mouse button
    void previousDayPressed();             // CmdPrec
    void nextDayPressed();                 // CmdSuiv
    void calendarDateClicked(QDate date);  // MonthView1
    void redisplayClicked();               // Command1 "x"
    void checkToggledByUser(int slot);     // Check1_i clicked by the user only

private:
    void connectControls();
    void slotDoubleClicked(int slot);
    void slotKeyReleased(int slot, int key);
    void toggleMark(QLineEdit *panel, const QString &text);

    struct Controls;
    std::unique_ptr<Controls> m;
    Prompts &m_prompts;
    NameLookup m_lookup;
    bool m_lookupEnabled = false;
    bool m_lookupMode = false;
    bool m_locked = false;
    QString m_echoAnnotation = QStringLiteral("Echographies"); // the design text until a user is applied
};
