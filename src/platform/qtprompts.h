#pragma once

#include "prompts.h"

#include <QPointer>
#include <QWidget>

// The real dialogs, parented to the window that asks.
class QtPrompts final : public Prompts
{
public:
    explicit QtPrompts(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    void information(const QString &text) override;
    bool question(const QString &text, const QString &title) override;
    std::optional<QColor> chooseColor(const QColor &initial) override;
    QString openFile(const QString &title, const QString &folder, const QString &filter) override;
    QString chooseFolder(const QString &title, const QString &startFolder) override;
    bool choosePrinter(QPrinter &printer) override;

private:
    QPointer<QWidget> m_parent;
};
