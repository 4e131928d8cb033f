#pragma once

#include <QString>

// The texts of the birthday notice. The main window puts the same ones again
// when it opens the notice on 16 April.
namespace BirthdayTexts {

inline QString firstLine() { return QStringLiteral("Aujourd'hui c'est l'anniversaire du bon "); }
inline QString personName() { return QStringLiteral("Docteur Louis Arnaud"); }
inline QString day() { return QStringLiteral("16 Avril"); }
inline QString leadIn() { return QStringLiteral("Vous pouvez le lui souhaiter à l'adresse :"); }
inline QString contactLine() { return QStringLiteral("louis.arnaud@planora.example"); }
inline QString okCaption() { return QStringLiteral("OK"); }

// 16 April, the day the notice is shown: day and month as "ddmm".
inline QString noticeDayMonth() { return QStringLiteral("1604"); }

} // namespace BirthdayTexts
