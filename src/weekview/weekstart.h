#pragma once

#include <QtGlobal>

namespace WeekStart {

// Monday 30 December 2002: the first week the view can show.
inline constexpr qint32 FirstMonday = 37620;
inline constexpr int DaysPerWeek = 7;

// The Monday of the week shown around a date number. Decided: a date that is
// itself a Monday opens its own week (Monday to Sunday), as a user who asks
// for "this week" on a Monday expects; any date before FirstMonday shows the
// first week.
constexpr qint32 of(qint32 shownDateNumber)
{
    if (shownDateNumber <= FirstMonday)
        return FirstMonday;
    return FirstMonday + (shownDateNumber - FirstMonday) / DaysPerWeek * DaysPerWeek;
}

} // namespace WeekStart
