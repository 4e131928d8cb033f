#include "form0.h"
#include "programfolder.h"
#include "qtprompts.h"
#include "settingsstore.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PLANORA"));
    QApplication::setApplicationVersion(Form0::versionNumber());

    // The program speaks French whatever the system's language: the standard
    // dialogs' buttons too ("Oui"/"Non" under "Effacer vraiment ?").
    QTranslator qtTranslations;
    if (qtTranslations.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);

    QtPrompts prompts;
    const SystemClock clock;
    const Environment environment{&prompts, &clock, programFolder(), SettingsStore::defaultFolder()};

    auto *splash = new Form0(environment);
    splash->show();
    return QApplication::exec();
}
