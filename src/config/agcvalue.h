#pragma once

#include <QString>

#include <optional>

// One value of Utilisat.agc or Alpha.agc, of the kind the reader recognised,
// and how it lands in a place of each type. Reading runs with errors ignored,
// as it always has: a conversion that fails gives nothing and the place keeps
// what it held; a number or a boolean landing in a text place becomes its text.
class AgcValue
{
public:
    enum class Kind { Text, Number, Boolean };

    static AgcValue text(QString text);
    static AgcValue number(double number);
    static AgcValue boolean(bool value);

    // A decimal number with an optional sign, fraction and exponent, blanks
    // around it allowed; nothing when the text is anything else.
    static std::optional<double> parseNumber(QStringView text);

    Kind kind() const { return m_kind; }

    QString toText() const;
    std::optional<qint32> toInt32() const;
    std::optional<qint16> toInt16() const;
    // The lookup switch: true exactly for #TRUE# or a number equal to -1.
    bool isTrue() const;

    // The value as written in a file: a text between double quotes, as it
    // stands; a number in plain decimal; #TRUE# or #FALSE#.
    QString fileText() const;

    bool operator==(const AgcValue &) const = default;

private:
    std::optional<double> toNumber() const;

    Kind m_kind = Kind::Text;
    QString m_text;
    double m_number = 0;
    bool m_boolean = false;
};
