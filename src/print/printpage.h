#pragma once

#include <QList>
#include <QString>

// One printed line: its text and the font size it is printed in.
struct PrintLine
{
    QString text;
    int pointSize = 12;
    bool operator==(const PrintLine &) const = default;
};

// A page composed before the print dialog is shown: the lines in order, each
// with its font size. Painting it (pagepainter.h) flows the lines onto as many
// sheets as they need; a page with no line prints nothing.
class PrintPage
{
public:
    // The size of the lines printed from now on.
    void setFontSize(int points) { m_pointSize = points; }
    // One line; an empty text is an empty line of the current size.
    void printLine(const QString &text = QString()) { m_lines.append({text, m_pointSize}); }
    // A whole text, one line per line of the text (CR LF, CR or LF end a line);
    // an empty text is one empty line.
    void printText(const QString &text);

    const QList<PrintLine> &lines() const { return m_lines; }
    bool isEmpty() const { return m_lines.isEmpty(); }

private:
    int m_pointSize = 12;
    QList<PrintLine> m_lines;
};
