#include "weekreader.h"

namespace WeekReader {

Status read(DayCursor &cursor, const QString &databasePath, int user, qint32 weekStart, Week &week)
{
    Week read;
    for (int day = 0; day < WeekStart::DaysPerWeek; ++day) {
        const Status status = cursor.position(databasePath, user, weekStart + day);
        if (!status.ok())
            return status;
        if (cursor.found())
            read[std::size_t(day)] = cursor.currentRecord();
    }
    week = std::move(read);
    return Status::success();
}

} // namespace WeekReader
