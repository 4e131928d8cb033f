#include "icalendartext.h"

#include <QVersionNumber>

using namespace Qt::StringLiterals;

namespace ICalendarText {

namespace {

constexpr qsizetype MaxLineOctets = 75;

QString compactDay(QDate day)
{
    return u"%1%2%3"_s.arg(day.year(), 4, 10, QLatin1Char('0')).arg(day.month(), 2, 10, QLatin1Char('0')).arg(day.day(), 2, 10, QLatin1Char('0'));
}

QString localDateTime(const QString &day, QTime time)
{
    return day + u"T%1%2"_s.arg(time.hour(), 2, 10, QLatin1Char('0')).arg(time.minute(), 2, 10, QLatin1Char('0')) + u"00"_s;
}

// The identifier stays the same from one export to the next, so that a
// calendar subscribed to a refreshed file updates an appointment in place
// instead of showing it twice.
QString uid(const QString &day, int user, const AgendaExport::Event &event)
{
    const QString place = event.slot >= 0
                              ? u"c%1"_s.arg(event.slot)
                              : (event.kind == AgendaExport::Event::Kind::Absence ? u"absence-"_s : u"echo-"_s)
                                    + (event.morning ? u"matin"_s : u"apres-midi"_s);
    return day + u"-u%1-%2@planora"_s.arg(user).arg(place);
}

} // namespace

QString escaped(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' || c == u';' || c == u',') {
            result += u'\\';
            result += c;
        } else if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            result += u"\\n"_s;
        } else if (c == u'\n') {
            result += u"\\n"_s;
        } else {
            result += c;
        }
    }
    return result;
}

QByteArray folded(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    if (bytes.size() <= MaxLineOctets)
        return bytes + "\r\n";
    QByteArray result;
    qsizetype begin = 0;
    qsizetype room = MaxLineOctets;
    while (bytes.size() - begin > room) {
        qsizetype end = begin + room;
        // Back up to the first byte of a UTF-8 character (not 10xxxxxx).
        while ((uchar(bytes.at(end)) & 0xC0) == 0x80)
            --end;
        result += bytes.mid(begin, end - begin) + "\r\n ";
        begin = end;
        room = MaxLineOctets - 1; // the blank counts
    }
    result += bytes.mid(begin) + "\r\n";
    return result;
}

QByteArray write(const AgendaExport::Agenda &agenda, const QDateTime &stamp)
{
    const QString stampText = stamp.toUTC().toString(u"yyyyMMdd'T'HHmmss'Z'"_s);
    QByteArray out;
    out.reserve(agenda.events.size() * 256);
    const auto line = [&out](const QString &text) { out += folded(text); };
    line(u"BEGIN:VCALENDAR"_s);
    line(u"VERSION:2.0"_s);
    line(u"PRODID:-//PLANORA//planora-admin %1//FR"_s.arg(
        QVersionNumber(PLANORA_VERSION_MAJOR, PLANORA_VERSION_MINOR, PLANORA_VERSION_PATCH).toString()));
    line(u"CALSCALE:GREGORIAN"_s);
    line(u"X-WR-CALNAME:"_s + escaped(agenda.userName.isEmpty() ? u"PLANORA"_s : agenda.userName));
    QDate day;
    QString dayText;
    for (const AgendaExport::Event &event : agenda.events) {
        if (event.day != day) { // formatted once a day: a year has 20 000 events
            day = event.day;
            dayText = compactDay(day);
        }
        line(u"BEGIN:VEVENT"_s);
        line(u"UID:"_s + uid(dayText, agenda.user, event));
        line(u"DTSTAMP:"_s + stampText);
        line(u"DTSTART:"_s + localDateTime(dayText, event.start));
        line(u"DURATION:PT%1M"_s.arg(event.minutes));
        line(u"SUMMARY:"_s + escaped(event.text));
        line(u"CATEGORIES:"_s + escaped(AgendaExport::kindName(event.kind)));
        if (event.kind != AgendaExport::Event::Kind::Appointment)
            line(u"TRANSP:TRANSPARENT"_s);
        line(u"END:VEVENT"_s);
    }
    line(u"END:VCALENDAR"_s);
    return out;
}

} // namespace ICalendarText
