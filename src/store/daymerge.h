#pragma once

#include "dayrecord.h"

// Merging one workstation's edits of a day with what another workstation
// stored meanwhile, field by field. The fields are the 53 slot texts, the 53
// check marks, the post-it, the theatre programme and each half-day mark
// with its text (a mark that is not set has no text worth comparing).
namespace DayMerge {

// The day to show or to write: each field the workstation changed (shown
// differs from remembered, the day it was shown from) as shown, every other
// field as stored. When both changed a field, the shown one is kept; the
// stored one goes to the day history when the merge is saved.
DayRecord merge(const DayRecord &remembered, const DayRecord &shown, const DayRecord &stored);

// Two marks that show the same: both unset, or both set with the same text.
bool sameMark(const HalfDayMark &a, const HalfDayMark &b);

// Whether the two days show the same, field by field as merge() sees them.
bool sameDay(const DayRecord &a, const DayRecord &b);

} // namespace DayMerge
