#include "form0.h"
#include "programfolder.h"
#include "qtprompts.h"
#include "settingsstore.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PLANORA"));
    QApplication::setApplicationVersion(Form0::versionNumber());

    QtPrompts prompts;
    const SystemClock clock;
    const Environment environment{&prompts, &clock, programFolder(), SettingsStore::defaultFolder()};

    auto *splash = new Form0(environment);
    splash->show();
    return QApplication::exec();
}
