#pragma once

#include "settingsstore.h"
#include "userconfig.h"

#include <QString>

// Utilisat.agc (the six users) and Alpha.agc (the name lookup switch and
// table): comma-separated records, CR LF line ends, written in UTF-8 and read
// as UTF-8 when valid, as Windows-1252 otherwise. File names are found
// without regard to case.

struct UserConfigRead
{
    UserConfig users;
    bool valid = true;  // false when the values did not fill whole records
    bool found = true;  // false when the file is missing or cannot be read
    QString message;    // the message to show when not valid or not found
};

struct LookupSettings
{
    bool enabled = false;
    QString tableName;
    bool operator==(const LookupSettings &) const = default;
};

struct LookupSettingsRead
{
    LookupSettings settings;
    bool valid = true;
    QString message;
};

namespace ConfigFiles {

// The folder of Utilisat.agc: the setting CheminUt, the program's folder when
// it is empty or missing.
QString userConfigFolder(const SettingsStore &settings, const QString &programFolder);

UserConfigRead readUserConfig(const QString &folder);
// Writes Utilisat.agc into the folder CheminUt names at this moment.
[[nodiscard]] bool writeUserConfig(const SettingsStore &settings, const QString &programFolder,
                                   const UserConfig &users);
[[nodiscard]] bool writeUserConfigFile(const QString &folder, const UserConfig &users);

LookupSettingsRead readLookupSettings(const QString &programFolder);
[[nodiscard]] bool writeLookupSettings(const QString &programFolder, const LookupSettings &lookup);

} // namespace ConfigFiles
