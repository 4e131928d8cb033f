// The composed pages, line by line: texts and font sizes, before any printer.
// The labels of the lists are the grid library's; they are checked on the
// printed lists.
#include "compositions.h"

#include <QTest>

using namespace Qt::StringLiterals;
using SlotGrid::HalfDay;

namespace {

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
    // The title block, exactly: the lists put the date first, the two other
    // prints the name first, five spaces between; 20 points, then 12.
    void titleBlocks_data()
    {
        QTest::addColumn<int>("page"); // 0 morning, 1 afternoon, 2 theatre, 3 post-it
        QTest::addColumn<QStringList>("titleLines");
        const QString dateFirst = u"vendredi 15 mars 2024     Dr A"_s;
        const QString nameFirst = u"Dr A     vendredi 15 mars 2024"_s;
        QTest::newRow("morning list") << 0 << QStringList{QString(), dateFirst, QString(), QString()};
        QTest::newRow("afternoon list") << 1 << QStringList{QString(), dateFirst, QString(), QString()};
        QTest::newRow("theatre programme")
            << 2 << QStringList{QString(), u"          Bloc 2"_s, QString(), nameFirst, QString(), QString()};
        QTest::newRow("post-it")
            << 3 << QStringList{QString(), u"                       NE PAS OUBLIER"_s, QString(), nameFirst, QString(), QString()};
    }

    void titleBlocks()
    {
        QFETCH(int, page);
        QFETCH(QStringList, titleLines);
        ShownDay day = numberedDay(15);
        day.theatreTitle = u"Bloc 2"_s;
        const PrintPage composed = page == 0 ? Compositions::halfDayList(HalfDay::Morning, day)
            : page == 1                      ? Compositions::halfDayList(HalfDay::Afternoon, day)
            : page == 2                      ? Compositions::theatreProgramme(day)
                                             : Compositions::postit(day);
        const QList<PrintLine> title = composed.lines().mid(0, titleLines.size());
        QCOMPARE(texts(title), titleLines);
        for (const PrintLine &line : title)
            QCOMPARE(line.pointSize, 20);
        const QList<PrintLine> body = composed.lines().mid(titleLines.size());
        QCOMPARE(body.size(), page == 0 ? 24 : page == 1 ? 29 : 1);
        for (const PrintLine &line : body)
            QCOMPARE(line.pointSize, 12);
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

    // The body of the theatre programme and the post-it is printed in one
    // piece, its own line breaks making the lines.
    void boxBodies_data()
    {
        QTest::addColumn<bool>("theatre");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("bodyLines");
        QTest::newRow("empty post-it: one empty line") << false << QString() << QStringList{QString()};
        QTest::newRow("post-it with CR LF") << false << u"Appeler\r\nle labo"_s << QStringList{u"Appeler"_s, u"le labo"_s};
        QTest::newRow("theatre with LF and an empty line")
            << true << u"8h Durand\n\n10h Petit"_s << QStringList{u"8h Durand"_s, QString(), u"10h Petit"_s};
        QTest::newRow("ending with a line break") << true << u"Durand\r\n"_s << QStringList{u"Durand"_s, QString()};
        QTest::newRow("lone CR") << true << u"a\rb"_s << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("leading spaces kept") << false << u"   retrait"_s << QStringList{u"   retrait"_s};
    }

    void boxBodies()
    {
        QFETCH(bool, theatre);
        QFETCH(QString, body);
        QFETCH(QStringList, bodyLines);
        ShownDay day = numberedDay(15);
        (theatre ? day.theatreProgramme : day.postit) = body;
        const PrintPage page = theatre ? Compositions::theatreProgramme(day) : Compositions::postit(day);
        QCOMPARE(texts(page.lines().mid(6)), bodyLines);
    }
};

QTEST_GUILESS_MAIN(CompositionsTest)
#include "tst_compositions.moc"
