#pragma once

#include "slotcount.h"

#include <QString>

#include <array>

// One half-day mark (absence or echography): set when its panel is shown.
struct HalfDayMark
{
    bool set = false;
    QString text;
    bool operator==(const HalfDayMark &) const = default;
};

// One calendar day of one user, as the day view shows it and a row of
// RVOUSn stores it.
struct DayRecord
{
    std::array<QString, SlotCount> slots;
    std::array<bool, SlotCount> checks{};
    QString postit;
    QString bloc;
    HalfDayMark absent1;
    HalfDayMark absent2;
    HalfDayMark echo1;
    HalfDayMark echo2;

    bool operator==(const DayRecord &) const = default;
};

// The RVOUS and COCHE encodings: 53 pieces joined by CR LF. Decoding fills
// missing pieces as empty / unchecked and ignores pieces past the 53rd; a
// COCHE piece other than "1" is unchecked.
namespace DayEncoding {
QString encodeSlots(const std::array<QString, SlotCount> &slots);
std::array<QString, SlotCount> decodeSlots(const QString &rvous);
QString encodeChecks(const std::array<bool, SlotCount> &checks);
std::array<bool, SlotCount> decodeChecks(const QString &coche);
} // namespace DayEncoding
