// The slot grids and their labels: the day view's captions, the printed
// lists' labels and the week view's labels, for the five intervals.

#include "gridtable.h"
#include "slotgrid.h"
#include "slotlabels.h"

#include <QTest>

using SlotGrid::HalfDay;
using SlotGrid::Rendering;
using SlotGrid::SlotKind;
using SlotGrid::SlotTime;

Q_DECLARE_METATYPE(Rendering)
Q_DECLARE_METATYPE(HalfDay)
Q_DECLARE_METATYPE(SlotKind)

namespace {

int columnOf(int minutes)
{
    return int(std::find(SlotGrid::GridMinutes.begin(), SlotGrid::GridMinutes.end(), minutes) -
               SlotGrid::GridMinutes.begin());
}

const QString Blanks6 = QStringLiteral("      ");

} // namespace

class TestGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dayCaptionsMatchTheDesignTable_data()
    {
        QTest::addColumn<int>("minutes");
        for (int minutes : SlotGrid::GridMinutes)
            QTest::addRow("%d minutes", minutes) << minutes;
    }

    void dayCaptionsMatchTheDesignTable()
    {
        QFETCH(int, minutes);
        const QStringList captions = SlotGrid::labels(Rendering::DayCaption, minutes);
        QCOMPARE(captions.size(), SlotCount);
        for (int slot = 0; slot < SlotCount; ++slot)
            QCOMPARE(captions.at(slot), QString::fromLatin1(GridTable[slot][columnOf(minutes)]));
    }

    void slotTime_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("slot");
        QTest::addColumn<SlotKind>("kind");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::newRow("10: slot 4 is 08h40") << 10 << 4 << SlotKind::Minute << 8 << 40;
        QTest::newRow("10: morning ends at 12h30") << 10 << 23 << SlotKind::Minute << 12 << 30;
        QTest::newRow("10: afternoon ends at 19h30") << 10 << 52 << SlotKind::Minute << 19 << 30;
        QTest::newRow("15: morning ends at 13h45") << 15 << 23 << SlotKind::Minute << 13 << 45;
        QTest::newRow("20: 13h40 in slot 17") << 20 << 17 << SlotKind::Minute << 13 << 40;
        QTest::newRow("20: slot 18 is spare") << 20 << 18 << SlotKind::Spare << 0 << 0;
        QTest::newRow("20: slot 23 is spare") << 20 << 23 << SlotKind::Spare << 0 << 0;
        QTest::newRow("20: slot 46 is spare") << 20 << 46 << SlotKind::Spare << 0 << 0;
        QTest::newRow("30: slot 1 continues 08h") << 30 << 1 << SlotKind::Continuation << 8 << 0;
        QTest::newRow("30: slot 3 continues 08h30") << 30 << 3 << SlotKind::Continuation << 8 << 30;
        QTest::newRow("30: slot 23 continues 13h30") << 30 << 23 << SlotKind::Continuation << 13 << 30;
        QTest::newRow("60: slot 23 continues 13h") << 60 << 23 << SlotKind::Continuation << 13 << 0;
    }

    void slotTime()
    {
        QFETCH(int, minutes);
        QFETCH(int, slot);
        QFETCH(SlotKind, kind);
        QFETCH(int, hour);
        QFETCH(int, minute);
        const SlotGrid::Structure *grid = SlotGrid::structure(minutes);
        QVERIFY(grid);
        QCOMPARE(grid->at(slot), (SlotTime{kind, hour, minute}));
    }

    void label_data()
    {
        QTest::addColumn<Rendering>("rendering");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("label");
        const Rendering print = Rendering::PrintedList;
        const Rendering withRecord = Rendering::WeekDayWithRecord;
        const Rendering withoutRecord = Rendering::WeekDayWithoutRecord;
        QTest::newRow("print 30: blank of 8") << print << 30 << 1 << QStringLiteral("        ");
        QTest::newRow("print 30: 30") << print << 30 << 2 << QStringLiteral("      30 : ");
        QTest::newRow("print 60: blank of 8") << print << 60 << 3 << QStringLiteral("        ");
        QTest::newRow("week with record 15: 6 blanks") << withRecord << 15 << 1 << QStringLiteral("      15 : ");
        QTest::newRow("week with record 20: 6 blanks") << withRecord << 20 << 2 << QStringLiteral("      40 : ");
        QTest::newRow("week with record 20: spare") << withRecord << 20 << 46 << QStringLiteral("         : ");
        QTest::newRow("week with record 30: unlabelled") << withRecord << 30 << 1 << QStringLiteral("         : ");
        QTest::newRow("week with record 60: hour") << withRecord << 60 << 52 << QStringLiteral("21h00 : ");
        QTest::newRow("week without record 20: spare empty") << withoutRecord << 20 << 18 << QString();
        QTest::newRow("day caption 10: minute") << Rendering::DayCaption << 10 << 1 << QStringLiteral("10");
    }

    void label()
    {
        QFETCH(Rendering, rendering);
        QFETCH(int, minutes);
        QFETCH(int, slot);
        QFETCH(QString, label);
        QCOMPARE(SlotGrid::labels(rendering, minutes).at(slot), label);
    }

    void printedHalfDay_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<HalfDay>("halfDay");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("labelled"); // lines that are not the empty label
        const HalfDay am = HalfDay::Morning;
        const HalfDay pm = HalfDay::Afternoon;
        const QString h08 = QStringLiteral("08h00 : ");
        const QString h14 = QStringLiteral("14h00 : ");
        const QString h21 = QStringLiteral("21h00 : ");
        const QString blank = QStringLiteral("        ");
        QTest::newRow("10 morning") << 10 << am << 24 << h08 << Blanks6 + QStringLiteral("30 : ") << 24;
        QTest::newRow("10 afternoon") << 10 << pm << 29 << h14 << Blanks6 + QStringLiteral("30 : ") << 29;
        QTest::newRow("15 morning") << 15 << am << 24 << h08 << Blanks6 + QStringLiteral("45 : ") << 24;
        QTest::newRow("15 afternoon") << 15 << pm << 29 << h14 << h21 << 29;
        QTest::newRow("20 morning") << 20 << am << 24 << h08 << QString() << 18;
        QTest::newRow("20 afternoon") << 20 << pm << 29 << h14 << QString() << 22;
        QTest::newRow("30 morning") << 30 << am << 24 << h08 << blank << 24;
        QTest::newRow("30 afternoon") << 30 << pm << 29 << h14 << h21 << 29;
        QTest::newRow("60 morning") << 60 << am << 24 << h08 << blank << 24;
        QTest::newRow("60 afternoon") << 60 << pm << 29 << h14 << h21 << 29;
    }

    void printedHalfDay()
    {
        QFETCH(int, minutes);
        QFETCH(HalfDay, halfDay);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(int, labelled);
        const QStringList lines = SlotGrid::halfDayLabels(Rendering::PrintedList, minutes, halfDay);
        QCOMPARE(lines.size(), count);
        QCOMPARE(lines.first(), first);
        QCOMPARE(lines.last(), last);
        QCOMPARE(count - int(lines.count(QString())), labelled);
        // Hours follow each other without a gap within the half-day.
        int expectedHour = halfDay == HalfDay::Morning ? 8 : 14;
        for (const QString &line : lines) {
            if (line.contains(QLatin1Char('h')))
                QCOMPARE(line, QStringLiteral("%1h00 : ").arg(expectedHour++, 2, 10, QLatin1Char('0')));
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
        QVERIFY(!SlotGrid::isGridMinutes(minutes));
        QVERIFY(!SlotGrid::structure(minutes));
        QVERIFY(SlotGrid::labels(Rendering::DayCaption, minutes).isEmpty());
        QVERIFY(SlotGrid::halfDayLabels(Rendering::PrintedList, minutes, HalfDay::Morning).isEmpty());
        QCOMPARE(SlotGrid::minutesOfIndex(intervalIndex), 0);
    }
};

QTEST_GUILESS_MAIN(TestGrid)
#include "tst_grid.moc"
