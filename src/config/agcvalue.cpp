#include "agcvalue.h"

#include "legacytext.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

// Whole numbers as plain decimal; others in the shortest form that reads back.
QString numberText(double number)
{
    constexpr double exactLimit = 9007199254740992.0; // 2^53
    if (std::nearbyint(number) == number && std::fabs(number) < exactLimit)
        return QString::number(static_cast<qint64>(number));
    return QString::number(number, 'g', std::numeric_limits<double>::max_digits10);
}

template<typename Int>
std::optional<Int> toInteger(std::optional<double> number)
{
    if (!number)
        return std::nullopt;
    // Like the program's own integer conversion: to the nearest, halves to even
    // (the default rounding mode of nearbyint).
    const double rounded = std::nearbyint(*number);
    if (rounded < double(std::numeric_limits<Int>::min())
        || rounded > double(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(rounded);
}

} // namespace

AgcValue AgcValue::text(QString text)
{
    AgcValue value;
    value.m_text = std::move(text);
    return value;
}

AgcValue AgcValue::number(double number)
{
    AgcValue value;
    value.m_kind = Kind::Number;
    value.m_number = number;
    return value;
}

AgcValue AgcValue::boolean(bool boolean)
{
    AgcValue value;
    value.m_kind = Kind::Boolean;
    value.m_boolean = boolean;
    return value;
}

std::optional<double> AgcValue::parseNumber(QStringView text)
{
    static const QRegularExpression grammar(
        QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    const QStringView number = LegacyText::trimBlanks(text);
    if (!grammar.match(number).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = number.toDouble(&ok); // always the C locale
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> AgcValue::toNumber() const
{
    switch (m_kind) {
    case Kind::Number:
        return m_number;
    case Kind::Boolean:
        return m_boolean ? -1.0 : 0.0;
    case Kind::Text:
        break;
    }
    return parseNumber(m_text);
}

QString AgcValue::toText() const
{
    switch (m_kind) {
    case Kind::Number:
        return numberText(m_number);
    case Kind::Boolean:
        // The words of the old runtime's text conversion of a boolean; the
        // program never writes a boolean where a text belongs.
        return m_boolean ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Text:
        break;
    }
    return m_text;
}

std::optional<qint32> AgcValue::toInt32() const
{
    return toInteger<qint32>(toNumber());
}

std::optional<qint16> AgcValue::toInt16() const
{
    return toInteger<qint16>(toNumber());
}

bool AgcValue::isTrue() const
{
    return (m_kind == Kind::Boolean && m_boolean) || (m_kind == Kind::Number && m_number == -1.0);
}

QString AgcValue::fileText() const
{
    switch (m_kind) {
    case Kind::Number:
        return numberText(m_number);
    case Kind::Boolean:
        return m_boolean ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#");
    case Kind::Text:
        break;
    }
    return u'"' + m_text + u'"';
}
