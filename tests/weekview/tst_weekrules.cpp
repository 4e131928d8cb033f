// The rules of the week view's columns: the week start, and the lines of a
// day under the five grids, with and without a record, for each absence.

#include "datenumber.h"
#include "daylist.h"
#include "weekstart.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Crosses = u"XXXXXXXXXXXXXXXXXX"_s;

// A day whose slot i holds "Ti".
DayRecord numberedDay(bool absentMorning, bool absentAfternoon)
{
    DayRecord day;
    for (int slot = 0; slot < SlotCount; ++slot)
        day.slots[std::size_t(slot)] = u"T%1"_s.arg(slot);
    day.absent1.set = absentMorning;
    day.absent2.set = absentAfternoon;
    return day;
}

} // namespace

class TestWeekRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void weekStart_data()
    {
        QTest::addColumn<QDate>("shown");
        QTest::addColumn<QDate>("monday");
        QTest::newRow("Wednesday: the Monday two days before") << QDate(2024, 3, 13) << QDate(2024, 3, 11);
        QTest::newRow("Tuesday") << QDate(2024, 3, 12) << QDate(2024, 3, 11);
        QTest::newRow("Sunday: the Monday six days before") << QDate(2024, 3, 17) << QDate(2024, 3, 11);
        QTest::newRow("Monday: its own week") << QDate(2024, 3, 11) << QDate(2024, 3, 11);
        QTest::newRow("Monday 30 December 2002") << QDate(2002, 12, 30) << QDate(2002, 12, 30);
        QTest::newRow("Sunday 5 January 2003") << QDate(2003, 1, 5) << QDate(2002, 12, 30);
        QTest::newRow("Monday 6 January 2003") << QDate(2003, 1, 6) << QDate(2003, 1, 6);
        QTest::newRow("before 30 December 2002") << QDate(2002, 6, 15) << QDate(2002, 12, 30);
        QTest::newRow("date number 0") << QDate(1899, 12, 30) << QDate(2002, 12, 30);
        QTest::newRow("across a year end") << QDate(2025, 1, 1) << QDate(2024, 12, 30);
    }

    void weekStart()
    {
        QFETCH(QDate, shown);
        QFETCH(QDate, monday);
        QCOMPARE(DateNumber::toDate(WeekStart::of(DateNumber::fromDate(shown))), monday);
    }

    // Every date from the first week on lies in the week that starts on the
    // Monday found for it.
    void weekStartContainsTheDate_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::newRow("2002 to 2004") << QDate(2002, 12, 30);
        QTest::newRow("2027 to 2029, a leap year") << QDate(2027, 6, 1);
    }

    void weekStartContainsTheDate()
    {
        QFETCH(QDate, from);
        for (QDate date = from; date < from.addYears(2); date = date.addDays(1)) {
            const QDate monday = DateNumber::toDate(WeekStart::of(DateNumber::fromDate(date)));
            QCOMPARE(monday.dayOfWeek(), int(Qt::Monday));
            QVERIFY2(monday <= date && date < monday.addDays(7), qPrintable(date.toString(Qt::ISODate)));
        }
    }

    void dayWithRecord_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<bool>("absentMorning");
        QTest::addColumn<bool>("absentAfternoon");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("separator");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("probe");
        QTest::addColumn<QString>("probeLine");
        const QString h21 = u"21h00 : T52"_s;
        // No absence: 54 lines, the separator the 25th.
        QTest::newRow("10, none") << 10 << false << false << 54 << 24 << u"     30 : T52"_s << 1 << u"     10 : T1"_s;
        QTest::newRow("15, none") << 15 << false << false << 54 << 24 << h21 << 1 << u"      15 : T1"_s;
        QTest::newRow("20, none") << 20 << false << false << 54 << 24 << u"         : T52"_s << 18 << u"         : T18"_s;
        QTest::newRow("30, none") << 30 << false << false << 54 << 24 << h21 << 1 << u"         : T1"_s;
        QTest::newRow("60, none") << 60 << false << false << 54 << 24 << h21 << 25 << u"14h00 : T24"_s;
        // Morning absent: the block, the separator, the afternoon's 29 slots.
        QTest::newRow("10, morning") << 10 << true << false << 36 << 6 << u"     30 : T52"_s << 3 << u"XXXXX  ABSENT  XXXXX"_s;
        QTest::newRow("15, morning") << 15 << true << false << 36 << 6 << h21 << 7 << u"14h00 : T24"_s;
        QTest::newRow("20, morning") << 20 << true << false << 36 << 6 << u"         : T52"_s << 0 << u"08h00 : "_s;
        QTest::newRow("30, morning") << 30 << true << false << 36 << 6 << h21 << 8 << u"         : T25"_s;
        QTest::newRow("60, morning") << 60 << true << false << 36 << 6 << h21 << 5 << Crosses;
        // Afternoon absent: the morning's 24 slots, the separator, the block.
        QTest::newRow("10, afternoon") << 10 << false << true << 31 << 24 << Crosses << 23 << u"     30 : T23"_s;
        QTest::newRow("15, afternoon") << 15 << false << true << 31 << 24 << Crosses << 25 << u"14h00 : "_s;
        QTest::newRow("20, afternoon") << 20 << false << true << 31 << 24 << Crosses << 17 << u"      40 : T17"_s;
        QTest::newRow("30, afternoon") << 30 << false << true << 31 << 24 << Crosses << 28 << u"XXXXX  ABSENT  XXXXX"_s;
        QTest::newRow("60, afternoon") << 60 << false << true << 31 << 24 << Crosses << 4 << u"09h00 : T4"_s;
        // Both: 16 lines whatever the grid; the 10-minute grid puts the
        // separator straight after "12h00 : ".
        QTest::newRow("10, both") << 10 << true << true << 16 << 7 << Crosses << 6 << u"12h00 : "_s;
        QTest::newRow("15, both") << 15 << true << true << 16 << 9 << Crosses << 6 << u"12h00 : "_s;
        QTest::newRow("20, both") << 20 << true << true << 16 << 9 << Crosses << 10 << u"14h00 : "_s;
        QTest::newRow("30, both") << 30 << true << true << 16 << 9 << Crosses << 8 << Crosses;
        QTest::newRow("60, both") << 60 << true << true << 16 << 9 << Crosses << 13 << u"XXXXX  ABSENT  XXXXX"_s;
    }

    void dayWithRecord()
    {
        QFETCH(int, minutes);
        QFETCH(bool, absentMorning);
        QFETCH(bool, absentAfternoon);
        QFETCH(int, count);
        QFETCH(int, separator);
        QFETCH(QString, last);
        QFETCH(int, probe);
        QFETCH(QString, probeLine);
        const DayRecord day = numberedDay(absentMorning, absentAfternoon);
        const QStringList lines = DayList::lines(minutes, &day);
        QCOMPARE(lines.size(), count);
        QCOMPARE(lines.first(), absentMorning ? u"08h00 : "_s : u"08h00 : T0"_s);
        QCOMPARE(lines.last(), last);
        QCOMPARE(lines.indexOf(QString()), separator);
        QCOMPARE(lines.count(QString()), 1);
        QCOMPARE(lines.at(probe), probeLine);
    }

    void dayWithoutRecord_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("emptyLines");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("probe");
        QTest::addColumn<QString>("probeLine");
        QTest::newRow("10: six blanks") << 10 << 54 << 1 << u"      30 : "_s << 1 << u"      10 : "_s;
        QTest::newRow("15") << 15 << 54 << 1 << u"21h00 : "_s << 23 << u"      45 : "_s;
        // 18 labelled, 6 empty, 22 labelled, 7 empty: no separator.
        QTest::newRow("20: 53 lines") << 20 << 53 << 13 << QString() << 24 << u"14h00 : "_s;
        QTest::newRow("20: 13h40 before the empty lines") << 20 << 53 << 13 << QString() << 17 << u"      40 : "_s;
        QTest::newRow("20: 21h at slot 45") << 20 << 53 << 13 << QString() << 45 << u"21h00 : "_s;
        QTest::newRow("30: unlabelled") << 30 << 54 << 1 << u"21h00 : "_s << 1 << u"      : "_s;
        QTest::newRow("60: unlabelled") << 60 << 54 << 1 << u"21h00 : "_s << 27 << u"      : "_s;
    }

    void dayWithoutRecord()
    {
        QFETCH(int, minutes);
        QFETCH(int, count);
        QFETCH(int, emptyLines);
        QFETCH(QString, last);
        QFETCH(int, probe);
        QFETCH(QString, probeLine);
        const QStringList lines = DayList::lines(minutes, nullptr);
        QCOMPARE(lines.size(), count);
        QCOMPARE(lines.first(), u"08h00 : "_s);
        QCOMPARE(lines.last(), last);
        QCOMPARE(lines.count(QString()), emptyLines);
        QCOMPARE(lines.at(probe), probeLine);
        if (emptyLines == 1)
            QCOMPARE(lines.indexOf(QString()), 24);
    }

    void notAGrid_data()
    {
        QTest::addColumn<bool>("withRecord");
        QTest::newRow("day with a record") << true;
        QTest::newRow("day without a record") << false;
    }

    // The texts stay readable without labels.
    void notAGrid()
    {
        QFETCH(bool, withRecord);
        const DayRecord day = numberedDay(false, false);
        const QStringList lines = DayList::lines(0, withRecord ? &day : nullptr);
        QCOMPARE(lines.size(), 54);
        QCOMPARE(lines.at(0), withRecord ? u"T0"_s : QString());
        QCOMPARE(lines.at(53), withRecord ? u"T52"_s : QString());
    }
};

QTEST_GUILESS_MAIN(TestWeekRules)
#include "tst_weekrules.moc"
