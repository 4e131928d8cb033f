#include "csvexport.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace CsvExport {

namespace {

void appendRow(QString &text, std::initializer_list<QString> fields)
{
    bool first = true;
    for (const QString &value : fields) {
        if (!first)
            text += u',';
        text += field(value);
        first = false;
    }
    text += u"\r\n"_s;
}

QString clockTime(QTime time)
{
    return u"%1:%2"_s.arg(time.hour(), 2, 10, QLatin1Char('0')).arg(time.minute(), 2, 10, QLatin1Char('0'));
}

} // namespace

QString field(const QString &text)
{
    // A semicolon is quoted too: a spreadsheet set up for French may split
    // on it.
    const auto special = [](QChar c) { return c == u',' || c == u';' || c == u'"' || c == u'\r' || c == u'\n'; };
    if (std::none_of(text.cbegin(), text.cend(), special))
        return text;
    QString doubled = text;
    doubled.replace(u"\""_s, u"\"\""_s);
    return u'"' + doubled + u'"';
}

QByteArray write(const AgendaExport::Agenda &agenda)
{
    // Dates in ISO form, which spreadsheets read as dates in every language.
    QString text;
    text.reserve(agenda.events.size() * 64);
    appendRow(text, {u"Date"_s, u"Début"_s, u"Fin"_s, u"Genre"_s, u"Texte"_s, u"Pointé"_s});
    QDate day;
    QString dayText;
    for (const AgendaExport::Event &event : agenda.events) {
        if (event.day != day) { // formatted once a day: a year has 20 000 events
            day = event.day;
            dayText = day.toString(Qt::ISODate);
        }
        const bool appointment = event.kind == AgendaExport::Event::Kind::Appointment;
        appendRow(text, {dayText, clockTime(event.start), clockTime(event.start.addSecs(event.minutes * 60)),
                         AgendaExport::kindName(event.kind), event.text,
                         appointment ? (event.checked ? u"oui"_s : u"non"_s) : QString()});
    }
    return "\xEF\xBB\xBF" + text.toUtf8();
}

} // namespace CsvExport
