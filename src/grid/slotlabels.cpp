#include "slotlabels.h"

namespace {

using SlotGrid::Rendering;
using SlotGrid::SlotKind;
using SlotGrid::SlotTime;

// How one rendering writes each kind of slot: an hour as its two digits and
// hourSuffix, a minute as minuteIndent, its two digits and minuteSuffix.
struct LabelStyle
{
    Rendering rendering;
    const char *hourSuffix;
    const char *minuteIndent;
    const char *minuteSuffix;
    const char *continuation;
    const char *spare;
};

constexpr std::array<LabelStyle, 4> Styles{{
    {Rendering::DayCaption, "h 00", "", "", "", ""},
    {Rendering::PrintedList, "h00 : ", "      ", " : ", "        ", ""},
    {Rendering::WeekDayWithRecord, "h00 : ", "      ", " : ", "         : ", "         : "},
    {Rendering::WeekDayWithoutRecord, "h00 : ", "      ", " : ", "      : ", ""},
}};

// A week column of a day with a record indents the 10-minute grid's minutes
// by one blank less than every other grid ("     10 : ").
struct IndentException
{
    Rendering rendering;
    int minutes;
    const char *minuteIndent;
};

constexpr std::array<IndentException, 1> IndentExceptions{{
    {Rendering::WeekDayWithRecord, 10, "     "},
}};

LabelStyle styleOf(Rendering rendering, int minutes)
{
    LabelStyle style = Styles.front();
    for (const LabelStyle &candidate : Styles) {
        if (candidate.rendering == rendering)
            style = candidate;
    }
    for (const IndentException &exception : IndentExceptions) {
        if (exception.rendering == rendering && exception.minutes == minutes)
            style.minuteIndent = exception.minuteIndent;
    }
    return style;
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString render(const LabelStyle &style, const SlotTime &slot)
{
    switch (slot.kind) {
    case SlotKind::Hour:
        return twoDigits(slot.hour) + QLatin1String(style.hourSuffix);
    case SlotKind::Minute:
        return QLatin1String(style.minuteIndent) + twoDigits(slot.minute) + QLatin1String(style.minuteSuffix);
    case SlotKind::Continuation:
        return QLatin1String(style.continuation);
    case SlotKind::Spare:
        break;
    }
    return QLatin1String(style.spare);
}

} // namespace

namespace SlotGrid {

QStringList labels(Rendering rendering, int minutes)
{
    const Structure *grid = structure(minutes);
    if (!grid)
        return {};
    const LabelStyle style = styleOf(rendering, minutes);
    QStringList result;
    result.reserve(SlotCount);
    for (const SlotTime &slot : *grid)
        result << render(style, slot);
    return result;
}

QStringList halfDayLabels(Rendering rendering, int minutes, HalfDay halfDay)
{
    const SlotRange range = slotRange(halfDay);
    return labels(rendering, minutes).mid(range.first, range.count);
}

} // namespace SlotGrid
