#include "printjob.h"

#include "pagepainter.h"
#include "prompts.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>

namespace PrintJob {

void run(const PrintPage &page, Prompts &prompts)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("PLANORA")); // the job's name in the printer's queue
    printer.setCreator(QStringLiteral("PLANORA"));
    // Without any printer installed the dialog opens on printing to a PDF
    // file, already named, rather than on a printer that does not exist.
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir::home().filePath(QStringLiteral("PLANORA.pdf")));
    }
    // Decided: cancelling the dialog drops the composed page at once. The
    // page lives in memory until painted and every print has a printer of
    // its own, so neither a cancel nor a failure leaves a document pending
    // for the next print.
    if (!prompts.choosePrinter(printer))
        return;
    // Decided: a page with nothing composed on it (an interval that is no
    // grid) sends no blank sheet; the dialog was still shown, as for any print.
    if (page.isEmpty())
        return;
    const Status painted = PagePainter::paint(page, printer);
    if (!painted)
        prompts.information(painted.message());
}

} // namespace PrintJob
