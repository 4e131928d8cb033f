#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QPrinter;

// Every message box and system dialog of the program goes through this
// interface: the real one shows Qt dialogs, tests use a recording fake that
// answers as told, so that no test ever blocks on a modal window.
class Prompts
{
public:
    virtual ~Prompts() = default;

    // Information box with one OK button, titled "PLANORA".
    virtual void information(const QString &text) = 0;

    // Yes/No question with a question icon; true when the answer is Yes.
    virtual bool question(const QString &text, const QString &title) = 0;

    // Colour dialog; nothing when cancelled.
    virtual std::optional<QColor> chooseColor(const QColor &initial) = 0;

    // File-open dialog with a filter ("Bases (*.mdb)"); empty when cancelled.
    virtual QString openFile(const QString &title, const QString &folder, const QString &filter) = 0;

    // Folder browser; empty when cancelled.
    virtual QString chooseFolder(const QString &title, const QString &startFolder) = 0;

    // Print dialog for a printer already set up; false when cancelled.
    virtual bool choosePrinter(QPrinter &printer) = 0;
};
