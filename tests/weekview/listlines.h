#pragma once

#include <QListWidget>

// The lines of a list box, top to bottom.
inline QStringList linesOf(const QListWidget *list)
{
    QStringList lines;
    for (int row = 0; row < list->count(); ++row)
        lines << list->item(row)->text();
    return lines;
}
