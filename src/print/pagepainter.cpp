#include "pagepainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace {

constexpr double CentimetresPerInch = 2.54;

// The printer named, or the PDF file chosen in the print dialog.
QString destination(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return QStringLiteral("le fichier « %1 »").arg(printer.outputFileName());
    return QStringLiteral("l'imprimante « %1 »").arg(printer.printerName());
}

Status notStarted(const QPrinter &printer)
{
    return Status::failure(QStringLiteral("L'impression n'a pas pu commencer sur %1 : rien n'a été "
                                          "imprimé. Vérifiez l'imprimante ou le dossier choisi, puis "
                                          "recommencez.")
                               .arg(destination(printer)));
}

Status notEnded(const QPrinter &printer)
{
    return Status::failure(QStringLiteral("L'impression n'a pas pu être terminée sur %1 : la page n'a "
                                          "peut-être pas été imprimée en entier. Vérifiez l'imprimante "
                                          "ou le dossier choisi, puis recommencez.")
                               .arg(destination(printer)));
}

} // namespace

namespace PagePainter {

Status paint(const PrintPage &page, QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return notStarted(printer);
    const double dotsPerCentimetre = printer.resolution() / CentimetresPerInch;
    const double left = LeftMarginCm * dotsPerCentimetre;
    const double top = TopMarginCm * dotsPerCentimetre;
    const double bottom = printer.height();
    QFont font = painter.font();
    double y = top;
    bool sheetHasLine = false;
    for (const PrintLine &line : page.lines()) {
        font.setPointSize(line.pointSize);
        const QFontMetricsF metrics(font, &printer);
        if (sheetHasLine && y + metrics.height() > bottom) {
            if (!printer.newPage()) {
                painter.end();
                return notEnded(printer);
            }
            y = top;
        }
        painter.setFont(font);
        painter.drawText(QPointF(left, y + metrics.ascent()), line.text);
        y += metrics.lineSpacing();
        sheetHasLine = true;
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return notEnded(printer);
    return Status::success();
}

} // namespace PagePainter
