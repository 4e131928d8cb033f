#pragma once

#include "agcvalue.h"

#include <QString>

#include <optional>

// Takes the values of Utilisat.agc or Alpha.agc one after another, whatever
// the line breaks. Blanks before a value are skipped; a comma or a line end
// (CR LF, or CR or LF alone) ends a value, so "1," CR LF "2" is three values,
// the second one empty, and so is an empty line. A value starting with a
// double quote runs to the next double quote and is a text; what follows the
// closing quote up to the comma or the line end is skipped. Otherwise #TRUE#
// and #FALSE# are booleans, a number is a number, anything else a text
// (trailing blanks dropped).
//
// Only blanks and line ends left make the end of the file: blank lines at
// its end do not begin another record.
class AgcValueReader
{
public:
    explicit AgcValueReader(QString content);

    // Nothing but blanks and line ends is left.
    bool atEnd();
    // The next value; nothing when reading runs past the end of the file.
    std::optional<AgcValue> next();

private:
    void skipBlanks();
    // Where the comma or line end that ends a value is, from a position.
    qsizetype valueEnd(qsizetype from) const;
    // Moves past the comma or line end at `end`.
    void moveAfterValue(qsizetype end);

    QString m_content;
    qsizetype m_position = 0;
};
