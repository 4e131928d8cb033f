// AGENDAS.MDB damaged, locked, read-only or gone, at start-up and while the
// program runs; the .agc files and the names database damaged. Each gives its
// message, or none, and loses nothing typed; a day that cannot be read stays
// locked and empty and overwrites nothing.
#include "filebytes.h"
#include "practice.h"
#include "refusedwrites.h"
#include "sqliteconnection.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

const QString UnreadNotice =
    u"Ce jour n'a pas pu être lu : il reste vide et verrouillé, et il ne sera pas enregistré, pour ne pas "
    "effacer les rendez-vous déjà enregistrés. Cliquez sur « x » pour le relire ; il est aussi relu à chaque "
    "actualisation et en changeant de jour."_s;
const QString KeptNotice =
    u"\n\nLe jour reste affiché avec vos modifications ; il sera enregistré au prochain enregistrement."_s;
const QString NotPlanora = u"Le fichier %1 n'est pas une base de données PLANORA, ou il est endommagé."_s;
const QString Missing = u"La base de données %1 est introuvable.\nVérifiez le chemin de la base dans la configuration."_s;
const QString Busy = u"La base de données %1 est occupée par un autre poste depuis plus de 0.1 secondes : "
                     "l'opération n'a pas été faite.\nRéessayez dans un instant."_s;
const QString ReadOnly = u"La base de données %1 est en lecture seule : la modification n'a pas été enregistrée."_s;

enum class Damage { Garbage, Locked, Deleted, ReadOnly };

// Where the damage is met (action): "load" (the start-up), "Enregistrer", or
// a move ("CmdSuiv", "CmdPrec", "CmdUtilisat2", the calendar "MonthView1"),
// with edits typed before or not; the message (%1: the database's path). A day
// that could not be read is read again by retry: "Command1" (the "x" button),
// "Timer1" (the refresh), "MonthView1", or the program is quit ("Quitte").
struct BadDatabase { Damage damage; QByteArray action; bool typed; QString message; QByteArray retry = "Command1"; };

// Bytes no text editor or database wrote: every byte value, NULs included.
QByteArray binaryBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 1024; ++i)
        bytes.append(char((i * 37 + 11) % 256));
    return bytes;
}

// Damages AGENDAS.MDB and puts the good file back. The good bytes are taken
// before the damage, so that mending restores the very day stored.
class DatabaseDamage
{
public:
    explicit DatabaseDamage(const QString &path) : m_path(path) {}

    bool apply(Damage damage)
    {
        m_good = bytesOf(m_path);
        switch (damage) {
        case Damage::Garbage: return writeBytes(m_path, binaryBytes().repeated(32));
        case Damage::Locked:
            return m_locker.open(m_path, SqliteConnection::Mode::ReadWrite) == SQLITE_OK
                && m_locker.exec("BEGIN EXCLUSIVE") == SQLITE_OK;
        case Damage::Deleted: return QFile::remove(m_path);
        case Damage::ReadOnly: // open to "nobody" along the way, writable by nobody at the end
            for (const QString &folder : QStringList{QFileInfo(m_path).path(), QFileInfo(m_path).path() + u"/.."_s})
                QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
            return QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        }
        return false;
    }

    bool mend()
    {
        m_locker.close(); // a transaction left open is rolled back
        QFile::setPermissions(m_path, QFileDevice::Permissions(0x6666));
        return writeBytes(m_path, m_good);
    }

private:
    QString m_path;
    QByteArray m_good;
    SqliteConnection m_locker; // a workstation in the middle of a long write
};

} // namespace

class TestBadFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void badDatabase_data()
    {
        QTest::addColumn<BadDatabase>("c");
        const QString unread = u"\n\n"_s + UnreadNotice;
        const auto row = [](const char *name, const BadDatabase &c) { QTest::newRow(name) << c; };
        row("garbage at start-up", {Damage::Garbage, "load", false, NotPlanora + unread});
        row("locked at start-up, then quit", {Damage::Locked, "load", false, Busy + unread, "Quitte"});
        row("locked at the next day, read again by the refresh", {Damage::Locked, "CmdSuiv", false, Busy + unread, "Timer1"});
        row("missing at the next day", {Damage::Deleted, "CmdSuiv", false, Missing + unread});
        row("missing at the previous day, then quit", {Damage::Deleted, "CmdPrec", false, Missing + unread, "Quitte"});
        row("locked at a user switch, read again by the calendar",
            {Damage::Locked, "CmdUtilisat2", false, Busy + unread, "MonthView1"});
        row("locked, then a save", {Damage::Locked, "Enregistrer", true, Busy + KeptNotice});
        row("made read-only, then a save", {Damage::ReadOnly, "Enregistrer", true, ReadOnly + KeptNotice});
        row("replaced by garbage, then a save", {Damage::Garbage, "Enregistrer", true, NotPlanora + KeptNotice});
        row("replaced by garbage, then the next day: stays", {Damage::Garbage, "CmdSuiv", true, NotPlanora + KeptNotice});
        row("replaced by garbage, then the calendar: stays on that date",
            {Damage::Garbage, "MonthView1", true, NotPlanora + KeptNotice});
    }

    // The message names the file and says what is wrong. What was typed
    // stays on screen, where it was typed, marked as changed, and is saved
    // once the file is good. A day that could not be read takes nothing and
    // saves nothing, the stored one stays as it was, and once read again the
    // day takes edits and saves them.
    void badDatabase()
    {
        QFETCH(BadDatabase, c);
        Practice practice;
        const bool unread = (!c.typed && c.action.startsWith("Cmd")) || c.action == "load";
        const int user = unread && c.action == "CmdUtilisat2" ? 2 : 1;
        const qint32 date = practice.today() + (unread && c.action == "CmdSuiv") - (unread && c.action == "CmdPrec");
        // The day that cannot be read has a row, which must stay as it is;
        // the edits that cannot be saved are typed on a day without one.
        const QString kept = unread ? u"Dupont"_s : QString(); // slot 3 of the stored row
        StoredDay stored = StoredDay::withSlots({{3, kept}});
        stored.postit = u"Rappeler"_s;
        if (unread)
            practice.storeDay(user, date, stored);
        DatabaseDamage damage(practice.databasePath());
        Form1 form(practice.environment());
        form.dayCursor().setBusyTimeout(100);
        if (c.action == "load")
            QVERIFY(damage.apply(c.damage));
        form.load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        DayView *view = form.dayView();
        if (c.typed)
            typeInSlot(form, 5, u"Martin"_s);
        if (c.action != "load") {
            QCOMPARE(practice.prompts.informations, QStringList());
            QVERIFY(damage.apply(c.damage));
        }
        if (c.action == "Enregistrer") {
            const auto nobody = c.damage == Damage::ReadOnly ? std::optional(asOrdinaryUser()) : std::nullopt;
            triggerAction(&form, "Enregistrer");
        } else if (c.action == "MonthView1") {
            clickCalendar(form, practice.clock.today().addDays(9));
        } else if (c.action != "load") {
            pressButton(form, c.action.constData());
        }

        QCOMPARE(practice.prompts.informations, QStringList{c.message.arg(practice.databasePath())});
        QCOMPARE(form.isDayUnread(), unread);
        QCOMPARE(form.shownUser(), user);
        QCOMPARE(shownDate(form), QString::number(date));
        QCOMPARE(view->calendar()->selectedDate(), practice.clock.today()); // a failed click does not stay
        QCOMPARE(view->slotEdit(3)->text(), QString());
        QCOMPARE(view->slotEdit(5)->text(), c.typed ? u"Martin"_s : QString());
        QVERIFY(allChecks(form, date == practice.today())); // shown on today only
        QCOMPARE(form.isChanged(), c.typed);
        QCOMPARE(QApplication::overrideCursor(), nullptr); // the hourglass is gone
        if (unread) { // nothing can be typed, ticked or marked, and "&Enregistrer" writes nothing
            view->slotEdit(3)->setFocus();
            QTest::keyClicks(view->slotEdit(3), u"Vide"_s);
            QTest::mouseDClick(view->slotEdit(5), Qt::LeftButton);
            QTest::keyClicks(named<QPlainTextEdit>(view, "Text2"), u"Vide"_s);
            pressButton(form, "CmdAbsent1");
            QTest::mouseClick(view->checkBox(3), Qt::LeftButton);
            triggerAction(&form, "Enregistrer");
            QCOMPARE(view->slotEdit(3)->text() + view->slotEdit(5)->text(), QString());
            QCOMPARE(named<QPlainTextEdit>(view, "Text2")->toPlainText(), QString());
            QVERIFY(named<QLineEdit>(view, "Text4_0")->isHidden() && !view->checkBox(3)->isChecked());
            QVERIFY(!form.isChanged());
            QCOMPARE(practice.prompts.informations.size(), 2);
            QVERIFY(practice.prompts.informations.last().startsWith(u"Ce jour n'a pas pu être lu"_s));
        }
        if (c.retry == "Quitte") {
            triggerAction(&form, "Quitte");
            QVERIFY(!form.isVisible());
            QCOMPARE(practice.prompts.informations.size(), 2);
            QVERIFY(practice.prompts.questions.isEmpty());
        }

        QVERIFY(damage.mend());
        QCOMPARE(practice.readDay(user, date), unread ? std::optional<StoredDay>(stored) : std::nullopt);
        if (c.retry == "Quitte")
            return;
        if (unread && c.retry == "Command1")
            clickButton(view, "Command1");
        else if (unread && c.retry == "Timer1")
            form.Timer1_Timer();
        else if (unread)
            clickCalendar(form, DateNumber::toDate(date));
        QVERIFY(!form.isDayUnread());
        QCOMPARE(view->slotEdit(3)->text(), kept);
        const qsizetype told = practice.prompts.informations.size();
        typeInSlot(form, 4, u"Roux"_s);
        triggerAction(&form, "Enregistrer");
        QCOMPARE(practice.prompts.informations.size(), told);
        QVERIFY(!form.isChanged());
        stored.rvous = joinedSlots({{3, kept}, {4, u"Roux"_s}, {5, c.typed ? u"Martin"_s : QString()}});
        stored.coche = joinedChecks({});
        const StoredDay saved = practice.readDay(user, date).value_or(StoredDay());
        QCOMPARE(saved.rvous, stored.rvous);
        if (unread) // the other fields of the row that was there are kept
            QCOMPARE(saved, stored);
        QCOMPARE(practice.rowCount(1) + practice.rowCount(2), 1);
    }

    // Said once at start-up, naming the file, and the day is read all the
    // same (what Form2 then shows and says: tst_form2).
    void badAgc_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message"); // %1: the file's folder
        QTest::newRow("Utilisat.agc binary") << u"Utilisat.agc"_s << binaryBytes()
                                             << u"Fichier %1/Utilisat.agc non valide (trop ou pas assez de paramètres)."_s;
        QTest::newRow("Alpha.agc of 10 MB") << u"Alpha.agc"_s << QByteArray(10 << 20, 'x')
                                            << u"Fichier %1/Alpha.agc non valide."_s;
    }

    void badAgc()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        Practice practice;
        const QString folder = fileName == u"Alpha.agc"_s ? practice.programFolder() : practice.sharedFolder();
        QVERIFY(writeBytes(folder + u'/' + fileName, content));
        const std::unique_ptr<Form1> form = practice.loadedForm(true);
        QCOMPARE(practice.prompts.informations, QStringList{message.arg(folder)});
        QVERIFY(!form->isDayUnread());
    }

    void badNames_data()
    {
        QTest::addColumn<bool>("good");    // the names database, or garbage in its place
        QTest::addColumn<QString>("shown"); // after typing "MAR" into a slot
        QTest::newRow("good: completed") << true << u"MARTIN Paul"_s;
        QTest::newRow("garbage") << false << u"MAR"_s;
    }

    // A names database that cannot be read is not said at every key: the
    // slot keeps what was typed.
    void badNames()
    {
        QFETCH(bool, good);
        QFETCH(QString, shown);
        Practice practice;
        const QString names = practice.sharedFolder() + u"/NOMS.db"_s;
        QVERIFY(good ? execSql(names, "CREATE TABLE NOMS (NOM TEXT, PRENOM TEXT); INSERT INTO NOMS VALUES ('MARTIN', 'Paul')")
                     : writeBytes(names, binaryBytes()));
        QVERIFY(ConfigFiles::writeLookupSettings(practice.programFolder(), {true, u"NOMS"_s}));

        const std::unique_ptr<Form1> form = practice.loadedForm(true);
        QVERIFY(form->dayView()->lookupMode());
        form->dayView()->slotEdit(3)->setFocus();
        typeInSlot(*form, 3, u"MAR"_s);
        QCOMPARE(form->dayView()->slotEdit(3)->text(), shown);
        QCOMPARE(practice.prompts.informations, QStringList());
        QVERIFY(form->isChanged());
        triggerAction(form.get(), "Enregistrer");
        QCOMPARE(practice.readDay(1, practice.today())->rvous, joinedSlots({{3, shown}}));
    }
};

QTEST_MAIN(TestBadFiles)
#include "tst_badfiles.moc"
