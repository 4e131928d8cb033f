// The rules of the week view's columns: the week start, and the lines of a
// day under each grid, with and without a record, for each absence.

#include "datenumber.h"
#include "daylist.h"
#include "weekstart.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestWeekRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void weekStart_data()
    {
        QTest::addColumn<QDate>("shown");
        QTest::addColumn<QDate>("monday");
        QTest::newRow("Wednesday: the Monday two days before") << QDate(2024, 3, 13) << QDate(2024, 3, 11);
        QTest::newRow("Sunday: the Monday six days before") << QDate(2024, 3, 17) << QDate(2024, 3, 11);
        QTest::newRow("Monday: its own week") << QDate(2024, 3, 11) << QDate(2024, 3, 11);
        QTest::newRow("Sunday 5 January 2003") << QDate(2003, 1, 5) << QDate(2002, 12, 30);
        QTest::newRow("before 30 December 2002") << QDate(2002, 6, 15) << QDate(2002, 12, 30);
        QTest::newRow("date number 0") << QDate(1899, 12, 30) << QDate(2002, 12, 30);
    }

    void weekStart()
    {
        QFETCH(QDate, shown);
        QFETCH(QDate, monday);
        QCOMPARE(DateNumber::toDate(WeekStart::of(DateNumber::fromDate(shown))), monday);
        // Every later date lies in the week that starts on the Monday found for it.
        for (QDate date = QDate(2002, 12, 30); date < QDate(2005, 1, 1); date = date.addDays(1)) {
            const QDate start = DateNumber::toDate(WeekStart::of(DateNumber::fromDate(date)));
            QVERIFY2(start.dayOfWeek() == Qt::Monday && start <= date && date < start.addDays(7),
                     qPrintable(date.toString(Qt::ISODate)));
        }
    }

    // Slot i of the day holds "Ti". Absences: none, morning, afternoon, both,
    // or "-" for a day without a record. A grid of 0 minutes is no grid.
    void dayLines_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("absence");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("blanks");    // empty lines
        QTest::addColumn<int>("separator"); // the first empty line
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("probe");
        QTest::addColumn<QString>("probeLine");
        const QString x = u"XXXXXXXXXXXXXXXXXX"_s, absent = u"XXXXX  ABSENT  XXXXX"_s, h21 = u"21h00 : T52"_s;
        const auto row = [](int minutes, const char *absence, int count, int separator, const QString &last, int probe,
                            const QString &probeLine, int blanks = 1) {
            QTest::addRow("%d, %s", minutes, absence)
                << minutes << QString::fromLatin1(absence) << count << blanks << separator << last << probe << probeLine;
        };
        // No absence: 54 lines, the separator the 25th.
        row(10, "none", 54, 24, u"     30 : T52"_s, 1, u"     10 : T1"_s);
        row(15, "none", 54, 24, h21, 1, u"      15 : T1"_s);
        row(20, "none", 54, 24, u"         : T52"_s, 18, u"         : T18"_s);
        row(30, "none", 54, 24, h21, 1, u"         : T1"_s);
        row(60, "none", 54, 24, h21, 25, u"14h00 : T24"_s);
        // Morning absent: the block, the separator, the afternoon's 29 slots.
        row(10, "morning", 36, 6, u"     30 : T52"_s, 3, absent);
        row(15, "morning", 36, 6, h21, 7, u"14h00 : T24"_s);
        row(20, "morning", 36, 6, u"         : T52"_s, 0, u"08h00 : "_s);
        row(30, "morning", 36, 6, h21, 8, u"         : T25"_s);
        row(60, "morning", 36, 6, h21, 5, x);
        // Afternoon absent: the morning's 24 slots, the separator, the block.
        row(10, "afternoon", 31, 24, x, 23, u"     30 : T23"_s);
        row(15, "afternoon", 31, 24, x, 25, u"14h00 : "_s);
        row(20, "afternoon", 31, 24, x, 17, u"      40 : T17"_s);
        row(30, "afternoon", 31, 24, x, 28, absent);
        row(60, "afternoon", 31, 24, x, 4, u"09h00 : T4"_s);
        // Both: 16 lines; the 10-minute grid puts the separator straight after "12h00 : ".
        row(10, "both", 16, 7, x, 6, u"12h00 : "_s);
        row(15, "both", 16, 9, x, 6, u"12h00 : "_s);
        row(20, "both", 16, 9, x, 10, u"14h00 : "_s);
        row(30, "both", 16, 9, x, 8, x);
        row(60, "both", 16, 9, x, 13, absent);
        // No record: labels alone; the 20-minute grid has 18 labelled, 6
        // empty, 22 labelled and 7 empty lines, and no separator.
        row(10, "-", 54, 24, u"      30 : "_s, 1, u"      10 : "_s);
        row(15, "-", 54, 24, u"21h00 : "_s, 23, u"      45 : "_s);
        row(20, "-", 53, 18, QString(), 17, u"      40 : "_s, 13);
        row(20, "-", 53, 18, QString(), 45, u"21h00 : "_s, 13);
        row(30, "-", 54, 24, u"21h00 : "_s, 1, u"      : "_s);
        row(60, "-", 54, 24, u"21h00 : "_s, 27, u"      : "_s);
        // No grid: the texts stay readable without labels.
        row(0, "none", 54, 24, u"T52"_s, 0, u"T0"_s);
        row(0, "-", 54, 0, QString(), 53, QString(), 54);
    }

    void dayLines()
    {
        QFETCH(int, minutes);
        QFETCH(QString, absence);
        DayRecord day;
        for (int slot = 0; slot < SlotCount; ++slot)
            day.slots[std::size_t(slot)] = u"T%1"_s.arg(slot);
        day.absent1.set = absence == u"morning"_s || absence == u"both"_s;
        day.absent2.set = absence == u"afternoon"_s || absence == u"both"_s;
        const QStringList lines = DayList::lines(minutes, absence == u"-"_s ? nullptr : &day);
        QTEST(int(lines.size()), "count");
        QTEST(int(lines.count(QString())), "blanks");
        QTEST(int(lines.indexOf(QString())), "separator");
        QTEST(lines.last(), "last");
        QFETCH(int, probe);
        QTEST(lines.at(probe), "probeLine");
        if (minutes != 0)
            QCOMPARE(lines.first(), day.absent1.set || absence == u"-"_s ? u"08h00 : "_s : u"08h00 : T0"_s);
    }
};

QTEST_GUILESS_MAIN(TestWeekRules)
#include "tst_weekrules.moc"
