// A workstation that only saves, for the multi-process tests:
//   store_writer <database> <writer 1..6> <milliseconds>
// saves days 40000 to 40002 of user 1 in turn, for the given time (or until
// killed when it is 0), through the day cursor's merging save. Writer w owns
// the slots whose index is w - 1 modulo 6: each save puts into them the text
// WriterRecord::slotText(w, n), n counting this writer's saves from 1, and
// leaves the other slots as this writer last saw them. Each save is printed
// as "<date> <n>" once it has returned.
#include "daycursor.h"
#include "writerrecord.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: store_writer database writer milliseconds\n");
        return 2;
    }
    const int writer = args[2].toInt();
    const qint64 milliseconds = args[3].toLongLong();
    DayCursor cursor;
    cursor.setBusyTimeout(120000); // six writers queue for the lock; none may give up
    QHash<qint32, DayRecord> seen; // each day as this writer last saved it
    QElapsedTimer clock;
    clock.start();
    for (int save = 1; milliseconds == 0 || clock.elapsed() < milliseconds; ++save) {
        const qint32 date = WriterRecord::FirstDay + save % WriterRecord::Days;
        DayRecord shown = seen.value(date);
        for (const int slot : WriterRecord::slotsOf(writer)) {
            shown.slots[std::size_t(slot)] = WriterRecord::slotText(writer, save);
        }
        DayRecord saved;
        if (const Status status = cursor.save(args[1], 1, date, seen.value(date), shown, saved); !status) {
            std::fprintf(stderr, "%s\n", qPrintable(status.message()));
            return 1;
        }
        seen.insert(date, saved);
        std::printf("%d %d\n", date, save);
        std::fflush(stdout);
    }
    return 0;
}
