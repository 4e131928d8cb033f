#include "schemasteps.h"

#include "schemasql.h"
#include "sqlitestatement.h"

#include <QRegularExpression>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace SchemaUpgrade {

namespace {

// The first column of the query's single row, or -1 when it cannot be read.
qint64 number(const SqliteConnection &db, const QString &sql)
{
    SqliteStatement statement;
    if (statement.prepare(db.handle(), sql) != SQLITE_OK || statement.step() != SqliteStatement::Step::Row)
        return -1;
    return statement.integer(0);
}

Status execute(SqliteConnection &db, const char *sql)
{
    if (db.exec(sql) == SQLITE_OK)
        return Status::success();
    return Status::failure(u"Erreur de la base de données : %1"_s.arg(db.lastErrorText()));
}

} // namespace

const QList<Step> &steps()
{
    static const QList<Step> parsed = [] {
        static const QRegularExpression end(u"PRAGMA\\s+user_version\\s*=\\s*(\\d+)\\s*;"_s,
                                            QRegularExpression::CaseInsensitiveOption);
        const QString schema = QString::fromUtf8(schemaSql);
        QList<Step> found;
        qsizetype start = 0;
        for (const QRegularExpressionMatch &match : end.globalMatch(schema)) {
            found.append({match.captured(1).toInt(), schema.mid(start, match.capturedEnd() - start)});
            start = match.capturedEnd();
        }
        return found;
    }();
    return parsed;
}

int currentVersion()
{
    return steps().isEmpty() ? 0 : steps().constLast().version;
}

int versionOf(const SqliteConnection &db)
{
    const qint64 stored = number(db, u"PRAGMA user_version"_s);
    const qint64 dayTables =
        number(db, u"SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = 'RVOUS1'"_s);
    if (stored < 0 || dayTables < 0)
        return -1;
    return stored == 0 && dayTables == 1 ? 1 : int(stored);
}

Status upgradeOpened(SqliteConnection &db, const QString &shown, int &from)
{
    from = -1;
    if (Status begun = execute(db, "BEGIN IMMEDIATE"); !begun.ok())
        return begun;
    from = versionOf(db);
    Status status = Status::success();
    if (from < 1) {
        status = Status::failure(u"%1 n'est pas une base d'agendas PLANORA (pas de table RVOUS1)."_s.arg(shown));
    } else if (from > currentVersion()) {
        status = Status::failure(u"%1 est en version %2, plus récente que celle de cet outil (%3) : "
                                 "utilisez un planora-admin plus récent."_s.arg(shown).arg(from).arg(currentVersion()));
    }
    for (const Step &step : steps()) {
        if (status.ok() && step.version > from)
            status = execute(db, step.sql.toUtf8().constData());
    }
    if (status.ok())
        status = execute(db, "COMMIT");
    if (!status.ok())
        db.exec("ROLLBACK");
    return status;
}

} // namespace SchemaUpgrade
