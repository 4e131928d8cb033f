#include "databasefile.h"

#include "databasecheck.h"
#include "sqlitestatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace DatabaseFile {

Status create(const QString &path, const std::function<Status(SqliteConnection &)> &fill)
{
    const QFileInfo target(path);
    const QString shownFolder = QDir::toNativeSeparators(target.absolutePath());
    // Reserve a unique name beside the target: SQLite takes an empty file
    // for a new database.
    QTemporaryFile temporary(target.absolutePath() + u'/' + target.fileName() + u".XXXXXX"_s);
    if (!temporary.open())
        return Status::failure(u"Impossible de créer un fichier dans %1 : %2"_s.arg(
            shownFolder, temporary.errorString()));
    temporary.close();
    // A temporary file is private to its owner; a file of the shared folder
    // must be as open as any file made there (the creation mask decides).
    const mode_t mask = umask(0);
    umask(mask);
    chmod(QFile::encodeName(temporary.fileName()).constData(), 0666 & ~mask);

    SqliteConnection db;
    if (db.open(temporary.fileName(), SqliteConnection::Mode::ReadWrite) != SQLITE_OK)
        return Status::failure(u"Impossible d'ouvrir un fichier nouveau dans %1."_s.arg(shownFolder));
    Status filled = fill(db);
    if (!filled.ok())
        return filled;
    // Closed before the rename, so that no journal is left to go with it.
    db.close();
    // QFile::rename never replaces an existing file: one that appeared
    // meanwhile at the target is kept.
    if (!QFile::rename(temporary.fileName(), path))
        return Status::failure(u"Impossible de créer %1 : le fichier existe déjà ou le dossier est en lecture seule."_s
                                   .arg(QDir::toNativeSeparators(path)));
    temporary.setAutoRemove(false);
    return Status::success();
}

SqliteConnection inMemory()
{
    SqliteConnection db;
    [[maybe_unused]] const int opened = db.open(u":memory:"_s, SqliteConnection::Mode::ReadWrite);
    Q_ASSERT(opened == SQLITE_OK);
    return db;
}

Status execute(SqliteConnection &db, const char *sql)
{
    if (db.exec(sql) == SQLITE_OK)
        return Status::success();
    return Status::failure(u"Erreur de la base de données : %1"_s.arg(db.lastErrorText()));
}

Status openExisting(const QString &path, SqliteConnection &db)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!QFileInfo::exists(path))
        return Status::failure(u"Le fichier %1 n'existe pas."_s.arg(shown));
    if (QFileInfo(path).isDir())
        return Status::failure(u"%1 est un dossier, pas un fichier de base de données."_s.arg(shown));
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(u"Le fichier %1 ne peut pas être lu : %2"_s.arg(shown, file.errorString()));
    if (const QString problem = DatabaseCheck::headerProblem(file.read(100), file.size()); !problem.isEmpty())
        return Status::failure(shown + u" : "_s + problem);
    if (!QFileInfo(path).isWritable() || db.open(path, SqliteConnection::Mode::ReadWrite) != SQLITE_OK)
        return Status::failure(u"Le fichier %1 ne peut pas être ouvert en écriture."_s.arg(shown));
    db.setBusyTimeout(10000);
    return Status::success();
}

Rows query(const SqliteConnection &db, const QString &sql, const QStringList &values)
{
    Rows result;
    SqliteStatement statement;
    if (statement.prepare(db.handle(), sql) != SQLITE_OK) {
        result.error = db.lastErrorText();
        return result;
    }
    for (qsizetype i = 0; i < values.size(); ++i)
        statement.bind(int(i + 1), values.at(i));
    SqliteStatement::Step step = SqliteStatement::Step::Row;
    while ((step = statement.step()) == SqliteStatement::Step::Row) {
        QStringList row;
        for (int column = 0; column < statement.columnCount(); ++column)
            row.append(statement.text(column));
        result.rows.append(row);
    }
    if (step == SqliteStatement::Step::Error)
        result.error = db.lastErrorText();
    return result;
}

} // namespace DatabaseFile
