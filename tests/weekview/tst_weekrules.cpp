// The rules of the week view's columns: the week start, and the lines of a
// day under each grid, with and without a record, for each absence.

#include "datenumber.h"
#include "daylist.h"
#include "slotlabels.h"
#include "weekstart.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestWeekRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every date from the first Monday on lies in the week of the Monday found
    // for it (which fixes that Monday); earlier dates show the first week.
    void weekStart()
    {
        for (QDate date = QDate(2002, 12, 30); date < QDate(2030, 1, 1); date = date.addDays(1)) {
            const QDate start = DateNumber::toDate(WeekStart::of(DateNumber::fromDate(date)));
            QVERIFY2(start.dayOfWeek() == Qt::Monday && start <= date && date < start.addDays(7),
                     qPrintable(date.toString(Qt::ISODate)));
        }
        for (const QDate &before : {QDate(2002, 12, 29), QDate(2002, 6, 15), QDate(1899, 12, 30)})
            QCOMPARE(DateNumber::toDate(WeekStart::of(DateNumber::fromDate(before))), QDate(2002, 12, 30));
    }

    // A column is made of pieces: the slots of a half-day (each its label,
    // tested in tst_grid, then the slot's text), the block of an absent
    // half-day, the noon line, two lines of crosses, the blank separator.
    void dayLines_data()
    {
        QTest::addColumn<QString>("absence"); // none, morning, afternoon, both; "-" a day without a record
        QTest::addColumn<QList<int>>("grids"); // 0: no grid, the texts without labels
        QTest::addColumn<QString>("pieces");
        const QList<int> all{0, 10, 15, 20, 30, 60};
        QTest::newRow("no absence") << u"none"_s << all << u"morning, separator, afternoon"_s;
        QTest::newRow("morning absent") << u"morning"_s << all << u"morning absent, separator, afternoon"_s;
        QTest::newRow("afternoon absent") << u"afternoon"_s << all << u"morning, separator, afternoon absent"_s;
        QTest::newRow("both absent") << u"both"_s << QList<int>{0, 15, 20, 30, 60}
                                     << u"morning absent, noon, crosses, separator, afternoon absent"_s;
        QTest::newRow("both absent, 10 minutes: the separator straight after noon")
            << u"both"_s << QList<int>{10} << u"morning absent, noon, separator, crosses, afternoon absent"_s;
        QTest::newRow("no record") << u"-"_s << QList<int>{0, 10, 15, 30, 60} << u"morning, separator, afternoon"_s;
        QTest::newRow("no record, 20 minutes: no separator") << u"-"_s << QList<int>{20} << u"morning, afternoon"_s;
    }

    void dayLines()
    {
        QFETCH(QString, absence);
        QFETCH(QList<int>, grids);
        QFETCH(QString, pieces);
        const bool recorded = absence != u"-"_s;
        DayRecord day;
        for (int slot = 0; slot < SlotCount; ++slot)
            day.slots[std::size_t(slot)] = u"T%1"_s.arg(slot);
        day.absent1.set = absence == u"morning"_s || absence == u"both"_s;
        day.absent2.set = absence == u"afternoon"_s || absence == u"both"_s;
        const QString x = u"XXXXXXXXXXXXXXXXXX"_s, absent = u"XXXXX  ABSENT  XXXXX"_s;
        for (int minutes : grids) {
            using SlotGrid::Rendering;
            QStringList labels = SlotGrid::labels(recorded ? Rendering::WeekDayWithRecord : Rendering::WeekDayWithoutRecord, minutes);
            if (minutes == 0)
                labels = QStringList(SlotCount);
            QStringList slots;
            for (int slot = 0; slot < SlotCount; ++slot)
                slots << labels.at(slot) + (recorded ? day.slots[std::size_t(slot)] : QString());
            const QHash<QString, QStringList> lines{
                {u"morning"_s, slots.mid(0, 24)}, {u"afternoon"_s, slots.mid(24)},
                {u"morning absent"_s, {u"08h00 : "_s, x, x, absent, x, x}},
                {u"afternoon absent"_s, {u"14h00 : "_s, x, x, absent, x, x}},
                {u"noon"_s, {u"12h00 : "_s}}, {u"crosses"_s, {x, x}}, {u"separator"_s, {QString()}}};
            QStringList expected;
            for (const QString &piece : pieces.split(u", "_s)) {
                QVERIFY2(lines.contains(piece), qPrintable(piece));
                expected << lines.value(piece);
            }
            QCOMPARE(DayList::lines(minutes, recorded ? &day : nullptr), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestWeekRules)
#include "tst_weekrules.moc"
