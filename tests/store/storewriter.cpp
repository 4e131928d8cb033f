// A workstation that only saves days, for the multi-process tests:
//   store_writer <database> <writer> <table> <firstDate> <days>
// saves <days> days of user <table> from <firstDate>, and every second one
// also into RVOUS6 from day 41000, which all writers share; with <days> = 0
// it saves day after day until killed. Each save is printed as
// "<table> <date>" once it has returned.
#include "daycursor.h"
#include "writerrecord.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6) {
        std::fprintf(stderr, "usage: store_writer database writer table firstDate days\n");
        return 2;
    }
    const int writer = args[2].toInt();
    const int days = args[5].toInt();
    DayCursor cursor;
    cursor.setBusyTimeout(120000); // six writers queue for the lock; none may give up
    int save = 0;
    const auto saveDay = [&](int user, qint32 date) {
        const Status status = cursor.save(args[1], user, date, WriterRecord::make(writer, date, ++save));
        const QString line = status ? u"%1 %2"_s.arg(user).arg(date) : status.message();
        std::fprintf(status ? stdout : stderr, "%s\n", qPrintable(line));
        std::fflush(stdout);
        return status.ok();
    };
    for (int i = 0; days == 0 || i < days; ++i) {
        if (!saveDay(args[3].toInt(), args[4].toInt() + i) || (i % 2 == 0 && !saveDay(6, 41000 + i / 2))) {
            return 1;
        }
    }
    return 0;
}
