#pragma once

#include <QWidget>

class QTextBrowser;

// The program's help: the French user guide, HTML pages installed beside
// the program, shown in a window of its own that does not block the others.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    // Opens on the guide's contents page.
    explicit HelpWindow(const QString &contentsPage, QWidget *parent = nullptr);

    // The guide's contents page for a program installed in `programFolder`.
    static QString contentsPage(const QString &programFolder);

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser = nullptr;
};
