#pragma once

#include <QDate>

// A calendar date as the whole number of days since 30 December 1899
// (31 December 2003 is 37986): how days are stored, searched and passed on.
namespace DateNumber {

inline QDate epoch() { return QDate(1899, 12, 30); }
inline qint32 fromDate(QDate date) { return static_cast<qint32>(epoch().daysTo(date)); }
inline QDate toDate(qint32 number) { return epoch().addDays(number); }

} // namespace DateNumber
