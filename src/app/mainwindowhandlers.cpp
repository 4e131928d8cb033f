// The main window's event handlers: menus, the refresh timer, quitting, and
// the navigation between users and days.
#include "mainwindow.h"

#include "configfiles.h"
#include "datenumber.h"
#include "dayview.h"

#include <QCalendarWidget>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QTimer>

void Form1::Enregistrer_Click()
{
    ENREG_01();
}

void Form1::Enreg_auto_Click(bool checked)
{
    // The item has already flipped its check mark; starting again always
    // waits a full interval.
    if (checked)
        m_timer->start();
    else
        m_timer->stop();
}

// Decided: the tick shows the stored state of the shown day only. When the
// cursor does not stand on that day's row of the shown user (the day had no
// row, or ENREG_01 has just added it), or that row cannot be read again, it
// positions again; when the day still has no row, or the file cannot be
// read, the screen is left alone and nothing is said (a message every minute
// would help nobody).
void Form1::Timer1_Timer()
{
    if (!hasDatabase())
        return;
    if (m_dayUnread) { // another try at reading the day, without a message every minute
        showShownDay(true, false);
        return;
    }
    const qint32 shownDay = labelDateNumber();
    const bool onShownDay = m_cursor.isOpen() && m_cursor.found() && m_cursor.user() == m_shownUser
        && m_cursor.currentDateNumber() == shownDay;
    if (onShownDay && AFFICHE_JOUR())
        return;
    if (m_cursor.position(m_databasePath, m_shownUser, shownDay).ok() && m_cursor.found())
        AFFICHE_JOUR();
}

void Form1::Quitte_Click()
{
    close();
}

// Form_Unload. Decided: when the day cannot be saved and it holds unsaved
// edits, the user is asked whether to quit anyway; "No" keeps the window open
// with the edits on screen. Without a database (start-up stopped), or on a day
// that could not be read, there is nothing to save and the program ends at
// once.
void Form1::closeEvent(QCloseEvent *event)
{
    if (hasDatabase() && !m_dayUnread && !ENREG_01() && m_changed
        && !m_environment.prompts->question(
            QStringLiteral("Le jour affiché n'a pas pu être enregistré. Quitter quand même et "
                           "perdre les modifications non enregistrées ?"),
            QStringLiteral("PLANORA"))) {
        event->ignore();
        return;
    }
    closeSearchWindow();
    event->accept();
    QCoreApplication::quit();
}

void Form1::closeSearchWindow()
{
    if (m_searchWindow)
        m_searchWindow->close();
}

// Decided: a navigation whose save fails stays on the shown day, so that the
// typed text is not lost; without any database the edits have nowhere to go
// and the navigation goes on.
bool Form1::saveBeforeLeaving()
{
    if (!m_changed || !hasDatabase())
        return true;
    return ENREG_01();
}

void Form1::CmdUtilisat_MouseDown(int user)
{
    closeSearchWindow();
    if (!saveBeforeLeaving())
        return;
    // With no record in Utilisat.agc the previous user stays shown.
    if (readUserConfig(false))
        applyUser(user);
    m_dayView->hiddenIntervalLabel()->setText(QString::number(m_intervalMinutes));
    setShownDateNumber(labelDateNumber());
    showDateLabels(m_shownDateNumber);
    showShownDay(false, true);
    m_changed = false;
}

void Form1::CmdPrec_MouseDown()
{
    stepDay(-1);
}

void Form1::CmdSuiv_MouseDown()
{
    stepDay(+1);
}

void Form1::stepDay(int days)
{
    if (!saveBeforeLeaving())
        return;
    // Every calendar day counts: the date number is a plain day count.
    setShownDateNumber(labelDateNumber() + days);
    SUIV_PREC();
    m_changed = false;
}

void Form1::MonthView1_DateClick(QDate date)
{
    if (!saveBeforeLeaving()) {
        m_dayView->calendar()->setSelectedDate(m_calendarDate);
        return;
    }
    m_calendarDate = date;
    showDateLabels(DateNumber::fromDate(date));
    setShownDateNumber(labelDateNumber());
    showChecksForDate(m_shownDateNumber);
    showShownDay(false, true);
    m_changed = false;
}

void Form1::Command1_Click()
{
    // Shows the stored day again: unsaved edits are thrown away.
    setShownDateNumber(labelDateNumber());
    SUIV_PREC();
}

void Form1::Check1_Click()
{
    ENREG_01();
}

void Form1::Coches_Click()
{
    m_dayView->invertChecksVisibility();
}
