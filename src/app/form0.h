#pragma once

#include "environment.h"
#include "mainwindow.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QTimer;

// The splash window: the title, the version and a picture for four seconds,
// then its timer hands over to the main window.
class Form0 : public QWidget
{
    Q_OBJECT

public:
    explicit Form0(const Environment &environment, QWidget *parent = nullptr);

    static QString versionNumber(); // "4.0.0", from the build's version numbers
    static QString versionText();   // "Version 4.0.0"

    QTimer *timer() const { return m_timer; }
    // The main window once the hand-over has run.
    Form1 *mainWindow() const { return m_mainWindow; }

public Q_SLOTS:
    // Unloads the splash, loads the main window (its start-up sequence) and
    // shows it.
    void Timer1_Timer();

private:
    Environment m_environment;
    QTimer *m_timer = nullptr;
    QPointer<Form1> m_mainWindow;
};
