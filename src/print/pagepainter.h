#pragma once

#include "printpage.h"
#include "status.h"

class QPrinter;

namespace PagePainter {

// Where the text starts inside the printable area. The lists are narrow
// columns and the longest one (29 slots) must stay on one sheet, so the wide
// offset goes to the left, where it leaves room for punching or stapling and
// brings the post-it's title (spaced in by hand) to the middle of the sheet;
// the narrow one goes to the top.
inline constexpr double LeftMarginCm = 3.0;
inline constexpr double TopMarginCm = 1.0;

// Paints the page on the printer, one document: measured in centimetres from
// the printable area's corner, in the face the printer's painter starts with
// (only the size is set), each line below the previous one, flowing onto a
// new sheet when the next line would pass the printable area's bottom. A line
// wider than the sheet goes on below rather than being cut. A document that
// cannot be started or ended gives a French message.
Status paint(const PrintPage &page, QPrinter &printer);

} // namespace PagePainter
