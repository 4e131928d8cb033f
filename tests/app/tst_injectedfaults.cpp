// Every read, write, sync and lock call along one save of the main window
// made to fail in turn: the file stays whole, the day is stored old or new
// and never a mix of the two, once, the user is told, and the typed day stays
// on screen to be saved by the next save.
#include "faultvfs.h"
#include "practice.h"

#include <QTest>

namespace {

const QString OldText = QStringLiteral("DUPONT Jean 10h");
const QString TypedText = QStringLiteral("MARTIN Paul");
constexpr int OldSlot = 2;
constexpr int TypedSlot = 5;

QString integrity(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    QString result = QStringLiteral("cannot open");
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

int rowsOfDate(const QString &path, qint32 dateNumber)
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    int rows = -1;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM RVOUS1 WHERE AGENDATE = ?", -1, &statement, nullptr) == SQLITE_OK) {
        sqlite3_bind_int(statement, 1, dateNumber);
        if (sqlite3_step(statement) == SQLITE_ROW)
            rows = sqlite3_column_int(statement, 0);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(FaultVfs::Call)

class InjectedFaultsTest : public QObject
{
    Q_OBJECT

private:
    int m_casesRun = 0;

    // One save: an existing day edited (existing) or a day saved for the first
    // time, with the n-th call of a kind failing; n = 0 fails nothing.
    // Returns how many calls of the kind the save made.
    int saveWithFault(bool existing, FaultVfs::Call call, int n, bool persistent)
    {
        Practice practice;
        StoredDay old = StoredDay::withSlots({{OldSlot, OldText}});
        StoredDay typed = StoredDay::withSlots({{OldSlot, OldText}, {TypedSlot, TypedText}});
        typed.coche = old.coche = joinedChecks({});
        if (existing)
            practice.storeDay(1, practice.today(), old);
        auto form = practice.loadedForm();
        typeInSlot(*form, TypedSlot, TypedText);
        if (!existing) {
            typed.rvous = joinedSlots({{TypedSlot, TypedText}});
        }

        if (n == 0)
            FaultVfs::reset();
        else
            FaultVfs::failAt(call, n, persistent);
        const bool saved = form->ENREG_01();
        const int calls = FaultVfs::count(call);
        const bool fired = FaultVfs::fired();
        FaultVfs::reset();

        const QString where = QStringLiteral("%1 day, %2 call %3%4")
                                  .arg(existing ? QStringLiteral("existing") : QStringLiteral("new"),
                                       QLatin1String(FaultVfs::name(call)))
                                  .arg(n)
                                  .arg(persistent ? QStringLiteral(" and after") : QString());
        const auto check = [&](bool condition, const char *what) {
            if (!condition)
                QTest::qFail(qPrintable(where + QStringLiteral(": ") + QLatin1String(what)), __FILE__, __LINE__);
            return condition;
        };

        bool ok = check(integrity(practice.databasePath()) == u"ok", "integrity_check");
        const int rows = rowsOfDate(practice.databasePath(), practice.today());
        ok = ok && check(rows == 1 || (rows == 0 && !existing && !saved), "one row for the date");
        const std::optional<StoredDay> stored = practice.readDay(1, practice.today());
        if (stored) {
            ok = ok && check(*stored == typed || (existing && *stored == old), "the old day or the new one");
            if (!existing && *stored != typed)
                ok = ok && check(false, "a new day half written");
        }
        if (saved) {
            ok = ok && check(stored && *stored == typed, "a save that said yes wrote the day");
            ok = ok && check(!form->isChanged(), "changed flag cleared after a save");
        } else {
            ok = ok && check(fired, "a save failed without a fault");
            ok = ok && check(!practice.prompts.informations.isEmpty()
                                 && practice.prompts.informations.last().contains(QStringLiteral("base de données")),
                             "the user told in French");
            ok = ok && check(form->dayView()->slotEdit(TypedSlot)->text() == TypedText, "typed text on screen");
            ok = ok && check(form->isChanged(), "changed flag kept");
            // The next save, with the disk well again, writes the typed day.
            ok = ok && check(form->ENREG_01(), "the next save");
            const std::optional<StoredDay> after = practice.readDay(1, practice.today());
            ok = ok && check(after && *after == typed, "the typed day stored by the next save");
            ok = ok && check(rowsOfDate(practice.databasePath(), practice.today()) == 1, "one row after the next save");
        }
        if (n > 0)
            ++m_casesRun;
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
        for (const bool existing : {true, false}) {
            for (const FaultVfs::Call call : FaultVfs::AllCalls) {
                for (const bool persistent : {false, true}) {
                    QTest::addRow("%s day, %s%s", existing ? "existing" : "new", FaultVfs::name(call),
                                  persistent ? ", from then on" : ", once")
                        << existing << call << persistent;
                }
            }
        }
    }

    void eachCallFails()
    {
        QFETCH(bool, existing);
        QFETCH(FaultVfs::Call, call);
        QFETCH(bool, persistent);
        const int calls = saveWithFault(existing, call, 0, persistent);
        QVERIFY2(calls >= 0, "the save without a fault");
        if (call != FaultVfs::Call::Lock)
            QVERIFY2(calls > 0, "the save made no call of this kind");
        for (int n = 1; n <= calls; ++n) {
            if (saveWithFault(existing, call, n, persistent) < 0)
                return;
        }
    }

    void cleanupTestCase()
    {
        qInfo("%d injected-fault cases run and passed", m_casesRun);
    }
};


QTEST_MAIN(InjectedFaultsTest)
#include "tst_injectedfaults.moc"
