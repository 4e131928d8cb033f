#pragma once

#include "agendaexport.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// An exported agenda as an iCalendar file (RFC 5545): CR LF line ends,
// lines folded at 75 octets, texts escaped. Times are floating (the local
// time of whoever reads the file, as the agenda itself has no time zone).
namespace ICalendarText {

// The calendar of the agenda; stamp (UTC) is when the file was made.
QByteArray write(const AgendaExport::Agenda &agenda, const QDateTime &stamp);

// A text value: backslash, semicolon and comma escaped, line breaks as \n.
QString escaped(const QString &text);

// One content line, folded: no line longer than 75 octets, a UTF-8
// character never cut, each continuation begun by a blank; CR LF after each.
QByteArray folded(const QString &line);

} // namespace ICalendarText
