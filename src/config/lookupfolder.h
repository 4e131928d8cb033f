#pragma once

#include <QString>

#include <functional>

// Where Alpha.agc lives. A program run from its own folder keeps it there,
// as it always has. An installed program's folder belongs to the system and
// the staff cannot write to it: the file then goes to a folder of the user's
// own, "planora" beside the settings file (~/.config/planora), and is read
// from there once it exists; until then the program folder's file, if the
// supervisor put one there, is read.
namespace LookupFolder {

enum class Use { Reading, Writing };

using WritableTest = std::function<bool(const QString &folder)>;

// True when this process may create and replace files in the folder.
bool isWritableFolder(const QString &folder);

// userFolder: the user's own folder (empty: "planora" in the settings
// store's folder).
QString of(const QString &programFolder, Use use, const QString &userFolder = {},
           const WritableTest &writable = isWritableFolder);

} // namespace LookupFolder
