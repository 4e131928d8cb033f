// One key release in a slot with the name lookup on, over a names table of
// 1 000 000 generated patients: through the day view and NameLookup, beside
// the literal way (at every key: open the database, open the whole table
// sorted by NOM, PRENOM, step through it to the first row at or after the
// key). Each iteration is one key release, timed on its own; the medians are
// printed at the end. The names file is built once in the temporary folder
// and reused by later runs. A third figure: the same key release while
// another workstation holds the names file locked, which must not freeze
// typing (the slot then stays as typed).

#include "database.h"
#include "dayview.h"
#include "namelookup.h"
#include "namesdatabase.h"
#include "qtprompts.h"
#include "slotedit.h"
#include "textrules.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr qint64 NameCount = 1'000'000;
const QString Table = QStringLiteral("PATIENTS");

// What is typed before the key release: prefixes spread over the alphabet.
const QStringList &typedPrefixes()
{
    static const QStringList prefixes = {
        QStringLiteral("BE"), QStringLiteral("DU"),  QStringLiteral("GAR"), QStringLiteral("LE"),
        QStringLiteral("MA"), QStringLiteral("PET"), QStringLiteral("RO"),  QStringLiteral("VI"),
    };
    return prefixes;
}

QString namesPath()
{
    return QDir::temp().filePath(QStringLiteral("planora-lookup-bench/NOMS-%1.db").arg(NameCount));
}

bool prepareNames()
{
    const QString path = namesPath();
    if (QFileInfo::exists(path))
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::fprintf(stderr, "Building %s (once)...\n", qPrintable(path));
    const Status status = NamesDatabase::create(path, NameCount);
    if (!status.ok()) {
        QFile::remove(path);
        std::fprintf(stderr, "%s\n", qPrintable(status.message()));
    }
    return status.ok();
}

// The literal way, for one key.
std::optional<QString> literalLookup(const QString &prefix)
{
    sqlite3 *db = nullptr;
    std::optional<QString> found;
    if (sqlite3_open_v2(namesPath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && registerTextRules(db) == SQLITE_OK) {
        const QString key = NameLookup::searchKey(prefix);
        const QByteArray sql = "SELECT*FROM " + Table.toUtf8() + " ORDER BY NOM COLLATE "
                               + TextRules::CollationName + ", PRENOM COLLATE " + TextRules::CollationName;
        sqlite3_stmt *rows = nullptr;
        sqlite3_prepare_v2(db, sql.constData(), -1, &rows, nullptr);
        const int nom = 0, prenom = 1; // the generated table's columns, in order
        while (rows && sqlite3_step(rows) == SQLITE_ROW) {
            const QString name = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(rows, nom)));
            if (TextRules::compare(name, key) >= 0) {
                found = name + QLatin1Char(' ')
                    + QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(rows, prenom)));
                break;
            }
        }
        sqlite3_finalize(rows);
    }
    sqlite3_close(db);
    return found;
}

// The prefix typed into the slot, then the release of its last key.
void typeAndRelease(SlotEdit *slot, const QString &prefix)
{
    slot->setText(prefix);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, prefix.right(1));
    QCoreApplication::sendEvent(slot, &release);
}

// Both ways must complete every prefix to the same name, or the figures
// compare different work.
bool sameNames()
{
    QtPrompts prompts;
    DayView view(prompts);
    view.setNameLookup(true, namesPath(), Table);
    SlotEdit *slot = view.slotEdit(0);
    for (const QString &prefix : typedPrefixes()) {
        typeAndRelease(slot, prefix);
        if (std::optional<QString>(slot->text()) != literalLookup(prefix)) {
            std::fprintf(stderr, "%s: the two ways disagree\n", qPrintable(prefix));
            return false;
        }
    }
    return true;
}

struct Medians
{
    double ours = 0;
    double literal = 0;
    double locked = 0;
};
Medians medians;

// Runs one timed key release per iteration and reports its median.
template<typename KeyRelease>
void timeKeyReleases(benchmark::State &state, double &median, KeyRelease keyRelease)
{
    std::vector<double> times;
    qsizetype next = 0;
    for (auto _ : state) {
        const QString &prefix = typedPrefixes()[next++ % typedPrefixes().size()];
        const auto start = std::chrono::steady_clock::now();
        const bool completed = keyRelease(prefix);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (!completed) {
            state.SkipWithError("no name found");
            return;
        }
        state.SetIterationTime(elapsed.count());
        times.push_back(elapsed.count() * 1000.0);
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    median = times[times.size() / 2];
    state.counters["median_ms"] = median;
}

void BM_KeyReleaseThroughDayView(benchmark::State &state)
{
    QtPrompts prompts; // the lookup never asks anything
    DayView view(prompts);
    view.setNameLookup(true, namesPath(), Table);
    SlotEdit *slot = view.slotEdit(5);
    timeKeyReleases(state, medians.ours, [slot](const QString &prefix) {
        typeAndRelease(slot, prefix);
        return slot->text().size() > prefix.size() && slot->cursorPosition() == prefix.size();
    });
}

void BM_KeyReleaseNamesLocked(benchmark::State &state)
{
    sqlite3 *writer = nullptr; // another workstation in the middle of a write
    if (sqlite3_open(namesPath().toUtf8().constData(), &writer) != SQLITE_OK
        || sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close(writer);
        state.SkipWithError("cannot lock the names file");
        return;
    }
    QtPrompts prompts;
    DayView view(prompts);
    view.setNameLookup(true, namesPath(), Table);
    SlotEdit *slot = view.slotEdit(5);
    timeKeyReleases(state, medians.locked, [slot](const QString &prefix) {
        typeAndRelease(slot, prefix);
        return slot->text() == prefix; // kept as typed
    });
    sqlite3_close(writer); // rolls back
}

void BM_KeyReleaseLiteral(benchmark::State &state)
{
    SlotEdit slot;
    timeKeyReleases(state, medians.literal, [&slot](const QString &prefix) {
        slot.setText(prefix);
        const std::optional<QString> name = literalLookup(prefix);
        if (name) {
            slot.setText(*name);
            slot.setCursorPosition(prefix.size());
        }
        return name.has_value();
    });
}

} // namespace

BENCHMARK(BM_KeyReleaseThroughDayView)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KeyReleaseNamesLocked)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_KeyReleaseLiteral)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(5.0);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!prepareNames() || !sameNames())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nName lookup, one key release, %lld names: median %.3f ms (target <= 1 ms); "
                "literal way (open + sorted view + step): median %.3f ms\n",
                static_cast<long long>(NameCount), medians.ours, medians.literal);
    std::printf("Names file locked by a writer: median %.3f ms per key release (target < 100 ms; "
                "the day cursor waits %d ms)\n",
                medians.locked, Database::DefaultBusyTimeoutMs);
    return 0;
}
