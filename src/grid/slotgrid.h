#pragma once

#include "slotcount.h"

#include <array>

// Which time of day each of the 53 slots stands for under a slot interval of
// 10, 15, 20, 30 or 60 minutes. The day view's captions, the week view's
// lines and the printed lists are renderings of this one structure
// (slotlabels.h).
namespace SlotGrid {

enum class SlotKind {
    Hour,         // the first slot of an hour: 08h, 09h, ...
    Minute,       // a minute of the hour above: 10, 15, 20, 30, 40, 45
    Continuation, // no time of its own: an extra line under the timed slot above
    Spare,        // after the last time of its half-day (20-minute grid only)
};

struct SlotTime
{
    SlotKind kind = SlotKind::Spare;
    int hour = 0;   // the hour the slot belongs to (0 for a spare slot)
    int minute = 0; // of the slot, or of the timed slot above a continuation
    bool operator==(const SlotTime &) const = default;
};

using Structure = std::array<SlotTime, SlotCount>;

enum class HalfDay { Morning, Afternoon };

struct SlotRange
{
    int first;
    int count;
};

// The five grids, in the order of their index in Utilisat.agc.
inline constexpr std::array<int, 5> GridMinutes{10, 15, 20, 30, 60};

// The interval of an index stored in Utilisat.agc: 0..4 give 10, 15, 20, 30
// and 60 minutes; any other index gives 0 (no grid).
int minutesOfIndex(int intervalIndex);

// The 53 slots of the grid of `minutes`; nullptr for any other number.
const Structure *structure(int minutes);

// Slots 0..23 for the morning, 24..52 for the afternoon, whatever the grid.
SlotRange slotRange(HalfDay halfDay);

} // namespace SlotGrid
