// The export of one user's year: 365 days of 53 filled slots (and a half-day
// mark a week) on the 15-minute grid, as iCalendar and as CSV, beside the
// reference of the same run: reading the same rows from the database
// without making anything of them (the floor of any export). Also the whole
// command as a timer runs it (the planora-admin process, start to end).
// The practice is built once into the temporary folder and reused.

#include "agendaexport.h"
#include "configfiles.h"
#include "csvexport.h"
#include "datenumber.h"
#include "daycursor.h"
#include "icalendartext.h"
#include "practicesetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>

namespace {

const QDate FirstDay(2025, 1, 1);
const QDate LastDay(2025, 12, 31);

QString practiceFolder()
{
    return QDir::temp().filePath(QStringLiteral("planora-export-bench"));
}

QString databasePath()
{
    return practiceFolder() + QStringLiteral("/AGENDAS.MDB");
}

DayRecord fullDay(QDate day)
{
    DayRecord record;
    for (int slot = 0; slot < SlotCount; ++slot)
        record.slots[slot] = QStringLiteral("PATIENT%1 Élodie - contrôle, tension; \"urgent\"").arg(slot);
    record.echo2 = {day.dayOfWeek() == Qt::Thursday, QStringLiteral("Echographies")};
    return record;
}

bool preparePractice()
{
    if (QFileInfo::exists(databasePath()))
        return true;
    std::fprintf(stderr, "Building %s (once)...\n", qPrintable(databasePath()));
    QStringList notes;
    if (!PracticeSetup::init(practiceFolder(), 0, notes).ok())
        return false;
    DayCursor cursor;
    DayRecord written;
    for (QDate day = FirstDay; day <= LastDay; day = day.addDays(1)) {
        if (!cursor.save(databasePath(), 1, DateNumber::fromDate(day), DayRecord(), fullDay(day), written).ok())
            return false;
    }
    return true;
}

AgendaExport::Agenda readYear()
{
    AgendaExport::Agenda agenda;
    if (!AgendaExport::read(databasePath(), practiceFolder(), 1, FirstDay, LastDay, agenda).ok())
        std::abort();
    return agenda;
}

void BM_ExportYearIcs(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ICalendarText::write(readYear(), QDateTime::currentDateTimeUtc()));
    state.counters["events"] = double(readYear().events.size());
}

void BM_ExportYearCsv(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(CsvExport::write(readYear()));
}

// Reference: the same rows read and nothing made of them.
void BM_ReadRowsOnly(benchmark::State &state)
{
    for (auto _ : state) {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(databasePath()).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *rows = nullptr;
        sqlite3_prepare_v2(db, "SELECT AGENDATE, RVOUS, COCHE FROM RVOUS1 WHERE AGENDATE BETWEEN ? AND ?", -1,
                           &rows, nullptr);
        sqlite3_bind_int(rows, 1, DateNumber::fromDate(FirstDay));
        sqlite3_bind_int(rows, 2, DateNumber::fromDate(LastDay));
        qint64 bytes = 0;
        while (sqlite3_step(rows) == SQLITE_ROW)
            bytes += sqlite3_column_bytes(rows, 1);
        benchmark::DoNotOptimize(bytes);
        sqlite3_finalize(rows);
        sqlite3_close(db);
    }
}

// The command a timer runs, as a process, writing its file.
void BM_ToolProcessIcs(benchmark::State &state)
{
    const QString output = practiceFolder() + QStringLiteral("/annee.ics");
    for (auto _ : state) {
        QProcess tool;
        tool.start(QStringLiteral(PLANORA_ADMIN_PATH),
                   {QStringLiteral("export"), databasePath(), QStringLiteral("--user"), QStringLiteral("1"),
                    QStringLiteral("--from"), FirstDay.toString(Qt::ISODate), QStringLiteral("--to"),
                    LastDay.toString(Qt::ISODate), QStringLiteral("--format"), QStringLiteral("ics"),
                    QStringLiteral("--output"), output});
        if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
            state.SkipWithError("planora-admin export failed");
    }
}

} // namespace

BENCHMARK(BM_ExportYearIcs)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ExportYearCsv)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadRowsOnly)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ToolProcessIcs)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (!preparePractice())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
