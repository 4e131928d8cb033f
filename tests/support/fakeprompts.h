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
    QList<QColor> colorInitials; // the colour each colour dialog opened on
    QStringList fileAnswers;
    QStringList folderAnswers;
    QList<bool> printerAnswers;
    int dialogCount = 0;

    void information(const QString &text) override { informations.append(text); }

    bool question(const QString &text, const QString &title) override
    {
        questions.append({text, title});
        return questionAnswers.isEmpty() ? false : questionAnswers.takeFirst();
    }

    std::optional<QColor> chooseColor(const QColor &initial) override
    {
        ++dialogCount;
        colorInitials.append(initial);
        return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.takeFirst();
    }

    QString openFile(const QString &, const QString &, const QString &) override
    {
        ++dialogCount;
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }

    QString chooseFolder(const QString &, const QString &) override
    {
        ++dialogCount;
        return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
    }

    bool choosePrinter(QPrinter &) override
    {
        ++dialogCount;
        return printerAnswers.isEmpty() ? false : printerAnswers.takeFirst();
    }
};
