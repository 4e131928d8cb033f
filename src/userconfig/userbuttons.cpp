#include "userbuttons.h"

namespace UserButtonRule {

std::optional<int> shownCount(const QStringList &names)
{
    int filled = 0;
    while (filled < names.size() && !names[filled].isEmpty())
        ++filled;
    for (int later = filled; later < names.size(); ++later) {
        if (!names[later].isEmpty())
            return std::nullopt;
    }
    return filled <= 1 ? 0 : filled;
}

void apply(const QStringList &names, const UserButtons &buttons)
{
    const std::optional<int> shown = shownCount(names);
    if (!shown)
        return;
    for (int index = 0; index < int(buttons.size()); ++index) {
        QAbstractButton *button = buttons[index];
        if (!button)
            continue;
        if (index < *shown)
            button->setText(names[index]);
        button->setVisible(index < *shown);
    }
}

} // namespace UserButtonRule
