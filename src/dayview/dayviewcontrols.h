#pragma once

#include "dayrecord.h"
#include "dayview.h"

#include <array>

class MemoEdit;
class QPushButton;

// Every control of the day view, created with its design name, caption and
// place. The day view gives them their behaviour.
struct DayView::Controls
{
    explicit Controls(QWidget *owner);

    // The slot frames "Matin" (0) and "Aprés midi" (1) and the 53 slots.
    std::array<QGroupBox *, 2> frames{};
    std::array<QLabel *, SlotCount> timeLabels{};
    std::array<SlotEdit *, SlotCount> slotEdits{};
    std::array<QCheckBox *, SlotCount> checks{};

    // Navigation: previous / next day, the long date, users, the calendar.
    MouseDownButton *previousDay = nullptr; // CmdPrec
    QLabel *date = nullptr;                 // LblDate
    MouseDownButton *nextDay = nullptr;     // CmdSuiv
    std::array<MouseDownButton *, 6> users{}; // CmdUtilisat1..6
    QCalendarWidget *calendar = nullptr;    // MonthView1
    QPushButton *redisplay = nullptr;       // Command1

    // The day's two free texts and their titles.
    QLabel *postitTitle = nullptr;   // Label4
    MemoEdit *postit = nullptr;      // Text2
    QLabel *blocTitle = nullptr;     // Label3
    MemoEdit *bloc = nullptr;        // Text3

    // Half-day marks, morning (0) and afternoon (1), and their buttons.
    std::array<QLineEdit *, 2> absencePanels{}; // Text4_0, Text4_1
    std::array<QLineEdit *, 2> echoPanels{};    // TxtEcho1, TxtEcho2
    std::array<MouseDownButton *, 2> absenceButtons{}; // CmdAbsent1, CmdAbsent2
    std::array<MouseDownButton *, 2> echoButtons{};    // CmdEcho1, CmdEcho2

    QLabel *maker = nullptr; // Label5

    // State other windows read; never shown.
    QLabel *hiddenDate = nullptr;     // Label2
    QLabel *hiddenUser = nullptr;     // LblUtilisat
    QLabel *hiddenInterval = nullptr; // LblHorImp
};
