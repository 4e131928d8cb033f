#include "schemaupgrade.h"

#include "databasefile.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace SchemaUpgrade {

Status upgrade(const QString &path, QStringList &notes)
{
    SqliteConnection db;
    if (Status opened = DatabaseFile::openExisting(path, db); !opened.ok())
        return opened;
    const QString shown = QDir::toNativeSeparators(path);
    int from = -1;
    if (Status upgraded = upgradeOpened(db, shown, from); !upgraded.ok())
        return upgraded;
    notes.append(from == currentVersion()
                     ? u"%1 est déjà à jour (version %2) : rien n'a été changé."_s.arg(shown).arg(from)
                     : u"%1 mise à jour de la version %2 à la version %3."_s.arg(shown).arg(from).arg(currentVersion()));
    return Status::success();
}

} // namespace SchemaUpgrade
