#include "dayview.h"
#include "fakeprompts.h"
#include "gridtable.h"
#include "mousedownbutton.h"
#include "slotedit.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <memory>

using namespace Qt::StringLiterals;
using GridRoutine = void (DayView::*)();
Q_DECLARE_METATYPE(GridRoutine)
Q_DECLARE_METATYPE(Qt::MouseButton)

namespace {

const QString Marker = u"XXXXXXXXXX- Pas de RV -XXXXXXXXX"_s;

// A names table in which every lookup rule has a row that only it finds.
void createNamesDatabase(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE PATIENTS (NOM TEXT, PRENOM TEXT);"
                 "INSERT INTO PATIENTS VALUES ('DU', 'Paul'), ('DUBOIS', 'Anne'), ('DUPONT', 'Marie'),"
                 " ('DUPONT', 'Jean'), ('MARTIN', 'Élodie'), ('O''BRIEN', 'Kate'),"
                 " ('ABCDEFGHIJKLMNOPQRSTUVWXYZABCD', 'Exact'), ('ABCDEFGHIJKLMNOPQRSTUVWXYZABCDB', 'Trente');",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

DayRecord sampleRecord(const QString &tag, bool marksSet)
{
    DayRecord record;
    for (int slot = 0; slot < SlotCount; ++slot) {
        record.slots[slot] = tag + QString::number(slot);
        record.checks[slot] = slot % 3 == 0;
    }
    record.postit = tag + u" post-it\nligne 2"_s;
    record.bloc = tag + u" bloc"_s;
    record.absent1 = {marksSet, tag + u" A1"_s};
    record.absent2 = {marksSet, tag + u" A2"_s};
    record.echo1 = {marksSet, tag + u" E1"_s};
    record.echo2 = {marksSet, tag + u" E2"_s};
    return record;
}

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
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        m_namesPath = m_dir.filePath(u"noms.db"_s);
        createNamesDatabase(m_namesPath);
    }

    void init()
    {
        m_prompts = FakePrompts();
        m_view = std::make_unique<DayView>(m_prompts);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }

    void cleanup() { m_view.reset(); }

    void defaultState_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("visible");
        const QString users[] = {u"Uttilisat 1"_s, u"Utilisat 2"_s, u"Utilisat 3"_s,
                                 u"Utilisat 4"_s, u"Utilisat 5"_s, u"Utilisat 6"_s};
        for (int user = 1; user <= 6; ++user)
            QTest::addRow("CmdUtilisat%d", user) << users[user - 1] << true;
        const std::pair<const char *, QString> shown[] = {
            {"Frame1_0", u"Matin"_s}, {"Frame1_1", u"Aprés midi"_s}, {"CmdPrec", u"&<"_s}, {"CmdSuiv", u"&>"_s},
            {"Command1", u"x"_s}, {"Label4", u"Post-It"_s}, {"Label3", u"Programme Bloc Opératoire"_s},
            {"CmdAbsent1", u"&Matin"_s}, {"CmdAbsent2", u"&A. Midi"_s}, {"CmdEcho1", u"Ma&tin"_s},
            {"CmdEcho2", u"A. Mi&di"_s}};
        for (const auto &[name, caption] : shown)
            QTest::newRow(name) << caption << true;
        const std::pair<const char *, QString> hidden[] = {
            {"Text4_0", u"ABSENT"_s}, {"Text4_1", u"ABSENT"_s}, {"TxtEcho1", u"Echographies"_s},
            {"TxtEcho2", u"Echographies"_s}, {"Label2", QString()}, {"LblUtilisat", QString()},
            {"LblHorImp", QString()}};
        for (const auto &[name, caption] : hidden)
            QTest::newRow(name) << caption << false;
    }

    void defaultState()
    {
        QFETCH(QString, caption);
        QFETCH(bool, visible);
        QWidget *widget = control(QString::fromLatin1(QTest::currentDataTag()));
        QCOMPARE(widget->property(qobject_cast<QGroupBox *>(widget) ? "title" : "text").toString(), caption);
        QCOMPARE(widget->isVisible(), visible);
    }

    void slotRows()
    {
        // Row k of a frame has its top at 240 + 240 k twips (16 + 16 k pixels).
        for (int slot = 0; slot < SlotCount; ++slot) {
            const QString index = QString::number(slot);
            const int top = 16 + 16 * (slot < 24 ? slot : slot - 24);
            auto *edit = control<SlotEdit>(u"Text1_"_s + index);
            QCOMPARE(edit, m_view->slotEdit(slot));
            QCOMPARE(edit->parentWidget()->objectName(), slot < 24 ? u"Frame1_0"_s : u"Frame1_1"_s);
            QCOMPARE(edit->geometry(), QRect(48, top, 205, 19));
            QCOMPARE(control(u"Label1_"_s + index)->geometry(), QRect(8, top, 33, 17));
            QCOMPARE(control(u"Check1_"_s + index)->geometry(), QRect(253, top, 13, 13));
        }
    }

    void layoutHasNoOverlap()
    {
        // No control of the client area covers another (the design lets the
        // frames' last pixel row touch the user buttons).
        QList<QWidget *> placed;
        for (QWidget *child : m_view->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (child->isVisible())
                placed << child;
        QVERIFY(placed.size() >= 20);
        for (int a = 0; a < placed.size(); ++a) {
            const QString name = placed[a]->objectName();
            QVERIFY2(QRect(QPoint(0, 0), m_view->minimumSize()).contains(placed[a]->geometry()), qPrintable(name));
            for (int b = a + 1; b < placed.size(); ++b) {
                const QRect common = placed[a]->geometry() & placed[b]->geometry();
                QVERIFY2(common.height() <= 1, qPrintable(name + u'/' + placed[b]->objectName()));
            }
        }
        const QString halfDay[] = {u"CmdAbsent1"_s, u"CmdAbsent2"_s, u"CmdEcho1"_s, u"CmdEcho2"_s};
        for (int i = 0; i < 4; ++i) {
            auto *button = control<QPushButton>(halfDay[i]);
            QCOMPARE(button->geometry(), QRect(control(halfDay[0])->pos() + QPoint(0, 49 * i), QSize(49, 49)));
            QVERIFY(!button->icon().isNull());
        }
        const QFontInfo absentFont(control(u"Text4_0"_s)->font());
        QVERIFY(absentFont.family() == u"Arial Black"_s || absentFont.weight() >= QFont::Black);
    }

    void grid_data()
    {
        QTest::addColumn<GridRoutine>("routine");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QStringList>("captions");
        const GridRoutine routines[] = {&DayView::GRILLE_10, &DayView::GRILLE_15, &DayView::GRILLE_20,
                                        &DayView::GRILLE_30, &DayView::GRILLE_60};
        const int minutes[] = {10, 15, 20, 30, 60};
        for (int column = 0; column < 5; ++column) {
            QStringList captions;
            for (const auto &row : GridTable)
                captions << QString::fromUtf8(row[column]);
            QTest::addRow("GRILLE_%d", minutes[column]) << routines[column] << column << minutes[column] << captions;
        }
    }

    void grid()
    {
        QFETCH(GridRoutine, routine);
        QFETCH(int, index);
        QFETCH(int, minutes);
        QFETCH(QStringList, captions);
        const auto shownCaptions = [this] {
            QStringList shown;
            for (int slot = 0; slot < SlotCount; ++slot)
                shown << m_view->timeLabel(slot)->text();
            return shown;
        };
        m_view->slotEdit(1)->setText(u"slot 1"_s);
        m_view->checkBox(1)->setChecked(true);
        for (int slot = 0; slot < SlotCount; ++slot)
            m_view->timeLabel(slot)->setText(u"?"_s);
        (m_view.get()->*routine)();
        QCOMPARE(shownCaptions(), captions);
        QCOMPARE(m_view->slotEdit(1)->text(), u"slot 1"_s); // only the captions change
        QVERIFY(m_view->checkBox(1)->isChecked());

        QCOMPARE(m_view->layOutGrid(index == 4 ? 0 : 4), index == 4 ? 10 : 60);
        QCOMPARE(m_view->layOutGrid(index), minutes);
        QCOMPARE(shownCaptions(), captions);
        for (int outside : {-1, 5, 42}) // lays out nothing
            QCOMPARE(m_view->layOutGrid(outside), 0);
        QCOMPARE(shownCaptions(), captions);
    }

    void recordRoundTrip_data()
    {
        QTest::addColumn<bool>("marksSet");
        QTest::newRow("every mark set") << true;
        QTest::newRow("no mark set, panel texts kept") << false;
    }

    void recordRoundTrip()
    {
        QFETCH(bool, marksSet);
        m_view->setChecksVisible(false);
        m_view->hiddenDateLabel()->setText(u"37986"_s);
        QSignalSpy userClicks(m_view.get(), &DayView::checkToggledByUser);
        m_view->showRecord(sampleRecord(u"old"_s, true));
        const DayRecord shown = sampleRecord(u"new"_s, marksSet);
        m_view->showRecord(shown);

        DayRecord expected = shown;
        if (!marksSet) // a hidden mark keeps the text it had
            for (HalfDayMark *mark : {&expected.absent1, &expected.absent2, &expected.echo1, &expected.echo2})
                mark->text.replace(u"new"_s, u"old"_s);
        QCOMPARE(m_view->record(), expected);
        QCOMPARE(control(u"Text4_1"_s)->isVisible(), marksSet);
        QCOMPARE(control(u"TxtEcho2"_s)->isVisible(), marksSet);
        QVERIFY(m_view->checkBox(0)->isHidden());
        QCOMPARE(m_view->hiddenDateLabel()->text(), u"37986"_s);

        m_view->showEmptyDay();
        DayRecord empty;
        empty.absent1 = {false, expected.absent1.text};
        empty.absent2 = {false, expected.absent2.text};
        empty.echo1 = {false, expected.echo1.text};
        empty.echo2 = {false, expected.echo2.text};
        QCOMPARE(m_view->record(), empty);
        QCOMPARE(userClicks.count(), 0); // values set by the program are no user's click
    }

    void checkBoxes()
    {
        QSignalSpy userClicks(m_view.get(), &DayView::checkToggledByUser);
        QTest::mouseClick(m_view->checkBox(3), Qt::LeftButton, {}, QPoint(6, 6));
        m_view->checkBox(4)->setFocus();
        QTest::keyClick(m_view->checkBox(4), Qt::Key_Space);
        QCOMPARE(userClicks.count(), 2);
        QCOMPARE(userClicks.at(0).at(0).toInt(), 3);
        QCOMPARE(userClicks.at(1).at(0).toInt(), 4);
        QVERIFY(m_view->record().checks[3] && m_view->record().checks[4]);

        // "Voir les coches" flips each box on its own.
        for (int slot = 11; slot < SlotCount; ++slot)
            m_view->checkBox(slot)->hide();
        m_view->invertChecksVisibility();
        for (int slot = 0; slot < SlotCount; ++slot)
            QVERIFY2(m_view->checkBox(slot)->isHidden() == (slot <= 10), qPrintable(QString::number(slot)));
        m_view->setChecksVisible(true);
        QVERIFY(!m_view->checkBox(0)->isHidden() && !m_view->checkBox(52)->isHidden());
    }

    void edited_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("typed");
        QTest::newRow("typing in a slot") << u"Text1_52"_s << true;
        QTest::newRow("slot set by code") << u"Text1_0"_s << false;
        QTest::newRow("typing in the post-it") << u"Text2"_s << true;
        QTest::newRow("theatre programme set by code") << u"Text3"_s << false;
    }

    void edited()
    {
        QFETCH(QString, name);
        QFETCH(bool, typed);
        QWidget *widget = control(name);
        QSignalSpy edited(m_view.get(), &DayView::edited);
        if (typed)
            QTest::keyClicks(widget, u"a"_s);
        else
            widget->setProperty(qobject_cast<QLineEdit *>(widget) ? "text" : "plainText", u"b"_s);
        QVERIFY(!edited.isEmpty());
    }

    void doubleClick_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("questions");
        QTest::newRow("empty slot gets the marker") << QString() << false << Marker << 0;
        QTest::newRow("text erased on Yes") << u"DUPONT"_s << true << QString() << 1;
        QTest::newRow("text kept on No") << u"DUPONT"_s << false << u"DUPONT"_s << 1;
        QTest::newRow("spaces are not empty") << u"   "_s << true << QString() << 1;
        QTest::newRow("marker erased on Yes") << Marker << true << QString() << 1;
    }

    void doubleClick()
    {
        QFETCH(QString, before);
        QFETCH(bool, answer);
        QFETCH(QString, after);
        QFETCH(int, questions);
        SlotEdit *edit = m_view->slotEdit(7);
        edit->setText(before);
        m_prompts.questionAnswers = {answer};
        QSignalSpy edited(m_view.get(), &DayView::edited);
        QTest::mouseDClick(edit, Qt::LeftButton);
        QCOMPARE(edit->text(), after);
        QCOMPARE(m_prompts.questions.size(), questions);
        for (const FakePrompts::Question &question : m_prompts.questions) {
            QCOMPARE(question.text, u"Effacer vraiment ?"_s);
            QCOMPARE(question.title, u"Attention"_s);
        }
        QCOMPARE(edited.isEmpty(), before == after);
    }

    void slotStaysOneLine_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("expected");
        QTest::newRow("CR LF becomes a space") << u"DUPONT\r\nJean"_s << u"DUPONT Jean"_s;
        QTest::newRow("LF becomes a space") << u"A\nB"_s << u"A B"_s;
        QTest::newRow("CR becomes a space") << u"A\rB\r\n"_s << u"A B "_s;
    }

    void slotStaysOneLine()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, expected);
        SlotEdit *edit = m_view->slotEdit(30);
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), expected);
        QSignalSpy returns(edit, &QLineEdit::returnPressed);
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) // Enter is ignored
            QTest::keyClick(edit, key);
        QCOMPARE(edit->text(), expected);
        QCOMPARE(returns.count(), 0);
    }

    void lookup_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("table"); // empty: no names database at all
        QTest::addColumn<int>("f2Before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("f2After");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("modeAfter");
        const QString patients = u"PATIENTS"_s;
        const QString dubois = u"DUBOIS Anne"_s;
        QTest::newRow("two letters") << true << patients << 0 << u"MA"_s << 0 << u"MARTIN Élodie"_s << true;
        QTest::newRow("one letter runs none") << true << patients << 0 << u"D"_s << 0 << u"D"_s << true;
        QTest::newRow("exact NOM passed over") << true << patients << 0 << u"DU"_s << 0 << dubois << true;
        QTest::newRow("NOM then PRENOM order") << true << patients << 0 << u"DUP"_s << 0 << u"DUPONT Jean"_s << true;
        QTest::newRow("small letters") << true << patients << 0 << u"dub"_s << 0 << dubois << true;
        QTest::newRow("35 characters cut to 30") << true << patients << 0 << u"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHI"_s
                                                 << 0 << u"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDB Trente"_s << true;
        QTest::newRow("apostrophe") << true << patients << 0 << u"O'"_s << 0 << u"O'BRIEN Kate"_s << true;
        QTest::newRow("no match keeps the text") << true << patients << 0 << u"ZZ"_s << 0 << u"ZZ"_s << true;
        QTest::newRow("F2 turns it off") << true << patients << 1 << u"DU"_s << 0 << u"DU"_s << false;
        QTest::newRow("F2 twice turns it on") << true << patients << 2 << u"DU"_s << 0 << dubois << true;
        QTest::newRow("F2 looks up on its own release") << true << patients << 1 << u"DU"_s << 1 << dubois << true;
        QTest::newRow("lookup disabled, F2 does nothing") << false << patients << 1 << u"DU"_s << 0 << u"DU"_s
                                                          << false;
        QTest::newRow("missing names table") << true << u"ABSENTE"_s << 0 << u"DU"_s << 0 << u"DU"_s << true;
        QTest::newRow("missing names database") << true << QString() << 0 << u"DU"_s << 0 << u"DU"_s << true;
    }

    void lookup()
    {
        QFETCH(bool, enabled);
        QFETCH(QString, table);
        QFETCH(int, f2Before);
        QFETCH(QString, typed);
        QFETCH(int, f2After);
        QFETCH(QString, expected);
        QFETCH(bool, modeAfter);
        const QString missing = m_dir.filePath(u"absent.db"_s);
        m_view->setNameLookup(enabled, table.isEmpty() ? missing : m_namesPath, table.isEmpty() ? u"PATIENTS"_s : table);
        SlotEdit *edit = m_view->slotEdit(5);
        edit->setFocus();
        for (int i = 0; i < f2Before; ++i)
            QTest::keyClick(edit, Qt::Key_F2);
        QTest::keyClicks(edit, typed);
        for (int i = 0; i < f2After; ++i)
            QTest::keyClick(edit, Qt::Key_F2);
        QCOMPARE(edit->text(), expected);
        QCOMPARE(edit->cursorPosition(), qMin(typed.size(), expected.size()));
        QVERIFY(!edit->hasSelectedText());
        QCOMPARE(m_view->lookupMode(), modeAfter);
        QVERIFY(m_prompts.informations.isEmpty());
        QVERIFY(!QFileInfo::exists(missing)); // never created by a lookup
    }

    void lookupReplacesTextAfterCaret()
    {
        m_view->setNameLookup(true, m_namesPath, u"PATIENTS"_s);
        SlotEdit *edit = m_view->slotEdit(40);
        edit->setText(u"DUPONT Marie, note"_s);
        edit->setCursorPosition(4);
        QTest::keyClick(edit, Qt::Key_Left);
        QCOMPARE(edit->text(), u"DUPONT Jean"_s);
        QCOMPARE(edit->cursorPosition(), 3);
        QVERIFY(!edit->hasSelectedText());
    }

    void halfDayButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<Qt::MouseButton>("mouse");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<bool>("shownBefore");
        QTest::addColumn<QString>("text");
        QTest::newRow("CmdAbsent1 right button shows") << u"CmdAbsent1"_s << Qt::RightButton << u"Text4_0"_s << false
                                                       << u"ABSENT"_s;
        QTest::newRow("CmdAbsent2 middle button hides") << u"CmdAbsent2"_s << Qt::MiddleButton << u"Text4_1"_s
                                                        << true << u"ABSENT"_s;
        QTest::newRow("CmdEcho1 left button hides") << u"CmdEcho1"_s << Qt::LeftButton << u"TxtEcho1"_s << true
                                                    << u"Echo Dr B"_s;
        QTest::newRow("CmdEcho2 right button shows") << u"CmdEcho2"_s << Qt::RightButton << u"TxtEcho2"_s << false
                                                     << u"Echo Dr B"_s;
    }

    void halfDayButtons()
    {
        QFETCH(QString, button);
        QFETCH(Qt::MouseButton, mouse);
        QFETCH(QString, panel);
        QFETCH(bool, shownBefore);
        QFETCH(QString, text);
        m_view->showRecord(sampleRecord(u"stored"_s, shownBefore));
        m_view->setEchoAnnotation(u"Echo Dr B"_s);
        const DayRecord before = m_view->record();
        QSignalSpy edited(m_view.get(), &DayView::edited);
        QTest::mousePress(control(button), mouse);
        QCOMPARE(control(panel)->isHidden(), shownBefore);
        QCOMPARE(control<QLineEdit>(panel)->text(), text);
        QCOMPARE(edited.count(), 1);
        const DayRecord after = m_view->record(); // only this half-day's mark moved
        QCOMPARE(int(after.absent1 != before.absent1) + int(after.absent2 != before.absent2)
                     + int(after.echo1 != before.echo1) + int(after.echo2 != before.echo2),
                 1);

        QTest::mousePress(control(button), mouse); // twice: back as before, still edited
        QCOMPARE(control(panel)->isHidden(), !shownBefore);
        QCOMPARE(edited.count(), 2);
    }

    void absenceAndEchographyTogether()
    {
        m_view->setEchoAnnotation(QString());
        QTest::mousePress(control(u"CmdAbsent1"_s), Qt::LeftButton);
        QTest::mousePress(control(u"CmdEcho1"_s), Qt::LeftButton);
        const DayRecord record = m_view->record();
        QVERIFY(record.absent1.set && record.echo1.set);
        QCOMPARE(record.echo1.text, QString()); // an empty annotation gives an empty box
        QWidget *absence = control(u"Text4_0"_s);
        QWidget *echo = control(u"TxtEcho1"_s);
        QVERIFY(absence->isVisible() && echo->isVisible() && !absence->geometry().intersects(echo->geometry()));
    }

    void buttonsSignal_data()
    {
        QTest::addColumn<Qt::MouseButton>("mouse");
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<int>("argument");
        for (int user = 1; user <= 6; ++user)
            QTest::addRow("CmdUtilisat%d", user) << Qt::RightButton << QByteArray(SIGNAL(userButtonPressed(int))) << user;
        QTest::newRow("CmdPrec") << Qt::MiddleButton << QByteArray(SIGNAL(previousDayPressed())) << -1;
        QTest::newRow("CmdSuiv") << Qt::RightButton << QByteArray(SIGNAL(nextDayPressed())) << -1;
        QTest::newRow("Command1") << Qt::LeftButton << QByteArray(SIGNAL(redisplayClicked())) << -1;
    }

    void buttonsSignal()
    {
        QFETCH(Qt::MouseButton, mouse);
        QFETCH(QByteArray, signal);
        QFETCH(int, argument);
        QSignalSpy spy(m_view.get(), signal.constData());
        QTest::mouseClick(control(QString::fromLatin1(QTest::currentDataTag())), mouse);
        QCOMPARE(spy.count(), 1);
        if (argument >= 0)
            QCOMPARE(spy.at(0).at(0).toInt(), argument);
    }

    void keyboardDoesNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("plain"); // the same keys on an ordinary button, which they do press
        for (const char *button : {"CmdAbsent1", "CmdEcho2", "CmdUtilisat3", "CmdPrec", "CmdSuiv"}) {
            QTest::addRow("%s space", button) << QString::fromLatin1(button) << int(Qt::Key_Space) << 0 << false;
            QTest::addRow("%s Enter", button) << QString::fromLatin1(button) << int(Qt::Key_Return) << 0 << false;
        }
        const int alt = Qt::AltModifier;
        QTest::newRow("access key of CmdAbsent1") << u"CmdAbsent1"_s << int(Qt::Key_M) << alt << false;
        QTest::newRow("ordinary button: space") << u"CmdAbsent1"_s << int(Qt::Key_Space) << 0 << true;
        QTest::newRow("ordinary button: access key") << u"CmdAbsent1"_s << int(Qt::Key_M) << alt << true;
    }

    void keyboardDoesNothing()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, plain);
        QWidget plainWindow;
        QPushButton *target = control<MouseDownButton>(button);
        QWidget *window = m_view.get();
        if (plain) {
            target = new QPushButton(target->text(), &plainWindow);
            window = &plainWindow;
            window->show();
        }
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        target->setFocus();
        QSignalSpy pressed(target, &QPushButton::pressed);
        QSignalSpy clicked(target, &QPushButton::clicked);
        const DayRecord before = m_view->record();
        QTest::keyClick(modifiers ? window : target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(pressed.count() > 0 || clicked.count() > 0, plain);
        QCOMPARE(m_view->record(), before);
    }

    void calendarClick()
    {
        QCalendarWidget *calendar = m_view->calendar();
        calendar->setSelectedDate(QDate(2003, 12, 31));
        QSignalSpy clicked(m_view.get(), &DayView::calendarDateClicked);
        auto *table = calendar->findChild<QTableView *>();
        QVERIFY(table);
        for (int row = 0; row < table->model()->rowCount(); ++row)
            for (int column = 0; column < table->model()->columnCount(); ++column) {
                const QModelIndex index = table->model()->index(row, column);
                if (index.data().toString() == u"15"_s)
                    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
            }
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toDate(), QDate(2003, 12, 15));
    }
};

QTEST_MAIN(TestDayView)
#include "tst_dayview.moc"
