#include "namesdatabase.h"

#include "databasefile.h"
#include "namegenerator.h"
#include "sqlitestatement.h"
#include "textrules.h"

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace NamesDatabase {

namespace {

Status addSamples(SqliteConnection &db, qint64 count)
{
    SqliteStatement insert;
    if (insert.prepare(db.handle(), u"INSERT INTO PATIENTS (NOM, PRENOM) VALUES (?, ?)"_s) != SQLITE_OK)
        return Status::failure(u"Erreur de la base des noms : %1"_s.arg(db.lastErrorText()));
    NameGenerator generator;
    for (qint64 i = 0; i < count; ++i) {
        const NameGenerator::Patient patient = generator.next();
        insert.bind(1, patient.nom);
        insert.bind(2, patient.prenom);
        if (insert.step() != SqliteStatement::Step::Done)
            return Status::failure(u"Erreur de la base des noms : %1"_s.arg(db.lastErrorText()));
        insert.reset();
    }
    return Status::success();
}

} // namespace

Status create(const QString &path, qint64 sampleCount)
{
    return DatabaseFile::create(path, [sampleCount](SqliteConnection &db) {
        // The index is ordered by the same text rule as the lookup's search,
        // so that the lookup reads it instead of sorting the whole table;
        // whoever writes to this table must install that rule too.
        if (registerTextRules(db.handle()) != SQLITE_OK)
            return Status::failure(u"Erreur de la base des noms : %1"_s.arg(db.lastErrorText()));
        // The rows go in first and the index is built once at the end, in
        // the same transaction: much faster than keeping it sorted row by row.
        Status status = DatabaseFile::execute(db, "BEGIN;"
                                                  "CREATE TABLE PATIENTS (NOM TEXT, PRENOM TEXT);");
        if (status.ok())
            status = addSamples(db, sampleCount);
        const QByteArray collation(TextRules::CollationName);
        const QByteArray index = "CREATE INDEX PATIENTS_NOM_PRENOM ON PATIENTS (NOM COLLATE " + collation
                                 + ", PRENOM COLLATE " + collation + ");COMMIT;";
        if (status.ok())
            status = DatabaseFile::execute(db, index.constData());
        return status;
    });
}

} // namespace NamesDatabase
