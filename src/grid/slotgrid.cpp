#include "slotgrid.h"

#include <algorithm>
#include <vector>

namespace {

using SlotGrid::SlotKind;
using SlotGrid::SlotTime;
using SlotGrid::Structure;

// One interval: the slots of one hour after the hour slot itself, as minutes
// (0: a continuation line without a time of its own).
struct IntervalRule
{
    int minutes;
    std::vector<int> afterHour;
};

// One half-day: its first slot and size, the hours it holds in full, and an
// hour standing alone after them (0: none).
struct FrameRule
{
    int firstSlot;
    int slotCount;
    int firstHour;
    int lastFullHour;
    int closingHour;
};

// In the order of GridMinutes. No slot stands for minute 50 under the
// 10-minute grid: an hour takes five slots there.
const std::array<IntervalRule, 5> IntervalRules{{
    {10, {10, 20, 30, 40}},
    {15, {15, 30, 45}},
    {20, {20, 40}},
    {30, {0, 30, 0}},
    {60, {0, 0, 0}},
}};

// The morning runs to 13h and the afternoon to 21h 00 at most; a grid whose
// hours do not fit in a half-day's slots is cut at its end (10 minutes:
// 12h 30 and 19h 30), one whose hours leave slots over leaves them spare.
constexpr std::array<FrameRule, 2> FrameRules{{
    {0, MorningSlotCount, 8, 13, 0},
    {MorningSlotCount, SlotCount - MorningSlotCount, 14, 20, 21},
}};

Structure build(const IntervalRule &rule)
{
    Structure result; // every slot spare until the frames fill it
    for (const FrameRule &frame : FrameRules) {
        std::vector<SlotTime> column;
        for (int hour = frame.firstHour; hour <= frame.lastFullHour; ++hour) {
            column.push_back({SlotKind::Hour, hour, 0});
            int timedMinute = 0; // a continuation line carries the time of the slot above
            for (int minute : rule.afterHour) {
                if (minute != 0)
                    timedMinute = minute;
                column.push_back({minute == 0 ? SlotKind::Continuation : SlotKind::Minute, hour, timedMinute});
            }
        }
        if (frame.closingHour != 0)
            column.push_back({SlotKind::Hour, frame.closingHour, 0});
        const int filled = std::min<int>(frame.slotCount, int(column.size()));
        std::copy_n(column.begin(), filled, result.begin() + frame.firstSlot);
    }
    return result;
}

const std::array<Structure, 5> &structures()
{
    static const std::array<Structure, 5> all = [] {
        std::array<Structure, 5> built;
        std::transform(IntervalRules.begin(), IntervalRules.end(), built.begin(), build);
        return built;
    }();
    return all;
}

} // namespace

namespace SlotGrid {

int minutesOfIndex(int intervalIndex)
{
    return intervalIndex >= 0 && intervalIndex < int(GridMinutes.size()) ? GridMinutes[intervalIndex] : 0;
}

const Structure *structure(int minutes)
{
    const auto it = std::find(GridMinutes.begin(), GridMinutes.end(), minutes);
    return it == GridMinutes.end() ? nullptr : &structures()[it - GridMinutes.begin()];
}

SlotRange slotRange(HalfDay halfDay)
{
    return halfDay == HalfDay::Morning ? SlotRange{0, MorningSlotCount}
                                       : SlotRange{MorningSlotCount, SlotCount - MorningSlotCount};
}

} // namespace SlotGrid
