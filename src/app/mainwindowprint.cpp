// The main window's print commands: each composes its page from what the
// window shows, then runs the print job's closing steps.
#include "mainwindow.h"

#include "compositions.h"
#include "dayview.h"
#include "printjob.h"
#include "shownday.h"

#include <QLabel>

ShownDay Form1::shownDay() const
{
    // The day view's record is read from its controls, unsaved edits included.
    const DayRecord onScreen = m_dayView->record();
    ShownDay day;
    day.intervalMinutes = m_intervalMinutes;
    day.dateCaption = m_dayView->dateLabel()->text();
    day.userName = windowTitle();
    day.slots = onScreen.slots;
    day.theatreTitle = m_dayView->bottomAnnotationLabel()->text();
    day.theatreProgramme = onScreen.bloc;
    day.postit = onScreen.postit;
    return day;
}

void Form1::Matin_Click()
{
    PrintJob::run(Compositions::halfDayList(SlotGrid::HalfDay::Morning, shownDay()), *m_environment.prompts);
}

void Form1::Amidi_Click()
{
    PrintJob::run(Compositions::halfDayList(SlotGrid::HalfDay::Afternoon, shownDay()), *m_environment.prompts);
}

void Form1::Bloc_Click()
{
    PrintJob::run(Compositions::theatreProgramme(shownDay()), *m_environment.prompts);
}

void Form1::Postit_Click()
{
    PrintJob::run(Compositions::postit(shownDay()), *m_environment.prompts);
}
