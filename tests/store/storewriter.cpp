// A workstation that only saves days, for the multi-process tests:
//   store_writer <database> <writer> <table> <firstDate> <days> [<sharedTable> <sharedFirstDate>]
// saves <days> days of user <table> from <firstDate>, and every second one
// also into <sharedTable>; with <days> = 0 it saves day after day forever.
// Each date is printed once its save has returned.
#include "daycursor.h"
#include "writerrecord.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6 && args.size() != 8) {
        std::fprintf(stderr, "usage: store_writer database writer table firstDate days [sharedTable sharedFirst]\n");
        return 2;
    }
    const QString path = args[1];
    const int writer = args[2].toInt();
    const int table = args[3].toInt();
    const qint32 firstDate = args[4].toInt();
    const int days = args[5].toInt();
    const int sharedTable = args.size() == 8 ? args[6].toInt() : 0;
    const qint32 sharedFirst = args.size() == 8 ? args[7].toInt() : 0;

    DayCursor cursor;
    cursor.setBusyTimeout(120000); // six writers queue for the lock; none may give up
    int save = 0;
    const auto saveDay = [&](int user, qint32 date) {
        const Status status = cursor.save(path, user, date, WriterRecord::make(writer, date, ++save));
        if (!status) {
            std::fprintf(stderr, "%s\n", qPrintable(status.message()));
            return false;
        }
        std::printf("%d %d\n", user, date);
        std::fflush(stdout);
        return true;
    };
    for (int i = 0; days == 0 || i < days; ++i) {
        if (!saveDay(table, firstDate + i)) {
            return 1;
        }
        if (sharedTable && i % 2 == 0 && !saveDay(sharedTable, sharedFirst + i / 2)) {
            return 1;
        }
    }
    return 0;
}
