#include "pagepainter.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextLayout>

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

// A line wider than the printable area, broken at word boundaries (inside a
// word only when it is longer than the width) so that no text falls off the
// sheet's right edge; a line that fits is kept whole, spaces included.
QStringList fittedRows(const QString &text, const QFont &font, QPaintDevice &device, double width)
{
    if (QFontMetricsF(font, &device).horizontalAdvance(text) <= width)
        return {text};
    QTextLayout layout(text, font, &device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList rows;
    layout.beginLayout();
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        row.setLineWidth(width);
        rows << text.mid(row.textStart(), row.textLength());
    }
    layout.endLayout();
    return rows;
}

// Paints the lines on a device of sheets; `printer` names the destination
// in the messages.
Status paintLines(const PrintPage &page, QPagedPaintDevice &device, const QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&device))
        return notStarted(printer);
    const double left = PagePainter::LeftMarginCm * device.logicalDpiX() / CentimetresPerInch;
    const double top = PagePainter::TopMarginCm * device.logicalDpiY() / CentimetresPerInch;
    const double bottom = device.height();
    const double width = device.width() - left;
    QFont font = painter.font();
    double y = top;
    bool sheetHasLine = false;
    for (const PrintLine &line : page.lines()) {
        font.setPointSize(line.pointSize);
        painter.setFont(font);
        const QFontMetricsF metrics(font, &device);
        for (const QString &row : fittedRows(line.text, font, device, width)) {
            if (sheetHasLine && y + metrics.height() > bottom) {
                if (!device.newPage()) {
                    painter.end();
                    return notEnded(printer);
                }
                y = top;
            }
            painter.drawText(QPointF(left, y + metrics.ascent()), row);
            y += metrics.lineSpacing();
            sheetHasLine = true;
        }
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return notEnded(printer);
    return Status::success();
}

// Qt's PDF output says nothing of a file it could not write (a full disk):
// the page is written through a file of our own, whose errors are seen.
Status paintPdfFile(const PrintPage &page, const QPrinter &printer)
{
    QFile file(printer.outputFileName());
    if (!file.open(QIODevice::WriteOnly))
        return notStarted(printer);
    QPdfWriter writer(&file);
    writer.setPageLayout(printer.pageLayout());
    writer.setResolution(printer.resolution());
    writer.setCreator(printer.creator());
    writer.setTitle(printer.docName());
    Status painted = paintLines(page, writer, printer);
    if (painted && (!file.flush() || file.error() != QFileDevice::NoError))
        return notEnded(printer);
    return painted;
}

} // namespace

namespace PagePainter {

Status paint(const PrintPage &page, QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return paintPdfFile(page, printer);
    return paintLines(page, printer, printer);
}

} // namespace PagePainter
