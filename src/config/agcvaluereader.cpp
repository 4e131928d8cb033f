#include "agcvaluereader.h"

#include "legacytext.h"

namespace {

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

bool endsValue(QChar c)
{
    return c == u',' || isLineEnd(c);
}

AgcValue classify(QStringView raw)
{
    const QStringView text = LegacyText::trimBlanks(raw);
    if (text.compare(u"#TRUE#", Qt::CaseInsensitive) == 0)
        return AgcValue::boolean(true);
    if (text.compare(u"#FALSE#", Qt::CaseInsensitive) == 0)
        return AgcValue::boolean(false);
    if (const auto number = AgcValue::parseNumber(text))
        return AgcValue::number(*number);
    return AgcValue::text(text.toString());
}

} // namespace

AgcValueReader::AgcValueReader(QString content)
    : m_content(std::move(content))
{
}

void AgcValueReader::skipBlanks()
{
    while (m_position < m_content.size() && LegacyText::isBlank(m_content[m_position]))
        ++m_position;
}

qsizetype AgcValueReader::valueEnd(qsizetype from) const
{
    while (from < m_content.size() && !endsValue(m_content[from]))
        ++from;
    return from;
}

void AgcValueReader::moveAfterValue(qsizetype end)
{
    m_position = end;
    if (m_position >= m_content.size())
        return;
    const bool crLf = m_content[m_position] == u'\r' && m_position + 1 < m_content.size()
        && m_content[m_position + 1] == u'\n';
    m_position += crLf ? 2 : 1;
}

bool AgcValueReader::atEnd()
{
    qsizetype position = m_position;
    while (position < m_content.size()
           && (LegacyText::isBlank(m_content[position]) || isLineEnd(m_content[position])))
        ++position;
    return position >= m_content.size();
}

std::optional<AgcValue> AgcValueReader::next()
{
    if (atEnd())
        return std::nullopt;
    skipBlanks();

    if (m_content[m_position] == u'"') {
        const qsizetype start = m_position + 1;
        qsizetype close = m_content.indexOf(u'"', start);
        if (close < 0) // an unclosed quote runs to the end of the file
            close = m_content.size();
        const QString text = m_content.mid(start, close - start);
        moveAfterValue(valueEnd(qMin(close + 1, m_content.size())));
        return AgcValue::text(text);
    }

    const qsizetype start = m_position;
    const qsizetype end = valueEnd(start);
    moveAfterValue(end);
    return classify(QStringView(m_content).mid(start, end - start));
}
