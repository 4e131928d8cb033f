#include "schemaupgrade.h"

#include "databasefile.h"
#include "schemasql.h"

#include <QDir>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace SchemaUpgrade {

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
    const DatabaseFile::Rows version = DatabaseFile::query(db, u"PRAGMA user_version"_s);
    const DatabaseFile::Rows dayTables =
        DatabaseFile::query(db, u"SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = 'RVOUS1'"_s);
    if (!version.error.isEmpty() || !dayTables.error.isEmpty())
        return -1;
    const int stored = version.rows.value(0).value(0).toInt();
    return stored == 0 && dayTables.rows.value(0).value(0) == u"1"_s ? 1 : stored;
}

Status upgrade(const QString &path, QStringList &notes)
{
    SqliteConnection db;
    if (Status opened = DatabaseFile::openExisting(path, db); !opened.ok())
        return opened;
    const QString shown = QDir::toNativeSeparators(path);
    // IMMEDIATE: no workstation writes between the version read and the
    // last step, and a failure anywhere leaves the file as it was.
    if (Status begun = DatabaseFile::execute(db, "BEGIN IMMEDIATE"); !begun.ok())
        return begun;
    const int from = versionOf(db);
    Status status = Status::success();
    if (from < 1) {
        status = Status::failure(u"%1 n'est pas une base d'agendas PLANORA (pas de table RVOUS1)."_s.arg(shown));
    } else if (from > currentVersion()) {
        status = Status::failure(u"%1 est en version %2, plus récente que celle de cet outil (%3) : "
                                 "utilisez un planora-admin plus récent."_s.arg(shown).arg(from).arg(currentVersion()));
    }
    for (const Step &step : steps()) {
        if (status.ok() && step.version > from)
            status = DatabaseFile::execute(db, step.sql.toUtf8().constData());
    }
    if (status.ok())
        status = DatabaseFile::execute(db, "COMMIT");
    if (!status.ok()) {
        db.exec("ROLLBACK");
        return status;
    }
    notes.append(from == currentVersion()
                     ? u"%1 est déjà à jour (version %2) : rien n'a été changé."_s.arg(shown).arg(from)
                     : u"%1 mise à jour de la version %2 à la version %3."_s.arg(shown).arg(from).arg(currentVersion()));
    return Status::success();
}

} // namespace SchemaUpgrade
