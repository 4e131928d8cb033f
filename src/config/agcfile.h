#pragma once

#include "agcvalue.h"

#include <QList>
#include <QString>

#include <optional>

#include <functional>

// The files of the comma-separated record format, as files: where they are,
// reading their records, writing one record.
namespace AgcFile {

// The file of that name in the folder, found without regard to case (the
// exact spelling first when several exist); the path under the given
// spelling when there is none.
QString locate(const QString &folder, const QString &fileName);

// The text of the file: UTF-8 when its bytes are valid UTF-8, Windows-1252
// otherwise; nothing when it is missing or cannot be read.
std::optional<QString> readText(const QString &path);

// Reads records of recordSize values, one after another, to the end of the
// text; store receives each value with its position in the record (0-based)
// at once, so each record replaces the one before and the last one wins.
// False when the values do not fill whole records: the values read from the
// incomplete last record have been stored all the same.
bool readRecords(const QString &text, int recordSize,
                 const std::function<void(int position, const AgcValue &value)> &store);

// Replaces the file with one record: values separated by commas, CR LF at
// the end, in UTF-8, atomically. False when it cannot be written; the old
// file is then left whole.
[[nodiscard]] bool writeRecord(const QString &path, const QList<AgcValue> &values);

} // namespace AgcFile
