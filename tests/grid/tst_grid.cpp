// The slot grids and their labels: the structure of each of the five grids and
// its renderings (the printed lists' labels, the week view's labels; the day
// view's captions are compared with the same table in tst_dayview), slot by
// slot against the window design's table. Then
// the rules of the week view's columns built on them: the week start, and the
// lines of a day under each grid, with and without a record, for each absence.

#include "datenumber.h"
#include "daylist.h"
#include "gridtable.h"
#include "slotlabels.h"
#include "weekstart.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace SlotGrid;

class TestGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void grid_data()
    {
        QTest::addColumn<int>("column"); // of the design table, and index in Utilisat.agc
        for (int column = 0; column < 5; ++column)
            QTest::addRow("%d minutes", GridMinutes[column]) << column;
    }

    // Read down the design table: "08h 00" starts an hour, "15" is a minute of
    // it, an empty caption is a line carrying the time above it, or a spare
    // slot (hour and minute 0) under the 20-minute grid.
    void grid()
    {
        QFETCH(int, column);
        const int minutes = minutesOfIndex(column);
        QCOMPARE(minutes, QList<int>({10, 15, 20, 30, 60}).at(column));
        const Structure *grid = structure(minutes);
        QVERIFY(grid);
        struct Style
        {
            Rendering rendering;
            QString hour, minute, continuation, spare;
        };
        const QList<Style> styles{
            {Rendering::PrintedList, u"%1h00 : "_s, u"      %1 : "_s, u"        "_s, {}},
            // A day with a record indents the 10-minute grid's minutes by one blank less.
            {Rendering::WeekDayWithRecord, u"%1h00 : "_s, minutes == 10 ? u"     %1 : "_s : u"      %1 : "_s,
             u"         : "_s, u"         : "_s},
            {Rendering::WeekDayWithoutRecord, u"%1h00 : "_s, u"      %1 : "_s, u"      : "_s, {}},
        };
        QList<QStringList> expected(styles.size());
        SlotTime time;
        for (int slot = 0; slot < SlotCount; ++slot) {
            const QString caption = QString::fromLatin1(GridTable[slot][column]);
            if (caption.contains(u'h'))
                time = {SlotKind::Hour, caption.left(2).toInt(), 0};
            else if (!caption.isEmpty())
                time = {SlotKind::Minute, time.hour, caption.toInt()};
            else
                time = minutes == 20 ? SlotTime{SlotKind::Spare, 0, 0}
                                     : SlotTime{SlotKind::Continuation, time.hour, time.minute};
            QVERIFY2(grid->at(slot) == time, qPrintable(u"slot %1"_s.arg(slot)));
            for (int i = 0; i < styles.size(); ++i)
                expected[i] << (time.kind == SlotKind::Hour       ? styles[i].hour.arg(caption.left(2))
                                : time.kind == SlotKind::Minute   ? styles[i].minute.arg(caption)
                                : time.kind == SlotKind::Spare    ? styles[i].spare
                                                                  : styles[i].continuation);
        }
        for (int i = 0; i < styles.size(); ++i) {
            const QStringList labels = SlotGrid::labels(styles[i].rendering, minutes);
            QCOMPARE(labels, expected[i]);
            QCOMPARE(halfDayLabels(styles[i].rendering, minutes, HalfDay::Morning), labels.mid(0, 24));
            QCOMPARE(halfDayLabels(styles[i].rendering, minutes, HalfDay::Afternoon), labels.mid(24));
        }
    }

    // An interval index off either end of the list names no grid (minutes 0,
    // whose columns have no labels: dayLines).
    void notAGrid()
    {
        QCOMPARE(minutesOfIndex(-1), 0);
        QCOMPARE(minutesOfIndex(5), 0);
    }

    // Every date shows the week of its Monday; dates before the first Monday
    // (30 December 2002) show the first week.
    void weekStart()
    {
        for (QDate date = DateNumber::epoch(); date < QDate(2030, 1, 1); date = date.addDays(1)) {
            const QDate monday = std::max(date.addDays(1 - date.dayOfWeek()), QDate(2002, 12, 30));
            QCOMPARE(DateNumber::toDate(WeekStart::of(DateNumber::fromDate(date))), monday);
        }
    }

    // A column is made of pieces: the slots of a half-day (each its label,
    // tested in grid() above, then the slot's text), the block of an absent
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
            const QStringList label = minutes == 0 ? QStringList(SlotCount)
                : labels(recorded ? Rendering::WeekDayWithRecord : Rendering::WeekDayWithoutRecord, minutes);
            QStringList slots;
            for (int slot = 0; slot < SlotCount; ++slot)
                slots << label.at(slot) + (recorded ? day.slots[std::size_t(slot)] : QString());
            const QHash<QString, QStringList> lines{
                {u"morning"_s, slots.mid(0, 24)}, {u"afternoon"_s, slots.mid(24)},
                {u"morning absent"_s, {u"08h00 : "_s, x, x, absent, x, x}},
                {u"afternoon absent"_s, {u"14h00 : "_s, x, x, absent, x, x}},
                {u"noon"_s, {u"12h00 : "_s}}, {u"crosses"_s, {x, x}}, {u"separator"_s, {QString()}}};
            QStringList expected;
            for (const QString &piece : pieces.split(u", "_s))
                expected << lines.value(piece); // a misspelt piece adds nothing, and the comparison fails
            QCOMPARE(DayList::lines(minutes, recorded ? &day : nullptr), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestGrid)
#include "tst_grid.moc"
