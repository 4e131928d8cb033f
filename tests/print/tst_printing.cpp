// The prints: the pages composed line by line, where the painted lines land on
// the sheet, and the main window's four prints chosen from its menus,
// answered by the test's Prompts with a PDF file. The PDF files are read back
// with poppler's pdftotext.
#include "compositions.h"
#include "pagepainter.h"
#include "practice.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

using namespace Qt::StringLiterals;
using SlotGrid::HalfDay;

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

// A PDF file read back by pdftotext with `arguments`; a failure ends the test program.
QString pdfToText(const QString &path, const QString &arguments)
{
    QProcess process;
    process.start(u"pdftotext"_s, QStringList{arguments, path, u"-"_s});
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        qFatal("pdftotext failed on %s", qPrintable(path));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A PDF file's text laid out as on the sheet: the text of each sheet (each
// ends with a form feed), every non-empty line in order, as laid out and with
// its spaces simplified.
struct PdfText
{
    explicit PdfText(const QString &path) : pages(pdfToText(path, u"-layout"_s).split(u'\f'))
    {
        pages.removeLast();
        lines = pages.join(u'\n').split(u'\n');
        lines.removeIf([](const QString &line) { return line.trimmed().isEmpty(); });
        for (const QString &line : lines)
            simplified << line.simplified();
    }
    QStringList pages, lines, simplified;
};

// A practice whose user 1 is on the grid of interval index `intervalIndex`,
// whose user 3 carries the bottom annotation "Chirurgie ambulatoire", and
// whose print dialogs are answered from `answers`, into a PDF file.
struct PrintingPractice : Practice
{
    explicit PrintingPractice(QList<bool> answers = {true}, int intervalIndex = 1)
    {
        UserConfig users = namedUsers({1, 2, 3});
        users[0].intervalIndex = qint16(intervalIndex);
        users[2].bottomAnnotation = u"Chirurgie ambulatoire"_s;
        writeUsers(users);
        prompts.printerOutputFile = pdfPath;
        prompts.printerAnswers = answers;
    }
    PdfText printed() const { return PdfText(pdfPath); }

    QTemporaryDir out;
    const QString pdfPath = out.filePath(u"page.pdf"_s);
};

QAction *entryOf(Form1 &form, const QString &entry)
{
    return named<QAction>(&form, qPrintable(entry));
}

QPlainTextEdit *box(Form1 &form, const QString &entry) // the post-it's or the theatre programme's
{
    return named<QPlainTextEdit>(&form, entry == "Postit"_L1 ? "Text2" : "Text3");
}

// A word painted on a sheet, its box in points from the sheet's corner.
struct Word
{
    QString text;
    double left, top, right, bottom;
};

QList<QList<Word>> wordsBySheet(const QString &pdf)
{
    static const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    QList<QList<Word>> sheets;
    for (const QString &sheet : pdfToText(pdf, u"-bbox"_s).split(u"<page "_s).mid(1)) {
        sheets.append(QList<Word>());
        for (auto it = word.globalMatch(sheet); it.hasNext();) {
            const auto m = it.next();
            sheets.last().append({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                                  m.captured(3).toDouble(), m.captured(4).toDouble()});
        }
    }
    return sheets;
}

} // namespace

class PrintingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // The title block in 20 points: the lists put the date first, the two
    // other prints the name first, five spaces between. Then the body in 12
    // points: a line per slot, or the programme and post-it in one piece,
    // their own line breaks (CR LF, LF or CR alone) making the lines.
    void compositions_data()
    {
        QTest::addColumn<int>("page"); // 0 morning, 1 afternoon, 2 theatre, 3 post-it
        QTest::addColumn<QString>("text"); // of the theatre programme or the post-it
        QTest::addColumn<QStringList>("title");
        QTest::addColumn<QStringList>("body"); // the lists': only counted
        const QString nameFirst = u"Dr A     vendredi 15 mars 2024"_s;
        const QStringList list{QString(), u"vendredi 15 mars 2024     Dr A"_s, QString(), QString()};
        const QStringList theatre{QString(), u"          Bloc 2"_s, QString(), nameFirst, QString(), QString()};
        QStringList postit = theatre;
        postit[1] = u"                       NE PAS OUBLIER"_s;
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

    void compositions()
    {
        QFETCH(int, page);
        QFETCH(QString, text);
        QFETCH(QStringList, title);
        QFETCH(QStringList, body);
        const ShownDay day{.intervalMinutes = 15, .dateCaption = Date, .userName = u"Dr A"_s, .slots = {},
                           .theatreTitle = u"Bloc 2"_s, .theatreProgramme = text, .postit = text};
        const PrintPage composed = QList{Compositions::halfDayList(HalfDay::Morning, day),
            Compositions::halfDayList(HalfDay::Afternoon, day), Compositions::theatreProgramme(day),
            Compositions::postit(day)}[page];
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

    // A title line and the body on `paper`, the printer's own margins (its
    // printable area) `margin` millimetres on every side. Each sheet starts
    // 1 cm below the area's top, each row 3 cm right of its left edge, a row
    // going on right of the previous word; nothing passes its right or
    // bottom edge; every character is printed once, in order; a sheet is full
    // before the next starts. A line wider than the area goes on below,
    // broken between words (or inside a word longer than the sheet).
    void painting_data()
    {
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        QTest::addColumn<double>("margin");
        QTest::addColumn<QStringList>("body");
        QTest::addColumn<int>("sheets");
        QTest::addColumn<bool>("broken"); // more rows than lines
        QTest::newRow("A4, no printer margin, one sheet")
            << QPageSize::A4 << 0.0 << numbered(20, u"L%1"_s) << 1 << false;
        QTest::newRow("A4, 10 mm printer margins, two sheets")
            << QPageSize::A4 << 10.0 << numbered(80, u"L%1"_s) << 2 << false;
        QTest::newRow("A5, 5 mm printer margins, three sheets")
            << QPageSize::A5 << 5.0 << numbered(90, u"L%1"_s) << 3 << false;
        QTest::newRow("A5, a long paragraph")
            << QPageSize::A5 << 10.0 << QStringList{numbered(80, u"opération%1"_s).join(u' ')} << 1 << true;
        QTest::newRow("A5, one word longer than the sheet")
            << QPageSize::A5 << 10.0 << QStringList{QString(200, u'x')} << 1 << true;
    }

    void painting()
    {
        QFETCH(QPageSize::PageSizeId, paper);
        QFETCH(double, margin);
        QFETCH(QStringList, body);
        PrintPage page;
        page.setFontSize(20);
        page.printLine(u"Titre"_s);
        page.setFontSize(12);
        for (const QString &line : body)
            page.printLine(line);
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(u"page.pdf"_s));
        printer.setPageSize(QPageSize(paper));
        printer.setPageMargins(QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter);
        QVERIFY(PagePainter::paint(page, printer).ok());

        const double marginPoints = margin * 72.0 / 25.4;
        const double left = marginPoints + PagePainter::LeftMarginCm * 72.0 / 2.54;
        const double top = marginPoints + PagePainter::TopMarginCm * 72.0 / 2.54;
        const QSizeF size = QPageSize(paper).size(QPageSize::Point);
        const QList<QList<Word>> printed = wordsBySheet(printer.outputFileName());
        QTEST(int(printed.size()), "sheets");
        QString text;
        int rows = 0;
        for (const QList<Word> &sheet : printed) {
            QVERIFY(!sheet.isEmpty());
            QVERIFY2(qAbs(sheet.first().top - top) < 3.0, qPrintable(u"%1 vs %2"_s.arg(sheet.first().top).arg(top)));
            for (qsizetype i = 0; i < sheet.size(); ++i) {
                const Word &word = sheet[i];
                const bool goesOn = i > 0 && qAbs(word.bottom - sheet[i - 1].bottom) < 1.0;
                rows += !goesOn;
                if (goesOn)
                    QVERIFY2(word.left >= sheet[i - 1].right, qPrintable(word.text));
                else
                    QVERIFY2(qAbs(word.left - left) < 1.5, qPrintable(word.text));
                QVERIFY2(goesOn || i == 0 || word.top > sheet[i - 1].top, qPrintable(word.text));
                QVERIFY2(word.right <= size.width() - marginPoints + 0.5 && word.bottom <= size.height() - marginPoints,
                         qPrintable(word.text));
                text += word.text;
            }
        }
        QCOMPARE(text, u"Titre"_s + body.join(QString()).remove(u' '));
        QFETCH(bool, broken);
        QVERIFY2(broken ? rows > body.size() + 1 : rows == body.size() + 1, qPrintable(QString::number(rows)));
        // The last line of a full sheet leaves no room for another 12-point line.
        for (qsizetype i = 0; i + 1 < printed.size(); ++i) {
            const Word &last = printed[i].last();
            QVERIFY2(size.height() - marginPoints - last.bottom < 2 * (last.bottom - last.top), qPrintable(last.text));
        }
    }

    // Each entry sits in its menu and opens the dialog once. A cancelled
    // dialog, or a user without a grid for the lists, sends no sheet and says
    // nothing; a document that cannot be started or ended is told in French.
    // Nothing is left pending for the next print, which holds its own page only.
    void failedPrintLeavesNothing_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("intervalIndex"); // -1: no grid
        // The file chosen: <cancelled> the dialog cancelled, none the test's,
        // <shared> the practice's shared folder.
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("expected"); // on the next print's page
        const QString notStarted = u"L'impression n'a pas pu commencer sur le fichier « %1 » : rien n'a été "
                                   "imprimé. Vérifiez l'imprimante ou le dossier choisi, puis recommencez."_s;
        const QString notEnded = u"L'impression n'a pas pu être terminée sur le fichier « %1 » : la page n'a "
                                 "peut-être pas été imprimée en entier. Vérifiez l'imprimante ou le dossier "
                                 "choisi, puis recommencez."_s;
        const QString postit = u"NE PAS OUBLIER"_s, none, cancelled = u"<cancelled>"_s;
        QTest::newRow("morning list cancelled") << u"Matin"_s << 1 << cancelled << none << u"Postit"_s << postit;
        QTest::newRow("post-it cancelled") << u"Postit"_s << 1 << cancelled << none << u"Amidi"_s << u"14h00"_s;
        QTest::newRow("theatre cancelled") << u"Bloc"_s << 1 << cancelled << none << u"Amidi"_s << u"14h00"_s;
        QTest::newRow("morning list without a grid") << u"Matin"_s << -1 << none << none << u"Postit"_s << postit;
        QTest::newRow("afternoon list without a grid") << u"Amidi"_s << -1 << none << none << u"Bloc"_s << u"Bloc 1"_s;
        QTest::newRow("morning list into a missing folder")
            << u"Matin"_s << 1 << u"<shared>/absent/page.pdf"_s << notStarted << u"Postit"_s << postit;
        QTest::newRow("post-it onto a folder")
            << u"Postit"_s << 1 << u"<shared>"_s << notStarted << u"Postit"_s << postit;
        QTest::newRow("theatre programme onto a full disk")
            << u"Bloc"_s << 1 << u"/dev/full"_s << notEnded << u"Postit"_s << postit;
    }

    void failedPrintLeavesNothing()
    {
        QFETCH(QString, entry);
        QFETCH(int, intervalIndex);
        QFETCH(QString, file);
        QFETCH(QString, message);
        PrintingPractice practice({file != "<cancelled>"_L1, true}, intervalIndex);
        if (!file.isEmpty())
            practice.prompts.printerOutputFile = file.replace(u"<shared>"_s, practice.sharedFolder());
        const auto form = practice.loadedForm();
        QAction *action = entryOf(*form, entry);
        QVERIFY(action->isEnabled());
        const QWidget *menu = entry == "Bloc"_L1 ? static_cast<QWidget *>(form->menuBar())
                                                 : form->findChild<QMenu *>(u"Imprimer"_s);
        QVERIFY(menu && menu->actions().contains(action));
        const auto fill = [&](int slot, const QString &text) {
            box(*form, u"Postit"_s)->setPlainText(text);
            box(*form, u"Bloc"_s)->setPlainText(text);
            form->dayView()->slotEdit(slot)->setText(text);
        };
        fill(0, u"Annulé"_s);
        action->trigger();
        QCOMPARE(practice.prompts.dialogCount, 1);
        QCOMPARE(practice.prompts.informations, message.isEmpty() ? QStringList() : QStringList{message.arg(file)});
        QVERIFY(!QFile::exists(practice.pdfPath));

        practice.prompts.printerOutputFile = practice.pdfPath;
        fill(24, u"Imprimé"_s);
        QFETCH(QString, next);
        entryOf(*form, next)->trigger();
        QCOMPARE(practice.prompts.dialogCount, 2);
        QCOMPARE(practice.prompts.informations.size(), message.isEmpty() ? 0 : 1);
        const PdfText pdf = practice.printed();
        QCOMPARE(pdf.pages.size(), 1);
        QFETCH(QString, expected);
        QVERIFY(!pdf.lines.filter(expected).isEmpty());
        QVERIFY(!pdf.lines.filter(u"Imprimé"_s).isEmpty());
        QVERIFY(pdf.lines.filter(u"Annulé"_s).isEmpty());
    }

    // The lists of the five grids: every slot of the half-day on its own
    // line, in order, and the label in front of chosen slots. "indented":
    // the line starts right of the half-day's first hour label (a minute
    // label, or a blank one), not in its column (an hour, or no label).
    void lists_data()
    {
        QTest::addColumn<int>("intervalIndex");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("indented");
        QTest::newRow("10 min: 40 before 09h") << 0 << 4 << u"40 : S04"_s << true;
        QTest::newRow("10 min: 09h") << 0 << 5 << u"09h00 : S05"_s << false;
        QTest::newRow("10 min: afternoon ends with 19h30") << 0 << 52 << u"30 : S52"_s << true;
        QTest::newRow("15 min: 13h45") << 1 << 23 << u"45 : S23"_s << true;
        QTest::newRow("15 min: 21h") << 1 << 52 << u"21h00 : S52"_s << false;
        QTest::newRow("20 min: 13h40") << 2 << 17 << u"40 : S17"_s << true;
        QTest::newRow("20 min: spare morning slot without label") << 2 << 18 << u"S18"_s << false;
        QTest::newRow("20 min: spare afternoon slot without label") << 2 << 52 << u"S52"_s << false;
        QTest::newRow("30 min: blank label under 08h") << 3 << 1 << u"S01"_s << true;
        QTest::newRow("60 min: blank label under 13h") << 4 << 23 << u"S23"_s << true;
        QTest::newRow("60 min: 20h") << 4 << 48 << u"20h00 : S48"_s << false;
    }

    void lists()
    {
        QFETCH(int, intervalIndex);
        QFETCH(int, slot);
        PrintingPractice practice({true}, intervalIndex);
        const auto form = practice.loadedForm();
        QStringList texts; // S00 .. S52
        for (int i = 0; i < SlotCount; ++i) {
            texts << u"S%1"_s.arg(i, 2, 10, QLatin1Char('0'));
            form->dayView()->slotEdit(i)->setText(texts.last());
        }
        const bool morning = slot < MorningSlotCount;
        entryOf(*form, morning ? u"Matin"_s : u"Amidi"_s)->trigger();

        const PdfText pdf = practice.printed();
        QCOMPARE(pdf.pages.size(), 1);
        QStringList printedSlots; // the last word of every line under the title
        for (const QString &line : pdf.simplified.mid(1))
            printedSlots << line.section(u' ', -1);
        QCOMPARE(printedSlots, morning ? texts.mid(0, MorningSlotCount) : texts.mid(MorningSlotCount));

        const QString printed = pdf.lines.filter(texts[slot]).value(0);
        QTEST(printed.simplified(), "line");
        const QString firstHour = pdf.lines.filter(morning ? u"08h00 : "_s : u"14h00 : "_s).value(0);
        static const QRegularExpression visible(u"\\S"_s);
        QTEST(printed.indexOf(visible) > firstHour.indexOf(visible), "indented");
    }

    // What the window shows is printed, typed but unsaved text included,
    // under the title block: the date first on the lists, the user's name
    // first on the two other prints, below their title (the theatre
    // programme's: Label3, the user's bottom annotation, followed when the
    // user is switched to). The stored day stays as it was.
    void headerAndUnsavedEdits_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("user");
        QTest::addColumn<QStringList>("title");
        QTest::newRow("morning list") << u"Matin"_s << 1 << QStringList{Date + u" Dr A"_s};
        QTest::newRow("afternoon list") << u"Amidi"_s << 1 << QStringList{Date + u" Dr A"_s};
        QTest::newRow("post-it") << u"Postit"_s << 1 << QStringList{u"NE PAS OUBLIER"_s, u"Dr A "_s + Date};
        QTest::newRow("theatre programme, user 2") << u"Bloc"_s << 2 << QStringList{u"Bloc 2"_s, u"Dr B "_s + Date};
        QTest::newRow("theatre programme, user 3")
            << u"Bloc"_s << 3 << QStringList{u"Chirurgie ambulatoire"_s, u"Dr C "_s + Date};
    }

    void headerAndUnsavedEdits()
    {
        QFETCH(QString, entry);
        QFETCH(int, user);
        QFETCH(QStringList, title);
        PrintingPractice practice;
        StoredDay stored = StoredDay::withSlots({{3, u"Durand"_s}, {30, u"Durand"_s}});
        stored.postit = stored.bloc = u"Durand"_s;
        practice.storeDay(user, practice.today(), stored);
        const auto form = practice.loadedForm(true);
        if (user != 1)
            form->CmdUtilisat_MouseDown(user);
        if (entry == "Bloc"_L1)
            QCOMPARE(entryOf(*form, entry)->text(), title.first());
        const QString typed = u"Martin 2e visite"_s;
        if (entry == "Matin"_L1 || entry == "Amidi"_L1)
            typeInSlot(*form, entry == "Matin"_L1 ? 3 : 30, typed);
        else
            QTest::keyClicks(box(*form, entry), typed);
        QVERIFY(form->isChanged());
        entryOf(*form, entry)->trigger();

        const PdfText pdf = practice.printed();
        QCOMPARE(pdf.simplified.mid(0, title.size()), title);
        QVERIFY2(!pdf.lines.filter(typed).isEmpty(), qPrintable(pdf.lines.join(u'\n')));
        QVERIFY(form->isChanged());
        QCOMPARE(practice.readDay(user, practice.today()), stored);
    }

    // The text of the post-it or the theatre programme under the title
    // block, every line once, in order, going on over the next sheets when
    // longer than one; the title block on the first sheet only. An empty box
    // prints the title block alone.
    void boxFlowsOntoNextSheets_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<QStringList>("title");
        QTest::addColumn<int>("sheets");
        const QStringList postit{u"NE PAS OUBLIER"_s, u"Dr A "_s + Date}, theatre{u"Bloc 1"_s, u"Dr A "_s + Date};
        QTest::newRow("empty post-it") << u"Postit"_s << QPageSize::A4 << 0 << postit << 1;
        QTest::newRow("forty lines on A5: two sheets") << u"Bloc"_s << QPageSize::A5 << 40 << theatre << 2;
        QTest::newRow("forty lines on A4: one sheet") << u"Bloc"_s << QPageSize::A4 << 40 << theatre << 1;
    }

    void boxFlowsOntoNextSheets()
    {
        QFETCH(QString, entry);
        QFETCH(QPageSize::PageSizeId, paper);
        QFETCH(int, lineCount);
        QFETCH(QStringList, title);
        QFETCH(int, sheets);
        PrintingPractice practice;
        practice.prompts.printerPageSize = QPageSize(paper);
        const auto form = practice.loadedForm();
        QVERIFY(box(*form, entry)->toPlainText().isEmpty());
        const QStringList text = numbered(lineCount, u"Ligne %1 patient"_s);
        box(*form, entry)->setPlainText(text.join(u'\n'));
        entryOf(*form, entry)->trigger();

        const PdfText pdf = practice.printed();
        QCOMPARE(pdf.pages.size(), sheets);
        QCOMPARE(pdf.simplified, title + text);
        QVERIFY(pdf.pages.last().simplified().endsWith((title + text).last()));
        QCOMPARE(pdf.pages.last().contains(u"Dr A"_s), sheets == 1);
    }
};

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
