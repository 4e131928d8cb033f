#pragma once

#include "userconfig.h"

#include <QAbstractButton>
#include <QPointer>
#include <QStringList>

#include <array>
#include <optional>

// The main window's user buttons CmdUtilisat1 .. CmdUtilisat6, as the
// configuration window updates them after saving.
using UserButtons = std::array<QPointer<QAbstractButton>, UserCount>;

namespace UserButtonRule {

// How many buttons to show for these six names: k when names 1 to k are
// filled and the others empty, none at all when k is 0 or 1 (one user needs
// no switching); nothing when an empty name comes before a filled one.
std::optional<int> shownCount(const QStringList &names);

// Shows buttons 1 to k with names 1 to k and hides the others; leaves them
// all as they are when the names leave a gap.
void apply(const QStringList &names, const UserButtons &buttons);

} // namespace UserButtonRule
