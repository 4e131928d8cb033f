#pragma once

#include "dayrecord.h"

#include <QList>
#include <QRegularExpression>

#include <optional>

// What the test writers save: writer w (1 to 6) owns the slots whose index
// is w - 1 modulo 6 of days FirstDay .. FirstDay + Days - 1 of user 1, and
// its save n writes slotText(w, n) into each of them.
namespace WriterRecord {

inline constexpr qint32 FirstDay = 40000;
inline constexpr int Days = 3;

inline QList<int> slotsOf(int writer)
{
    QList<int> slots;
    for (int slot = writer - 1; slot < SlotCount; slot += 6) {
        slots << slot;
    }
    return slots;
}

inline QString slotText(int writer, int save)
{
    return QStringLiteral("w%1 n%2").arg(writer).arg(save);
}

// The save number in a writer's slot text, if it is one.
inline std::optional<int> saveIn(const QString &text, int writer)
{
    static const QRegularExpression pattern(QStringLiteral("^w(\\d+) n(\\d+)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch() || match.captured(1).toInt() != writer) {
        return std::nullopt;
    }
    return match.captured(2).toInt();
}

} // namespace WriterRecord
