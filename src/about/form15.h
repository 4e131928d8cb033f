#pragma once

#include <QDialog>
#include <QPointer>

#include <array>

class QLabel;
class QPushButton;

// The birthday notice: a small light-grey window, not modal, opened by the
// main window at start on 16 April while the main window stays hidden. Its
// OK button closes it and shows the main window.
class Form15 : public QDialog
{
    Q_OBJECT

public:
    explicit Form15(QWidget *mainWindow = nullptr);

    QLabel *label(int number) const; // Label1 .. Label5

public Q_SLOTS:
    void Command1_Click();

private:
    QPointer<QWidget> m_mainWindow;
    std::array<QLabel *, 5> m_labels{};
    QPushButton *m_ok = nullptr;
};
