#include "captions.h"
#include "datebox.h"
#include "filebytes.h"
#include "frmrech.h"
#include "listlines.h"
#include "practice.h"

#include <QPointer>

using namespace Qt::StringLiterals;

// Users 1 and 2 named "Dr A" and "Dr B"; today 15 March 2024 (date 45366).
static constexpr qint32 Today = 45366;

static FrmRech *openSearch(Form1 &form)
{
    named<QAction>(&form, "Rechercher")->trigger();
    return named<FrmRech>(&form, "FrmRech");
}

static QString day(qint32 dateNumber)
{
    return DateBox::format(DateNumber::toDate(dateNumber), QLocale());
}

// Types the range and the text, clicks "Recherche", and gives back the list
// lines joined by '|'.
static QString search(FrmRech &window, const QString &from, const QString &to, const QString &text)
{
    named<QLineEdit>(&window, "TxtDate1")->setText(from);
    named<QLineEdit>(&window, "TxtDate2")->setText(to);
    named<QLineEdit>(&window, "TxtNom")->setText(text);
    QTest::mouseClick(named<QPushButton>(&window, "Command1"), Qt::LeftButton);
    return linesOf(named<QListWidget>(&window, "List1")).join(u'|');
}

// The search window driven as a person would: opened from "&Rechercher",
// dates and text typed, "Recherche" clicked, a found date double-clicked.
class SearchWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void dateBox_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("day"); // invalid: not a date
        // In French (the default locale here): single digits, dashes, a two-digit year, year first, a time of day,
        // the long formats; each also written by the window and read back ("15/03/2024").
        for (const char *typed : {"15-3-24", "2024-03-15", " 15/03/2024  9h30 ", "15/03/2024 23:59:59",
                                  "vendredi 15 mars 2024", "15 mars 2024"})
            QTest::addRow("\"%s\"", typed) << QLocale() << QString::fromUtf8(typed) << QDate(2024, 3, 15);
        // No hour 24, a time alone, a day and month alone, nothing (no such day, words: results).
        for (const char *typed : {"15/03/2024 24:00", "14:30", "14/02", ""})
            QTest::addRow("not a date: \"%s\"", typed) << QLocale() << QString::fromUtf8(typed) << QDate();
        QTest::newRow("two-digit year of the last century") << QLocale() << u"15.3.98"_s << QDate(1998, 3, 15);
        QTest::newRow("month first where the locale says so")
            << QLocale(QLocale::English, QLocale::UnitedStates) << u"3/15/2024"_s << QDate(2024, 3, 15);
        QTest::newRow("short format with a month name, and a time")
            << QLocale::c() << u"15 Mar 2024 14:30"_s << QDate(2024, 3, 15);
    }

    void dateBox()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, typed);
        QFETCH(QDate, day);
        QCOMPARE(DateBox::parse(typed, locale).value_or(QDate()), day);
        if (day.isValid()) // written, read back
            QCOMPARE(DateBox::parse(DateBox::format(day, locale), locale).value_or(QDate()), day);
    }

    // Days stored around today, and a first search of today; each row then
    // searches (by default a month before today to two months after) as user 1
    // (user 2's table is searched in openAndFind) and lists what it finds. A
    // search refused (a date that cannot be read, a database replaced by a file
    // that is no database) gives one message; a bad date leaves the first
    // search's list, a database that cannot be searched empties it, and nothing
    // is written to it.
    void results_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<qint32>>("found");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        // The one message; with %1 (the database's path), the database is first replaced by a file that is none.
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const QString &text, QList<qint32> found,
                            const QString &first = day(Today - 30), const QString &last = day(Today + 60),
                            const QString &message = {}) {
            QTest::newRow(name) << text << found << first << last << message;
        };
        const QString badDate = u"La Date est saisie selon un mode incorrect. Veuillez corriger."_s;
        row("three days in ascending order, not in stored order", u"radio"_s, {Today - 3, Today, Today + 40});
        row("empty text: every day with a record in the range, both bounds included", QString(),
            {Today - 30, Today - 3, Today, Today + 1, Today + 5, Today + 7, Today + 8, Today + 40, Today + 60});
        row("other case and no accents", u"HELENE"_s, {Today + 1});
        row("apostrophe taken literally", u"l'ours"_s, {Today + 5});
        // Each would match day Today + 8 if taken as a wildcard.
        for (const char *literal : {"a*b", "a?c", "n#1", "[x]", "50%", "a_b"})
            row(qPrintable(u"%1 taken literally"_s.arg(QLatin1String(literal))), QString::fromLatin1(literal),
                {Today + 7});
        row("first date after the last", u"radio"_s, {}, day(Today + 1), day(Today - 1));
        row("refused: first date no such day", u"radio"_s, {Today}, u"30/02/2024"_s, u"15/03/2024"_s, badDate);
        row("refused: last date words", u"radio"_s, {Today}, u"14/02/2024"_s, u"demain"_s, badDate);
        row("refused: not a database", u"radio"_s, {}, day(Today - 1), day(Today),
            u"La recherche n'a pas pu être faite.\n\n"_s + NotPlanoraMessage);
    }

    void results()
    {
        QFETCH(QString, text);
        QFETCH(QList<qint32>, found);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QString, message);
        const bool notADatabase = message.contains(u"%1"_s);
        Practice practice;
        const std::initializer_list<std::pair<qint32, QString>> days = {
            {Today + 40, u"Contrôle RADIO"_s}, // stored first, listed last
            {Today, u"radio du genou"_s}, {Today - 3, u"Radiographie"_s}, {Today - 31, u"radio, hors période"_s},
            {Today + 61, u"radio, hors période"_s}, {Today - 30, u"borne"_s}, {Today + 60, u"borne"_s},
            {Today + 1, u"Mme Hélène Martin"_s}, {Today + 5, u"Brasserie l'ours"_s},
            {Today + 7, u"a*b a?c n#1 [x] 50% a_b"_s}};
        for (const auto &[date, text] : days)
            practice.storeDay(1, date, StoredDay::withSlots({{3, u"avant"_s}, {30, text}}));
        practice.storeDay(1, Today + 8, StoredDay::withSlots({{0, u"axxb abc n51 x 50 mg axb"_s}}));
        auto form = practice.loadedForm();
        FrmRech *window = openSearch(*form);
        QCOMPARE(search(*window, day(Today), day(Today), QString()), day(Today));
        const QByteArray garbage = "pas une base de données";
        QVERIFY(!notADatabase || writeBytes(practice.databasePath(), garbage));
        QStringList expected;
        for (qint32 date : found)
            expected << day(date);
        QCOMPARE(search(*window, first, last, text), expected.join(u'|'));
        QCOMPARE(named<QLabel>(window, "LblNbr")->text(), notADatabase ? QString() : QString::number(found.size()));
        QCOMPARE(practice.prompts.informations.join(u'|'), QString(message).replace(u"%1"_s, practice.databasePath()));
        QCOMPARE(bytesOf(practice.databasePath()) == garbage, notADatabase);
    }

    // The window opened for user 1, then for the user switched to, which
    // closes it: the default range, the caption, the table searched. With 31
    // values in Utilisat.agc, a message, then the window opens with what was
    // read (the 31st value has become user 1's name). Enter in any box
    // searches as the button does. A double click opens nothing while no line
    // is selected; on a line, the window closes, unsaved edits are saved
    // first, the main window shows the day, and every slot holding the text
    // has its first occurrence selected. "Quitter" closes a window opened again.
    void openAndFind_data()
    {
        QTest::addColumn<int>("user");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("invalidFile");
        QTest::addColumn<bool>("edited"); // unsaved edits on the shown day first
        QTest::addColumn<QString>("text");
        QTest::newRow("user 2; empty text selects nothing")
            << 2 << u"Recherche chez Dr B"_s << false << false << QString();
        QTest::newRow("user 1, invalid Utilisat.agc, unsaved edits; first occurrences in any case or accent")
            << 1 << u"Recherche chez Dr Z"_s << true << true << u"hélène"_s;
    }

    void openAndFind()
    {
        QFETCH(int, user);
        QFETCH(bool, invalidFile);
        QFETCH(bool, edited);
        QFETCH(QString, text);
        Practice practice;
        practice.storeDay(user, Today + 4, StoredDay::withSlots({{2, u"Mme HÉLÈNE Martin"_s}, {30, u"hélène, Hélène"_s},
                                                                 {40, u"rien"_s}, {52, u"Dr Helene"_s}}));
        practice.storeDay(user, Today + 9, StoredDay::withSlots({{0, u"Hélène Martin"_s}}));
        auto form = practice.loadedForm(true);
        const QString agc = practice.sharedFolder() + u"/Utilisat.agc"_s;
        QVERIFY(!invalidFile || writeBytes(agc, bytesOf(agc) + "\"Dr Z\"\r\n"));
        if (edited)
            typeInSlot(*form, 7, u"Nouveau RV"_s);
        QPointer<FrmRech> window = openSearch(*form);
        if (user != 1) {
            form->CmdUtilisat_MouseDown(user);
            QTRY_VERIFY(!window);
            window = openSearch(*form);
        }
        QVERIFY(window && window->isVisible() && !window->isModal()); // the main window stays usable
        QTEST(window->windowTitle(), "caption");
        QCOMPARE(named<QLineEdit>(window, "TxtDate1")->text(), u"14/02/2024"_s); // a month before today
        QCOMPARE(named<QLineEdit>(window, "TxtDate2")->text(), u"14/05/2024"_s); // two months after
        QCOMPARE(captionsOf(window, {u"Label1"_s, u"Label2"_s, u"Label3"_s, u"Command1"_s, u"Command2"_s, u"Label4"_s}),
                 (QStringList{u"Entre le"_s, u"et le "_s, u"Nom à rechercher"_s, u"Recherche"_s, u"Quitter"_s,
                              u"Double clic sur la date trouvée pour retrouver le rendez vous"_s}));

        const QString found = day(Today + 4) + u'|' + day(Today + 9);
        QCOMPARE(search(*window, day(Today), day(Today + 10), text), found);
        QListWidget *list = named<QListWidget>(window, "List1");
        for (const char *box : {"TxtDate1", "TxtDate2", "TxtNom"}) {
            list->clear();
            QTest::keyClick(named<QLineEdit>(window, box), Qt::Key_Return);
            QCOMPARE(linesOf(list).join(u'|'), found);
        }
        list->clearSelection();
        window->List1_DblClick();
        QCoreApplication::processEvents(); // the search window's activation is over before the next click
        QVERIFY(window->isVisible());
        QCOMPARE(shownDate(*form), QString::number(Today));
        const QPoint line = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line);
        QTRY_VERIFY(!window);
        QCOMPARE(shownDate(*form), QString::number(Today + 4));
        QCOMPARE(form->dayView()->slotEdit(40)->text(), u"rien"_s);
        // The selections are made once the main window is active again.
        const auto selections = [&form] {
            QStringList made;
            for (int slot = 0; slot < SlotCount; ++slot)
                if (const SlotEdit *edit = form->dayView()->slotEdit(slot); edit->hasSelectedText())
                    made << u"%1:%2"_s.arg(slot).arg(edit->selectedText());
            return made;
        };
        QTRY_VERIFY(form->isActiveWindow());
        QTRY_COMPARE(selections().join(u' '), text.isEmpty() ? QString() : u"2:HÉLÈNE 30:hélène 52:Helene"_s);
        QVERIFY(!form->isChanged());
        const std::optional<StoredDay> edits = practice.readDay(user, Today);
        QCOMPARE(edits.has_value(), edited);
        QVERIFY(!edited || edits->rvous.contains(u"Nouveau RV"_s));
        QCOMPARE(practice.prompts.informations.size(), int(invalidFile));
        QVERIFY(!invalidFile || practice.prompts.informations.first().contains(u"Utilisat.agc non valide"_s));

        window = openSearch(*form);
        QTest::mouseClick(named<QPushButton>(window, "Command2"), Qt::LeftButton);
        QTRY_VERIFY(!window);
    }
};

QTEST_MAIN(SearchWindowTest)
#include "tst_frmrech.moc"
