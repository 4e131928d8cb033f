// The next-day button with unsaved edits (ENREG_01 then SUIV_PREC: save the
// shown day, show the next one) on a practice of 20 years x 6 users of full
// days, measured in one run beside:
//   BM_NextDayUnchanged      the same press without an edit (show only)
//   BM_StoreSaveAndPosition  the reference: the store's own part (save the
//                            day, position on the next and read it), no window
// Target: at most 3 ms median for BM_NextDayWithEdits.
#include "benchpractice.h"
#include "daycursor.h"
#include "dayview.h"
#include "mainwindow.h"
#include "slotedit.h"

#include <benchmark/benchmark.h>

namespace {

constexpr qint32 StartDay = BenchPractice::FirstDay + 1000;

// The main window on the 20-year practice, showing StartDay.
struct Bench
{
    explicit Bench(const QString &path)
        : workstation(path, DateNumber::toDate(StartDay))
    {
        if (path.isEmpty() || !workstation.ready())
            return;
        form = std::make_unique<Form1>(workstation.environment());
        form->load();
    }
    bool ok() const { return form && form->dayCursor().found() && workstation.prompts.informations.isEmpty(); }

    BenchPractice::Workstation workstation;
    std::unique_ptr<Form1> form;
};

void nextDay(benchmark::State &state, bool withEdit)
{
    Bench bench(BenchPractice::database(true));
    if (!bench.ok()) {
        state.SkipWithError("the practice could not be prepared");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        if (withEdit) {
            // Always a different text from the stored one, whatever earlier runs saved.
            SlotEdit *edit = bench.form->dayView()->slotEdit(step % SlotCount);
            edit->setText(edit->text() == QLatin1String("Nouveau patient") ? QStringLiteral("Autre patient")
                                                                         : QStringLiteral("Nouveau patient"));
        }
        if (withEdit != bench.form->isChanged()) {
            state.SkipWithError("the edit did not set the changed flag");
            break;
        }
        bench.form->CmdSuiv_MouseDown();
        ++step;
    }
    if (!bench.workstation.prompts.informations.isEmpty())
        state.SkipWithError("a message was shown");
}

void BM_NextDayWithEdits(benchmark::State &state)
{
    nextDay(state, true);
}

void BM_NextDayUnchanged(benchmark::State &state)
{
    nextDay(state, false);
}

void BM_StoreSaveAndPosition(benchmark::State &state)
{
    const QString path = BenchPractice::database(true);
    DayCursor cursor;
    qint32 day = StartDay;
    if (!cursor.position(path, 1, day).ok() || !cursor.currentRecord()) {
        state.SkipWithError("the practice could not be prepared");
        return;
    }
    DayRecord remembered = *cursor.currentRecord();
    int step = 0;
    for (auto _ : state) {
        DayRecord shown = remembered;
        shown.slots[std::size_t(step % SlotCount)] = QStringLiteral("Nouveau patient %1").arg(step);
        ++step;
        DayRecord saved;
        if (!cursor.save(path, 1, day, remembered, shown, saved).ok() || !cursor.position(path, 1, ++day).ok()) {
            state.SkipWithError("the store failed");
            break;
        }
        remembered = cursor.currentRecord().value_or(DayRecord{});
    }
}

void configure(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Unit(benchmark::kMillisecond)->Iterations(500)->Repetitions(5)->ReportAggregatesOnly(true);
}

} // namespace

BENCHMARK(BM_NextDayWithEdits)->Apply(configure);
BENCHMARK(BM_NextDayUnchanged)->Apply(configure);
BENCHMARK(BM_StoreSaveAndPosition)->Apply(configure);

int main(int argc, char **argv)
{
    BenchPractice::runWithApplication(argc, argv);
    return 0;
}
