#pragma once

#include "daycursor.h"
#include "environment.h"
#include "form15.h"
#include "settingsstore.h"
#include "userconfig.h"

#include <QDate>
#include <QMainWindow>
#include <QPointer>

class DayView;

class QAction;
class QMenu;
class QTimer;

// The main window: one day of one user (the DayView as its client area), the
// menus, the start-up sequence, saving, the one-minute refresh, user and day
// navigation, and quitting. Other windows read its state (and the hidden
// labels of the day view) and call ENREG_01 and SUIV_PREC.
class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit Form1(const Environment &environment, QWidget *parent = nullptr);
    ~Form1() override;

    // The start-up sequence (Form_Load). Run once, after construction.
    void load();

    // Save the shown day of the shown user. A failure is shown to the user
    // and leaves the day on screen with the changed flag set; the result
    // says whether the day was written.
    bool ENREG_01();
    // Show the day of the shown date number for the shown user.
    void SUIV_PREC();
    // Fill the day view from the row under the day cursor.
    // False when the cursor stands on no readable row: the view is left alone.
    bool AFFICHE_JOUR();
    // The same, taking the shown date (Label2, LblDate) from the row first.
    bool AFFICHE_JOUR_DATE();
    // Empty the day view.
    void VIDE_JOUR();

    // --- state read and written by the other windows ------------------------
    DayView *dayView() const { return m_dayView; }
    DayCursor &dayCursor() { return m_cursor; }
    bool hasDatabase() const { return !m_databasePath.isEmpty(); }
    const QString &databasePath() const { return m_databasePath; }
    const QString &userConfigFolder() const { return m_userConfigFolder; }
    const QString &namesDatabasePath() const { return m_namesDatabasePath; }
    const UserConfig &users() const { return m_users; }
    bool lookupEnabled() const { return m_lookupEnabled; }
    const QString &namesTableName() const { return m_namesTableName; }
    QDate shownDate() const { return m_shownDate; }
    qint32 shownDateNumber() const { return m_shownDateNumber; }
    void setShownDateNumber(qint32 dateNumber);
    int shownUser() const { return m_shownUser; }
    int intervalMinutes() const { return m_intervalMinutes; }
    bool isChanged() const { return m_changed; }
    bool isDayUnread() const { return m_dayUnread; }
    void setChanged(bool changed) { m_changed = changed; }
    QTimer *refreshTimer() const { return m_timer; }
    Form15 *birthdayNotice() const { return m_birthdayNotice; }
    // The search window, closed on a change of user and on quitting.
    void setSearchWindow(QWidget *window) { m_searchWindow = window; }

public Q_SLOTS:
    void Enregistrer_Click();
    void Enreg_auto_Click(bool checked);
    void Timer1_Timer();
    void Quitte_Click();
    // CmdUtilisat1_MouseDown .. CmdUtilisat6_MouseDown: one body, n = 1..6.
    void CmdUtilisat_MouseDown(int user);
    void CmdPrec_MouseDown();
    void CmdSuiv_MouseDown();
    void MonthView1_DateClick(QDate date);
    void Command1_Click();
    void Check1_Click();
    void Coches_Click();

protected:
    // Form_Unload: the close box saves and ends the program like "&Quitter".
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void showBirthdayNotice();
    bool readDatabasePath();
    bool readUserConfig(bool atStartUp);
    void applyUser(int user);
    void applyWindowColour(qint32 colourValue);
    void setUserButtonColours(int shownUser);
    void setBottomAnnotation(const QString &annotation);
    void fitMenuBar();
    void layOutGrid(int intervalIndex);
    void showDateLabels(qint32 dateNumber);
    void showChecksForDate(qint32 dateNumber);
    qint32 labelDateNumber() const;
    void showShownDay(bool quiet, bool hideAbsencesWhenEmpty);
    void setDayUnread(bool unread);
    void stepDay(int days);
    bool saveBeforeLeaving();
    void closeSearchWindow();

    Environment m_environment;
    SettingsStore m_settings;
    DayView *m_dayView = nullptr;
    QTimer *m_timer = nullptr;
    QAction *m_enregAuto = nullptr;
    QAction *m_blocAction = nullptr;
    QPointer<Form15> m_birthdayNotice;
    QPointer<QWidget> m_searchWindow; // stays empty until the search window exists

    DayCursor m_cursor;

    // Main-window state.
    QString m_databasePath; // empty: start-up stopped before a database was named
    QString m_userConfigFolder;
    QString m_namesDatabasePath;
    UserConfig m_users{};
    bool m_lookupEnabled = false;
    QString m_namesTableName;
    QDate m_shownDate;
    qint32 m_shownDateNumber = 0;
    int m_shownUser = 1;
    int m_intervalMinutes = 0;
    bool m_changed = false;
    // The shown day could not be read: it shows empty and locked, and is
    // never saved, so that the stored day cannot be replaced by nothing.
    bool m_dayUnread = false;
    QDate m_calendarDate;
    bool m_filling = false; // the store is filling the view: not an edit
};
