#pragma once

#include "prompts.h"

#include <QPrinter>
#include <QStringList>

// A Prompts that never shows anything: it records what would have been shown
// and answers from queues filled by the test (No / cancel when a queue is empty).
class FakePrompts final : public Prompts
{
public:
    struct Question { QString text, title; };

    QStringList informations;
    QList<Question> questions;
    QList<bool> questionAnswers, printerAnswers;
    QList<std::optional<QColor>> colorAnswers;
    QList<QColor> colorInitials; // the colour each colour dialog opened on
    QStringList fileAnswers, folderAnswers;
    // When set, an accepted print dialog prints to this PDF file, as a user
    // choosing "print to file" would.
    QString printerOutputFile;
    std::optional<QPageSize> printerPageSize; // the paper chosen in the dialog
    int dialogCount = 0;
    QStringList dialogFolders; // the folder each file or folder dialog opened on, in order

    void information(const QString &text) override { informations.append(text); }

    bool question(const QString &text, const QString &title) override
    {
        questions.append({text, title});
        return !questionAnswers.isEmpty() && questionAnswers.takeFirst();
    }

    std::optional<QColor> chooseColor(const QColor &initial) override
    {
        ++dialogCount;
        colorInitials.append(initial);
        return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.takeFirst();
    }

    QString openFile(const QString &, const QString &folder, const QString &) override
    {
        return pathChosen(folder, fileAnswers);
    }
    QString chooseFolder(const QString &, const QString &start) override { return pathChosen(start, folderAnswers); }

    bool choosePrinter(QPrinter &printer) override
    {
        ++dialogCount;
        const bool accepted = !printerAnswers.isEmpty() && printerAnswers.takeFirst();
        if (accepted && !printerOutputFile.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printerOutputFile);
        }
        if (accepted && printerPageSize)
            printer.setPageSize(*printerPageSize);
        return accepted;
    }

private:
    // A file or folder dialog opened on `folder`, answered from `answers`.
    QString pathChosen(const QString &folder, QStringList &answers)
    {
        ++dialogCount;
        dialogFolders.append(folder);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};
