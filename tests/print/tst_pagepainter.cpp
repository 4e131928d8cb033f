// Where the painted lines land on the sheet: the offsets in centimetres from
// the printable area's corner, and the flow onto the next sheets, read back
// from the words' boxes in the PDF (pdftotext -bbox).
#include "pagepainter.h"
#include "pdftext.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr double PointsPerCentimetre = 72.0 / 2.54;

struct Word
{
    QString text;
    double left, top, right, bottom;
};

// The words of each sheet with their boxes, in points from the sheet's corner.
QList<QList<Word>> wordsByPage(const QString &pdf)
{
    static const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    QList<QList<Word>> pages;
    const QStringList sheets = PdfText::run(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s}).split(u"<page "_s);
    for (const QString &sheet : sheets.mid(1)) {
        pages.append(QList<Word>());
        for (auto it = word.globalMatch(sheet); it.hasNext();) {
            const auto m = it.next();
            pages.last().append({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                                 m.captured(3).toDouble(), m.captured(4).toDouble()});
        }
    }
    return pages;
}

// The page painted into a PDF file of `dir` on `paper`, the printer's own
// margins (its printable area) `margin` millimetres on every side.
QString printed(const PrintPage &page, QPageSize::PageSizeId paper, double margin, const QTemporaryDir &dir)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(u"page.pdf"_s));
    printer.setPageSize(QPageSize(paper));
    printer.setPageMargins(QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter);
    if (!PagePainter::paint(page, printer).ok())
        qFatal("the page could not be painted");
    return printer.outputFileName();
}

} // namespace

class PagePainterTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A title line and numbered body lines, on a printer whose own margins
    // (the printable area) are `margin` millimetres on every side.
    void placement_data()
    {
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        QTest::addColumn<double>("margin");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<int>("pages");
        QTest::newRow("A4, no printer margin, one sheet") << QPageSize::A4 << 0.0 << 20 << 1;
        QTest::newRow("A4, 10 mm printer margins, two sheets") << QPageSize::A4 << 10.0 << 80 << 2;
        QTest::newRow("A5, 5 mm printer margins, three sheets") << QPageSize::A5 << 5.0 << 90 << 3;
    }

    void placement()
    {
        QFETCH(QPageSize::PageSizeId, paper);
        QFETCH(double, margin);
        QFETCH(int, lineCount);
        QFETCH(int, pages);
        PrintPage page;
        page.setFontSize(20);
        page.printLine(u"Titre"_s);
        page.setFontSize(12);
        for (int i = 1; i <= lineCount; ++i)
            page.printLine(u"L%1"_s.arg(i, 3, 10, QLatin1Char('0')));
        QTemporaryDir dir;
        const QString pdf = printed(page, paper, margin, dir);

        const double marginPoints = margin * 72.0 / 25.4;
        // The text starts 3 cm in from the left and 1 cm down from the top.
        const double left = marginPoints + 3.0 * PointsPerCentimetre;
        const double top = marginPoints + 1.0 * PointsPerCentimetre;
        const double bottom = QPageSize(paper).size(QPageSize::Point).height() - marginPoints;
        const QList<QList<Word>> sheets = wordsByPage(pdf);
        QCOMPARE(sheets.size(), pages);
        QStringList printed;
        for (const QList<Word> &sheet : sheets) {
            QVERIFY(!sheet.isEmpty());
            // Each sheet starts at the top offset, every line at the left one,
            // and nothing passes the printable area's bottom.
            QVERIFY2(qAbs(sheet.first().top - top) < 3.0, qPrintable(u"%1 vs %2"_s.arg(sheet.first().top).arg(top)));
            for (const Word &word : sheet) {
                QVERIFY2(qAbs(word.left - left) < 1.5, qPrintable(u"%1 at %2, not %3"_s.arg(word.text).arg(word.left).arg(left)));
                QVERIFY2(word.bottom <= bottom, qPrintable(word.text));
                printed << word.text;
            }
        }
        QCOMPARE(printed.size(), lineCount + 1);
        QCOMPARE(printed.first(), u"Titre"_s);
        QCOMPARE(printed.last(), u"L%1"_s.arg(lineCount, 3, 10, QLatin1Char('0')));
        // The sheets are full before the next starts: the last line of a full
        // sheet leaves no room for another 12-point line.
        for (int i = 0; i + 1 < sheets.size(); ++i) {
            const Word &last = sheets[i].last();
            QVERIFY2(bottom - last.bottom < 2 * (last.bottom - last.top), qPrintable(last.text));
        }
    }

    // A line wider than the printable area goes on below, broken between
    // words, every word kept and none past the right edge.
    void longLinesGoOnBelow_data()
    {
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        QTest::addColumn<int>("wordCount");
        QTest::addColumn<QString>("word"); // %1: the word's number
        QTest::newRow("A5, a long paragraph") << QPageSize::A5 << 80 << u"opération%1"_s;
        QTest::newRow("A5, one word longer than the sheet") << QPageSize::A5 << 1 << QString(200, u'x') + u"%1"_s;
    }

    void longLinesGoOnBelow()
    {
        QFETCH(QPageSize::PageSizeId, paper);
        QFETCH(int, wordCount);
        QFETCH(QString, word);
        QStringList words;
        for (int i = 1; i <= wordCount; ++i)
            words << word.arg(i);
        PrintPage page;
        page.printLine(words.join(u' '));
        QTemporaryDir dir;
        const QString pdf = printed(page, paper, 10.0, dir);

        const double right = QPageSize(paper).size(QPageSize::Point).width() - 10.0 * 72.0 / 25.4;
        const QList<Word> sheet = wordsByPage(pdf).value(0);
        QStringList pieces;
        QSet<int> rows;
        for (const Word &printedWord : sheet) {
            QVERIFY2(printedWord.right <= right + 0.5, qPrintable(printedWord.text));
            pieces << printedWord.text;
            rows << qRound(printedWord.top);
        }
        QCOMPARE(pieces.join(QString()), words.join(QString()));
        QVERIFY(rows.size() > 1);
    }
};

QTEST_MAIN(PagePainterTest)
#include "tst_pagepainter.moc"
