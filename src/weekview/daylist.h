#pragma once

#include "dayrecord.h"

#include <QStringList>

// The lines of one week view column: one line per slot (its label followed
// by the slot's text), a blank separator between morning and afternoon, and a
// block of X lines for a half-day marked absent.
namespace DayList {

// The absence code of a day with a record: 1 morning only, 2 afternoon only,
// 3 both, 0 none.
int absenceCode(const DayRecord &record);

// The column of a day under the grid of `minutes`; record is null for a day
// without a record. Decided: under an interval that is no grid the slots
// show their texts without labels.
QStringList lines(int minutes, const DayRecord *record);

} // namespace DayList
