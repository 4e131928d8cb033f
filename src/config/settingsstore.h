#pragma once

#include <QString>

// The per-user settings store: text values addressed by application, section
// and key, names matched without regard to case. Each application is one INI
// file "<application in lower case>.ini" in the settings folder, one
// [section] per section name. Written atomically; a missing or unreadable
// file reads as all defaults.
class SettingsStore
{
public:
    explicit SettingsStore(QString folder = defaultFolder());

    // $XDG_CONFIG_HOME, or ~/.config when it is unset or empty.
    static QString defaultFolder();

    QString value(const QString &application, const QString &section, const QString &key,
                  const QString &defaultValue) const;
    [[nodiscard]] bool setValue(const QString &application, const QString &section,
                                const QString &key, const QString &value);

    QString filePath(const QString &application) const;
    const QString &folder() const { return m_folder; }

private:
    QString m_folder;
};

// The program's own settings: application "HIRONDEL", section "PLANORA".
namespace PlanoraSettings {
inline QString application() { return QStringLiteral("HIRONDEL"); }
inline QString section() { return QStringLiteral("PLANORA"); }
inline QString databasePathKey() { return QStringLiteral("CHEMIN"); }
inline QString userConfigFolderKey() { return QStringLiteral("CheminUt"); }
inline QString namesDatabaseKey() { return QStringLiteral("CheminNoms"); }
inline QString backupFolderKey() { return QStringLiteral("SAUVE"); }
} // namespace PlanoraSettings
