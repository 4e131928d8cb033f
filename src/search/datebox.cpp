#include "datebox.h"

#include <QRegularExpression>

namespace DateBox {

namespace {

// Which of day, month and year comes first, second and third in the
// locale's short format ("dd/MM/yyyy" gives d, M, y).
QString fieldOrder(const QLocale &locale)
{
    QString order;
    for (const QChar c : locale.dateFormat(QLocale::ShortFormat)) {
        const QChar field = c == u'd' || c == u'M' || c == u'y' ? c : QChar();
        if (!field.isNull() && !order.contains(field)) {
            order += field;
        }
    }
    return order.size() == 3 ? order : QStringLiteral("dMy");
}

int fullYear(const QString &digits)
{
    const int year = digits.toInt();
    if (digits.size() > 2) {
        return year;
    }
    return year < 30 ? 2000 + year : 1900 + year;
}

// A time of day at the end of the text ("14:30", "9h15", "14:30:05"):
// the text without it, or nothing when the time is not a valid one.
std::optional<QString> withoutTimeOfDay(const QString &text)
{
    static const QRegularExpression time(
        QStringLiteral(R"(\s+(\d{1,2})\s*[:hH]\s*(\d{2})(?::(\d{2}))?$)"));
    const QRegularExpressionMatch match = time.match(text);
    if (!match.hasMatch()) {
        return text;
    }
    if (match.captured(1).toInt() >= 24 || match.captured(2).toInt() >= 60 || match.captured(3).toInt() >= 60) {
        return std::nullopt;
    }
    return text.left(match.capturedStart());
}

std::optional<QDate> numericDate(const QString &text, const QLocale &locale)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^(\d{1,4})[/.\- ]+(\d{1,2})[/.\- ]+(\d{1,4})$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    QString order = fieldOrder(locale);
    if (match.captured(1).size() > 2) {
        order = QStringLiteral("yMd");
    }
    int day = 0;
    int month = 0;
    int year = 0;
    for (int i = 0; i < 3; ++i) {
        const QString part = match.captured(i + 1);
        if (order.at(i) == u'y') {
            year = fullYear(part);
        } else if (part.size() > 2) {
            return std::nullopt;
        } else if (order.at(i) == u'M') {
            month = part.toInt();
        } else {
            day = part.toInt();
        }
    }
    const QDate date(year, month, day);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

} // namespace

QString format(QDate date, const QLocale &locale)
{
    return locale.toString(date, QLocale::ShortFormat);
}

std::optional<QDate> parse(const QString &text, const QLocale &locale)
{
    const std::optional<QString> typed = withoutTimeOfDay(text.simplified());
    if (!typed || typed->isEmpty()) {
        return std::nullopt;
    }
    if (const std::optional<QDate> date = numericDate(*typed, locale)) {
        return date;
    }
    // The locale's own formats (what format() writes, as "6 Nov 2026" in
    // some), and the long one without its weekday ("15 mars 2024").
    for (const QString &form : {locale.dateFormat(QLocale::ShortFormat), locale.dateFormat(QLocale::LongFormat),
                                QStringLiteral("d MMMM yyyy")}) {
        const QDate date = locale.toDate(*typed, form);
        if (date.isValid()) {
            return date;
        }
    }
    return std::nullopt;
}

} // namespace DateBox
