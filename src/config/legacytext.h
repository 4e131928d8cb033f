#pragma once

#include <QByteArray>
#include <QString>

// The text of the configuration files. Files brought from an older
// workstation are in Windows-1252; ours are in UTF-8. Bytes that form valid
// UTF-8 are read as UTF-8 (a leading byte order mark dropped), anything else
// as Windows-1252. Blanks, in these files, are spaces and tabs only.
namespace LegacyText {

QString decode(const QByteArray &bytes);
QString fromWindows1252(const QByteArray &bytes);

inline bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text);

} // namespace LegacyText
