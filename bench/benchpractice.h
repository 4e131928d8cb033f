#pragma once

// What the main window's benchmarks share: a practice of 20 years x 6 users
// of full days (53 filled slots each), generated once into the temporary
// folder and reused, settings pointing at it, and the peak memory.
#include "clock.h"
#include "configfiles.h"
#include "datenumber.h"
#include "dayrecord.h"
#include "environment.h"
#include "fakeprompts.h"
#include "settingsstore.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <sys/resource.h>

namespace BenchPractice {

inline constexpr int Users = 6;
inline constexpr qint32 FirstDay = 37622; // 1 January 2003
inline constexpr qint32 DayCount = 7305;  // 20 years

inline bool exec(sqlite3 *db, const QByteArray &sql)
{
    return sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

inline QString fullRvous(qint32 date, int user)
{
    std::array<QString, SlotCount> slots;
    for (int i = 0; i < SlotCount; ++i)
        slots[std::size_t(i)] = QStringLiteral("PATIENT%1 Prénom%2 06 12 34 56 78 contrôle").arg(date % 997 + i).arg(user);
    return DayEncoding::encodeSlots(slots);
}

// Plain SQLite in one transaction, renamed into place only when complete so
// that an interrupted run never leaves a short file to be reused. With
// withRows false: the same file with its six tables empty.
inline QString database(bool withRows)
{
    QFile schemaFile(QStringLiteral(PLANORA_SCHEMA_FILE));
    if (!schemaFile.open(QIODevice::ReadOnly))
        return {};
    const QByteArray schema = schemaFile.readAll();
    // One folder per schema, so that a file made by an older one is not reused.
    const QString folder =
        QDir::temp().filePath(QStringLiteral("planora-app-bench-%1").arg(qHash(schema), 0, 16));
    const QString path = QDir(folder).filePath(withRows ? QStringLiteral("full/AGENDAS.MDB")
                                                        : QStringLiteral("empty/AGENDAS.MDB"));
    if (QFile::exists(path))
        return path;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString partial = path + QStringLiteral(".partial");
    QFile::remove(partial);
    sqlite3 *db = nullptr;
    sqlite3_open(partial.toUtf8().constData(), &db);
    bool ok = exec(db, schema) && exec(db, "BEGIN");
    std::array<bool, SlotCount> checks{};
    checks[3] = checks[17] = true;
    const QByteArray coche = DayEncoding::encodeChecks(checks).toUtf8();
    for (int user = 1; ok && withRows && user <= Users; ++user) {
        sqlite3_stmt *insert = nullptr;
        const QByteArray sql = QStringLiteral("INSERT INTO RVOUS%1(AGENDATE, RVOUS, Postit, Bloc, COCHE) "
                                              "VALUES (?, ?, 'Rappeler le laboratoire', '8h hernie', ?)")
                                   .arg(user).toUtf8();
        ok = sqlite3_prepare_v2(db, sql.constData(), -1, &insert, nullptr) == SQLITE_OK;
        for (qint32 date = FirstDay; ok && date < FirstDay + DayCount; ++date) {
            const QByteArray rvous = fullRvous(date, user).toUtf8();
            // Parameters count from 1.
            sqlite3_bind_int(insert, 1, date);
            sqlite3_bind_text(insert, 2, rvous.constData(), int(rvous.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, coche.constData(), int(coche.size()), SQLITE_TRANSIENT);
            ok = sqlite3_step(insert) == SQLITE_DONE;
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    ok = ok && exec(db, "COMMIT");
    sqlite3_close(db);
    return ok && QFile::rename(partial, path) ? path : QString();
}

// A workstation: its settings and program folder in a temporary folder,
// Utilisat.agc with six users on a 15-minute grid beside the database.
class Workstation
{
public:
    Workstation(const QString &databasePath, QDate today)
        : clock(today)
    {
        SettingsStore settings(m_folder.path());
        const QString shared = QFileInfo(databasePath).absolutePath();
        const QString app = PlanoraSettings::application();
        const QString section = PlanoraSettings::section();
        m_ready = settings.setValue(app, section, PlanoraSettings::databasePathKey(), databasePath)
            && settings.setValue(app, section, PlanoraSettings::userConfigFolderKey(), shared);
        UserConfig users;
        for (int user = 0; user < Users; ++user)
            users[std::size_t(user)] = {QStringLiteral("Docteur %1").arg(user + 1), SystemWindowColour, 1,
                                        QStringLiteral("Echographies"), QStringLiteral("Bloc")};
        m_ready = m_ready && ConfigFiles::writeUserConfigFile(shared, users);
    }

    bool ready() const { return m_ready; }
    Environment environment() { return {&prompts, &clock, m_folder.path(), m_folder.path()}; }

    FakePrompts prompts;
    FixedClock clock;

private:
    QTemporaryDir m_folder;
    bool m_ready = false;
};

// Peak resident memory of the process so far, in megabytes.
inline double peakMemoryMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // ru_maxrss is in kilobytes on Linux
}

// Runs the registered benchmarks inside a QApplication (they build windows),
// offscreen unless a platform is asked for.
inline void runWithApplication(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}

} // namespace BenchPractice
