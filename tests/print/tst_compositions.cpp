// The composed pages, line by line: texts and font sizes, before any printer.
// The labels of the lists are the grid library's; they are checked on the
// printed lists.
#include "compositions.h"

#include <QTest>

using namespace Qt::StringLiterals;
using SlotGrid::HalfDay;

class CompositionsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The title block in 20 points: the lists put the date first, the two
    // other prints the name first, five spaces between. Then the body in 12
    // points: a line per slot, or the programme and post-it in one piece,
    // their own line breaks (CR LF, LF or CR alone) making the lines.
    void pages_data()
    {
        QTest::addColumn<int>("page"); // 0 morning, 1 afternoon, 2 theatre, 3 post-it
        QTest::addColumn<QString>("text"); // of the theatre programme or the post-it
        QTest::addColumn<QStringList>("title");
        QTest::addColumn<QStringList>("body"); // the lists': only counted
        const QString dateFirst = u"vendredi 15 mars 2024     Dr A"_s;
        const QString nameFirst = u"Dr A     vendredi 15 mars 2024"_s;
        const QStringList list{QString(), dateFirst, QString(), QString()};
        const QStringList theatre{QString(), u"          Bloc 2"_s, QString(), nameFirst, QString(), QString()};
        const QStringList postit{QString(), u"                       NE PAS OUBLIER"_s, QString(), nameFirst,
                                 QString(), QString()};
        QTest::newRow("morning list") << 0 << QString() << list << QStringList(24);
        QTest::newRow("afternoon list") << 1 << QString() << list << QStringList(29);
        QTest::newRow("empty post-it: one empty line") << 3 << QString() << postit << QStringList{QString()};
        QTest::newRow("post-it with CR LF, leading spaces kept")
            << 3 << u"Appeler\r\n  le labo"_s << postit << QStringList{u"Appeler"_s, u"  le labo"_s};
        QTest::newRow("theatre with LF and an empty line")
            << 2 << u"8h Durand\n\n10h Petit"_s << theatre << QStringList{u"8h Durand"_s, QString(), u"10h Petit"_s};
        QTest::newRow("theatre with a lone CR, ending with a line break")
            << 2 << u"a\rb\r\n"_s << theatre << QStringList{u"a"_s, u"b"_s, QString()};
    }

    void pages()
    {
        QFETCH(int, page);
        QFETCH(QString, text);
        QFETCH(QStringList, title);
        QFETCH(QStringList, body);
        ShownDay day;
        day.intervalMinutes = 15;
        day.dateCaption = u"vendredi 15 mars 2024"_s;
        day.userName = u"Dr A"_s;
        day.theatreTitle = u"Bloc 2"_s;
        day.theatreProgramme = day.postit = text;
        const PrintPage composed = page == 0 ? Compositions::halfDayList(HalfDay::Morning, day)
            : page == 1                      ? Compositions::halfDayList(HalfDay::Afternoon, day)
            : page == 2                      ? Compositions::theatreProgramme(day)
                                             : Compositions::postit(day);
        QStringList texts;
        for (const PrintLine &line : composed.lines()) {
            QCOMPARE(line.pointSize, texts.size() < title.size() ? 20 : 12);
            texts << line.text;
        }
        QCOMPARE(texts.mid(0, title.size()), title);
        QCOMPARE(texts.size(), title.size() + body.size());
        if (page >= 2)
            QCOMPARE(texts.mid(title.size()), body);
    }
};

QTEST_GUILESS_MAIN(CompositionsTest)
#include "tst_compositions.moc"
