// How long the day view waits for the store, on a practice of 20 years x 6
// users of full days (53 filled slots each), measured in one run:
//   BM_PositionAndRead   the day cursor: view, find AGENDATE=d, read the day, on
//                        the connection it keeps while nobody writes the file
//   BM_PositionAfterChange  the same, the first time after the file changed
//                        (touched between iterations, off the clock): the
//                        connection is opened again, pragmas, schema and all
//   BM_SaveExistingDay   the day cursor: save a day that has a row (one fsync'ed transaction)
//   BM_RawPointQuery     the floor: one prepared point query on an open connection
//   BM_OrderedViewScan   the reference: open the file, step through SELECT * ... ORDER BY
//                        AGENDATE until the day, then read it (an ordered view of the whole table)
// and what the day history and merging add to a save, on a year of full days
// of one user, each save changing one slot (so that the history keeps a
// version every time):
//   BM_SavePlain         the save when nobody else wrote the file since our
//                        last save (the connection is kept)
//   BM_SaveNoHistory     the same on a file without the history triggers: the
//                        reference for the triggers' cost
//   BM_SaveAfterOtherDay another connection saved another day first (off the
//                        clock): the file is opened again, triggers and all
//   BM_SaveMerging       another connection saved another slot of the same day
//                        first (off the clock): the merge takes it in; the
//                        reference is BM_SaveAfterOtherDay
// The big database is generated once into the temporary folder and reused.
#include "daycursor.h"
#include "storebenchdatabase.h"
#include "sqliteconnection.h"
#include "sqlitestatement.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

using namespace StoreBenchDatabase;

// The schema's first step: the day tables without the history.
QByteArray schemaWithoutHistory()
{
    const QByteArray schema = schemaText();
    const QByteArray firstStepEnd("PRAGMA user_version = 1;");
    const qsizetype end = schema.indexOf(firstStepEnd);
    return end < 0 ? QByteArray() : schema.left(end + firstStepEnd.size());
}

// A year of user 1, made afresh for each benchmark so that the history
// starts empty.
QString yearDatabase(bool withHistory)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(withHistory ? QStringLiteral("history/AGENDAS.MDB")
                                                     : QStringLiteral("plain/AGENDAS.MDB"));
    QFile::remove(path);
    return makeDatabase(path, withHistory ? schemaText() : schemaWithoutHistory(), 1, 365);
}

// A workstation saving days of user 1: it remembers each day as its last
// save left it, and changes one slot per save.
class Saver
{
public:
    Saver(QString path, int firstSlot) : m_path(std::move(path)), m_firstSlot(firstSlot) {}

    bool save(qint32 date)
    {
        const DayRecord remembered = m_days.contains(date) ? m_days.value(date) : fullDay(date, 1);
        DayRecord shown = remembered;
        ++m_step;
        shown.slots[std::size_t((m_firstSlot + m_step) % SlotCount)] = QStringLiteral("Nouveau patient %1").arg(m_step);
        DayRecord saved;
        if (!m_cursor.save(m_path, 1, date, remembered, shown, saved)) {
            return false;
        }
        m_days.insert(date, saved);
        return true;
    }

private:
    QString m_path;
    int m_firstSlot;
    int m_step = 0;
    DayCursor m_cursor;
    QHash<qint32, DayRecord> m_days;
};

enum class OtherSave { None, OtherDay, SameDay };

void saveYearDays(benchmark::State &state, bool withHistory, OtherSave otherSave)
{
    const QString path = yearDatabase(withHistory);
    QRandomGenerator random(3);
    Saver ours(path, 0);
    Saver other(path, 20);
    for (auto _ : state) {
        const qint32 date = FirstDay + qint32(random.bounded(365));
        if (otherSave != OtherSave::None) {
            state.PauseTiming();
            const bool otherSaved = other.save(otherSave == OtherSave::SameDay ? date : FirstDay + (date + 1) % 365);
            state.ResumeTiming();
            if (!otherSaved) {
                state.SkipWithError("the other workstation's save failed");
                break;
            }
        }
        if (!ours.save(date)) {
            state.SkipWithError("save failed");
            break;
        }
    }
}

void BM_SavePlain(benchmark::State &state)
{
    saveYearDays(state, true, OtherSave::None);
}

void BM_SaveNoHistory(benchmark::State &state)
{
    saveYearDays(state, false, OtherSave::None);
}

void BM_SaveAfterOtherDay(benchmark::State &state)
{
    saveYearDays(state, true, OtherSave::OtherDay);
}

void BM_SaveMerging(benchmark::State &state)
{
    saveYearDays(state, true, OtherSave::SameDay);
}

qint32 randomDay(QRandomGenerator &random)
{
    return FirstDay + qint32(random.bounded(DayCount));
}

void BM_PositionAndRead(benchmark::State &state)
{
    QRandomGenerator random(1);
    DayCursor cursor;
    for (auto _ : state) {
        const int user = 1 + int(random.bounded(Users));
        if (!cursor.position(databasePath(), user, randomDay(random)) || !cursor.found()) {
            state.SkipWithError("positioning failed");
            break;
        }
        benchmark::DoNotOptimize(cursor.currentRecord());
    }
}

void BM_PositionAfterChange(benchmark::State &state)
{
    QRandomGenerator random(1);
    DayCursor cursor;
    const QByteArray file = QFile::encodeName(databasePath());
    for (auto _ : state) {
        state.PauseTiming();
        // A new change time, as any save by another workstation gives it.
        const bool touched = utimensat(AT_FDCWD, file.constData(), nullptr, 0) == 0;
        state.ResumeTiming();
        const int user = 1 + int(random.bounded(Users));
        if (!touched || !cursor.position(databasePath(), user, randomDay(random)) || !cursor.found()) {
            state.SkipWithError("positioning failed");
            break;
        }
        benchmark::DoNotOptimize(cursor.currentRecord());
    }
}

void BM_SaveExistingDay(benchmark::State &state)
{
    QRandomGenerator random(2);
    DayCursor cursor;
    DayRecord saved;
    for (auto _ : state) {
        const qint32 date = randomDay(random);
        const DayRecord day = fullDay(date, 1);
        if (!cursor.save(databasePath(), 1, date, day, day, saved)) {
            state.SkipWithError("save failed");
            break;
        }
    }
}

void BM_RawPointQuery(benchmark::State &state)
{
    QRandomGenerator random(1);
    SqliteConnection connection;
    connection.open(databasePath(), SqliteConnection::Mode::ReadOnly);
    SqliteStatement query;
    query.prepare(connection.handle(), QStringLiteral("SELECT * FROM RVOUS1 WHERE AGENDATE = ?"));
    for (auto _ : state) {
        query.bind(1, qint64(randomDay(random)));
        if (query.step() != SqliteStatement::Step::Row) {
            state.SkipWithError("day not found");
            break;
        }
        benchmark::DoNotOptimize(query.text(1));
        query.reset();
    }
}

void BM_OrderedViewScan(benchmark::State &state)
{
    QRandomGenerator random(1);
    for (auto _ : state) {
        const int user = 1 + int(random.bounded(Users));
        const qint32 date = randomDay(random);
        SqliteConnection connection;
        connection.open(databasePath(), SqliteConnection::Mode::ReadWrite);
        SqliteStatement view;
        view.prepare(connection.handle(), QStringLiteral("SELECT * FROM RVOUS%1 ORDER BY AGENDATE").arg(user));
        bool found = false;
        while (!found && view.step() == SqliteStatement::Step::Row) {
            found = view.integer(0) == date;
        }
        if (!found) {
            state.SkipWithError("day not found");
            break;
        }
        benchmark::DoNotOptimize(DayEncoding::decodeSlots(view.text(1)));
    }
}

void configure(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

} // namespace

BENCHMARK(BM_PositionAndRead)->Apply(configure);
BENCHMARK(BM_PositionAfterChange)->Apply(configure);
BENCHMARK(BM_SaveExistingDay)->Apply(configure);
BENCHMARK(BM_RawPointQuery)->Apply(configure);
BENCHMARK(BM_OrderedViewScan)->Apply(configure);
BENCHMARK(BM_SavePlain)->Apply(configure);
BENCHMARK(BM_SaveNoHistory)->Apply(configure);
BENCHMARK(BM_SaveAfterOtherDay)->Apply(configure);
BENCHMARK(BM_SaveMerging)->Apply(configure);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (databasePath().isEmpty()) {
        std::fprintf(stderr, "store_bench: could not generate the benchmark database\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
