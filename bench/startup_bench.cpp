// From constructing the main window to the first day shown and painted
// (Form1 and its start-up sequence: settings, Utilisat.agc, Alpha.agc, grid, day cursor on
// RVOUS1, today's day), measured in one run on:
//   BM_StartUp            a practice of 20 years x 6 users of full days
//   BM_StartUpEmptyBase   the reference: the same start-up on an empty database
//                         (what the window itself costs, with no rows to find)
// The peak memory of the process is printed at the end. Targets: under 150 ms
// and under 80 MB.
#include "benchpractice.h"
#include "dayview.h"
#include "mainwindow.h"
#include "slotedit.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>

namespace {

void startUp(benchmark::State &state, bool withRows)
{
    const QString path = BenchPractice::database(withRows);
    // A day in the middle of the 20 years.
    BenchPractice::Workstation workstation(path, DateNumber::toDate(BenchPractice::FirstDay + 3650));
    if (path.isEmpty() || !workstation.ready()) {
        state.SkipWithError("the practice could not be prepared");
        return;
    }
    for (auto _ : state) {
        auto form = std::make_unique<Form1>(workstation.environment());
        form->load();
        form->show();
        QApplication::processEvents(); // laid out and painted
        benchmark::DoNotOptimize(form->dayView()->slotEdit(0)->text());
        state.PauseTiming();
        const bool shown = form->dayCursor().found() == withRows && workstation.prompts.informations.isEmpty();
        form.reset();
        state.ResumeTiming();
        if (!shown) {
            state.SkipWithError("the day was not shown");
            break;
        }
    }
    state.counters["peak_MB"] = BenchPractice::peakMemoryMegabytes();
}

void BM_StartUp(benchmark::State &state)
{
    startUp(state, true);
}

void BM_StartUpEmptyBase(benchmark::State &state)
{
    startUp(state, false);
}

void configure(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(5)->ReportAggregatesOnly(true);
}

} // namespace

BENCHMARK(BM_StartUp)->Apply(configure);
BENCHMARK(BM_StartUpEmptyBase)->Apply(configure);

int main(int argc, char **argv)
{
    BenchPractice::runWithApplication(argc, argv);
    std::printf("peak memory of the whole run: %.1f MB (target: under 80 MB)\n",
                BenchPractice::peakMemoryMegabytes());
    return 0;
}
