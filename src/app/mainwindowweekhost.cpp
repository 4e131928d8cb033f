// The main window's side of the week view: the host it reads, and its
// "Par &Semaine" button.
#include "mainwindowweekhost.h"

#include "datenumber.h"
#include "dayview.h"
#include "form3.h"
#include "mainwindow.h"
#include "programfolder.h"
#include "settingsstore.h"

#include <QLabel>
#include <QLocale>

MainWindowWeekHost::MainWindowWeekHost(Form1 &form, Environment environment)
    : m_form(form)
    , m_environment(std::move(environment))
{
}

Prompts &MainWindowWeekHost::prompts()
{
    return *m_environment.prompts;
}

QString MainWindowWeekHost::databasePath() const
{
    const QString chemin = SettingsStore(m_environment.settingsFolder)
                               .value(PlanoraSettings::application(), PlanoraSettings::section(),
                                      PlanoraSettings::databasePathKey(), m_environment.programFolder);
    return chemin.isEmpty() ? joinPath(m_environment.programFolder, QStringLiteral("AGENDAS.MDB")) : chemin;
}

int MainWindowWeekHost::shownUser() const
{
    return m_form.shownUser();
}

int MainWindowWeekHost::intervalMinutes() const
{
    return m_form.dayView()->hiddenIntervalLabel()->text().toInt();
}

qint32 MainWindowWeekHost::shownDateNumber() const
{
    return m_form.dayView()->hiddenDateLabel()->text().toInt();
}

DayCursor &MainWindowWeekHost::dayCursor()
{
    return m_form.dayCursor();
}

bool MainWindowWeekHost::saveChangedDay()
{
    return !m_form.isChanged() || m_form.ENREG_01();
}

void MainWindowWeekHost::showDay(qint32 dateNumber, bool found)
{
    // A row that cannot be read shows as an empty day, as in the day view.
    if (!found || !m_form.AFFICHE_JOUR())
        m_form.VIDE_JOUR(); // hides the absence and echography panels too
    DayView *view = m_form.dayView();
    view->dateLabel()->setText(QLocale().toString(DateNumber::toDate(dateNumber), QLocale::LongFormat));
    view->hiddenDateLabel()->setText(QString::number(dateNumber));
    m_form.setShownDateNumber(dateNumber);
    m_form.setChanged(false);
}

// Decided: without a database (start-up stopped) the week cannot be read and
// the button says so; when the shown day's edits cannot be saved the week is
// not shown, and the edits stay on screen.
void Form1::Semaine_Click()
{
    if (!hasDatabase()) {
        m_environment.prompts->information(
            QStringLiteral("Aucune base de données n'est ouverte : la semaine ne peut pas être "
                           "affichée. Veuillez à l'aide du SUPERVISEUR placer la base 'AGENDAS.MDB' "
                           "puis relancer le programme."));
        return;
    }
    if (m_changed && !ENREG_01())
        return;
    m_changed = false;
    Form3 *week = findChild<Form3 *>(QStringLiteral("Form3"), Qt::FindDirectChildrenOnly);
    const bool opening = !week;
    if (opening)
        week = new Form3(std::make_unique<MainWindowWeekHost>(*this, m_environment), this);
    // A week that cannot be read leaves an open week view as it was, and
    // opens no empty one.
    if (!week->showWeekAroundShownDate() && opening) {
        week->close();
        return;
    }
    week->show();
    week->raise();
    week->activateWindow();
}
