#include "settingsstore.h"

#include "atomicwrite.h"
#include "inidocument.h"

#include <QDir>
#include <QFile>

SettingsStore::SettingsStore(QString folder)
    : m_folder(std::move(folder))
{
}

QString SettingsStore::defaultFolder()
{
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configHome.isEmpty())
        return configHome;
    return QDir::homePath() + QStringLiteral("/.config");
}

QString SettingsStore::filePath(const QString &application) const
{
    return QDir(m_folder).filePath(application.toLower() + QStringLiteral(".ini"));
}

QString SettingsStore::value(const QString &application, const QString &section,
                             const QString &key, const QString &defaultValue) const
{
    QFile file(filePath(application));
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue;
    return IniDocument::fromBytes(file.readAll()).value(section, key).value_or(defaultValue);
}

bool SettingsStore::setValue(const QString &application, const QString &section,
                             const QString &key, const QString &value)
{
    if (application.isEmpty() || application.contains(u'/') || !IniDocument::isValidName(section)
        || !IniDocument::isValidName(key))
        return false;

    const QString path = filePath(application);
    QFile current(path);
    QByteArray bytes;
    if (current.exists()) {
        // The other values of the file must survive: one that cannot be read
        // is not replaced.
        if (!current.open(QIODevice::ReadOnly))
            return false;
        bytes = current.readAll();
    }
    IniDocument document = IniDocument::fromBytes(bytes);
    document.setValue(section, key, value);
    bytes = document.toUtf8();

    if (!QDir().mkpath(m_folder))
        return false;
    return writeFileAtomically(path, bytes);
}
