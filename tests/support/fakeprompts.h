#pragma once

#include "prompts.h"

#include <QList>
#include <QStringList>

// A Prompts that never shows anything: it records what would have been shown
// and answers from queues filled by the test (No / cancel when a queue is empty).
class FakePrompts final : public Prompts
{
public:
    struct Question
    {
        QString text;
        QString title;
    };

    QStringList informations;
    QList<Question> questions;
    QList<bool> questionAnswers;
    QList<std::optional<QColor>> colorAnswers;
    QStringList fileAnswers;
    QStringList folderAnswers;
    QList<bool> printerAnswers;
    int dialogCount = 0;
    // What the file and folder dialogs were opened with, in order.
    QStringList dialogTitles;
    QStringList dialogFolders;
    QStringList fileFilters;

    void information(const QString &text) override { informations.append(text); }

    bool question(const QString &text, const QString &title) override
    {
        questions.append({text, title});
        return questionAnswers.isEmpty() ? false : questionAnswers.takeFirst();
    }

    std::optional<QColor> chooseColor(const QColor &) override
    {
        ++dialogCount;
        return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.takeFirst();
    }

    QString openFile(const QString &title, const QString &folder, const QString &filter) override
    {
        ++dialogCount;
        dialogTitles.append(title);
        dialogFolders.append(folder);
        fileFilters.append(filter);
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }

    QString chooseFolder(const QString &title, const QString &startFolder) override
    {
        ++dialogCount;
        dialogTitles.append(title);
        dialogFolders.append(startFolder);
        return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
    }

    bool choosePrinter(QPrinter &) override
    {
        ++dialogCount;
        return printerAnswers.isEmpty() ? false : printerAnswers.takeFirst();
    }
};
