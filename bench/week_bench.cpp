// Building the week view's seven columns (seven days found and read, their
// lines filled into the seven lists) on a practice of 20 years x 6 users of
// full days, measured in one run beside:
//   BM_WeekLiteral   the reference: for each day open the database, open the
//                    ordered view of the whole table and find the day, then
//                    fill its list the same way
//   BM_WeekStoreOnly the store's part of BM_WeekPaging (seven positionings
//                    of the day cursor and their reads), no list
// Target: at most 2 ms median for BM_WeekPaging.
#include "benchpractice.h"
#include "daylist.h"
#include "engine.h"
#include "form3.h"
#include "mainwindow.h"
#include "weekreader.h"

#include <QListWidget>
#include <QPushButton>

#include <benchmark/benchmark.h>

namespace {

constexpr qint32 StartDay = BenchPractice::FirstDay + 3000;
constexpr int Minutes = 15; // the grid of the workstation's users

// The main window on the 20-year practice with its week view open.
struct Bench
{
    explicit Bench(const QString &path)
        : workstation(path, DateNumber::toDate(StartDay))
    {
        if (path.isEmpty() || !workstation.ready())
            return;
        form = std::make_unique<Form1>(workstation.environment());
        form->load();
        form->Semaine_Click();
        week = form->findChild<Form3 *>(QStringLiteral("Form3"));
    }
    bool ok() const { return week && week->list(6)->count() == 54 && workstation.prompts.informations.isEmpty(); }

    BenchPractice::Workstation workstation;
    std::unique_ptr<Form1> form;
    Form3 *week = nullptr;
};

// Back and forth between two weeks, as a user pages.
void BM_WeekPaging(benchmark::State &state)
{
    Bench bench(BenchPractice::database(true));
    if (!bench.ok()) {
        state.SkipWithError("the practice could not be prepared");
        return;
    }
    bool forward = true;
    for (auto _ : state) {
        if (forward)
            bench.week->CmdSuiv_Click();
        else
            bench.week->CmdPrec_Click();
        forward = !forward;
    }
    if (!bench.ok())
        state.SkipWithError("a week was not shown whole");
}

std::optional<DayRecord> literalDay(const QString &path, qint32 dateNumber)
{
    Database database;
    std::unique_ptr<View> view;
    if (!database.open(path).ok() || !database.openView(QStringLiteral("SELECT*FROM RVOUS1 ORDER BY AGENDATE"), view).ok()
        || !view->findFirst(QStringLiteral("AGENDATE=%1").arg(dateNumber)).ok() || view->noMatch())
        return std::nullopt;
    DayRecord record;
    record.slots = DayEncoding::decodeSlots(view->text(QStringLiteral("RVOUS")));
    record.absent1.set = view->number(QStringLiteral("ABSENT1")) != 0;
    record.absent2.set = view->number(QStringLiteral("ABSENT2")) != 0;
    return record;
}

void BM_WeekLiteral(benchmark::State &state)
{
    const QString path = BenchPractice::database(true);
    std::array<QListWidget, WeekStart::DaysPerWeek> lists;
    qint32 monday = WeekStart::of(StartDay);
    bool forward = true;
    for (auto _ : state) {
        monday += forward ? 7 : -7;
        forward = !forward;
        for (int day = 0; day < WeekStart::DaysPerWeek; ++day) {
            const std::optional<DayRecord> record = literalDay(path, monday + day);
            if (!record) {
                state.SkipWithError("day not found");
                return;
            }
            lists[std::size_t(day)].clear();
            lists[std::size_t(day)].addItems(DayList::lines(Minutes, &*record));
        }
    }
}

void BM_WeekStoreOnly(benchmark::State &state)
{
    const QString path = BenchPractice::database(true);
    DayCursor cursor;
    WeekReader::Week week;
    qint32 monday = WeekStart::of(StartDay);
    bool forward = true;
    for (auto _ : state) {
        monday += forward ? 7 : -7;
        forward = !forward;
        if (!WeekReader::read(cursor, path, 1, monday, week).ok() || !week[6]) {
            state.SkipWithError("the store failed");
            return;
        }
    }
}

void configure(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Unit(benchmark::kMillisecond)->Iterations(300)->Repetitions(5)->ReportAggregatesOnly(true);
}

} // namespace

BENCHMARK(BM_WeekPaging)->Apply(configure);
BENCHMARK(BM_WeekLiteral)->Apply(configure);
BENCHMARK(BM_WeekStoreOnly)->Apply(configure);

int main(int argc, char **argv)
{
    BenchPractice::runWithApplication(argc, argv);
    return 0;
}
