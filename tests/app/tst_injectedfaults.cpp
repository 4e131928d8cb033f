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

    int m_calls = 0;

    // One save of an existing day or of a new one, the n-th call of a kind
    // failing (n = 0: none); m_calls: how many calls of the kind the save made.
    void saveWithFault(bool existing, FaultVfs::Call call, int n, bool persistent)
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
        m_calls = FaultVfs::count(call);
        const bool fired = FaultVfs::fired();
        FaultVfs::reset();

        QCOMPARE(practice.query(u"PRAGMA integrity_check"_s), QList<QStringList>{{u"ok"_s}});
        const int rows = practice.rowCount(1); // today's, the only day stored
        const std::optional<StoredDay> stored = practice.readDay(1, today);
        QVERIFY2(rows == 1 || (rows == 0 && !existing && !saved), "one row for the date");
        QVERIFY2(!stored || *stored == typed || (existing && *stored == old), "the old day or the new one, no mix");
        if (saved) { // a save that said yes wrote the day
            QCOMPARE(stored, std::optional(typed));
            QVERIFY(!form->isChanged());
            return;
        }
        QVERIFY2(fired, "a save failed without a fault");
        const QStringList &told = practice.prompts.informations;
        QVERIFY(!told.isEmpty() && told.last().contains(u"base de données"_s)); // the user told in French
        QCOMPARE(form->dayView()->slotEdit(TypedSlot)->text(), TypedText);
        QVERIFY(form->isChanged());
        // The next save, with the disk well again, writes the typed day, once.
        QVERIFY(form->ENREG_01());
        QCOMPARE(practice.readDay(1, today), std::optional(typed));
        QCOMPARE(practice.rowCount(1), 1);
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
        int calls = 0; // known once the save without a fault (n = 0) has run
        for (int n = 0; n <= calls; ++n) {
            saveWithFault(existing, call, n, persistent);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(u"with call %1 failing (0: none)"_s.arg(n)));
            if (n == 0)
                calls = m_calls;
        }
        QVERIFY2(calls > 0 || call == FaultVfs::Call::Lock, "the save made no call of this kind");
    }
};

QTEST_MAIN(InjectedFaultsTest)
#include "tst_injectedfaults.moc"
