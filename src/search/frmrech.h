#pragma once

#include "environment.h"

#include <QWidget>

class DataControl;
class Form1;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The search window: the days of the shown user, between two dates, whose
// slots hold a text; a found day opened in the main window with the text
// selected in its slots. Modeless, beside the main window; closed by
// "Quitter", by opening a found day and by a change of user.
class FrmRech : public QWidget
{
    Q_OBJECT

public:
    // The menu entry "&Rechercher": shows the search window of the main
    // window, loading it first when it is not open.
    static void showFor(Form1 &mainWindow, const Environment &environment);

    FrmRech(Form1 &mainWindow, const Environment &environment);
    ~FrmRech() override;

    // Form_Load: the default dates, Data1 on the database, the searched
    // user's table and name (Utilisat.agc read again).
    void load();

public Q_SLOTS:
    void Command1_Click(); // "Recherche"
    void List1_DblClick();
    void Command2_Click(); // "Quitter"

private:
    void buildControls();
    void selectInSlots(const QString &searched);

    Form1 &m_mainWindow;
    Environment m_environment;
    DataControl *m_data1 = nullptr;
    QLineEdit *m_txtDate1 = nullptr;
    QLineEdit *m_txtDate2 = nullptr;
    QLineEdit *m_txtNom = nullptr;
    QLineEdit *m_txtRV = nullptr;
    QListWidget *m_list1 = nullptr;
    QLabel *m_lblNbr = nullptr;
};
