// The day view on its own: its controls and layout, the five grids, record
// to screen and back, slot editing, the name lookup, the half-day marks and
// the buttons, driven by objectName.
#include "captions.h"
#include "dayview.h"
#include "fakeprompts.h"
#include "gridtable.h"
#include "slotedit.h"
#include "storetestdatabase.h"

#include <QtTest>
#include <QtWidgets>

#include <sqlite3.h>

#include <memory>

using namespace Qt::StringLiterals;
using GridRoutine = void (DayView::*)();

namespace {

constexpr HalfDayMark DayRecord::*Marks[] = {&DayRecord::absent1, &DayRecord::absent2, &DayRecord::echo1,
                                             &DayRecord::echo2};

DayRecord sampleRecord(const QString &tag, bool marksSet)
{
    DayRecord record;
    for (int slot = 0; slot < SlotCount; ++slot) {
        record.slots[slot] = tag + QString::number(slot);
        record.checks[slot] = slot % 3 == 0;
    }
    record.postit = tag + u" post-it\nligne 2"_s;
    record.bloc = tag + u" bloc\r8h"_s; // a CR alone, read as a line break
    for (int n = 0; n < 4; ++n)
        record.*Marks[n] = {marksSet, tag + u" mark %1"_s.arg(n + 1)};
    return record;
}

// A name typed at the start of slot 5, which holds "Xavier" or before; "F2",
// "Shift+End" are those keys, "Tab" moves into the slot from the check box
// before it.
// namesLocked: by a workstation writing into them.
struct Lookup { QStringList keys; QString expected; bool modeAfter = true, enabled = true, namesDatabase = true;
                QString before = u"Xavier"_s; bool namesLocked = false; QString table = u"PATIENTS"_s; };

// A slot holding a text before, and what a double click, a paste ("Ctrl+V"
// pastes "DUPONT" CR LF "Jean" LF "B" CR "C"), Return or Enter leave in it;
// the answer to the erase question, asked on a double click unless the slot
// is empty.
struct SlotKeys { int slot; QString before, keys; bool answer; QString after; };

// A button of the day view: what a mouse press sends, and how many of those
// signals space, Enter and the access key send (a null name: an ordinary
// button made for the test). A half-day button shows or hides its panel,
// with its text, at each press.
struct Press { QString button; Qt::MouseButton mouse; QByteArray signal; int byKeyboard = 0;
               QString panel = {}; bool shownBefore = false; QString text = {}; };

} // namespace

class TestDayView : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_namesPath;
    FakePrompts m_prompts;
    std::unique_ptr<DayView> m_view;

    template<typename Widget = QWidget>
    Widget *control(const QString &name) const
    {
        auto *widget = m_view->findChild<Widget *>(name);
        return widget ? widget : (qFatal("no control %s", qPrintable(name)), nullptr);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        // The names the rows below find (the key's own rules are the
        // engine's, tested there); "DU" itself is passed over.
        m_namesPath = m_dir.filePath(u"noms.db"_s);
        QVERIFY(StoreTestDatabase::run(m_namesPath, u"CREATE TABLE PATIENTS (NOM TEXT, PRENOM TEXT);"
            "INSERT INTO PATIENTS VALUES ('DU', 'Paul'), ('DUBOIS', 'Anne'), ('MARTIN', 'Élodie');"
            "CREATE TABLE \"Clientèle\" (NOM TEXT, PRENOM TEXT);"
            "INSERT INTO \"Clientèle\" VALUES ('MARCEL', 'Ève');"_s));
    }

    void init()
    {
        m_prompts = FakePrompts();
        m_view = std::make_unique<DayView>(m_prompts);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }

    void cleanup() { m_view.reset(); }

    // The texts users see at start (users 2 to 5 read as 6 does); the
    // half-day panels and the program's own labels start hidden.
    void defaultStateAndLayout()
    {
        const QStringList shown = {u"CmdUtilisat1"_s, u"CmdUtilisat6"_s, u"Frame1_0"_s, u"Frame1_1"_s, u"CmdPrec"_s,
                                   u"CmdSuiv"_s, u"Command1"_s, u"Label4"_s, u"Label3"_s, u"CmdAbsent1"_s,
                                   u"CmdAbsent2"_s, u"CmdEcho1"_s, u"CmdEcho2"_s};
        QCOMPARE(captionsOf(m_view.get(), shown + QStringList{u"Text4_1"_s, u"TxtEcho2"_s}),
                 (QStringList{u"Uttilisat 1"_s, u"Utilisat 6"_s, u"Matin"_s, u"Aprés midi"_s, u"&<"_s, u"&>"_s, u"x"_s,
                              u"Post-It"_s, u"Programme Bloc Opératoire"_s, u"&Matin"_s, u"&A. Midi"_s, u"Ma&tin"_s,
                              u"A. Mi&di"_s, u"ABSENT"_s, u"Echographies"_s}));
        for (const QString &name : shown)
            QVERIFY2(control(name)->isVisible(), qPrintable(name));
        for (const char *name : {"Text4_0", "Text4_1", "TxtEcho1", "TxtEcho2", "Label2", "LblUtilisat", "LblHorImp"})
            QVERIFY2(control(QLatin1String(name))->isHidden(), name);

        // The morning frame ends with slot 23, the afternoon one begins with 24.
        QCOMPARE(m_view->slotEdit(23)->parentWidget()->objectName(), u"Frame1_0"_s);
        QCOMPARE(m_view->slotEdit(24)->parentWidget()->objectName(), u"Frame1_1"_s);
        // Absence and echography of a half-day both shown, side by side.
        for (const char *button : {"CmdAbsent1", "CmdAbsent2", "CmdEcho1", "CmdEcho2"})
            QTest::mousePress(control(QLatin1String(button)), Qt::LeftButton);
        for (int half = 0; half < 2; ++half) {
            QWidget *absence = control(u"Text4_%1"_s.arg(half)), *echo = control(u"TxtEcho%1"_s.arg(half + 1));
            QVERIFY(absence->isVisible() && echo->isVisible() && !absence->geometry().intersects(echo->geometry()));
        }

        // No control of the client area covers another (the design lets the
        // frames' last pixel row touch the user buttons).
        QList<QWidget *> placed = m_view->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        placed.removeIf([](QWidget *child) { return !child->isVisible(); });
        QVERIFY(placed.size() >= 20);
        for (int a = 0; a < placed.size(); ++a) {
            const QString name = placed[a]->objectName();
            QVERIFY2(QRect(QPoint(0, 0), m_view->minimumSize()).contains(placed[a]->geometry()), qPrintable(name));
            for (int b = a + 1; b < placed.size(); ++b)
                QVERIFY2((placed[a]->geometry() & placed[b]->geometry()).height() <= 1,
                         qPrintable(name + u'/' + placed[b]->objectName()));
        }
    }

    // Each routine, in the order of the design's table, shows its grid's
    // captions (the captions themselves are the grid's own tests'), leaving
    // the slots' contents alone.
    void grid()
    {
        m_view->slotEdit(1)->setText(u"slot 1"_s);
        m_view->checkBox(1)->setChecked(true);
        const GridRoutine routines[] = {&DayView::GRILLE_10, &DayView::GRILLE_15, &DayView::GRILLE_20,
                                        &DayView::GRILLE_30, &DayView::GRILLE_60};
        for (int column = 0; column < 5; ++column) {
            for (int slot = 0; slot < SlotCount; ++slot)
                m_view->timeLabel(slot)->setText(u"?"_s);
            (m_view.get()->*routines[column])();
            for (int slot = 0; slot < SlotCount; ++slot)
                QCOMPARE(control<QLabel>(u"Label1_%1"_s.arg(slot))->text(), QString::fromUtf8(GridTable[slot][column]));
        }
        QCOMPARE(m_view->slotEdit(1)->text(), u"slot 1"_s);
        QVERIFY(m_view->checkBox(1)->isChecked());
    }

    // A record read back as shown (a hidden mark keeps its panel's text), its
    // memos as shown until typed into, then with CR LF line breaks; an empty day.
    void recordRoundTrip()
    {
        QSignalSpy userClicks(m_view.get(), &DayView::checkToggledByUser);
        m_view->showRecord(sampleRecord(u"old"_s, true));
        DayRecord shown = sampleRecord(u"new"_s, true), empty;
        shown.absent2.set = shown.echo1.set = false;
        m_view->showRecord(shown);
        DayRecord expected = shown;
        for (HalfDayMark DayRecord::*mark : Marks) {
            if (!(shown.*mark).set)
                (expected.*mark).text.replace(u"new"_s, u"old"_s);
            empty.*mark = {false, (expected.*mark).text};
        }
        QCOMPARE(m_view->record(), expected);
        for (const char *name : {"Text2", "Text3"}) {
            auto *memo = control<QPlainTextEdit>(QLatin1String(name));
            memo->setFocus();
            memo->moveCursor(QTextCursor::End);
            QSignalSpy edited(m_view.get(), &DayView::edited);
            QTest::keyClick(memo, Qt::Key_Return);
            QVERIFY2(!edited.isEmpty(), name);
        }
        QCOMPARE(m_view->record().postit, u"new post-it\r\nligne 2\r\n"_s);
        QCOMPARE(m_view->record().bloc, u"new bloc\r\n8h\r\n"_s);
        m_view->showEmptyDay();
        QCOMPARE(m_view->record(), empty);
        QCOMPARE(userClicks.count(), 0); // values set by the program are no user's click

        // A user's space on a box is (a click too: the main window's tests).
        m_view->checkBox(4)->setFocus();
        QTest::keyClick(m_view->checkBox(4), Qt::Key_Space);
        QCOMPARE(userClicks, QList<QList<QVariant>>{{4}});
        QVERIFY(m_view->record().checks[4]);
    }

    // A double click, a paste, Return and Enter in a slot; a change of its
    // text, typed or made by the program, is an edit.
    void slotEditing_data()
    {
        QTest::addColumn<SlotKeys>("c");
        const QString dClick = u"double click"_s;
        QTest::newRow("empty slot: marker") << SlotKeys{0, {}, dClick, false, u"XXXXXXXXXX- Pas de RV -XXXXXXXXX"_s};
        QTest::newRow("text kept on No") << SlotKeys{7, u"DUPONT"_s, dClick, false, u"DUPONT"_s};
        QTest::newRow("spaces are not empty: erased on Yes") << SlotKeys{7, u"   "_s, dClick, true, {}};
        QTest::newRow("each pasted line break one space") << SlotKeys{52, {}, u"Ctrl+V"_s, false, u"DUPONT Jean B C"_s};
        QTest::newRow("Return and Enter ignored") << SlotKeys{52, u"DUPONT"_s, u"Return, Enter"_s, false, u"DUPONT"_s};
    }

    void slotEditing()
    {
        QFETCH(SlotKeys, c);
        const auto &[slot, before, keys, answer, after] = c;
        SlotEdit *edit = m_view->slotEdit(slot);
        edit->setText(before);
        m_prompts.questionAnswers = {answer};
        QGuiApplication::clipboard()->setText(u"DUPONT\r\nJean\nB\rC"_s);
        QSignalSpy edited(m_view.get(), &DayView::edited);
        QSignalSpy returns(edit, &QLineEdit::returnPressed);
        if (keys == u"double click"_s)
            QTest::mouseDClick(edit, Qt::LeftButton);
        else
            QTest::keySequence(edit, QKeySequence(keys));
        QCOMPARE(edit->text(), after);
        QCOMPARE(m_prompts.questions.size(), keys == u"double click"_s && !before.isEmpty() ? 1 : 0);
        for (const FakePrompts::Question &question : m_prompts.questions)
            QVERIFY(question.text == u"Effacer vraiment ?"_s && question.title == u"Attention"_s);
        QCOMPARE(edited.isEmpty(), before == after);
        QCOMPARE(returns.count(), 0);
    }

    // Typed before a text already in the slot ("Xavier", which would lead a
    // lookup of the whole text to other names): only what is left of the caret
    // is looked up, and a found name replaces the whole text.
    void lookup_data()
    {
        QTest::addColumn<Lookup>("c");
        const QString dubois = u"DUBOIS Anne"_s, f2 = u"F2"_s, filled = u"DUPONT Jean 10h"_s;
        QTest::newRow("one letter runs none") << Lookup{{u"D"_s}, u"DXavier"_s};
        QTest::newRow("F2 turns it off") << Lookup{{f2, u"DU"_s}, u"DUXavier"_s, false};
        QTest::newRow("F2 looks up on its own release") << Lookup{{f2, u"DU"_s, f2}, dubois};
        QTest::newRow("lookup disabled, F2 does nothing") << Lookup{{f2, u"DU"_s}, u"DUXavier"_s, false, false};
        QTest::newRow("missing names database") << Lookup{{u"DU"_s}, u"DUXavier"_s, true, true, false};
        QTest::newRow("Tab into a filled slot leaves it") << Lookup{{u"Tab"_s}, filled, true, true, true, filled};
        QTest::newRow("Shift+End after two letters looks up those two") << Lookup{{u"DU"_s, u"Shift+End"_s}, dubois};
        QTest::newRow("accented table name")
            << Lookup{.keys = {u"MA"_s}, .expected = u"MARCEL Ève"_s, .table = u"Clientèle"_s};
        QTest::newRow("names database locked: kept as typed, at once")
            << Lookup{.keys = {u"DU"_s}, .expected = u"DUXavier"_s, .namesLocked = true};
    }

    void lookup()
    {
        QFETCH(Lookup, c);
        const QString missing = m_dir.filePath(u"absent.db"_s);
        m_view->setNameLookup(c.enabled, c.namesDatabase ? m_namesPath : missing, c.table);
        SlotEdit *edit = m_view->slotEdit(5);
        edit->setText(c.before);
        edit->setCursorPosition(0);
        edit->setFocus();
        sqlite3 *writer = nullptr;
        const auto unlock = qScopeGuard([&writer] { sqlite3_close(writer); }); // rolls back
        QVERIFY(!c.namesLocked || (sqlite3_open(m_namesPath.toUtf8().constData(), &writer) == SQLITE_OK
                                   && sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK));
        QElapsedTimer typing;
        typing.start();
        QString typed;
        for (const QString &key : c.keys) {
            if (key == u"F2"_s || key == u"Shift+End"_s) {
                QTest::keySequence(edit, QKeySequence(key));
            } else if (key == u"Tab"_s) { // the press moves the focus; the release reaches the slot
                m_view->checkBox(4)->setFocus();
                QTest::keyPress(m_view->checkBox(4), Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), edit);
                QTest::keyRelease(edit, Qt::Key_Tab);
            } else {
                QTest::keyClicks(edit, key);
                typed += key;
            }
        }
        // Far above the lookup's own wait, far below the day cursor's 8 s:
        // a loaded machine passes, a window frozen for the long wait fails.
        QVERIFY2(typing.elapsed() < 2000, qPrintable(QString::number(typing.elapsed())));
        QCOMPARE(edit->text(), c.expected);
        // Tabbed in: all selected, the caret at the end, as Qt does.
        QCOMPARE(edit->selectedText(), typed.isEmpty() ? c.before : QString());
        QCOMPARE(edit->cursorPosition(), typed.isEmpty() ? c.before.size() : typed.size());
        QCOMPARE(m_view->lookupMode(), c.modeAfter);
        QVERIFY(m_prompts.informations.isEmpty());
        QVERIFY(!QFileInfo::exists(missing)); // never created by a lookup
    }

    // The day view's buttons act on a press of any mouse button and never on
    // the keyboard (space, Enter, the access key); "x" and an ordinary button
    // show that those keys do reach a button here.
    void buttons_data()
    {
        QTest::addColumn<Press>("c");
        const QByteArray edited = SIGNAL(edited());
        QTest::newRow("CmdAbsent1, right button: Text4_0 shown")
            << Press{u"CmdAbsent1"_s, Qt::RightButton, edited, 0, u"Text4_0"_s, false, u"ABSENT"_s};
        QTest::newRow("CmdEcho1, left button: TxtEcho1 hidden")
            << Press{u"CmdEcho1"_s, Qt::LeftButton, edited, 0, u"TxtEcho1"_s, true, u"Echo Dr B"_s};
        QTest::newRow("Command1: space works")
            << Press{u"Command1"_s, Qt::LeftButton, SIGNAL(redisplayClicked()), 1};
        QTest::newRow("plain button: space, access key") << Press{QString(), Qt::LeftButton, SIGNAL(pressed()), 2};
    }

    void buttons()
    {
        QFETCH(Press, c);
        m_view->showRecord(sampleRecord(u"stored"_s, c.shownBefore));
        m_view->setEchoAnnotation(u"Echo Dr B"_s);
        QPushButton *target =
            c.button.isNull() ? new QPushButton(u"&Zut"_s, m_view.get()) : control<QPushButton>(c.button);
        target->show();
        QSignalSpy spy(c.button.isNull() ? static_cast<QObject *>(target) : m_view.get(), c.signal.constData());
        QSignalSpy pushed(target, &QPushButton::pressed); // the button itself does not go down either
        m_view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
        target->setFocus();
        for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return})
            QTest::keyClick(target, key);
        if (const QKeySequence accessKey = QKeySequence::mnemonic(target->text()); !accessKey.isEmpty())
            QTest::keySequence(m_view.get(), accessKey);
        QCOMPARE(spy.count(), c.byKeyboard);
        QCOMPARE(pushed.count(), c.byKeyboard);
        for (int press = 1; press <= 2; ++press) { // twice: a panel back as before
            QTest::mouseClick(target, c.mouse);
            QCOMPARE(spy.count(), c.byKeyboard + press);
            if (!c.panel.isNull()) {
                QCOMPARE(control(c.panel)->isHidden(), c.shownBefore == (press == 1));
                QCOMPARE(control<QLineEdit>(c.panel)->text(), c.text);
            }
        }
    }
};

QTEST_MAIN(TestDayView)
#include "tst_dayview.moc"
