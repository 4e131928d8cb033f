#include "slottimes.h"

#include "slotgrid.h"

#include <QHash>

namespace SlotTimes {

namespace {

struct GridTimes
{
    std::array<QTime, SlotCount> starts;
    std::array<bool, SlotCount> own{};
};

GridTimes timesOf(int minutes)
{
    GridTimes times;
    const SlotGrid::Captions captions = SlotGrid::captions(minutes);
    int hour = -1;
    QTime current;
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (slot == MorningSlotCount) // a new frame: nothing continues across
            current = QTime();
        const QString &caption = captions[slot];
        if (caption.contains(u'h')) {
            hour = caption.left(2).toInt();
            current = QTime(hour, 0);
        } else if (!caption.isEmpty() && hour >= 0) {
            current = QTime(hour, caption.toInt());
        }
        times.own[slot] = !caption.isEmpty();
        times.starts[slot] = current;
    }
    return times;
}

const GridTimes &cached(int minutes)
{
    static const QHash<int, GridTimes> grids = [] {
        QHash<int, GridTimes> all;
        for (int minutes : {10, 15, 20, 30, 60})
            all.insert(minutes, timesOf(minutes));
        return all;
    }();
    static const GridTimes none;
    const auto it = grids.constFind(minutes);
    return it == grids.cend() ? none : *it;
}

} // namespace

QTime startOf(int minutes, int slot)
{
    if (slot < 0 || slot >= SlotCount)
        return {};
    return cached(minutes).starts[slot];
}

bool hasOwnTime(int minutes, int slot)
{
    return slot >= 0 && slot < SlotCount && cached(minutes).own[slot];
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
