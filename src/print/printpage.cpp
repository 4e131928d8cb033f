#include "printpage.h"

#include <QRegularExpression>

void PrintPage::printText(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    for (const QString &line : text.split(lineBreak))
        printLine(line);
}
