#include "slottimes.h"

#include "slotgrid.h"

namespace SlotTimes {

namespace {

bool isTimed(const SlotGrid::SlotTime &time)
{
    return time.kind == SlotGrid::SlotKind::Hour || time.kind == SlotGrid::SlotKind::Minute;
}

} // namespace

QTime startOf(int minutes, int slot)
{
    const SlotGrid::Structure *grid = SlotGrid::structure(minutes);
    if (!grid || slot < 0 || slot >= SlotCount)
        return {};
    const SlotGrid::SlotTime &time = (*grid)[slot];
    if (time.kind != SlotGrid::SlotKind::Spare)
        return QTime(time.hour, time.minute);
    // A spare slot at the end of a half-day has no time at all; it reads as
    // one more line under the last timed slot above it.
    const int first = slot < MorningSlotCount ? 0 : MorningSlotCount;
    for (int above = slot - 1; above >= first; --above) {
        if (isTimed((*grid)[above]))
            return QTime((*grid)[above].hour, (*grid)[above].minute);
    }
    return {};
}

bool hasOwnTime(int minutes, int slot)
{
    const SlotGrid::Structure *grid = SlotGrid::structure(minutes);
    return grid && slot >= 0 && slot < SlotCount && isTimed((*grid)[slot]);
}

Span frameSpan(int minutes, int firstSlot, int lastSlot)
{
    Span span;
    for (int slot = firstSlot; slot <= lastSlot; ++slot) {
        if (!hasOwnTime(minutes, slot))
            continue;
        if (!span.start.isValid())
            span.start = startOf(minutes, slot);
        span.end = startOf(minutes, slot).addSecs(minutes * 60);
    }
    return span;
}

} // namespace SlotTimes
