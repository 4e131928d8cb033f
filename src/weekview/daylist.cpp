#include "daylist.h"

#include "slotlabels.h"

#include <vector>

namespace {

using SlotGrid::HalfDay;
using SlotGrid::Rendering;

// What a column is made of, piece by piece.
enum class Piece { MorningSlots, AfternoonSlots, MorningAbsent, AfternoonAbsent, Noon, NoonCrosses, Separator };

constexpr int NoRecord = -1; // in place of an absence code
constexpr int AnyGrid = 0;

struct Layout
{
    int absenceCode;
    int minutes; // AnyGrid, or the one grid this layout is for
    std::vector<Piece> pieces;
};

// The first layout that matches the day's absence code and grid is used: the
// two exceptions stand before the general rule of their code.
const std::vector<Layout> &layouts()
{
    using enum Piece;
    static const std::vector<Layout> all{
        // Both half-days absent: the 10-minute grid puts the separator
        // straight after the noon line.
        {3, 10, {MorningAbsent, Noon, Separator, NoonCrosses, AfternoonAbsent}},
        {3, AnyGrid, {MorningAbsent, Noon, NoonCrosses, Separator, AfternoonAbsent}},
        {2, AnyGrid, {MorningSlots, Separator, AfternoonAbsent}},
        {1, AnyGrid, {MorningAbsent, Separator, AfternoonSlots}},
        {0, AnyGrid, {MorningSlots, Separator, AfternoonSlots}},
        // An empty day of the 20-minute grid has no separator: 53 lines.
        {NoRecord, 20, {MorningSlots, AfternoonSlots}},
        {NoRecord, AnyGrid, {MorningSlots, Separator, AfternoonSlots}},
    };
    return all;
}

const std::vector<Piece> &piecesOf(int code, int minutes)
{
    for (const Layout &layout : layouts()) {
        if (layout.absenceCode == code && (layout.minutes == AnyGrid || layout.minutes == minutes))
            return layout.pieces;
    }
    Q_UNREACHABLE();
}

QStringList fixedLines(Piece piece)
{
    const QString crosses = QStringLiteral("XXXXXXXXXXXXXXXXXX");
    const QString absent = QStringLiteral("XXXXX  ABSENT  XXXXX");
    switch (piece) {
    case Piece::MorningAbsent:
        return {QStringLiteral("08h00 : "), crosses, crosses, absent, crosses, crosses};
    case Piece::AfternoonAbsent:
        return {QStringLiteral("14h00 : "), crosses, crosses, absent, crosses, crosses};
    case Piece::Noon:
        return {QStringLiteral("12h00 : ")};
    case Piece::NoonCrosses:
        return {crosses, crosses};
    case Piece::Separator:
        return {QString()};
    case Piece::MorningSlots:
    case Piece::AfternoonSlots:
        break;
    }
    return {};
}

} // namespace

namespace DayList {

int absenceCode(const DayRecord &record)
{
    return (record.absent1.set ? 1 : 0) + (record.absent2.set ? 2 : 0);
}

QStringList lines(int minutes, const DayRecord *record)
{
    QStringList labels = SlotGrid::labels(
        record ? Rendering::WeekDayWithRecord : Rendering::WeekDayWithoutRecord, minutes);
    if (labels.isEmpty())
        labels = QStringList(SlotCount);
    QStringList result;
    for (Piece piece : piecesOf(record ? absenceCode(*record) : NoRecord, minutes)) {
        if (piece != Piece::MorningSlots && piece != Piece::AfternoonSlots) {
            result << fixedLines(piece);
            continue;
        }
        const SlotGrid::SlotRange range =
            SlotGrid::slotRange(piece == Piece::MorningSlots ? HalfDay::Morning : HalfDay::Afternoon);
        for (int slot = range.first; slot < range.first + range.count; ++slot)
            result << (record ? labels.at(slot) + record->slots[std::size_t(slot)] : labels.at(slot));
    }
    return result;
}

} // namespace DayList
