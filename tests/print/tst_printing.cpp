// The prints: the pages composed line by line, where the painted lines land on
// the sheet, and the main window's four prints chosen from its menus,
// answered by the test's Prompts with a PDF file. The PDF files are read back
// with poppler's pdftotext. The labels of the lists are the grid library's,
// checked there; here only that the lists carry them.
#include "compositions.h"
#include "pagepainter.h"
#include "practice.h" // with QAction, QPrinter and QRegularExpression

#include <QPlainTextEdit>
#include <QProcess>

#include <map>

using namespace Qt::StringLiterals;

namespace {

const QString Date = u"vendredi 15 mars 2024"_s; // the practice's today, long form

// `count` texts numbered from 1 in three digits ("L001", "L002", ...).
QStringList numbered(int count, const QString &pattern)
{
    QStringList texts;
    for (int i = 1; i <= count; ++i)
        texts << pattern.arg(i, 3, 10, QLatin1Char('0'));
    return texts;
}

// A printed line: its words joined by a space, and its box in points from the sheet's corner.
struct Line { QString text; QRectF box; };

// A PDF file read back by pdftotext (a failure ends the test program): each
// sheet's lines from the top (the words standing at one height), and the
// texts of all the lines of the file.
struct Printed
{
    explicit Printed(const QString &path)
    {
        static const QRegularExpression word(
            uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
        QProcess process;
        process.start(u"pdftotext"_s, QStringList{u"-bbox"_s, path, u"-"_s});
        if (!process.waitForFinished(-1) || process.exitCode() != 0)
            qFatal("pdftotext failed on %s", qPrintable(path));
        for (const QString &sheet : QString::fromUtf8(process.readAllStandardOutput()).split(u"<page "_s).mid(1)) {
            std::map<std::pair<double, double>, Line> words; // by their bottom, then from the left
            for (auto it = word.globalMatch(sheet); it.hasNext();) {
                const auto m = it.next();
                const auto at = [&m](int i) { return m.captured(i).toDouble(); };
                words[{at(4), at(1)}] = {m.captured(5), QRectF(QPointF(at(1), at(2)), QPointF(at(3), at(4)))};
            }
            QList<Line> &rows = sheets.emplace_back();
            for (const auto &[place, w] : words) {
                if (!rows.isEmpty() && rows.last().box.bottom() == w.box.bottom())
                    rows.last() = {rows.last().text + u' ' + w.text, rows.last().box | w.box};
                else
                    rows.append(w);
            }
            for (const Line &row : rows)
                lines << row.text;
        }
    }
    QList<QList<Line>> sheets;
    QStringList lines;
};

} // namespace

class PrintingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // The theatre programme (and the post-it, composed alike): a title block
    // in 20 points (an empty line, the title, an empty line, the user's name,
    // five spaces and the date, two empty lines), then the box's text in 12
    // points, its own line breaks (CR LF, LF or CR alone) making the lines.
    void composition()
    {
        const ShownDay day{.intervalMinutes = 15, .dateCaption = Date, .userName = u"Dr A"_s, .slots = {},
                           .theatreTitle = u"Bloc 2"_s,
                           .theatreProgramme = u"8h Durand\r\n  le labo\n\na\rb\r\n"_s, .postit = {}};
        const PrintPage page = Compositions::theatreProgramme(day);
        QStringList texts;
        for (const PrintLine &line : page.lines()) {
            QCOMPARE(line.pointSize, texts.size() < 6 ? 20 : 12);
            texts << line.text;
        }
        QCOMPARE(texts, (QStringList{QString(), u"          Bloc 2"_s, QString(), u"Dr A     "_s + Date, QString(),
                                     QString(), u"8h Durand"_s, u"  le labo"_s, QString(), u"a"_s, u"b"_s, QString()}));
    }

    // A text in 12 points on A5 paper, the printer's own margins (its
    // printable area) 1 cm on every side. Each sheet starts 1 cm below the
    // area's top, each row 3 cm right of its left edge and below the
    // previous row, a row going on right of the previous word;
    // nothing passes the area's right or bottom edge; every character is
    // printed once, in order; a sheet is full before the next starts. A line
    // wider than the area goes on below, broken between words (or inside a
    // word longer than the sheet).
    void painting_data()
    {
        QTest::addColumn<QStringList>("body");
        QTest::addColumn<int>("sheets");
        QTest::newRow("three sheets") << numbered(90, u"L%1"_s) << 3;
        QTest::newRow("a long paragraph") << QStringList{numbered(80, u"opération%1"_s).join(u' ')} << 1;
        QTest::newRow("one word longer than the sheet") << QStringList{QString(200, u'x')} << 1;
    }

    void painting()
    {
        QFETCH(QStringList, body);
        PrintPage page; // in 12 points, a page's own size
        page.printText(body.join(u'\n'));
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFileName(dir.filePath(u"page.pdf"_s)); // a PDF file, by its suffix
        printer.setPageSize(QPageSize(QPageSize::A5));
        printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        QVERIFY(PagePainter::paint(page, printer).ok());

        const QRectF area = printer.pageLayout().paintRect(QPageLayout::Point); // inside the printer's margins
        const double left = area.left() + PagePainter::LeftMarginCm * 72.0 / 2.54;
        const double top = area.top() + PagePainter::TopMarginCm * 72.0 / 2.54;
        const Printed printed(printer.outputFileName());
        QTEST(int(printed.sheets.size()), "sheets");
        for (const QList<Line> &sheet : printed.sheets) {
            for (qsizetype i = 0; i < sheet.size(); ++i) {
                const QRectF &row = sheet[i].box;
                QVERIFY2(qAbs(row.left() - left) < 1.5 && row.right() <= area.right() + 0.5
                             && row.bottom() <= area.bottom()
                             && (i == 0 ? qAbs(row.top() - top) < 3.0 : row.top() > sheet[i - 1].box.bottom() - 0.5),
                         qPrintable(sheet[i].text));
            }
            // The last line of a full sheet leaves no room for another 12-point line.
            if (&sheet != &printed.sheets.last())
                QVERIFY(area.bottom() - sheet.last().box.bottom() < 2 * sheet.last().box.height());
        }
        QCOMPARE(printed.lines.join(QString()).remove(u' '), body.join(QString()).remove(u' '));
    }

    // A cancelled dialog, or a user without a grid for the lists, sends no
    // sheet and says nothing; a document that cannot be started or ended is
    // told in French. Each print opens the dialog once, and nothing is left
    // pending: the next prints hold their own pages only. They print what the
    // window shows, unsaved edits included, of the user switched to. The
    // theatre programme: under his bottom annotation, his name, then the
    // date; every line once, in order, going on over the next sheet of the
    // paper chosen in the dialog. The post-it alike. The lists: the date,
    // then his name; every slot of the half-day on its own line, in order,
    // with its label in front under his grid, spaces included: "indented",
    // the line starts right of the half-day's first hour (a minute label),
    // not in its column (an hour). Printing saves nothing.
    void printFromWindow_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("intervalIndex"); // the first user's; -1: no grid
        // The file chosen: <cancelled> the dialog cancelled, none the test's,
        // <shared> the practice's shared folder.
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        const QString notStarted = u"L'impression n'a pas pu commencer sur le fichier « %1 » : rien n'a été "
                                   "imprimé. Vérifiez l'imprimante ou le dossier choisi, puis recommencez."_s;
        const QString notEnded = u"L'impression n'a pas pu être terminée sur le fichier « %1 » : la page n'a "
                                 "peut-être pas été imprimée en entier. Vérifiez l'imprimante ou le dossier "
                                 "choisi, puis recommencez."_s;
        QTest::newRow("theatre cancelled") << u"Bloc"_s << 1 << u"<cancelled>"_s << QString();
        QTest::newRow("morning list without a grid") << u"Matin"_s << -1 << QString() << QString();
        QTest::newRow("afternoon list into a missing folder")
            << u"Amidi"_s << 1 << u"<shared>/absent/page.pdf"_s << notStarted;
        QTest::newRow("post-it onto a full disk") << u"Postit"_s << 1 << u"/dev/full"_s << notEnded;
    }

    void printFromWindow()
    {
        QFETCH(QString, entry);
        QFETCH(int, intervalIndex);
        QFETCH(QString, file);
        QFETCH(QString, message);
        Practice practice;
        UserConfig users = Practice::namedUsers({1, 2, 3});
        users[0].intervalIndex = qint16(intervalIndex);
        users[2].intervalIndex = 0; // 10 minutes
        practice.writeUsers(users);
        const QString pdfPath = practice.programFolder() + u"/page.pdf"_s;
        const bool cancelled = file == "<cancelled>"_L1; // the test's file then, as when none
        practice.prompts.printerAnswers = {!cancelled, true, true, true, true};
        practice.prompts.printerOutputFile =
            file.isEmpty() || cancelled ? pdfPath : file.replace(u"<shared>"_s, practice.sharedFolder());
        practice.prompts.printerPageSize = QPageSize(QPageSize::A5);
        const StoredDay stored = StoredDay::withSlots({{3, u"Durand"_s}});
        practice.storeDay(3, practice.today(), stored);
        const auto form = practice.loadedForm();
        triggerAction(form.get(), qPrintable(entry));
        QCOMPARE(practice.prompts.dialogCount, 1);
        QCOMPARE(practice.prompts.informations, message.isEmpty() ? QStringList() : QStringList{message.arg(file)});
        QVERIFY(!QFile::exists(pdfPath));

        // A page left pending would show its title block again before the next one's.
        practice.prompts.printerOutputFile = pdfPath;
        form->CmdUtilisat_MouseDown(3);
        const QStringList text = numbered(40, u"Ligne %1 patient"_s);
        named<QPlainTextEdit>(form.get(), "Text3")->setPlainText(text.join(u'\n'));
        named<QPlainTextEdit>(form.get(), "Text2")->setPlainText(u"Imprimé"_s);
        const QStringList slotTexts = numbered(SlotCount, u"S%1"_s); // S001 .. S053
        for (int i = 0; i < SlotCount; ++i)
            form->dayView()->slotEdit(i)->setText(slotTexts[i]);
        triggerAction(form.get(), "Bloc");
        const Printed pdf(pdfPath);
        QCOMPARE(pdf.sheets.size(), 2);
        QCOMPARE(pdf.lines, (QStringList{u"Bloc 3"_s, u"Dr C "_s + Date} + text));
        triggerAction(form.get(), "Postit");
        QCOMPARE(Printed(pdfPath).lines, (QStringList{u"NE PAS OUBLIER"_s, u"Dr C "_s + Date, u"Imprimé"_s}));
        // Each list's slots, and one of its lines: its number and text, indented or not.
        struct List { const char *entry; QStringList slots; int at; QString text; bool indented; };
        for (const auto &[list, slots, at, line, indented] :
             {List{"Matin", slotTexts.first(MorningSlotCount), 5, u"40 : S005"_s, true},
              List{"Amidi", slotTexts.sliced(MorningSlotCount), 6, u"15h00 : S030"_s, false}}) {
            triggerAction(form.get(), list);
            const Printed half(pdfPath);
            QCOMPARE(half.sheets.size(), 1);
            QCOMPARE(half.lines.first(), Date + u" Dr C"_s);
            QStringList printedSlots; // the last word of every line under the title
            for (const QString &printedLine : half.lines.mid(1))
                printedSlots << printedLine.section(u' ', -1);
            QCOMPARE(printedSlots, slots);
            QCOMPARE(half.lines.value(at), line);
            // Compared with the half-day's first line, under its first hour.
            QCOMPARE(half.sheets[0][at].box.left() > half.sheets[0][1].box.left() + 1, indented);
        }
        QCOMPARE(practice.prompts.informations.size(), message.isEmpty() ? 0 : 1);
        QVERIFY(form->isChanged());
        QCOMPARE(practice.readDay(3, practice.today()), stored);
    }
};

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
