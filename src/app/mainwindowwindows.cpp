// The main window's entries that open the backup window, the help and the
// about box. Each window exists once: choosing its entry again brings it up.
#include "mainwindow.h"

#include "form21.h"
#include "frmabout.h"
#include "helpwindow.h"

#include <QDir>
#include <QFileInfo>

namespace {

void bringUp(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

// Decided: the day being typed is saved before a copy, so that a backup holds
// it; after a restore the day is shown again from the restored file, since
// what is on screen belongs to the replaced one.
void Form1::Sauve_Click()
{
    if (!m_backupWindow) {
        m_backupWindow = new Form21(m_environment, m_cursor, this);
        connect(m_backupWindow, &Form21::aboutToCopy, this, [this] {
            if (m_changed && hasDatabase())
                ENREG_01();
        });
        connect(m_backupWindow, &Form21::restored, this, [this] {
            m_changed = false;
            // The day on screen may have been opened by the search, which
            // sets only the date label.
            setShownDateNumber(labelDateNumber());
            SUIV_PREC();
        });
    }
    bringUp(m_backupWindow);
}

// Decided: the guide is HTML shown by a window of the program; when its
// pages are missing, the program says where it looked.
void Form1::Aide_Click()
{
    const QString contents = HelpWindow::contentsPage(m_environment.programFolder);
    if (!QFileInfo(contents).isFile()) {
        m_environment.prompts->information(
            QStringLiteral("Le guide d'utilisation de PLANORA est introuvable :\n%1\n"
                           "Demandez au SUPERVISEUR de réinstaller le programme.")
                .arg(QDir::toNativeSeparators(contents)));
        return;
    }
    if (!m_helpWindow)
        m_helpWindow = new HelpWindow(contents, this);
    bringUp(m_helpWindow);
}

void Form1::Propos_Click()
{
    if (!m_aboutBox)
        m_aboutBox = new frmAbout(this);
    bringUp(m_aboutBox);
}
