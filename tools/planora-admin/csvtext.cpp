#include "csvtext.h"

namespace CsvText {

Table parse(const QString &text)
{
    Table table;
    QStringList row;
    QString field;
    bool quoted = false;    // the current field started with a quote
    bool inQuotes = false;  // between its opening and closing quote
    bool started = false;   // something was read for the current row

    const auto endField = [&] {
        if (quoted && field.isEmpty())
            row.append(QStringLiteral("")); // empty but not null: "" was written
        else
            row.append(field.isEmpty() ? QString() : field);
        field.clear();
        quoted = false;
    };
    const auto endRow = [&] {
        endField();
        table.rows.append(row);
        row.clear();
        started = false;
    };

    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c != u'"') {
                field.append(c);
            } else if (i + 1 < text.size() && text.at(i + 1) == u'"') {
                field.append(c);
                ++i;
            } else {
                inQuotes = false;
            }
            continue;
        }
        started = true;
        if (c == u'"' && field.isEmpty() && !quoted) {
            quoted = inQuotes = true;
        } else if (c == u',') {
            endField();
        } else if (c == u'\n') {
            endRow();
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            // CR LF row end outside quotes: the LF ends the row.
        } else {
            field.append(c);
        }
    }
    table.complete = !inQuotes;
    if (started || inQuotes)
        endRow();
    return table;
}

} // namespace CsvText
