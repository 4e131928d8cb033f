#pragma once

#include "printpage.h"
#include "shownday.h"
#include "slotgrid.h"

// The four printed pages of the shown day, composed as lines with their font
// sizes: a 20-point title block, then the 12-point body.
namespace Compositions {

// The morning list (slots 0..23) or the afternoon list (24..52): the date
// first, then one line per slot, its label followed by the slot's text. The
// ten lists (five grids, two half-days) differ only in their labels. Under an
// interval that is no grid nothing is composed.
PrintPage halfDayList(SlotGrid::HalfDay halfDay, const ShownDay &day);

// The theatre programme under the caption of Label3, and the post-it under
// "NE PAS OUBLIER": the user's name first, then the box's whole text.
PrintPage theatreProgramme(const ShownDay &day);
PrintPage postit(const ShownDay &day);

} // namespace Compositions
