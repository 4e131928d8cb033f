#pragma once

#include <QPixmap>
#include <QString>

// What the program says of itself in the splash window and the about box.
namespace ProgramIdentity {

QString title();          // "PLANORA"
QString versionNumber();  // "4.0.0", from the build's version numbers
QPixmap picture();        // the program's picture: an open appointment book

} // namespace ProgramIdentity
