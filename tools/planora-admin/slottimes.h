#pragma once

#include <QTime>

// When each of the 53 slots starts under a slot interval, read from the
// grids' structure (SlotGrid): a timed slot stands for its time; a slot
// without a time of its own is an extra line under the timed slot above it
// in the same half-day, and starts when that one does.
namespace SlotTimes {

// Invalid for an interval other than 10, 15, 20, 30 or 60 minutes.
QTime startOf(int minutes, int slot);

// True when the slot has a caption of its own (is not an extra line).
bool hasOwnTime(int minutes, int slot);

// The frame's first start and the end of its last captioned slot (its
// start plus the interval): slots first .. last of a frame.
struct Span
{
    QTime start;
    QTime end;
};
Span frameSpan(int minutes, int firstSlot, int lastSlot);

} // namespace SlotTimes
