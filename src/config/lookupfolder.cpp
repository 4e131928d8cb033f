#include "lookupfolder.h"

#include "agcfile.h"
#include "settingsstore.h"

#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace LookupFolder {

bool isWritableFolder(const QString &folder)
{
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

QString of(const QString &programFolder, Use use, const QString &userFolder, const WritableTest &writable)
{
    if (writable(programFolder))
        return programFolder;
    const QString own = userFolder.isEmpty() ? SettingsStore::defaultFolder() + QStringLiteral("/planora") : userFolder;
    if (use == Use::Writing || QFileInfo::exists(AgcFile::locate(own, QStringLiteral("Alpha.agc"))))
        return own;
    return programFolder;
}

} // namespace LookupFolder
