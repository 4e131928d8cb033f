#include "databasecopy.h"

#include "schemasteps.h"
#include "sqliteconnection.h"
#include "sqlitestatement.h"

#include <sqlite3.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace DatabaseCopy {

namespace {

constexpr int UserTableCount = 6;
constexpr int RetryPauseMs = 50;

Result failure(Outcome outcome, const QString &detail)
{
    return Result{outcome, detail};
}

QString sqliteWords(int rc)
{
    return QString::fromUtf8(sqlite3_errstr(rc));
}

// What went wrong with an SQLite call on the file being written.
Outcome writeOutcome(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Outcome::Busy;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return Outcome::TargetUnwritable;
    default:
        return Outcome::Failed;
    }
}

// What went wrong with an SQLite call on the file being read.
Outcome readOutcome(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Outcome::Busy;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return Outcome::SourceUnreadable;
    case SQLITE_NOTADB:
        return Outcome::NotPlanora;
    case SQLITE_CORRUPT:
        return Outcome::Damaged;
    default:
        return Outcome::Failed;
    }
}

// The file itself, before SQLite sees it: there, a regular file, readable,
// and starting as an SQLite database does (an empty file would open as an
// empty database).
Result checkFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        return failure(Outcome::SourceMissing, QString());
    }
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        return failure(Outcome::SourceUnreadable, info.isDir() ? QString() : file.errorString());
    }
    if (!file.read(16).startsWith(QByteArrayView("SQLite format 3\0", 16))) {
        return failure(Outcome::NotPlanora, QString());
    }
    return Result{};
}

Result openToRead(SqliteConnection &connection, const QString &path, int busyTimeoutMs)
{
    if (Result file = checkFile(path); !file.ok()) {
        return file;
    }
    const int rc = connection.open(path, SqliteConnection::Mode::ReadOnly);
    if (rc != SQLITE_OK) {
        return failure(readOutcome(rc), sqliteWords(rc));
    }
    connection.setBusyTimeout(busyTimeoutMs);
    return Result{};
}

Result integrity(const SqliteConnection &connection)
{
    SqliteStatement statement;
    int rc = statement.prepare(connection.handle(), QStringLiteral("PRAGMA integrity_check(5)"));
    QStringList lines;
    while (rc == SQLITE_OK && statement.step() == SqliteStatement::Step::Row) {
        lines << statement.text(0);
    }
    if (rc == SQLITE_OK) {
        rc = statement.lastResultCode();
    }
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        return failure(readOutcome(rc) == Outcome::Failed ? Outcome::Damaged : readOutcome(rc), sqliteWords(rc));
    }
    if (lines != QStringList{QStringLiteral("ok")}) {
        return failure(Outcome::Damaged, lines.join(QLatin1Char('\n')));
    }
    return Result{};
}

// The six agenda tables, each with every field a day record is kept in.
Result agendaTables(const SqliteConnection &connection)
{
    static const QStringList fields = {
        QStringLiteral("AGENDATE"), QStringLiteral("RVOUS"),       QStringLiteral("POSTIT"),
        QStringLiteral("BLOC"),     QStringLiteral("ABSENT1"),     QStringLiteral("ABSENT1_TXT"),
        QStringLiteral("ABSENT2"),  QStringLiteral("ABSENT2_TXT"), QStringLiteral("ECHO1"),
        QStringLiteral("ECHO1_TXT"), QStringLiteral("ECHO2"),      QStringLiteral("ECHO2_TXT"),
        QStringLiteral("COCHE")};
    for (int user = 1; user <= UserTableCount; ++user) {
        const QString table = QStringLiteral("RVOUS%1").arg(user);
        SqliteStatement statement;
        const int rc = statement.prepare(connection.handle(),
                                         QStringLiteral("SELECT upper(name) FROM pragma_table_info(?1)"));
        if (rc != SQLITE_OK) {
            return failure(readOutcome(rc), sqliteWords(rc));
        }
        statement.bind(1, table);
        QSet<QString> found;
        while (statement.step() == SqliteStatement::Step::Row) {
            found.insert(statement.text(0));
        }
        if (statement.lastResultCode() != SQLITE_DONE) {
            return failure(readOutcome(statement.lastResultCode()), sqliteWords(statement.lastResultCode()));
        }
        for (const QString &field : fields) {
            if (!found.contains(field)) {
                return failure(Outcome::NotPlanora, found.isEmpty() ? table : table + QLatin1Char('.') + field);
            }
        }
    }
    return Result{};
}

Result checkOpened(const SqliteConnection &connection)
{
    Result result = integrity(connection);
    return result.ok() ? agendaTables(connection) : result;
}

// Copies every page of `from` into `to` in one step, so that the read lock
// on `from` is held from the first page to the last: the copy is one state
// of the source. While another workstation holds the lock that blocks it
// (writing its journal out, or reading `to` while it is being replaced),
// tries again until the wait allowed is over. Returns SQLite's result code.
int copyPages(const SqliteConnection &from, const SqliteConnection &to, int busyTimeoutMs)
{
    sqlite3_backup *backup = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
    if (!backup) {
        return sqlite3_errcode(to.handle());
    }
    QElapsedTimer waited;
    waited.start();
    int rc = sqlite3_backup_step(backup, -1);
    while ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && waited.elapsed() < busyTimeoutMs) {
        sqlite3_sleep(RetryPauseMs);
        rc = sqlite3_backup_step(backup, -1);
    }
    const int finished = sqlite3_backup_finish(backup);
    return rc == SQLITE_DONE ? finished : rc;
}

// A temporary file beside `destination` that is removed, with any journal
// SQLite left, unless it was renamed over the destination. It is made as
// any new file (the umask decides, not QTemporaryFile's owner-only mode), or
// with the permissions of the file it will replace, so that the other
// workstations can read the copy.
class TemporaryCopy
{
public:
    explicit TemporaryCopy(QString destination)
        : m_destination(std::move(destination))
    {
    }
    ~TemporaryCopy()
    {
        if (!m_renamed && !m_path.isEmpty()) {
            QFile::remove(m_path);
            QFile::remove(m_path + QStringLiteral("-journal"));
        }
    }
    TemporaryCopy(const TemporaryCopy &) = delete;
    TemporaryCopy &operator=(const TemporaryCopy &) = delete;

    bool create()
    {
        constexpr int Attempts = 20;
        for (int attempt = 0; attempt < Attempts; ++attempt) {
            QFile file(m_destination + QLatin1Char('.')
                       + QString::number(QRandomGenerator::global()->generate(), 36) + QStringLiteral(".tmp"));
            if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                m_path = file.fileName();
                if (QFileInfo::exists(m_destination)) {
                    file.setPermissions(QFile::permissions(m_destination));
                }
                return true;
            }
            m_error = file.errorString();
            if (!QFileInfo::exists(file.fileName())) {
                return false; // not a name already taken: trying others will not help
            }
        }
        return false;
    }
    QString path() const { return m_path; }
    QString errorString() const { return m_error; }

    // Unlike QFile::rename, replaces an existing destination, in one step.
    bool renameOver()
    {
        m_renamed = std::rename(QFile::encodeName(m_path).constData(),
                                QFile::encodeName(m_destination).constData())
                    == 0;
        return m_renamed;
    }

private:
    QString m_destination;
    QString m_path;
    QString m_error;
    bool m_renamed = false;
};

// Whether both paths name one existing file (through links or "..").
bool sameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

Result rawCopy(const QString &source, const QString &destination)
{
    QFile::remove(destination);
    QFile file(source);
    if (!file.copy(destination)) {
        return failure(Outcome::Failed, file.errorString());
    }
    return Result{};
}

} // namespace

Result snapshot(const QString &source, const QString &destination, int busyTimeoutMs)
{
    SqliteConnection from;
    if (Result opened = openToRead(from, source, busyTimeoutMs); !opened.ok()) {
        return opened;
    }
    if (QFileInfo(destination).isDir()) {
        return failure(Outcome::TargetUnwritable, QString());
    }
    // Renaming a copy over the file itself would leave the workstations that
    // have it open writing into a deleted file.
    if (sameFile(source, destination)) {
        return failure(Outcome::SameFile, QString());
    }
    TemporaryCopy copy(destination);
    if (!copy.create()) {
        return failure(Outcome::TargetUnwritable, copy.errorString());
    }
    {
        SqliteConnection to;
        int rc = to.open(copy.path(), SqliteConnection::Mode::ReadWrite);
        if (rc == SQLITE_OK) {
            rc = to.exec("PRAGMA synchronous=FULL");
        }
        if (rc == SQLITE_OK) {
            rc = copyPages(from, to, busyTimeoutMs);
        }
        from.close();
        if (rc != SQLITE_OK) {
            // A busy or unreadable source counts against the source, the rest against the copy.
            return failure(rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT ? readOutcome(rc) : writeOutcome(rc),
                           sqliteWords(rc));
        }
        if (Result checked = checkOpened(to); !checked.ok()) {
            return checked;
        }
    }
    if (!copy.renameOver()) {
        return failure(Outcome::TargetUnwritable, QString::fromLocal8Bit(std::strerror(errno)));
    }
    return Result{};
}

Result check(const QString &path)
{
    SqliteConnection connection;
    Result result = openToRead(connection, path, Database::DefaultBusyTimeoutMs);
    return result.ok() ? checkOpened(connection) : result;
}

QString safetyCopyPath(const QString &liveDatabase, const QDateTime &when)
{
    const QFileInfo live(liveDatabase);
    const QString name = live.completeBaseName() + QStringLiteral("-avant-restauration-")
                         + when.toString(QStringLiteral("yyyyMMdd-HHmmss"))
                         + (live.suffix().isEmpty() ? QString() : QLatin1Char('.') + live.suffix());
    return QDir(live.path()).filePath(name);
}

namespace {

// A backup made by an older version lacks what came since (the day history
// and its triggers): the restored file gets the steps past its version.
// One from a newer version is left as that version wrote it.
Result bringUpToDate(SqliteConnection &live, const QString &liveDatabase)
{
    int from = -1;
    const Status upgraded = SchemaUpgrade::upgradeOpened(live, QDir::toNativeSeparators(liveDatabase), from);
    if (upgraded.ok() || from > SchemaUpgrade::currentVersion()) {
        return Result{};
    }
    return failure(Outcome::Failed, upgraded.message());
}

// A copy of the backup in place of a live file that is missing or beyond use.
Result replaceWith(const QString &backup, const QString &liveDatabase, int busyTimeoutMs)
{
    if (Result copied = snapshot(backup, liveDatabase, busyTimeoutMs); !copied.ok()) {
        return copied;
    }
    SqliteConnection live;
    const int rc = live.open(liveDatabase, SqliteConnection::Mode::ReadWrite);
    if (rc != SQLITE_OK) {
        return failure(writeOutcome(rc), sqliteWords(rc));
    }
    live.setBusyTimeout(busyTimeoutMs);
    return bringUpToDate(live, liveDatabase);
}

} // namespace

Result restore(const QString &backup, const QString &liveDatabase, const QString &safetyCopy, int busyTimeoutMs)
{
    if (Result checked = check(backup); !checked.ok()) {
        return checked;
    }
    if (sameFile(backup, liveDatabase)) {
        return failure(Outcome::SameFile, QString());
    }
    if (!QFileInfo::exists(liveDatabase)) {
        return replaceWith(backup, liveDatabase, busyTimeoutMs);
    }
    const Result kept = snapshot(liveDatabase, safetyCopy, busyTimeoutMs);
    if (!kept.ok()) {
        // A live file that is no sound database is of no use to any
        // workstation: keep its bytes as they are and put the backup in its place.
        if (kept.outcome != Outcome::Damaged && kept.outcome != Outcome::NotPlanora) {
            return failure(Outcome::SafetyCopyFailed, kept.detail);
        }
        if (Result raw = rawCopy(liveDatabase, safetyCopy); !raw.ok()) {
            return failure(Outcome::SafetyCopyFailed, raw.detail);
        }
        return replaceWith(backup, liveDatabase, busyTimeoutMs);
    }

    SqliteConnection from;
    if (Result opened = openToRead(from, backup, busyTimeoutMs); !opened.ok()) {
        return opened;
    }
    SqliteConnection to;
    int rc = to.open(liveDatabase, SqliteConnection::Mode::ReadWrite);
    if (rc == SQLITE_OK) {
        to.setBusyTimeout(busyTimeoutMs);
        rc = copyPages(from, to, busyTimeoutMs);
    }
    if (rc != SQLITE_OK) {
        return failure(writeOutcome(rc), sqliteWords(rc));
    }
    return bringUpToDate(to, liveDatabase);
}

QString describe(const Result &result, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QString detail = result.detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(result.detail);
    switch (result.outcome) {
    case Outcome::Done:
        return QStringLiteral("Copie de %1 terminée.").arg(shown);
    case Outcome::SourceMissing:
        return QStringLiteral("Le fichier %1 n'existe pas.").arg(shown);
    case Outcome::SourceUnreadable:
        return QStringLiteral("Le fichier %1 ne peut pas être lu%2.").arg(shown, detail);
    case Outcome::NotPlanora:
        return QStringLiteral("Le fichier %1 n'est pas une base de données PLANORA%2.").arg(shown, detail);
    case Outcome::Damaged:
        return QStringLiteral("La base de données %1 est endommagée%2.").arg(shown, detail);
    case Outcome::Busy:
        return QStringLiteral("La base de données %1 est restée occupée par un autre poste : "
                              "réessayez dans un instant.")
            .arg(shown);
    case Outcome::TargetUnwritable:
        return QStringLiteral("Impossible d'écrire la copie de %1 : dossier ou fichier protégé en écriture%2.")
            .arg(shown, detail);
    case Outcome::SafetyCopyFailed:
        return QStringLiteral("La copie de sécurité de la base actuelle n'a pas pu être faite%1 : "
                              "rien n'a été restauré.")
            .arg(detail);
    case Outcome::SameFile:
        return QStringLiteral("La copie de %1 se ferait sur le fichier lui-même : rien n'a été fait.").arg(shown);
    case Outcome::Failed:
        break;
    }
    return QStringLiteral("La copie de %1 a échoué%2.").arg(shown, detail);
}

} // namespace DatabaseCopy
