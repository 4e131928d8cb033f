#pragma once

#include "environment.h"
#include "settingsstore.h"
#include "userbuttons.h"
#include "configfiles.h"

#include <QColor>
#include <QWidget>

#include <array>

class ColourSwatch;

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QVBoxLayout;

// "Utilisateurs": the six users of the practice (name, colour, slot
// interval, top and bottom annotations) and the patient-name lookup. Shows
// Utilisat.agc and Alpha.agc, writes them back, and updates the main
// window's user buttons on saving. Modeless; closing it unloads it.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    Form2(const Environment &environment, const UserButtons &mainWindowButtons,
          QWidget *parent = nullptr);

    // Brings the window forward when mainWindow has it loaded; otherwise
    // loads it (Form_Load) and shows it. mainWindow owns it.
    static Form2 *showFor(const Environment &environment, const UserButtons &mainWindowButtons,
                          QWidget *mainWindow);

    // Fills the window from the settings and the two files, and centres it.
    void Form_Load();

public Q_SLOTS:
    void Check1_Click();
    // Command1_Click .. Command6_Click: one body, user = 1..6.
    void Command_Click(int user);
    void CmDEnreg_Click();
    void Quitte_Click();

private:
    void buildRows(QVBoxLayout *column);
    void buildLookupArea(QVBoxLayout *column);
    void centreOnScreen();
    void showUsers(const UserConfig &users);
    UserConfig shownUsers() const;
    LookupSettings shownLookup() const;
    bool saveLookup();
    void refuseWrite(const QString &path);

    Environment m_environment;
    SettingsStore m_settings;
    UserButtons m_mainWindowButtons;
    QColor m_dialogColour = Qt::black; // the colour the colour dialog opens on next

    std::array<QLineEdit *, UserCount> m_names{};
    std::array<ColourSwatch *, UserCount> m_swatches{};
    std::array<QComboBox *, UserCount> m_intervals{};
    std::array<QLineEdit *, UserCount> m_topAnnotations{};
    std::array<QLineEdit *, UserCount> m_bottomAnnotations{};
    QCheckBox *m_lookupCheck = nullptr;
    QGroupBox *m_lookupFrame = nullptr;
    QLabel *m_namesDatabase = nullptr;
    QLineEdit *m_tableName = nullptr;
};
