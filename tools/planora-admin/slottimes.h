#pragma once

#include <QTime>

// When each of the 53 slots starts under a slot interval, read from the
// day view's grid (the one table of the grids' hours): a slot with a caption
// stands for its time, a minute caption taking the hour above it; a slot
// without caption is an extra line under the captioned slot above it in the
// same frame, and starts when that one does.
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
