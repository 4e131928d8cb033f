#include "memoedit.h"

MemoEdit::MemoEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
}

void MemoEdit::setStoredText(const QString &text)
{
    setPlainText(text);
    m_shownText = text;
    m_shownPlain = toPlainText();
}

QString MemoEdit::storedText() const
{
    const QString plain = toPlainText(); // one LF between lines
    if (plain == m_shownPlain)
        return m_shownText;
    return QString(plain).replace(u'\n', QStringLiteral("\r\n"));
}
