// The four prints of the main window, chosen from its menus, answered by the
// test's Prompts with a PDF file, and read back from that file.
#include "pdftext.h"
#include "practice.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

namespace {

const QString Date = u"vendredi 15 mars 2024"_s; // the practice's today, long form

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
        prompts.printerOutputFile = pdfPath();
        prompts.printerAnswers = answers;
    }
    QString pdfPath() const { return m_out.filePath(u"page.pdf"_s); }
    PdfText printed() const { return PdfText::read(pdfPath()); }

private:
    QTemporaryDir m_out;
};

void choose(Form1 &form, const QString &entry)
{
    named<QAction>(&form, entry.toLatin1().constData())->trigger();
}

QPlainTextEdit *box(Form1 &form, const QString &entry) // the post-it's or the theatre programme's
{
    return named<QPlainTextEdit>(&form, entry == "Postit"_L1 ? "Text2" : "Text3");
}

// The column where the first visible character of a line stands.
qsizetype indentOf(const QString &line)
{
    return std::find_if(line.begin(), line.end(), [](QChar c) { return !c.isSpace(); }) - line.begin();
}

} // namespace

class PrintingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // Each entry sits in its menu and opens the dialog once; a cancelled
    // dialog, or a user without a grid for the lists, sends no sheet.
    void nothingSent_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("menu"); // objectName of the menu holding it; empty: the menu bar
        QTest::addColumn<int>("intervalIndex");
        QTest::newRow("morning list cancelled") << u"Matin"_s << u"Imprimer"_s << 1;
        QTest::newRow("post-it cancelled") << u"Postit"_s << u"Imprimer"_s << 1;
        QTest::newRow("theatre programme cancelled") << u"Bloc"_s << QString() << 1;
        QTest::newRow("morning list without a grid") << u"Matin"_s << u"Imprimer"_s << -1;
        QTest::newRow("afternoon list without a grid") << u"Amidi"_s << u"Imprimer"_s << -1;
    }

    void nothingSent()
    {
        QFETCH(QString, entry);
        QFETCH(QString, menu);
        QFETCH(int, intervalIndex);
        PrintingPractice practice({intervalIndex < 0}, intervalIndex);
        const auto form = practice.loadedForm();
        QAction *action = named<QAction>(form.get(), entry.toLatin1().constData());
        QVERIFY(action->isEnabled());
        const QWidget *holder = menu.isEmpty() ? static_cast<QWidget *>(form->menuBar()) : form->findChild<QMenu *>(menu);
        QVERIFY(holder && holder->actions().contains(action));
        action->trigger();
        QCOMPARE(practice.prompts.dialogCount, 1);
        QVERIFY(!QFile::exists(practice.pdfPath()));
        QVERIFY(practice.prompts.informations.isEmpty());
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
        for (int i = 0; i < SlotCount; ++i)
            form->dayView()->slotEdit(i)->setText(u"S%1"_s.arg(i, 2, 10, QLatin1Char('0')));
        const bool morning = slot < MorningSlotCount;
        choose(*form, morning ? u"Matin"_s : u"Amidi"_s);

        const PdfText pdf = practice.printed();
        QCOMPARE(pdf.pages.size(), 1);
        static const QRegularExpression slotText(u"S(\\d\\d)$"_s);
        QList<int> printedSlots;
        for (const QString &printed : pdf.lines())
            if (const auto match = slotText.match(printed); match.hasMatch())
                printedSlots << match.captured(1).toInt();
        QList<int> expected(morning ? 24 : 29);
        std::iota(expected.begin(), expected.end(), morning ? 0 : MorningSlotCount);
        QCOMPARE(printedSlots, expected);

        const QString printed = pdf.lineWith(u"S%1"_s.arg(slot, 2, 10, QLatin1Char('0')));
        QTEST(printed.simplified(), "line");
        const QString firstHour = pdf.lineWith(morning ? u"08h00 : "_s : u"14h00 : "_s);
        QTEST(indentOf(printed) > indentOf(firstHour), "indented");
    }

    // What the window shows is printed, typed but unsaved text included,
    // under the header: the date first on the lists, the user's name first
    // on the two other prints. The stored day stays as it was.
    void headerAndUnsavedEdits_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("header");
        QTest::newRow("morning list") << u"Matin"_s << Date + u" Dr A"_s;
        QTest::newRow("afternoon list") << u"Amidi"_s << Date + u" Dr A"_s;
        QTest::newRow("post-it") << u"Postit"_s << u"Dr A "_s + Date;
        QTest::newRow("theatre programme") << u"Bloc"_s << u"Dr A "_s + Date;
    }

    void headerAndUnsavedEdits()
    {
        QFETCH(QString, entry);
        PrintingPractice practice;
        StoredDay stored = StoredDay::withSlots({{3, u"Durand"_s}, {30, u"Durand"_s}});
        stored.postit = stored.bloc = u"Durand"_s;
        practice.storeDay(1, practice.today(), stored);
        const auto form = practice.loadedForm(true);
        const QString typed = u"Martin 2e visite"_s;
        if (entry == "Matin"_L1 || entry == "Amidi"_L1)
            typeInSlot(*form, entry == "Matin"_L1 ? 3 : 30, typed);
        else
            QTest::keyClicks(box(*form, entry), typed);
        QVERIFY(form->isChanged());
        choose(*form, entry);

        const PdfText pdf = practice.printed();
        QTEST(pdf.lineWith(u"Dr A"_s).simplified(), "header");
        QVERIFY2(!pdf.lineWith(typed).isEmpty(), qPrintable(pdf.pages.join(u'\f')));
        QVERIFY(form->isChanged());
        QCOMPARE(practice.readDay(1, practice.today()), stored);
    }

    void emptyPostit()
    {
        PrintingPractice practice;
        const auto form = practice.loadedForm();
        QVERIFY(box(*form, u"Postit"_s)->toPlainText().isEmpty());
        choose(*form, u"Postit"_s);

        const QStringList lines = practice.printed().lines();
        QCOMPARE(PdfText::pageCount(practice.pdfPath()), 1);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0).trimmed(), u"NE PAS OUBLIER"_s);
        QCOMPARE(lines.at(1).simplified(), u"Dr A "_s + Date);
    }

    // A programme longer than a sheet goes on over the next, every line
    // printed once, in order; the title block on the first sheet only.
    void theatreFlowsOntoNextPage_data()
    {
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        QTest::addColumn<int>("pages");
        QTest::newRow("forty lines on A5: two sheets") << QPageSize::A5 << 2;
        QTest::newRow("forty lines on A4: one sheet") << QPageSize::A4 << 1;
    }

    void theatreFlowsOntoNextPage()
    {
        QFETCH(QPageSize::PageSizeId, paper);
        QFETCH(int, pages);
        PrintingPractice practice;
        const auto form = practice.loadedForm();
        practice.prompts.printerPageSize = QPageSize(paper);
        QStringList programme;
        for (int i = 1; i <= 40; ++i)
            programme << u"Ligne %1 patient"_s.arg(i, 3, 10, QLatin1Char('0'));
        box(*form, u"Bloc"_s)->setPlainText(programme.join(u'\n'));
        choose(*form, u"Bloc"_s);

        QCOMPARE(PdfText::pageCount(practice.pdfPath()), pages);
        const PdfText pdf = practice.printed();
        QCOMPARE(pdf.lines().filter(u"Ligne"_s).replaceInStrings(QRegularExpression(u"^\\s+"_s), QString()), programme);
        QVERIFY(pdf.pages.last().contains(programme.last()));
        QCOMPARE(pdf.pages.last().contains(u"Dr A"_s), pages == 1);
    }

    // The theatre programme's title is Label3's caption: the user's bottom
    // annotation once a user is switched to, the design text when it is empty.
    void theatreTitleFollowsUser_data()
    {
        QTest::addColumn<int>("user");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        QTest::newRow("user 2") << 2 << u"Bloc 2"_s << u"Dr B"_s;
        QTest::newRow("user 3") << 3 << u"Chirurgie ambulatoire"_s << u"Dr C"_s;
    }

    void theatreTitleFollowsUser()
    {
        QFETCH(int, user);
        QFETCH(QString, title);
        QFETCH(QString, name);
        PrintingPractice practice;
        const auto form = practice.loadedForm();
        form->CmdUtilisat_MouseDown(user);
        QCOMPARE(named<QAction>(form.get(), "Bloc")->text(), title);
        choose(*form, u"Bloc"_s);

        const QStringList lines = practice.printed().lines();
        QCOMPARE(lines.at(0).trimmed(), title);
        QCOMPARE(lines.at(1).simplified(), name + u' ' + Date);
    }

    // A cancelled dialog sends nothing; a document that cannot be started or
    // ended is told in French. Nothing is left pending for the next print,
    // which holds its own page only.
    void failedPrintLeavesNothing_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("file"); // empty: the dialog cancelled; <shared>: the practice's shared folder
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("expected"); // on the next print's page
        const QString notStarted = u"L'impression n'a pas pu commencer sur le fichier « %1 » : rien n'a été "
                                   "imprimé. Vérifiez l'imprimante ou le dossier choisi, puis recommencez."_s;
        const QString notEnded = u"L'impression n'a pas pu être terminée sur le fichier « %1 » : la page n'a "
                                 "peut-être pas été imprimée en entier. Vérifiez l'imprimante ou le dossier "
                                 "choisi, puis recommencez."_s;
        const QString postit = u"NE PAS OUBLIER"_s;
        QTest::newRow("morning list cancelled") << u"Matin"_s << QString() << QString() << u"Postit"_s << postit;
        QTest::newRow("theatre cancelled") << u"Bloc"_s << QString() << QString() << u"Amidi"_s << u"14h00"_s;
        QTest::newRow("morning list into a missing folder")
            << u"Matin"_s << u"<shared>/absent/page.pdf"_s << notStarted << u"Postit"_s << postit;
        QTest::newRow("post-it onto a folder") << u"Postit"_s << u"<shared>"_s << notStarted << u"Postit"_s << postit;
        QTest::newRow("theatre programme onto a full disk")
            << u"Bloc"_s << u"/dev/full"_s << notEnded << u"Postit"_s << postit;
    }

    void failedPrintLeavesNothing()
    {
        QFETCH(QString, entry);
        QFETCH(QString, file);
        QFETCH(QString, message);
        PrintingPractice practice({!file.isEmpty(), true});
        const QString goodPath = practice.pdfPath();
        if (!file.isEmpty())
            practice.prompts.printerOutputFile = file.replace(u"<shared>"_s, practice.sharedFolder());
        const auto form = practice.loadedForm();
        const auto fill = [&](int slot, const QString &text) {
            box(*form, u"Postit"_s)->setPlainText(text);
            box(*form, u"Bloc"_s)->setPlainText(text);
            form->dayView()->slotEdit(slot)->setText(text);
        };
        fill(0, u"Annulé"_s);
        choose(*form, entry);
        QCOMPARE(practice.prompts.informations, message.isEmpty() ? QStringList() : QStringList{message.arg(file)});
        QVERIFY(!QFile::exists(goodPath));

        practice.prompts.printerOutputFile = goodPath;
        fill(24, u"Imprimé"_s);
        QFETCH(QString, next);
        choose(*form, next);
        QCOMPARE(practice.prompts.dialogCount, 2);
        QCOMPARE(practice.prompts.informations.size(), message.isEmpty() ? 0 : 1);
        QCOMPARE(PdfText::pageCount(goodPath), 1);
        const PdfText pdf = practice.printed();
        QFETCH(QString, expected);
        QVERIFY(!pdf.lineWith(expected).isEmpty());
        QVERIFY(!pdf.lineWith(u"Imprimé"_s).isEmpty());
        QVERIFY(pdf.lineWith(u"Annulé"_s).isEmpty());
    }
};

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
