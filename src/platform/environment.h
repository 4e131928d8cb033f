#pragma once

#include "clock.h"
#include "prompts.h"

#include <QString>

// What a window needs of the machine it runs on. The program passes the real
// ones; tests pass a fake Prompts, a FixedClock and temporary folders.
struct Environment
{
    Prompts *prompts = nullptr;
    const Clock *clock = nullptr;
    QString programFolder;  // folder of the executable, no trailing separator
    QString settingsFolder; // folder of the settings file (hirondel.ini)
};
