#pragma once

#include "database.h"

#include <QDateTime>
#include <QString>

// Whole-file copies of an appointment database while workstations use it:
// backups, the check of a file offered for a restore, and the restore
// itself. Every copy goes through SQLite's backup API, which reads one
// consistent state of the source even while another workstation writes;
// a plain file copy would be torn by a save landing in the middle of it.
// No widget and no window text here: callers get an outcome and turn it
// into their own message (describe() offers a plain French one).
namespace DatabaseCopy {

enum class Outcome {
    Done,
    SourceMissing,     // no file at the source path
    SourceUnreadable,  // a folder, or a file that cannot be opened for reading
    NotPlanora,        // not SQLite, or SQLite without the six agenda tables
    Damaged,           // SQLite's integrity check fails
    Busy,              // another workstation held its lock longer than the wait allowed
    TargetUnwritable,  // the destination folder or file cannot be written
    SafetyCopyFailed,  // a restore could not keep the live database first: nothing done
    Failed,            // any other error while copying (disk full, I/O error...)
    SameFile,          // source and destination are one file: nothing done
};

struct Result
{
    Outcome outcome = Outcome::Done;
    QString detail; // SQLite's or the system's own words, for a message or a log

    bool ok() const { return outcome == Outcome::Done; }
};

// Copies the database at `source` to `destination`: into a temporary file of
// the destination's folder first, checked (integrity, the six tables), then
// renamed over `destination` in one step. An earlier file at `destination`
// is replaced; a failure leaves it as it was and leaves no temporary file.
[[nodiscard]] Result snapshot(const QString &source, const QString &destination,
                              int busyTimeoutMs = Database::DefaultBusyTimeoutMs);

// Whether `path` is a whole PLANORA database: an SQLite file that passes its
// integrity check and holds the tables RVOUS1 to RVOUS6 with their columns.
// Read only; the file is never changed.
[[nodiscard]] Result check(const QString &path);

// The name of the copy of `liveDatabase` kept before a restore, beside it:
// "AGENDAS.MDB" restored at 14:05:09 on 6 December 2026 is kept as
// "AGENDAS-avant-restauration-20261206-140509.MDB".
QString safetyCopyPath(const QString &liveDatabase, const QDateTime &when);

// Replaces the content of the live database with the one of `backup`:
// `backup` is checked first, the live database is snapshotted to
// `safetyCopy`, and only then is `backup` written into the live file
// through the backup API, in one transaction, so that a workstation reading
// it sees the old content or the new one and never a mix. The live file
// keeps its name, inode and permissions. Any failure before the write leaves
// the live database untouched. A live file that is itself damaged is kept
// byte for byte as the safety copy and replaced by a copy of `backup`; with
// no live file at all, `backup` is copied to its place and nothing is kept.
// A backup from an older schema version is then brought to the current one
// (as "planora-admin upgrade" does), so that the day history goes on.
[[nodiscard]] Result restore(const QString &backup, const QString &liveDatabase, const QString &safetyCopy,
                             int busyTimeoutMs = Database::DefaultBusyTimeoutMs);

// A French sentence for an outcome about `path`, for callers without texts
// of their own (the supervisor's tool).
QString describe(const Result &result, const QString &path);

} // namespace DatabaseCopy
