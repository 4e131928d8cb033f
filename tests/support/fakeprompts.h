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
    // An accepted print dialog prints to this PDF file, as a user choosing
    // "print to file" would, on this paper (the printer's own when not valid).
    QString printerOutputFile;
    QPageSize printerPageSize;
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
        colorInitials.append(initial);
        return answer(colorAnswers);
    }

    QString openFile(const QString &, const QString &folder, const QString &) override
    {
        dialogFolders.append(folder);
        return answer(fileAnswers);
    }

    QString chooseFolder(const QString &, const QString &start) override
    {
        dialogFolders.append(start);
        return answer(folderAnswers);
    }

    bool choosePrinter(QPrinter &printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printerOutputFile);
        printer.setPageSize(printerPageSize);
        return answer(printerAnswers);
    }

    // A dialog answered from its queue.
    template <class T>
    T answer(QList<T> &answers)
    {
        ++dialogCount;
        return answers.isEmpty() ? T() : answers.takeFirst();
    }
};
