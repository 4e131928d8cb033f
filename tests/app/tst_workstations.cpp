// Two main windows on one file, each with its own connection: no field typed
// at one is lost, the later save of a field wins and the other text goes to
// the history. The refresh keeps unsaved text; only "x" throws it away.
#include "practice.h"
#include "sqliteconnection.h"

#include <algorithm>

class WorkstationsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // Steps: "<A|B> type <slot> <text>", "save", "tick" (the refresh), "x", "quit" (the close box),
    // "Quitter" (the menu), "search" (a search window opened), "cursor <days>" (the day cursor moved,
    // the shown day staying); "lock"/"unlock" (a third program), "delete", "answer yes"; first "no
    // row" (else today's slot 20 holds "Ancien", tomorrow's "Demain"). Expected: "stored <slot>
    // <text>", "stored empty", "rows <n>" (tomorrow's not counted), "<A|B> shows <slot> <text>",
    // "<A|B> changed|unchanged", "<A|B> date <days>", "<A|B> open|closed" (with its search window),
    // "history <slot> <text>", "history <n>" (versions kept), "messages <n>", "questions <n>",
    // "question <text>" (the last one, under "PLANORA").
    void twoWorkstations_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");

        const auto row = [](const char *name, const QString &steps, const QString &expected) {
            QTest::newRow(name) << steps.split(u", "_s) << expected.split(u", "_s);
        };
        row("different slots, A saves first", u"A type 3 Dupont, B type 7 Martin, A save, B save"_s,
            u"stored 3 Dupont, stored 7 Martin, B shows 3 Dupont, B unchanged, history 2, messages 0"_s);
        row("the same slot: the later save wins, the other is kept",
            u"A type 3 Dupont, B type 3 Martin, A save, B save"_s,
            u"stored 3 Martin, history 3 Dupont, B shows 3 Martin, history 2"_s);
        row("refresh with a slot typed: it stays, the other's slot comes",
            u"A type 3 Dupont, B type 7 Martin, B save, A tick"_s,
            u"A shows 3 Dupont, A shows 7 Martin, A changed, stored 3 , stored 7 Martin"_s);
        row("a refresh after its own save still sees the other's later save",
            u"A type 3 Dupont, A save, B type 7 Martin, B save, A tick"_s,
            u"A shows 3 Dupont, A shows 7 Martin, A unchanged, stored 3 Dupont"_s);
        row("a day added by its own save, typed again and refreshed",
            u"no row, A type 3 Sauve, A save, A type 3 Tape, A tick"_s,
            u"A shows 3 Tape, A changed, stored 3 Sauve, A date 0, messages 0"_s);
        row("a day without a row refreshed: the screen left alone", u"no row, A type 3 Tape, A tick"_s,
            u"A shows 3 Tape, A changed, rows 0, A date 0, messages 0"_s);
        row("the cursor on another day's row: the refresh reads the shown day", u"A type 3 Tape, A cursor 1, A tick"_s,
            u"A shows 3 Tape, A shows 20 Ancien, A changed, stored 3 , A date 0, messages 0"_s);
        row("the \"x\" button throws unsaved text away", u"A type 3 Tape, A x"_s,
            u"A shows 3 , A shows 20 Ancien, A changed, stored 3 , A date 0, messages 0"_s);
        row("nothing typed, quitting after the other saved", u"B type 7 Martin, B save, A quit"_s,
            u"stored 7 Martin, history 1, messages 0"_s);
        row("\"&Quitter\" without a change writes today", u"no row, A search, A Quitter"_s,
            u"A closed, stored empty, rows 1, messages 0, questions 0"_s);
        row("quitting, the save fails with edits, answer No: the window stays",
            u"A search, A type 1 Bernard, delete, A quit"_s,
            u"A open, A shows 1 Bernard, messages 1, questions 1, question Quitter quand même"_s);
        row("quitting, the save fails with edits, answer Yes: the program ends",
            u"A search, A type 1 Bernard, delete, answer yes, A Quitter"_s,
            u"A closed, messages 1, questions 1, question Quitter quand même"_s);
        row("quitting, the save fails, nothing unsaved: ends without asking", u"A search, delete, A quit"_s,
            u"A closed, messages 1, questions 0"_s);
        row("a failed save, a refresh, then a save", u"A type 3 Dupont, lock, A save, unlock, B type 7 Martin, "
                                                     "B save, A tick, A save"_s,
            u"messages 1, stored 3 Dupont, stored 7 Martin, A unchanged, A shows 7 Martin"_s);
    }

    void twoWorkstations()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, expected);
        Practice practice;
        const qint32 today = practice.today();
        const bool noRow = steps.first() == u"no row"; // else the day has a row, as most days worked on do
        if (!noRow)
            practice.storeDay(1, today, StoredDay::withSlots({{20, u"Ancien"_s}}));
        practice.storeDay(1, today + 1, StoredDay::withSlots({{20, u"Demain"_s}}));
        const auto a = practice.loadedForm(true), b = practice.loadedForm(true);
        const QHash<QString, Form1 *> workstations = {{u"A"_s, a.get()}, {u"B"_s, b.get()}};
        QWidget searchA, searchB; // hidden until a "search" step
        const QHash<QString, QWidget *> searches = {{u"A"_s, &searchA}, {u"B"_s, &searchB}};
        a->setSearchWindow(&searchA);
        b->setSearchWindow(&searchB);
        a->dayCursor().setBusyTimeout(100);
        SqliteConnection third;

        for (const QString &step : steps.mid(noRow ? 1 : 0)) {
            const QStringList word = step.split(u' ');
            Form1 *form = workstations.value(word[0]);
            const QString verb = word.value(1);
            if (step == u"lock")
                QVERIFY(third.open(practice.databasePath(), SqliteConnection::Mode::ReadWrite) == 0
                        && third.exec("BEGIN EXCLUSIVE") == 0);
            else if (step == u"unlock")
                QCOMPARE(third.exec("ROLLBACK"), 0);
            else if (step == u"delete")
                QVERIFY(QFile::remove(practice.databasePath()));
            else if (step == u"answer yes")
                practice.prompts.questionAnswers = {true};
            else if (verb == u"type")
                typeInSlot(*form, word[2].toInt(), word[3]);
            else if (verb == u"save")
                form->ENREG_01();
            else if (verb == u"tick")
                form->Timer1_Timer();
            else if (verb == u"x")
                clickButton(form->dayView(), "Command1");
            else if (verb == u"cursor")
                QVERIFY(form->dayCursor().position(practice.databasePath(), 1, today + word[2].toInt()).ok());
            else if (verb == u"quit")
                form->close();
            else if (verb == u"Quitter")
                triggerAction(form, "Quitte");
            else if (verb == u"search")
                searches.value(word[0])->show();
            else
                QFAIL(qPrintable(u"unknown step: "_s + step));
        }

        const bool gone = !QFile::exists(practice.databasePath());
        const StoredDay stored = gone ? StoredDay() : practice.readDay(1, today).value_or(StoredDay());
        // The versions of the day kept in the history: RVOUS first.
        const QList<QStringList> kept = gone ? QList<QStringList>() :
            practice.query(u"SELECT RVOUS FROM HISTORIQUE WHERE UTILISATEUR = 1 AND AGENDATE = %1"_s.arg(today));
        const auto slotOf = [](const QString &rvous, const QString &slot) {
            return rvous.split(u"\r\n"_s).value(slot.toInt());
        };
        for (const QString &expectation : expected) {
            const QStringList word = expectation.split(u' ');
            const QString text = word.mid(2).join(u' ');
            Form1 *form = workstations.value(word[0]);
            if (expectation == u"stored empty")
                QVERIFY(stored.rvous == joinedSlots({}) && stored.coche == joinedChecks({}));
            else if (word[0] == u"stored")
                QCOMPARE(slotOf(stored.rvous, word[1]), text);
            else if (word[0] == u"history" && word.size() == 2)
                QCOMPARE(kept.size(), word[1].toInt());
            else if (word[0] == u"history")
                QVERIFY2(std::any_of(kept.cbegin(), kept.cend(),
                                     [&](const QStringList &version) { return slotOf(version.value(0), word[1]) == text; }),
                         qPrintable(expectation));
            else if (word[0] == u"rows") // tomorrow's not counted
                QCOMPARE(practice.rowCount(1) + practice.rowCount(2) - 1, word[1].toInt());
            else if (word[0] == u"messages" || word[0] == u"questions")
                QCOMPARE((word[0] == u"messages" ? practice.prompts.informations.size() : practice.prompts.questions.size()),
                         word[1].toInt());
            else if (word[0] == u"question")
                QVERIFY(practice.prompts.questions.last().title == u"PLANORA"_s
                        && practice.prompts.questions.last().text.contains(word.mid(1).join(u' ')));
            else if (word[1] == u"open" || word[1] == u"closed") // with its search window
                QVERIFY(form->isVisible() == (word[1] == u"open")
                        && searches.value(word[0])->isVisible() == form->isVisible());
            else if (word[1] == u"date")
                QCOMPARE(shownDate(*form), QString::number(today + word[2].toInt()));
            else if (word[1] == u"shows")
                QCOMPARE(form->dayView()->slotEdit(word[2].toInt())->text(), word.mid(3).join(u' '));
            else if (word[1] == u"changed" || word[1] == u"unchanged")
                QCOMPARE(form->isChanged(), word[1] == u"changed");
            else
                QFAIL(qPrintable(u"unknown expectation: "_s + expectation));
        }
        // Whatever happened, the slot nobody touched keeps its text.
        if (!gone)
            QCOMPARE(slotOf(stored.rvous, u"20"_s), noRow ? QString() : u"Ancien"_s);
    }
};

QTEST_MAIN(WorkstationsTest)
#include "tst_workstations.moc"
