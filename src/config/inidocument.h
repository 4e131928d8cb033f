#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The text of one settings file: "[section]" headers and "key=value" lines.
// Section and key names are matched without regard to case. Lines it is not
// asked to change stay as they are (comments, blank lines, other sections),
// and a rewritten value keeps the key's spelling already in the file.
//
// A value is UTF-8 text escaped with backslashes so that it fits on its line
// and keeps its blanks: \\ a backslash, \n \r \t, \xHH any other control
// character and a space at either end. Blanks around the "=" and at the end
// of a line are not part of the value, so a hand-written "KEY = value " reads
// "value"; a backslash before anything else stays a backslash.
class IniDocument
{
public:
    // Each line is read as UTF-8 when valid, as Windows-1252 otherwise, so a
    // hand-edited file keeps its accents.
    static IniDocument fromBytes(const QByteArray &bytes);

    std::optional<QString> value(const QString &section, const QString &key) const;
    void setValue(const QString &section, const QString &key, const QString &value);
    QByteArray toUtf8() const;

    // Whether a section or key name can be written: not empty, on one line,
    // no blank at either end, no "=", "[" or "]", not starting like a comment.
    static bool isValidName(const QString &name);
    static QString escape(const QString &value);
    static QString unescape(QStringView text);

private:
    struct Entry
    {
        QString key;
        QStringView rawValue;
    };
    static std::optional<QString> sectionName(const QString &line);
    static std::optional<Entry> entry(const QString &line);
    // The line holding the key, or -1.
    qsizetype findKey(const QString &section, const QString &key) const;
    // Where a new key of the section goes, or -1 when the section is missing.
    qsizetype insertionLine(const QString &section) const;

    QStringList m_lines;
};
