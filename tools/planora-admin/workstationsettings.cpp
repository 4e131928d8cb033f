#include "workstationsettings.h"

#include "agcfile.h"
#include "configfiles.h"
#include "lookupfolder.h"
#include "namesdatabase.h"
#include "settingsstore.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QString databaseFileName = u"AGENDAS.MDB"_s;
const QString lookupFileName = u"Alpha.agc"_s;

QString absolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

Status WorkstationSettings::write(SettingsStore &store, QStringList &notes) const
{
    const QString database = absolute(databasePath);
    const QString users = absolute(usersFolder);
    const QString names = absolute(namesPath);
    const QString program = absolute(programFolder);

    // The program refuses a CHEMIN that does not end in AGENDAS.MDB, in
    // capitals; better to say so now than at its start.
    if (!database.endsWith(databaseFileName))
        return Status::failure(u"--database doit désigner un fichier nommé AGENDAS.MDB (en majuscules), pas %1."_s
                                   .arg(shown(database)));
    if (!QFileInfo(program).isDir())
        return Status::failure(u"Le dossier du programme %1 n'existe pas."_s.arg(shown(program)));

    if (!QFileInfo(database).isFile())
        notes.append(u"Attention : %1 n'existe pas (encore)."_s.arg(shown(database)));
    if (!QFileInfo(users).isDir())
        notes.append(u"Attention : le dossier %1 n'existe pas (encore)."_s.arg(shown(users)));
    if (!QFileInfo(names).isFile())
        notes.append(u"Attention : %1 n'existe pas (encore)."_s.arg(shown(names)));

    const struct
    {
        QString key;
        QString value;
    } values[] = {{PlanoraSettings::databasePathKey(), database},
                  {PlanoraSettings::userConfigFolderKey(), users},
                  {PlanoraSettings::namesDatabaseKey(), names}};
    for (const auto &[key, value] : values) {
        if (!store.setValue(PlanoraSettings::application(), PlanoraSettings::section(), key, value))
            return Status::failure(u"Impossible d'écrire les réglages dans %1."_s.arg(
                shown(store.filePath(PlanoraSettings::application()))));
        notes.append(u"%1 = %2"_s.arg(key, value));
    }

    // Where the program will read it: beside it, or in the user's own folder
    // when the program is installed in a folder the user cannot write.
    const QString lookupFile =
        AgcFile::locate(LookupFolder::of(program, LookupFolder::Use::Writing), lookupFileName);
    if (QFileInfo::exists(lookupFile) && tableName.isEmpty()) {
        notes.append(u"%1 existe déjà : gardé tel quel (--table pour le remplacer)."_s.arg(shown(lookupFile)));
        return Status::success();
    }
    const LookupSettings lookup{true, tableName.isEmpty() ? NamesDatabase::tableName() : tableName};
    if (!ConfigFiles::writeLookupSettings(program, lookup))
        return Status::failure(u"Impossible d'écrire %1."_s.arg(shown(lookupFile)));
    notes.append(u"%1 : recherche des noms activée, table %2"_s.arg(shown(lookupFile), lookup.tableName));
    return Status::success();
}
