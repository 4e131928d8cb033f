// The composed pages, line by line: texts and font sizes, before any printer.
#include "compositions.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using SlotGrid::HalfDay;

namespace {

constexpr int TitleBlockLines = 4; // empty line, header, two empty lines

// A day whose slot i holds "Ti", on the grid of `minutes`.
ShownDay numberedDay(int minutes)
{
    ShownDay day;
    day.intervalMinutes = minutes;
    day.dateCaption = u"vendredi 15 mars 2024"_s;
    day.userName = u"Dr A"_s;
    for (int slot = 0; slot < SlotCount; ++slot)
        day.slots[slot] = u"T%1"_s.arg(slot);
    return day;
}

QStringList texts(const QList<PrintLine> &lines)
{
    QStringList result;
    for (const PrintLine &line : lines)
        result << line.text;
    return result;
}

} // namespace

class CompositionsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listLabels_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("line");
        QTest::newRow("10: first hour line") << 10 << 0 << u"08h00 : T0"_s;
        QTest::newRow("10: slot 4 is the last of 08h") << 10 << 4 << u"      40 : T4"_s;
        QTest::newRow("10: slot 5 is 09h, no minute 50") << 10 << 5 << u"09h00 : T5"_s;
        QTest::newRow("10: morning ends at 12h30") << 10 << 23 << u"      30 : T23"_s;
        QTest::newRow("10: 19h") << 10 << 49 << u"19h00 : T49"_s;
        QTest::newRow("10: afternoon ends at 19h30") << 10 << 52 << u"      30 : T52"_s;
        QTest::newRow("15: 13h45") << 15 << 23 << u"      45 : T23"_s;
        QTest::newRow("15: 21h alone") << 15 << 52 << u"21h00 : T52"_s;
        QTest::newRow("20: 13h40") << 20 << 17 << u"      40 : T17"_s;
        QTest::newRow("20: spare morning slot, no label") << 20 << 18 << u"T18"_s;
        QTest::newRow("20: last spare morning slot") << 20 << 23 << u"T23"_s;
        QTest::newRow("20: 21h") << 20 << 45 << u"21h00 : T45"_s;
        QTest::newRow("20: spare afternoon slot") << 20 << 46 << u"T46"_s;
        QTest::newRow("30: blank under 08h") << 30 << 1 << u"        T1"_s;
        QTest::newRow("30: half past") << 30 << 2 << u"      30 : T2"_s;
        QTest::newRow("30: blank after 13h30") << 30 << 23 << u"        T23"_s;
        QTest::newRow("30: 21h alone") << 30 << 52 << u"21h00 : T52"_s;
        QTest::newRow("60: third blank of 08h") << 60 << 3 << u"        T3"_s;
        QTest::newRow("60: 13h") << 60 << 20 << u"13h00 : T20"_s;
        QTest::newRow("60: 20h") << 60 << 48 << u"20h00 : T48"_s;
        for (int minutes : {10, 15, 20, 30, 60})
            QTest::addRow("%d: afternoon starts at 14h", minutes) << minutes << 24 << u"14h00 : T24"_s;
    }

    void listLabels()
    {
        QFETCH(int, minutes);
        QFETCH(int, slot);
        QFETCH(QString, line);
        const bool morning = slot < MorningSlotCount;
        const PrintPage page = Compositions::halfDayList(morning ? HalfDay::Morning : HalfDay::Afternoon,
                                                          numberedDay(minutes));
        const int index = TitleBlockLines + slot - (morning ? 0 : MorningSlotCount);
        QCOMPARE(page.lines().at(index), (PrintLine{line, 12}));
    }

    // Every list: the title block, one line per slot of its half-day in
    // order, and hour labels that follow each other without a gap.
    void listShape_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<bool>("morning");
        QTest::addColumn<QString>("hours");
        const QString morning = u"08 09 10 11 12 13"_s;
        const QString afternoon = u"14 15 16 17 18 19 20 21"_s;
        QTest::newRow("10 morning") << 10 << true << u"08 09 10 11 12"_s;
        QTest::newRow("10 afternoon") << 10 << false << u"14 15 16 17 18 19"_s;
        for (int minutes : {15, 20, 30, 60}) {
            QTest::addRow("%d morning", minutes) << minutes << true << morning;
            QTest::addRow("%d afternoon", minutes) << minutes << false << afternoon;
        }
    }

    void listShape()
    {
        QFETCH(int, minutes);
        QFETCH(bool, morning);
        QFETCH(QString, hours);
        const PrintPage page = Compositions::halfDayList(morning ? HalfDay::Morning : HalfDay::Afternoon,
                                                          numberedDay(minutes));
        const QList<PrintLine> title = page.lines().mid(0, TitleBlockLines);
        QCOMPARE(title, (QList<PrintLine>{{QString(), 20}, {u"vendredi 15 mars 2024     Dr A"_s, 20}, {QString(), 20}, {QString(), 20}}));

        const QList<PrintLine> body = page.lines().mid(TitleBlockLines);
        const int first = morning ? 0 : MorningSlotCount;
        QCOMPARE(body.size(), morning ? 24 : 29);
        QStringList shownHours;
        static const QRegularExpression hourLabel(u"^(\\d\\d)h00 : T"_s);
        static const QRegularExpression minuteLabel(u"^ {6}(\\d\\d) : T"_s);
        for (int row = 0; row < body.size(); ++row) {
            QVERIFY2(body[row].text.endsWith(u"T%1"_s.arg(first + row)), qPrintable(body[row].text));
            QCOMPARE(body[row].pointSize, 12);
            if (const auto hour = hourLabel.match(body[row].text); hour.hasMatch())
                shownHours << hour.captured(1);
            if (const auto minute = minuteLabel.match(body[row].text); minute.hasMatch())
                QVERIFY2(minute.captured(1).toInt() % minutes == 0 && minute.captured(1) != u"50"_s,
                         qPrintable(body[row].text));
        }
        QCOMPARE(shownHours.join(u' '), hours);
    }

    void noGridComposesNothing_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::newRow("no grid chosen") << 0;
        QTest::newRow("25 minutes") << 25;
        QTest::newRow("negative") << -1;
        QTest::newRow("45 minutes") << 45;
    }

    void noGridComposesNothing()
    {
        QFETCH(int, minutes);
        QVERIFY(Compositions::halfDayList(HalfDay::Morning, numberedDay(minutes)).isEmpty());
        QVERIFY(Compositions::halfDayList(HalfDay::Afternoon, numberedDay(minutes)).isEmpty());
    }

    // The theatre programme and the post-it: title, name line (name first),
    // then the body in one piece, its own line breaks making the lines.
    void boxPages_data()
    {
        QTest::addColumn<bool>("theatre");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("bodyLines");
        const QString postitTitle = QString(23, u' ') + u"NE PAS OUBLIER"_s;
        const QString theatreTitle = QString(10, u' ') + u"Bloc 2"_s;
        QTest::newRow("empty post-it: one empty line") << false << QString() << postitTitle << QStringList{QString()};
        QTest::newRow("post-it with CR LF") << false << u"Appeler\r\nle labo"_s << postitTitle
                                            << QStringList{u"Appeler"_s, u"le labo"_s};
        QTest::newRow("theatre with LF and an empty line") << true << u"8h Durand\n\n10h Petit"_s << theatreTitle
                                                          << QStringList{u"8h Durand"_s, QString(), u"10h Petit"_s};
        QTest::newRow("theatre ending with a line break") << true << u"Durand\r\n"_s << theatreTitle
                                                         << QStringList{u"Durand"_s, QString()};
        QTest::newRow("theatre with lone CR") << true << u"a\rb"_s << theatreTitle << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("leading spaces kept") << false << u"   retrait"_s << postitTitle
                                             << QStringList{u"   retrait"_s};
    }

    void boxPages()
    {
        QFETCH(bool, theatre);
        QFETCH(QString, body);
        QFETCH(QString, title);
        QFETCH(QStringList, bodyLines);
        ShownDay day = numberedDay(15);
        day.theatreTitle = u"Bloc 2"_s;
        (theatre ? day.theatreProgramme : day.postit) = body;
        const PrintPage page = theatre ? Compositions::theatreProgramme(day) : Compositions::postit(day);

        const QList<PrintLine> head = page.lines().mid(0, 6);
        QCOMPARE(head, (QList<PrintLine>{{QString(), 20}, {title, 20}, {QString(), 20},
                                         {u"Dr A     vendredi 15 mars 2024"_s, 20}, {QString(), 20}, {QString(), 20}}));
        const QList<PrintLine> rest = page.lines().mid(6);
        QCOMPARE(texts(rest), bodyLines);
        for (const PrintLine &line : rest)
            QCOMPARE(line.pointSize, 12);
    }
};

QTEST_GUILESS_MAIN(CompositionsTest)
#include "tst_compositions.moc"
