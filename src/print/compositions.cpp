#include "compositions.h"

#include "slotlabels.h"

namespace {

constexpr int TitlePointSize = 20;
constexpr int BodyPointSize = 12;
const QString FiveSpaces = QStringLiteral("     ");

// The title block every page starts with: an empty line, the title lines,
// two empty lines, all in the title size; the body follows in its own size.
PrintPage pageWithTitle(const QStringList &titleLines)
{
    PrintPage page;
    page.setFontSize(TitlePointSize);
    page.printLine();
    for (const QString &line : titleLines)
        page.printLine(line);
    page.printLine();
    page.printLine();
    page.setFontSize(BodyPointSize);
    return page;
}

// The theatre programme and the post-it: title, empty line, name and date.
PrintPage boxPage(const QString &title, const ShownDay &day, const QString &body)
{
    PrintPage page = pageWithTitle({title, QString(), day.userName + FiveSpaces + day.dateCaption});
    page.printText(body);
    return page;
}

} // namespace

namespace Compositions {

PrintPage halfDayList(SlotGrid::HalfDay halfDay, const ShownDay &day)
{
    const QStringList labels = SlotGrid::halfDayLabels(SlotGrid::Rendering::PrintedList, day.intervalMinutes, halfDay);
    if (labels.isEmpty())
        return {};
    PrintPage page = pageWithTitle({day.dateCaption + FiveSpaces + day.userName});
    const int first = SlotGrid::slotRange(halfDay).first;
    for (int row = 0; row < labels.size(); ++row)
        page.printLine(labels.at(row) + day.slots.at(first + row));
    return page;
}

PrintPage theatreProgramme(const ShownDay &day)
{
    return boxPage(QString(10, QLatin1Char(' ')) + day.theatreTitle, day, day.theatreProgramme);
}

PrintPage postit(const ShownDay &day)
{
    return boxPage(QString(23, QLatin1Char(' ')) + QStringLiteral("NE PAS OUBLIER"), day, day.postit);
}

} // namespace Compositions
