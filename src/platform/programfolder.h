#pragma once

#include <QString>

// The folder of the program's executable, without a trailing separator: home
// of Alpha.agc and the help file, and the default of every setting.
QString programFolder();

// A folder and a file name joined with the platform's separator.
QString joinPath(const QString &folder, const QString &fileName);
