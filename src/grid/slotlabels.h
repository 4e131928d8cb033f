#pragma once

#include "slotgrid.h"

#include <QStringList>

// The label written in front of each slot, for each place that shows a grid.
// All of them render the one structure of slotgrid.h.
namespace SlotGrid {

enum class Rendering {
    DayCaption,           // the day view's time labels: "08h 00", "15", empty
    PrintedList,          // the morning and afternoon lists: "08h00 : ", "      15 : ", 8 blanks
    WeekDayWithRecord,    // a week view column of a day that has a record
    WeekDayWithoutRecord, // a week view column of a day without a record
};

// The 53 labels of the grid of `minutes`, slot 0 first; an empty list when
// `minutes` is not one of GridMinutes.
QStringList labels(Rendering rendering, int minutes);

// The labels of one half-day: 24 for the morning (slots 0..23), 29 for the
// afternoon (slots 24..52); an empty list when `minutes` is not a grid.
QStringList halfDayLabels(Rendering rendering, int minutes, HalfDay halfDay);

} // namespace SlotGrid
