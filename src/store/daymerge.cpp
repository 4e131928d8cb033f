#include "daymerge.h"

namespace DayMerge {

namespace {

template<typename Field, typename Same>
void mergeField(Field &result, const Field &remembered, const Field &shown, Same same)
{
    if (!same(shown, remembered)) {
        result = shown;
    }
}

const auto equal = [](const auto &a, const auto &b) { return a == b; };

constexpr HalfDayMark DayRecord::*Marks[] = {&DayRecord::absent1, &DayRecord::absent2, &DayRecord::echo1,
                                             &DayRecord::echo2};

} // namespace

bool sameMark(const HalfDayMark &a, const HalfDayMark &b)
{
    return a.set == b.set && (!a.set || a.text == b.text);
}

DayRecord merge(const DayRecord &remembered, const DayRecord &shown, const DayRecord &stored)
{
    DayRecord result = stored;
    for (std::size_t slot = 0; slot < SlotCount; ++slot) {
        mergeField(result.slots[slot], remembered.slots[slot], shown.slots[slot], equal);
        mergeField(result.checks[slot], remembered.checks[slot], shown.checks[slot], equal);
    }
    mergeField(result.postit, remembered.postit, shown.postit, equal);
    mergeField(result.bloc, remembered.bloc, shown.bloc, equal);
    for (HalfDayMark DayRecord::*mark : Marks) {
        mergeField(result.*mark, remembered.*mark, shown.*mark, sameMark);
    }
    return result;
}

bool sameDay(const DayRecord &a, const DayRecord &b)
{
    for (HalfDayMark DayRecord::*mark : Marks) {
        if (!sameMark(a.*mark, b.*mark)) {
            return false;
        }
    }
    return a.slots == b.slots && a.checks == b.checks && a.postit == b.postit && a.bloc == b.bloc;
}

} // namespace DayMerge
