#pragma once

#include <QColor>
#include <QPalette>

// The colours of Utilisat.agc as the window uses them: either an explicit
// colour 0x00BBGGRR (red in the low byte), or a reference 0x800000nn to the
// system colour number nn, taken from the matching role of the palette.
namespace ColourValue {

bool isSystemColour(qint32 value);

// The palette role that stands for the system colour number nn
// (5 window background -> Base, 15 button face -> Button, ...).
QPalette::ColorRole systemColourRole(int number);

QColor toColour(qint32 value, const QPalette &palette);

// The explicit value 0x00BBGGRR of a colour.
qint32 fromColour(const QColor &colour);

// 0x8000000F, the system button face: the colour of a user button that is
// not the shown user's.
inline constexpr qint32 ButtonFace = qint32(0x8000000F);

} // namespace ColourValue
