#pragma once

#include "dayrecord.h"

#include <QString>

#include <array>

// Which time of day each of the 53 slots stands for under a slot interval:
// the captions of the time labels. Shared by the day view, the week view and
// the printed lists.
namespace SlotGrid {

using Captions = std::array<QString, SlotCount>;

// The interval of an index stored in Utilisat.agc: 0..4 give 10, 15, 20, 30
// and 60 minutes; any other index gives 0 (no grid).
int minutesOfIndex(int intervalIndex);

// The 53 captions of a grid of 10, 15, 20, 30 or 60 minutes: "08h 00" for an
// hour, "15" for a minute, empty for an extra line under the slot above. Any
// other number of minutes gives 53 empty captions.
Captions captions(int minutes);

} // namespace SlotGrid
