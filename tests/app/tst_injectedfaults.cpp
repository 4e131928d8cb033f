// Every read, write, sync and lock call along one save of the main window
// made to fail in turn: the file stays whole, the day is stored old or new
// and never a mix of the two, once, the user is told, and the typed day stays
// on screen to be saved by the next save.
#include "faultvfs.h"
#include "practice.h"

namespace {
const QString OldText = u"DUPONT Jean 10h"_s, TypedText = u"MARTIN Paul"_s;
constexpr int OldSlot = 2, TypedSlot = 5;
} // namespace

Q_DECLARE_METATYPE(FaultVfs::Call)

class InjectedFaultsTest : public QObject
{
    Q_OBJECT

    // One save of an existing day or of a new one, the n-th call of a kind
    // failing (n = 0: none): how many calls of the kind the save made, -1 when a check failed.
    int saveWithFault(bool existing, FaultVfs::Call call, int n, bool persistent)
    {
        Practice practice;
        const qint32 today = practice.today();
        StoredDay old = StoredDay::withSlots({{OldSlot, OldText}});
        StoredDay typed = StoredDay::withSlots({{OldSlot, existing ? OldText : QString()}, {TypedSlot, TypedText}});
        typed.coche = old.coche = joinedChecks({});
        if (existing)
            practice.storeDay(1, today, old);
        auto form = practice.loadedForm();
        typeInSlot(*form, TypedSlot, TypedText);
        n > 0 ? FaultVfs::failAt(call, n, persistent) : FaultVfs::reset();
        const bool saved = form->ENREG_01();
        const int calls = FaultVfs::count(call);
        const bool fired = FaultVfs::fired();
        FaultVfs::reset();

        const auto check = [n](bool condition, const char *what) { // the row names the day and the call
            if (!condition)
                QTest::qFail(qPrintable(u"call %1: %2"_s.arg(n).arg(QLatin1String(what))), __FILE__, __LINE__);
            return condition;
        };
        const QStringList &told = practice.prompts.informations;
        if (!check(practice.query(u"PRAGMA integrity_check"_s) == QList<QStringList>{{u"ok"_s}}, "integrity_check"))
            return -1;
        const int rows = practice.rowCount(1); // today's, the only day stored
        const std::optional<StoredDay> stored = practice.readDay(1, today);
        const bool ok =
            check(rows == 1 || (rows == 0 && !existing && !saved), "one row for the date")
            && check(!stored || *stored == typed || (existing && *stored == old), "the old day or the new one, no mix")
            && (saved ? check(stored == typed, "a save that said yes wrote the day")
                            && check(!form->isChanged(), "changed flag cleared after a save")
                      : check(fired, "a save failed without a fault")
                            && check(!told.isEmpty() && told.last().contains(u"base de données"_s),
                                     "the user told in French")
                            && check(form->dayView()->slotEdit(TypedSlot)->text() == TypedText, "typed text on screen")
                            && check(form->isChanged(), "changed flag kept")
                            // The next save, with the disk well again, writes the typed day, once.
                            && check(form->ENREG_01(), "the next save")
                            && check(practice.readDay(1, today) == typed, "the typed day stored by the next save")
                            && check(practice.rowCount(1) == 1, "one row after the next save"));
        return ok ? calls : -1;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        FaultVfs::install();
    }

    void eachCallFails_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<FaultVfs::Call>("call");
        QTest::addColumn<bool>("persistent");
        for (const bool existing : {true, false})
            for (const FaultVfs::Call call : FaultVfs::AllCalls)
                for (const bool persistent : {false, true})
                    QTest::addRow("%s day, %s%s", existing ? "existing" : "new", FaultVfs::name(call),
                                  persistent ? ", from then on" : ", once")
                        << existing << call << persistent;
    }

    void eachCallFails()
    {
        QFETCH(bool, existing);
        QFETCH(FaultVfs::Call, call);
        QFETCH(bool, persistent);
        const int calls = saveWithFault(existing, call, 0, persistent);
        QVERIFY2(calls >= 0, "the save without a fault");
        QVERIFY2(calls > 0 || call == FaultVfs::Call::Lock, "the save made no call of this kind");
        for (int n = 1; n <= calls; ++n)
            if (saveWithFault(existing, call, n, persistent) < 0)
                return;
    }
};

QTEST_MAIN(InjectedFaultsTest)
#include "tst_injectedfaults.moc"
