#pragma once

#include "environment.h"
#include "settingsstore.h"

#include <QDialog>

class DayCursor;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The backup window ("Sauvegardes", not modal): copies AGENDAS.MDB and
// Utilisat.agc to the backup folder kept in the setting SAUVE, and restores
// them from a chosen backup. The main window's day cursor is closed while a
// copy runs; restored() tells the main window to show the day again.
class Form21 : public QDialog
{
    Q_OBJECT

public:
    Form21(const Environment &environment, DayCursor &cursor, QWidget *parent = nullptr);

    // The three paths the window works with, as read when it opened.
    const QString &databasePath() const { return m_databasePath; }
    const QString &usersFolder() const { return m_usersFolder; }

public Q_SLOTS:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void CmdSauve_Click();
    void CmdRestaure_Click();

Q_SIGNALS:
    // Just before a copy: the main window saves the day being typed, so
    // that the copy holds it.
    void aboutToCopy();
    // After a restore: the day on screen is the old one.
    void restored();

private:
    void Form_Load();
    void buildControls();
    void setBackupCaption();
    void setRestoreCaption();

    Environment m_environment;
    SettingsStore m_settings;
    DayCursor &m_cursor;
    QString m_databasePath;
    QString m_usersFolder;
    QString m_openedBackupFolder; // the backup folder read at opening: Label3 and the file dialog keep it

    QLabel *m_label1 = nullptr;
    QLabel *m_label3 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QPushButton *m_cmdSauve = nullptr;
    QPushButton *m_cmdRestaure = nullptr;
};
