#pragma once

#include "slotcount.h"

#include <QString>

#include <array>

// What the main window shows when a print is asked for. The prints are
// composed from it, unsaved edits included; the store is not read.
struct ShownDay
{
    int intervalMinutes = 0;              // the shown user's grid
    QString dateCaption;                  // LblDate: the shown date, long form
    QString userName;                     // the main window's caption
    std::array<QString, SlotCount> slots; // Text1_0 .. Text1_52
    QString theatreTitle;                 // Label3
    QString theatreProgramme;             // Text3
    QString postit;                       // Text2
};
