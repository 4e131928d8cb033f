#include "configfiles.h"

#include "agcfile.h"
#include "lookupfolder.h"

#include <QDir>

namespace {

const QString UserConfigFileName = QStringLiteral("Utilisat.agc");
const QString LookupFileName = QStringLiteral("Alpha.agc");

// Utilisat.agc holds one record of 30 values grouped by field, not by user:
// the six names, then the six colours, the six interval indexes, the six top
// annotations and the six bottom annotations.
enum class UserField { Name, Colour, Interval, TopAnnotation, BottomAnnotation };
constexpr std::array FieldOrder = {UserField::Name, UserField::Colour, UserField::Interval,
                                   UserField::TopAnnotation, UserField::BottomAnnotation};
constexpr int UserConfigRecordSize = int(FieldOrder.size()) * UserCount;

constexpr int LookupRecordSize = 2;

void storeUserValue(UserConfig &users, int position, const AgcValue &value)
{
    UserEntry &entry = users[position % UserCount];
    switch (FieldOrder[position / UserCount]) {
    case UserField::Name:
        entry.name = value.toText();
        break;
    case UserField::Colour:
        entry.colour = value.toInt32(); // kept as read: applied only when it is a colour
        break;
    case UserField::Interval:
        // An empty or non-numeric value is no choice: the index stays as it was
        // (-1 for a fresh entry), and the main window lays out no grid for it,
        // as for any index outside 0..4, rather than guessing a 10-minute grid.
        entry.intervalIndex = value.toInt16().value_or(entry.intervalIndex);
        break;
    case UserField::TopAnnotation:
        entry.topAnnotation = value.toText();
        break;
    case UserField::BottomAnnotation:
        entry.bottomAnnotation = value.toText();
        break;
    }
}

AgcValue userValue(const UserConfig &users, int position)
{
    const UserEntry &entry = users[position % UserCount];
    switch (FieldOrder[position / UserCount]) {
    case UserField::Name:
        return AgcValue::text(entry.name);
    case UserField::Colour:
        // A colour that was never one is written as the configuration
        // window's default.
        return AgcValue::number(entry.colour.value_or(SystemWindowColour));
    case UserField::Interval:
        return AgcValue::number(entry.intervalIndex);
    case UserField::TopAnnotation:
        return AgcValue::text(entry.topAnnotation);
    case UserField::BottomAnnotation:
        break;
    }
    return AgcValue::text(entry.bottomAnnotation);
}

// "Fichier <folder>/<file name>" as the messages begin, with the platform's
// separator whatever the folder ends with.
QString filePhrase(const QString &folder, const QString &fileName)
{
    return QStringLiteral("Fichier ") + folder + QDir::separator() + fileName;
}

} // namespace

namespace ConfigFiles {

QString userConfigFolder(const SettingsStore &settings, const QString &programFolder)
{
    const QString folder = settings.value(PlanoraSettings::application(), PlanoraSettings::section(),
                                          PlanoraSettings::userConfigFolderKey(), programFolder);
    return folder.isEmpty() ? programFolder : folder;
}

QString userConfigPath(const QString &folder)
{
    return AgcFile::locate(folder, UserConfigFileName);
}

QString lookupSettingsPath(const QString &programFolder)
{
    return AgcFile::locate(LookupFolder::of(programFolder, LookupFolder::Use::Writing), LookupFileName);
}

UserConfigRead readUserConfig(const QString &folder, const UserConfig &initial)
{
    UserConfigRead read;
    read.users = initial;
    const std::optional<QString> text = AgcFile::readText(userConfigPath(folder));
    if (!text) {
        read.found = false;
        read.message = QStringLiteral("Le fichier des utilisateurs ") + folder + QDir::separator()
            + UserConfigFileName
            + QStringLiteral(" est introuvable ou illisible : aucun utilisateur n'est configuré. Veuillez "
                             "à l'aide du SUPERVISEUR le placer dans ce dossier, ou configurer les "
                             "utilisateurs par le menu « Utilisateurs ».");
        return read;
    }
    read.valid = AgcFile::readRecords(*text, UserConfigRecordSize,
                                      [&read](int position, const AgcValue &value) {
                                          storeUserValue(read.users, position, value);
                                      });
    if (!read.valid)
        read.message = filePhrase(folder, UserConfigFileName)
            + QStringLiteral(" non valide (trop ou pas assez de paramètres).");
    return read;
}

bool writeUserConfig(const SettingsStore &settings, const QString &programFolder,
                     const UserConfig &users)
{
    return writeUserConfigFile(userConfigFolder(settings, programFolder), users);
}

// A text holding a double quote is written as it stands: the format cannot
// carry it, and the next reading cuts the text at the quote or shifts the
// values after it, as it always has. A missing folder is not created: a
// CheminUt naming no folder is a setting to correct, and the write fails.
bool writeUserConfigFile(const QString &folder, const UserConfig &users)
{
    QList<AgcValue> values;
    for (int position = 0; position < UserConfigRecordSize; ++position)
        values.append(userValue(users, position));
    return AgcFile::writeRecord(userConfigPath(folder), values);
}

LookupSettingsRead readLookupSettings(const QString &programFolder, const LookupSettings &initial)
{
    LookupSettingsRead read;
    read.settings = initial;
    const QString folder = LookupFolder::of(programFolder, LookupFolder::Use::Reading);
    const QString text = AgcFile::readText(AgcFile::locate(folder, LookupFileName)).value_or(QString());
    read.valid = AgcFile::readRecords(text, LookupRecordSize,
                                      [&read](int position, const AgcValue &value) {
                                          if (position == 0)
                                              read.settings.enabled = value.isTrue();
                                          else
                                              read.settings.tableName = value.toText();
                                      });
    if (!read.valid)
        read.message = filePhrase(folder, LookupFileName) + QStringLiteral(" non valide.");
    return read;
}

bool writeLookupSettings(const QString &programFolder, const LookupSettings &lookup)
{
    const QString folder = LookupFolder::of(programFolder, LookupFolder::Use::Writing);
    // The user's own folder is made at its first use; the program's folder
    // never is.
    if (folder != programFolder && !QDir().mkpath(folder))
        return false;
    return AgcFile::writeRecord(lookupSettingsPath(programFolder),
                                {AgcValue::boolean(lookup.enabled), AgcValue::text(lookup.tableName)});
}

} // namespace ConfigFiles
