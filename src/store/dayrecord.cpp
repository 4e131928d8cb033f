#include "dayrecord.h"

#include <QStringList>

namespace DayEncoding {

namespace {

const QString &separator()
{
    static const QString crlf = QStringLiteral("\r\n");
    return crlf;
}

// Piece i of a CR LF joined text, for i = 0 .. 52: missing pieces are empty,
// pieces past the 53rd are dropped.
std::array<QString, SlotCount> pieces(const QString &joined)
{
    std::array<QString, SlotCount> result;
    const QStringList parts = joined.split(separator());
    for (qsizetype i = 0; i < SlotCount && i < parts.size(); ++i) {
        result[std::size_t(i)] = parts.at(i);
    }
    return result;
}

} // namespace

QString encodeSlots(const std::array<QString, SlotCount> &slots)
{
    return QStringList(slots.begin(), slots.end()).join(separator());
}

std::array<QString, SlotCount> decodeSlots(const QString &rvous)
{
    return pieces(rvous);
}

QString encodeChecks(const std::array<bool, SlotCount> &checks)
{
    QStringList values;
    for (const bool checked : checks) {
        values << (checked ? QStringLiteral("1") : QStringLiteral("0"));
    }
    return values.join(separator());
}

std::array<bool, SlotCount> decodeChecks(const QString &coche)
{
    const std::array<QString, SlotCount> texts = pieces(coche);
    std::array<bool, SlotCount> checks{};
    for (std::size_t i = 0; i < checks.size(); ++i) {
        checks[i] = texts[i] == u"1";
    }
    return checks;
}

} // namespace DayEncoding
