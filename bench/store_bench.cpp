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
// The database is generated once into the temporary folder and reused.
#include "daycursor.h"
#include "storebenchdatabase.h"
#include "sqliteconnection.h"
#include "sqlitestatement.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

using namespace StoreBenchDatabase;

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
    for (auto _ : state) {
        const qint32 date = randomDay(random);
        if (!cursor.save(databasePath(), 1, date, fullDay(date, 1))) {
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
