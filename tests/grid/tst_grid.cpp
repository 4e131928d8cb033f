// The slot grids and their labels: the structure of each of the five grids and
// its four renderings (the day view's captions, the printed lists' labels, the
// week view's labels), slot by slot against the window design's table.

#include "gridtable.h"
#include "slotlabels.h"

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
        QVERIFY(isGridMinutes(minutes));
        const Structure *grid = structure(minutes);
        QVERIFY(grid);
        struct Style
        {
            Rendering rendering;
            QString hour, minute, continuation, spare;
        };
        const QList<Style> styles{
            {Rendering::DayCaption, u"%1h 00"_s, u"%1"_s, {}, {}},
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
                time = minutes == 20 ? SlotTime{SlotKind::Spare, 0, 0} : SlotTime{SlotKind::Continuation, time.hour, time.minute};
            QVERIFY2(grid->at(slot) == time, qPrintable(u"slot %1"_s.arg(slot)));
            for (int i = 0; i < styles.size(); ++i) {
                const Style &style = styles[i];
                expected[i] << (time.kind == SlotKind::Hour       ? style.hour.arg(caption.left(2))
                                : time.kind == SlotKind::Minute   ? style.minute.arg(caption)
                                : time.kind == SlotKind::Spare    ? style.spare
                                                                  : style.continuation);
            }
        }
        for (int i = 0; i < styles.size(); ++i) {
            const QStringList labels = SlotGrid::labels(styles[i].rendering, minutes);
            QCOMPARE(labels, expected[i]);
            QCOMPARE(halfDayLabels(styles[i].rendering, minutes, HalfDay::Morning), labels.mid(0, 24));
            QCOMPARE(halfDayLabels(styles[i].rendering, minutes, HalfDay::Afternoon), labels.mid(24));
        }
    }

    void notAGrid_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("intervalIndex");
        QTest::newRow("zero") << 0 << -1;
        QTest::newRow("45 minutes") << 45 << 5;
        QTest::newRow("negative") << -10 << 100;
    }

    void notAGrid()
    {
        QFETCH(int, minutes);
        QFETCH(int, intervalIndex);
        QVERIFY(!isGridMinutes(minutes));
        QVERIFY(!structure(minutes));
        QVERIFY(labels(Rendering::DayCaption, minutes).isEmpty());
        QCOMPARE(minutesOfIndex(intervalIndex), 0);
    }
};

QTEST_GUILESS_MAIN(TestGrid)
#include "tst_grid.moc"
