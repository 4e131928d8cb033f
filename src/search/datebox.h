#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

#include <optional>

// The text of a date box: written in the locale's short date format, and
// read back from what a person types there.
namespace DateBox {

QString format(QDate date, const QLocale &locale);

// The day a typed text names, or nothing when it names none. Accepted: the
// locale's short and long formats; day, month and year as numbers in the
// locale's order with '/', '-', '.' or blanks between them (a two-digit
// year is 1930 to 2029; four digits first read as year-month-day); any of
// these followed by a time of day ("14:30", "9h15", "14:30:05"), which is
// ignored: the date counts from its day.
std::optional<QDate> parse(const QString &text, const QLocale &locale);

} // namespace DateBox
