// One search of one user over 20 years of full days (7 305 days, about
// 17 MB of slot text) on the store benchmarks' database, measured in one run:
//   BM_SearchWindow      ours: the search window's query text through the
//                        engine (Data1's refresh, then the days of the
//                        result in one pass), as "Recherche" runs it
//   BM_SearchAfterChange the same, the first time after the file changed
//                        (touched between iterations, off the clock)
//   BM_LiteralLike       the reference: the query as written, run by SQLite
//                        with the engine's LIKE ('%text%', case and accents
//                        ignored) on an open connection, stepped to the end
// Both must give the same days; the run stops with an error otherwise.
// Searched texts: 0 "patient500 prenom3" (about 5% of the days, found
// through folded case and accents), 1 "radio" (no day), 2 "" (every day).
#include "datacontrol.h"
#include "dialect.h"
#include "searchquery.h"
#include "sqliteconnection.h"
#include "storebenchdatabase.h"
#include "textrules.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

using namespace StoreBenchDatabase;

constexpr int SearchedUser = 3;
const char *const Texts[] = {"patient500 prenom3", "radio", ""};

QString searched(const benchmark::State &state)
{
    return QString::fromUtf8(Texts[state.range(0)]);
}

QString queryText(const QString &text)
{
    return SearchQuery::text(SearchQuery::tableOf(SearchedUser), FirstDay, FirstDay + DayCount - 1, text);
}

// Ours, as the search window does it.
bool searchWindow(DataControl &data1, const QString &text, QVariantList &days)
{
    data1.setRecordSource(queryText(text));
    return data1.refresh() && data1.recordset()->getRows(QStringLiteral("AGENDATE"), days);
}

// The reference: the same query as SQL with LIKE, on an open connection.
class LiteralLike
{
public:
    LiteralLike()
    {
        m_ready = m_connection.open(databasePath(), SqliteConnection::Mode::ReadOnly) == SQLITE_OK
                  && registerTextRules(m_connection.handle()) == SQLITE_OK
                  && m_query.prepare(m_connection.handle(),
                                     QStringLiteral("SELECT AGENDATE FROM RVOUS%1 WHERE AGENDATE BETWEEN ?1 AND ?2 "
                                                    "AND RVOUS LIKE ?3 ESCAPE '\\' ORDER BY AGENDATE")
                                         .arg(SearchedUser))
                         == SQLITE_OK;
    }

    bool run(const QString &text, QVariantList &days)
    {
        ViewQuery query;
        if (!m_ready || !Dialect::parseQuery(queryText(text), query)) {
            return false;
        }
        m_query.bind(1, qint64(*query.dateFrom));
        m_query.bind(2, qint64(*query.dateTo));
        m_query.bind(3, Dialect::likePattern(*query.rvousPattern));
        days.clear();
        SqliteStatement::Step step;
        while ((step = m_query.step()) == SqliteStatement::Step::Row) {
            days.append(m_query.value(0));
        }
        m_query.reset();
        return step == SqliteStatement::Step::Done;
    }

private:
    SqliteConnection m_connection;
    SqliteStatement m_query;
    bool m_ready = false;
};

// The days both ways, once, off the clock: they must be the same.
bool sameDays(benchmark::State &state, const QString &text)
{
    DataControl data1;
    data1.setDatabaseName(databasePath());
    LiteralLike reference;
    QVariantList ours;
    QVariantList theirs;
    if (!searchWindow(data1, text, ours) || !reference.run(text, theirs)) {
        state.SkipWithError("search failed");
        return false;
    }
    if (ours != theirs) {
        state.SkipWithError("the two searches found different days");
        return false;
    }
    state.counters["days"] = double(ours.size());
    return true;
}

// The search window's query; after a change, the file gets a new change time
// before each search, as any save by another workstation gives it.
void searchWindowLoop(benchmark::State &state, bool afterChange)
{
    const QString text = searched(state);
    if (!sameDays(state, text)) {
        return;
    }
    DataControl data1;
    data1.setDatabaseName(databasePath());
    const QByteArray file = QFile::encodeName(databasePath());
    QVariantList days;
    for (auto _ : state) {
        bool touched = true;
        if (afterChange) {
            state.PauseTiming();
            touched = utimensat(AT_FDCWD, file.constData(), nullptr, 0) == 0;
            state.ResumeTiming();
        }
        if (!touched || !searchWindow(data1, text, days)) {
            state.SkipWithError("search failed");
            break;
        }
        benchmark::DoNotOptimize(days);
    }
}

void BM_SearchWindow(benchmark::State &state)
{
    searchWindowLoop(state, false);
}

void BM_SearchAfterChange(benchmark::State &state)
{
    searchWindowLoop(state, true);
}

void BM_LiteralLike(benchmark::State &state)
{
    const QString text = searched(state);
    if (!sameDays(state, text)) {
        return;
    }
    LiteralLike reference;
    QVariantList days;
    for (auto _ : state) {
        if (!reference.run(text, days)) {
            state.SkipWithError("query failed");
            break;
        }
        benchmark::DoNotOptimize(days);
    }
}

void configure(benchmark::internal::Benchmark *benchmark)
{
    benchmark->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

} // namespace

BENCHMARK(BM_SearchWindow)->Apply(configure);
BENCHMARK(BM_SearchAfterChange)->Apply(configure);
BENCHMARK(BM_LiteralLike)->Apply(configure);

BENCHMARK_MAIN();
