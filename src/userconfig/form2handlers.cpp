// Form2's handlers: filling the window, choosing a colour, saving, leaving.
#include "form2.h"

#include "colourswatch.h"
#include "colourvalue.h"
#include "configfiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

namespace {

// A text longer than its box is shown from its start.
void showText(QLineEdit *box, const QString &text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

} // namespace

Form2 *Form2::showFor(const Environment &environment, const UserButtons &mainWindowButtons,
                      QWidget *mainWindow)
{
    auto *form = mainWindow->findChild<Form2 *>(QString(), Qt::FindDirectChildrenOnly);
    if (form) {
        form->raise();
        form->activateWindow();
        return form;
    }
    form = new Form2(environment, mainWindowButtons, mainWindow);
    form->Form_Load();
    form->show();
    return form;
}

// Decided: a missing or unreadable Alpha.agc or Utilisat.agc gives no
// record, so the window shows its design values (empty rows, the system
// window colour, "Toutes les 15'", the lookup off, "MATABLE") without a
// message. An incomplete file shows what it holds over those values.
void Form2::Form_Load()
{
    m_namesDatabase->setText(m_settings.value(PlanoraSettings::application(), PlanoraSettings::section(),
                                              PlanoraSettings::namesDatabaseKey(),
                                              m_environment.programFolder));

    const LookupSettingsRead lookup = ConfigFiles::readLookupSettings(m_environment.programFolder, shownLookup());
    if (!lookup.valid)
        m_environment.prompts->information(lookup.message);
    m_lookupCheck->setChecked(lookup.settings.enabled);
    m_lookupFrame->setVisible(lookup.settings.enabled);
    showText(m_tableName, lookup.settings.tableName);

    const QString folder = ConfigFiles::userConfigFolder(m_settings, m_environment.programFolder);
    const UserConfigRead users = ConfigFiles::readUserConfig(folder, shownUsers());
    if (!users.valid)
        m_environment.prompts->information(users.message);
    showUsers(users.users);
    // Centred once filled, at the size the filled window takes.
    centreOnScreen();
}

void Form2::centreOnScreen()
{
    ensurePolished();
    adjustSize();
    const QRect screenArea = screen()->geometry();
    move(screenArea.left() + (screenArea.width() - width()) / 2,
         screenArea.top() + (screenArea.height() - height()) / 2);
}

void Form2::Check1_Click()
{
    m_lookupFrame->setVisible(m_lookupCheck->isChecked());
}

// The dialog opens on the colour last chosen in it while this window is
// open, black at first, not on the swatch's colour.
void Form2::Command_Click(int user)
{
    const std::optional<QColor> chosen = m_environment.prompts->chooseColor(m_dialogColour);
    if (!chosen || !chosen->isValid())
        return;
    m_dialogColour = *chosen;
    m_swatches[user - 1]->setValue(ColourValue::fromColour(*chosen));
}

// Decided: a file that cannot be written stops the save there, says which
// file, and keeps the window open with everything typed; the atomic write
// leaves the file on disk as it was. Alpha.agc is written first, so when it
// fails nothing at all has changed.
void Form2::CmDEnreg_Click()
{
    if (!saveLookup())
        return;
    // CheminUt is read again now: the supervisor may have moved it meanwhile.
    const QString folder = ConfigFiles::userConfigFolder(m_settings, m_environment.programFolder);
    if (!ConfigFiles::writeUserConfigFile(folder, shownUsers())) {
        refuseWrite(ConfigFiles::userConfigPath(folder));
        return;
    }
    QStringList names;
    for (const QLineEdit *name : m_names)
        names << name->text();
    // The rest of the new configuration reaches the main window when it
    // reads the file again, at a change of user or the next start.
    UserButtonRule::apply(names, m_mainWindowButtons);
    close();
}

// Leaves without saving the users; the lookup settings are written all the
// same, as shown.
void Form2::Quitte_Click()
{
    if (saveLookup())
        close();
}

bool Form2::saveLookup()
{
    if (ConfigFiles::writeLookupSettings(m_environment.programFolder, shownLookup()))
        return true;
    refuseWrite(ConfigFiles::lookupSettingsPath(m_environment.programFolder));
    return false;
}

void Form2::refuseWrite(const QString &path)
{
    m_environment.prompts->information(
        QStringLiteral("Impossible d'enregistrer le fichier %1 : le dossier est absent ou protégé en "
                       "écriture, ou le disque est plein. Le fichier déjà présent n'a pas été modifié et "
                       "les valeurs saisies restent affichées.")
            .arg(path));
}

void Form2::showUsers(const UserConfig &users)
{
    for (int index = 0; index < UserCount; ++index) {
        const UserEntry &entry = users[index];
        showText(m_names[index], entry.name);
        // A colour the file did not hold as a number shows, and is saved, as the
        // system window colour.
        m_swatches[index]->setValue(entry.colour.value_or(SystemWindowColour));
        // An index outside the five items leaves the list without a choice.
        m_intervals[index]->setCurrentIndex(entry.intervalIndex);
        showText(m_topAnnotations[index], entry.topAnnotation);
        showText(m_bottomAnnotations[index], entry.bottomAnnotation);
    }
}

UserConfig Form2::shownUsers() const
{
    UserConfig users;
    for (int index = 0; index < UserCount; ++index)
        users[index] = {m_names[index]->text(), m_swatches[index]->value(),
                        qint16(m_intervals[index]->currentIndex()), m_topAnnotations[index]->text(),
                        m_bottomAnnotations[index]->text()};
    return users;
}

LookupSettings Form2::shownLookup() const
{
    return {m_lookupCheck->isChecked(), m_tableName->text()};
}
