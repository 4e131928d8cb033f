#include "inidocument.h"

#include "legacytext.h"

namespace {

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

int hexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}

// Characters written as a backslash and a letter.
struct NamedEscape
{
    char16_t character;
    char16_t letter;
};
constexpr NamedEscape NamedEscapes[] = {{u'\\', u'\\'}, {u'\n', u'n'}, {u'\r', u'r'}, {u'\t', u't'}};

const NamedEscape *namedEscape(QChar c, char16_t NamedEscape::*by)
{
    for (const NamedEscape &escape : NamedEscapes) {
        if (escape.*by == c.unicode())
            return &escape;
    }
    return nullptr;
}

bool startsLikeComment(QStringView text)
{
    return text.startsWith(u';') || text.startsWith(u'#');
}

} // namespace

IniDocument IniDocument::fromBytes(const QByteArray &bytes)
{
    IniDocument document;
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.last().isEmpty()) // the final line end does not begin a line
        lines.removeLast();
    for (QByteArray &line : lines) {
        // Every carriage return before the line feed belongs to the line end:
        // one kept would read differently once the file is written back with
        // plain line feeds (a "[a]" CR header would become a section).
        while (line.endsWith('\r'))
            line.chop(1);
        document.m_lines.append(LegacyText::decode(line));
    }
    return document;
}

QByteArray IniDocument::toUtf8() const
{
    QByteArray bytes;
    for (const QString &line : m_lines)
        bytes += line.toUtf8() + '\n';
    return bytes;
}

std::optional<QString> IniDocument::sectionName(const QString &line)
{
    const QStringView text = LegacyText::trimBlanks(line);
    if (text.size() < 2 || !text.startsWith(u'[') || !text.endsWith(u']'))
        return std::nullopt;
    return LegacyText::trimBlanks(text.mid(1, text.size() - 2)).toString();
}

std::optional<IniDocument::Entry> IniDocument::entry(const QString &line)
{
    const QStringView text = LegacyText::trimBlanks(line);
    if (text.startsWith(u'[') || startsLikeComment(text))
        return std::nullopt;
    const qsizetype equals = text.indexOf(u'=');
    if (equals <= 0)
        return std::nullopt;
    const QStringView key = LegacyText::trimBlanks(text.left(equals));
    if (key.isEmpty())
        return std::nullopt;
    return Entry{key.toString(), LegacyText::trimBlanks(text.mid(equals + 1))};
}

qsizetype IniDocument::findKey(const QString &section, const QString &key) const
{
    bool inSection = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (const auto name = sectionName(m_lines[i])) {
            inSection = name->compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const auto found = entry(m_lines[i]);
        if (found && found->key.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

qsizetype IniDocument::insertionLine(const QString &section) const
{
    qsizetype header = 0;
    while (header < m_lines.size()) {
        const auto name = sectionName(m_lines[header]);
        if (name && name->compare(section, Qt::CaseInsensitive) == 0)
            break;
        ++header;
    }
    if (header == m_lines.size())
        return -1;
    qsizetype after = header + 1;
    for (qsizetype i = header + 1; i < m_lines.size() && !sectionName(m_lines[i]); ++i) {
        if (entry(m_lines[i]))
            after = i + 1;
    }
    return after;
}

std::optional<QString> IniDocument::value(const QString &section, const QString &key) const
{
    const qsizetype line = findKey(section, key);
    if (line < 0)
        return std::nullopt;
    return unescape(entry(m_lines[line])->rawValue);
}

void IniDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString escaped = escape(value);
    if (const qsizetype line = findKey(section, key); line >= 0) {
        m_lines[line] = entry(m_lines[line])->key + u'=' + escaped;
        return;
    }
    if (const qsizetype line = insertionLine(section); line >= 0) {
        m_lines.insert(line, key + u'=' + escaped);
        return;
    }
    if (!m_lines.isEmpty() && !LegacyText::trimBlanks(m_lines.last()).isEmpty())
        m_lines.append(QString());
    m_lines.append(u'[' + section + u']');
    m_lines.append(key + u'=' + escaped);
}

bool IniDocument::isValidName(const QString &name)
{
    if (name.isEmpty() || LegacyText::trimBlanks(name).size() != name.size()
        || startsLikeComment(name))
        return false;
    for (const QChar c : name) {
        if (isControl(c) || c == u'=' || c == u'[' || c == u']')
            return false;
    }
    return true;
}

QString IniDocument::escape(const QString &value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        const bool edge = i == 0 || i == value.size() - 1;
        if (const NamedEscape *named = namedEscape(c, &NamedEscape::character)) {
            escaped += u'\\';
            escaped += QChar(named->letter);
        } else if (isControl(c) || (edge && c == u' ')) {
            escaped += u"\\x" + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        } else {
            escaped += c;
        }
    }
    return escaped;
}

QString IniDocument::unescape(QStringView text)
{
    QString value;
    value.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (c != u'\\') {
            value += c;
        } else if (const NamedEscape *named = namedEscape(next, &NamedEscape::letter)) {
            value += QChar(named->character);
            ++i;
        } else if (next == u'x' && i + 3 < text.size() && hexDigit(text[i + 2]) >= 0
                   && hexDigit(text[i + 3]) >= 0) {
            value += QChar(char16_t(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3])));
            i += 3;
        } else {
            value += c; // not an escape: the backslash stands for itself
        }
    }
    return value;
}
