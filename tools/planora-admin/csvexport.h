#pragma once

#include "agendaexport.h"

#include <QByteArray>

// An exported agenda as a spreadsheet's CSV file (RFC 4180): a header row,
// commas between fields, CR LF between rows, a field between double quotes
// when it holds a comma, a semicolon, a quote or a line break, a quote
// inside written twice. UTF-8, begun with a byte order mark: without it the
// most common spreadsheet reads the accents as Windows-1252.
namespace CsvExport {

QByteArray write(const AgendaExport::Agenda &agenda);

// One field, quoted when it needs to be.
QString field(const QString &text);

} // namespace CsvExport
