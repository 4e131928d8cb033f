#include "csvexport.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace CsvExport {

namespace {

QString kindName(AgendaExport::Event::Kind kind)
{
    switch (kind) {
    case AgendaExport::Event::Kind::Absence:
        return u"absence"_s;
    case AgendaExport::Event::Kind::Echography:
        return u"échographies"_s;
    case AgendaExport::Event::Kind::Appointment:
        break;
    }
    return u"rendez-vous"_s;
}

QString row(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &text : fields)
        quoted.append(field(text));
    return quoted.join(u',') + u"\r\n"_s;
}

} // namespace

QString field(const QString &text)
{
    // A semicolon is quoted too: a spreadsheet set up for French may split
    // on it.
    static const QString special = u",\";\r\n"_s;
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return special.contains(c); }))
        return text;
    QString doubled = text;
    doubled.replace(u"\""_s, u"\"\""_s);
    return u'"' + doubled + u'"';
}

QByteArray write(const AgendaExport::Agenda &agenda)
{
    // Dates in ISO form, which spreadsheets read as dates in every language.
    QString text = row({u"Date"_s, u"Début"_s, u"Fin"_s, u"Genre"_s, u"Texte"_s, u"Pointé"_s});
    for (const AgendaExport::Event &event : agenda.events) {
        const bool appointment = event.kind == AgendaExport::Event::Kind::Appointment;
        text += row({event.day.toString(Qt::ISODate), event.start.toString(u"HH:mm"_s),
                     event.start.addSecs(event.minutes * 60).toString(u"HH:mm"_s), kindName(event.kind), event.text,
                     appointment ? (event.checked ? u"oui"_s : u"non"_s) : QString()});
    }
    return "\xEF\xBB\xBF" + text.toUtf8();
}

} // namespace CsvExport
