#pragma once

#include "daycursor.h"
#include "dayrecord.h"
#include "status.h"
#include "weekstart.h"

#include <array>
#include <optional>

// The seven days of a week of one user, each found through the day cursor
// (which afterwards stands on the Sunday). A day without a row, or whose row
// cannot be read, has no record and shows as an empty day.
namespace WeekReader {

using Week = std::array<std::optional<DayRecord>, WeekStart::DaysPerWeek>;

// On the first store error its status is returned and `week` is left as it was.
Status read(DayCursor &cursor, const QString &databasePath, int user, qint32 weekStart, Week &week);

} // namespace WeekReader
