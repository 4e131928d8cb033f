#include "slotgrid.h"

#include <QStringList>

#include <algorithm>

namespace {

// One interval: the captions of one hour after the hour caption itself
// (an empty entry is a slot without a time of its own).
struct IntervalRule
{
    int minutes;
    int indexInFile;
    QStringList afterHour;
};

// One frame of the day: its first slot and size, the hours it shows in
// full, and an hour caption standing alone after them (0: none).
struct FrameRule
{
    int firstSlot;
    int slotCount;
    int firstHour;
    int lastFullHour;
    int closingHour;
};

const std::array<IntervalRule, 5> &intervalRules()
{
    static const std::array<IntervalRule, 5> rules{{
        // No slot is labelled with minute 50 under the 10-minute grid.
        {10, 0, {QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30"), QStringLiteral("40")}},
        {15, 1, {QStringLiteral("15"), QStringLiteral("30"), QStringLiteral("45")}},
        {20, 2, {QStringLiteral("20"), QStringLiteral("40")}},
        {30, 3, {QString(), QStringLiteral("30"), QString()}},
        {60, 4, {QString(), QString(), QString()}},
    }};
    return rules;
}

// The morning runs to 13h and the afternoon to 21h 00 at most; a grid whose
// hours do not fit in a frame's slots is cut at the frame's end (10 minutes:
// 12h 30 and 19h 30), one whose hours leave slots over leaves them empty.
constexpr std::array<FrameRule, 2> FrameRules{{
    {0, MorningSlotCount, 8, 13, 0},
    {MorningSlotCount, SlotCount - MorningSlotCount, 14, 20, 21},
}};

QString hourCaption(int hour)
{
    return QStringLiteral("%1h 00").arg(hour, 2, 10, QLatin1Char('0'));
}

const IntervalRule *ruleOfMinutes(int minutes)
{
    const auto &rules = intervalRules();
    const auto it = std::find_if(rules.begin(), rules.end(),
                                 [minutes](const IntervalRule &rule) { return rule.minutes == minutes; });
    return it == rules.end() ? nullptr : &*it;
}

} // namespace

namespace SlotGrid {

int minutesOfIndex(int intervalIndex)
{
    for (const IntervalRule &rule : intervalRules()) {
        if (rule.indexInFile == intervalIndex)
            return rule.minutes;
    }
    return 0;
}

Captions captions(int minutes)
{
    Captions result;
    const IntervalRule *rule = ruleOfMinutes(minutes);
    if (!rule)
        return result;
    for (const FrameRule &frame : FrameRules) {
        QStringList column;
        for (int hour = frame.firstHour; hour <= frame.lastFullHour; ++hour)
            column << hourCaption(hour) << rule->afterHour;
        if (frame.closingHour != 0)
            column << hourCaption(frame.closingHour);
        for (int row = 0; row < frame.slotCount && row < column.size(); ++row)
            result[frame.firstSlot + row] = column.at(row);
    }
    return result;
}

} // namespace SlotGrid
