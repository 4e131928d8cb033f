#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The comma-separated text that mdb-export writes: fields separated by
// commas, rows by LF, a field between double quotes when it holds a comma, a
// quote or a line break, a quote inside written twice. A quoted field keeps
// its line breaks (the RVOUS memos hold CR LF).
namespace CsvText {

struct Table
{
    QList<QStringList> rows;
    bool complete = true; // false when the text ends inside a quoted field
};

// An empty field not between quotes is a field without value and reads as a
// null QString; "" reads as an empty, non-null text.
Table parse(const QString &text);

} // namespace CsvText
