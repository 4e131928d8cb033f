#pragma once

#include "environment.h"
#include "weekviewhost.h"

class Form1;

// The main window as the week view sees it.
class MainWindowWeekHost final : public WeekViewHost
{
public:
    MainWindowWeekHost(Form1 &form, Environment environment);

    Prompts &prompts() override;
    QString databasePath() const override;
    int shownUser() const override;
    int intervalMinutes() const override;
    qint32 shownDateNumber() const override;
    DayCursor &dayCursor() override;
    bool saveChangedDay() override;
    void showDay(qint32 dateNumber, bool found) override;

private:
    Form1 &m_form;
    Environment m_environment;
};
