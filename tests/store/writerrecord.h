#pragma once

#include "dayrecord.h"

#include <QRegularExpression>

#include <optional>

// The day a test writer saves: every field names its writer, its day and
// its save number, so that a row mixing two saves cannot pass for one.
namespace WriterRecord {

inline DayRecord make(int writer, qint32 date, int save)
{
    const QString tag = QStringLiteral("w%1/%2/%3").arg(writer).arg(date).arg(save);
    DayRecord record;
    for (int i = 0; i < SlotCount; ++i) {
        record.slots[std::size_t(i)] = tag + QStringLiteral(" créneau ") + QString::number(i);
        record.checks[std::size_t(i)] = (i + save) % 6 == writer - 1;
    }
    record.postit = tag;
    record.bloc = tag + QStringLiteral(" bloc");
    record.absent1 = {true, tag + QStringLiteral(" a1")};
    record.absent2 = {true, tag + QStringLiteral(" a2")};
    record.echo1 = {true, tag + QStringLiteral(" e1")};
    record.echo2 = {true, tag + QStringLiteral(" e2")};
    return record;
}

// The writer of a record that is exactly one whole save of one writer.
inline std::optional<int> writerOf(const DayRecord &record, qint32 date)
{
    static const QRegularExpression tag(QStringLiteral("^w(\\d+)/(\\d+)/(\\d+)$"));
    const QRegularExpressionMatch match = tag.match(record.postit);
    if (!match.hasMatch() || match.captured(2).toInt() != date) {
        return std::nullopt;
    }
    const int writer = match.captured(1).toInt();
    return make(writer, date, match.captured(3).toInt()) == record ? std::optional<int>(writer) : std::nullopt;
}

} // namespace WriterRecord
