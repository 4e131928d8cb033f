#include "slotedit.h"

#include <QKeyEvent>
#include <QValidator>

namespace {

// Runs on every edit made by the user (typing, paste, drop), which is where
// line breaks could come from; texts set by the program come from the store,
// whose slots are split at the line breaks already.
class NoLineBreakValidator final : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        if (input.contains(QLatin1Char('\r')) || input.contains(QLatin1Char('\n')))
            input = SlotEdit::withoutLineBreaks(input);
        return Acceptable;
    }
};

} // namespace

SlotEdit::SlotEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setValidator(new NoLineBreakValidator(this));
}

QString SlotEdit::withoutLineBreaks(const QString &text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String(" "));
    result.replace(QLatin1Char('\r'), QLatin1Char(' '));
    result.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return result;
}

void SlotEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    Q_EMIT doubleClicked();
}

void SlotEdit::keyPressEvent(QKeyEvent *event)
{
    // Enter is ignored here (a slot is one line), and not passed on to the
    // window either.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void SlotEdit::keyReleaseEvent(QKeyEvent *event)
{
    QLineEdit::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        Q_EMIT keyReleased(event->key(), event->modifiers());
}
