#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

// A printed PDF file read back with poppler's tools: its text laid out as on
// the sheet (pdftotext -layout), page by page, and its page count (pdfinfo).
struct PdfText
{
    QStringList pages; // one text per page, lines separated by '\n'

    static PdfText read(const QString &path)
    {
        PdfText result;
        const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        result.pages = text.split(QLatin1Char('\f'));
        if (!result.pages.isEmpty() && result.pages.last().trimmed().isEmpty())
            result.pages.removeLast(); // pdftotext ends every page with a form feed
        return result;
    }

    static int pageCount(const QString &path)
    {
        static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                              QRegularExpression::MultilineOption);
        return pages.match(run(QStringLiteral("pdfinfo"), {path})).captured(1).toInt();
    }

    // Every non-empty line of every page, in order.
    QStringList lines() const
    {
        QStringList result;
        for (const QString &page : pages) {
            for (const QString &line : page.split(QLatin1Char('\n'))) {
                if (!line.trimmed().isEmpty())
                    result << line;
            }
        }
        return result;
    }

    // The first line holding `text`; empty when none does.
    QString lineWith(const QString &text) const
    {
        for (const QString &line : lines()) {
            if (line.contains(text))
                return line;
        }
        return QString();
    }

    // A poppler tool's output; a failing tool ends the test program.
    static QString run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(-1) || process.exitCode() != 0)
            qFatal("%s failed on %s", qPrintable(program), qPrintable(arguments.join(QLatin1Char(' '))));
        return QString::fromUtf8(process.readAllStandardOutput());
    }
};
