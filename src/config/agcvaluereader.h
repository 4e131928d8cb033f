#pragma once

#include "agcvalue.h"

#include <QString>

#include <optional>

// Takes the values of Utilisat.agc or Alpha.agc one after another, whatever
// the line breaks. Blanks before a value are skipped; a comma or a line end
// ends a value. A value starting with a double quote runs to the next double
// quote and is a text; what follows the closing quote up to the comma or the
// line end is skipped. Otherwise #TRUE# and #FALSE# are booleans, a number is
// a number, anything else a text (trailing blanks dropped).
//
// Line ends count as blanks before a value, so an empty line is not a value
// and blank lines at the end of a file do not begin another record; an empty
// value is written ,, or "".
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
    // Moves to the end of a value, and past it when it is a comma.
    void moveAfterValue(qsizetype end);

    QString m_content;
    qsizetype m_position = 0;
};
