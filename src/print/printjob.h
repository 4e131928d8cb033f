#pragma once

#include "printpage.h"

class Prompts;

namespace PrintJob {

// The closing steps of every print, once the page is composed: the print
// dialog on a printer of its own, then the page painted on the printer the
// user chose. A cancelled dialog discards the page, and each print starts
// from a new printer, so nothing is carried into the next one. A document
// that cannot be started or ended is told to the user.
void run(const PrintPage &page, Prompts &prompts);

} // namespace PrintJob
