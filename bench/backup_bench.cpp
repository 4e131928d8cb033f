// A backup of the 20-year practice (180 MB): DatabaseCopy::snapshot (backup
// API into a temporary file, integrity check and the six tables, rename),
// measured in one run beside:
//   BM_RawFileCopy   the reference: a plain copy of the file, which is what
//                    a backup cost before, and is torn by a save landing in it
//   BM_CheckOnly     the check alone (integrity_check and the tables), the
//                    part of the snapshot that reads the copy again
#include "benchpractice.h"
#include "databasecopy.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

namespace {

void snapshot(benchmark::State &state)
{
    const QString source = BenchPractice::database(true);
    QTemporaryDir target;
    for (auto _ : state) {
        if (!DatabaseCopy::snapshot(source, target.filePath(QStringLiteral("AGENDAS.MDB"))).ok()) {
            state.SkipWithError("the backup failed");
            break;
        }
    }
    state.counters["MB"] = double(QFileInfo(source).size()) / 1e6;
}

void rawFileCopy(benchmark::State &state)
{
    const QString source = BenchPractice::database(true);
    QTemporaryDir target;
    const QString copy = target.filePath(QStringLiteral("AGENDAS.MDB"));
    for (auto _ : state) {
        QFile::remove(copy);
        if (!QFile::copy(source, copy)) {
            state.SkipWithError("the copy failed");
            break;
        }
    }
}

void checkOnly(benchmark::State &state)
{
    const QString source = BenchPractice::database(true);
    for (auto _ : state) {
        if (!DatabaseCopy::check(source).ok()) {
            state.SkipWithError("the check failed");
            break;
        }
    }
}

} // namespace

BENCHMARK(snapshot)->Name("BM_Snapshot")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(rawFileCopy)->Name("BM_RawFileCopy")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(checkOnly)->Name("BM_CheckOnly")->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char **argv)
{
    BenchPractice::runWithApplication(argc, argv);
    return 0;
}
