#include "practicesetup.h"

#include "agcfile.h"
#include "configfiles.h"
#include "databasefile.h"
#include "demopractice.h"
#include "namesdatabase.h"
#include "schemasql.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace PracticeSetup {

namespace {

const QString databaseFileName = u"AGENDAS.MDB"_s;
const QString usersFileName = u"Utilisat.agc"_s;

QString existingFile(const QString &folder, const QString &fileName)
{
    const QString path = AgcFile::locate(folder, fileName);
    return QFileInfo::exists(path) ? path : QString();
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The first patients of the names database, for the demo's appointments;
// none when it cannot be read (the demo then invents its own).
QList<NameGenerator::Patient> demoPatients(const QString &namesPath)
{
    constexpr int demoPatientCount = 400;
    SqliteConnection db;
    if (db.open(namesPath, SqliteConnection::Mode::ReadOnly) != 0)
        return {};
    const auto result = DatabaseFile::query(db, u"SELECT NOM, PRENOM FROM %1 ORDER BY rowid LIMIT %2"_s.arg(
                                                    NamesDatabase::tableName())
                                                    .arg(demoPatientCount));
    QList<NameGenerator::Patient> patients;
    for (const QStringList &row : result.rows)
        patients.append({row.at(0), row.at(1)});
    return patients;
}

} // namespace

UserConfig firstUsers()
{
    UserConfig users;
    for (UserEntry &user : users) {
        user.colour = SystemWindowColour;
        // Every user gets the usual captions, so that a user assigned later
        // in the configuration window starts with them too.
        user.topAnnotation = u"Echographies"_s;
        user.bottomAnnotation = u"Programme Bloc Opératoire"_s;
    }
    users[0].name = u"Dr Martin"_s;
    users[0].intervalIndex = 1; // 15 minutes
    return users;
}

Status init(const QString &folder, qint64 sampleNames, QStringList &notes, QDate demoToday)
{
    const bool demo = demoToday.isValid();
    const QString absolute = QFileInfo(folder).absoluteFilePath();
    if (QFileInfo(absolute).exists() && !QFileInfo(absolute).isDir())
        return Status::failure(u"%1 est un fichier, pas un dossier."_s.arg(shown(absolute)));
    if (!QDir().mkpath(absolute))
        return Status::failure(u"Impossible de créer le dossier %1."_s.arg(shown(absolute)));
    if (const QString database = existingFile(absolute, databaseFileName); !database.isEmpty())
        return Status::failure(u"%1 existe déjà : init ne remplace jamais une base existante."_s.arg(
            shown(database)));

    // AGENDAS.MDB comes last: after a failure on the way, init can simply be
    // run again, since what is already there is kept.
    if (const QString users = existingFile(absolute, usersFileName); !users.isEmpty()) {
        notes.append(u"%1 existe déjà : gardé tel quel."_s.arg(shown(users)));
    } else if (!ConfigFiles::writeUserConfigFile(absolute, demo ? DemoPractice::users() : firstUsers())) {
        return Status::failure(u"Impossible d'écrire %1."_s.arg(shown(absolute + u'/' + usersFileName)));
    } else {
        notes.append(u"Utilisateurs : %1"_s.arg(shown(absolute + u'/' + usersFileName)));
    }

    const QString namesPath = absolute + u'/' + NamesDatabase::fileName();
    if (const QString names = existingFile(absolute, NamesDatabase::fileName()); !names.isEmpty()) {
        notes.append(u"%1 existe déjà : gardée telle quelle, sans noms ajoutés."_s.arg(shown(names)));
    } else if (Status made = NamesDatabase::create(namesPath, sampleNames); !made.ok()) {
        return made;
    } else {
        notes.append(u"Base des noms : %1 (table %2, %3 noms)"_s.arg(shown(namesPath), NamesDatabase::tableName())
                         .arg(sampleNames));
    }

    const QString databasePath = absolute + u'/' + databaseFileName;
    const QList<NameGenerator::Patient> patients = demo ? demoPatients(namesPath) : QList<NameGenerator::Patient>();
    Status made = DatabaseFile::create(databasePath, [&](SqliteConnection &db) {
        Status status = DatabaseFile::execute(db, schemaSql);
        if (status.ok() && demo)
            status = DemoPractice::fill(db, demoToday, patients);
        return status;
    });
    if (!made.ok())
        return made;
    notes.append(u"Base créée : %1"_s.arg(shown(databasePath)));
    if (demo) {
        const DemoPractice::Weeks weeks = DemoPractice::weeksAround(demoToday);
        notes.append(u"Cabinet de démonstration : trois praticiens, rendez-vous du %1 au %2."_s.arg(
            weeks.first.toString(u"dd/MM/yyyy"_s), weeks.last.toString(u"dd/MM/yyyy"_s)));
    }
    return Status::success();
}

} // namespace PracticeSetup
