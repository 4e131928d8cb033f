#include "mousedownbutton.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {

bool isActivationKey(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter
        || key == Qt::Key_Select;
}

} // namespace

MouseDownButton::MouseDownButton(const QString &text, QWidget *parent)
    : QPushButton(text, parent)
{
    setAutoDefault(false);
}

bool MouseDownButton::event(QEvent *event)
{
    // The access key of the caption ("&<") is shown but does not activate.
    if (event->type() == QEvent::Shortcut) {
        event->accept();
        return true;
    }
    return QPushButton::event(event);
}

void MouseDownButton::mousePressEvent(QMouseEvent *event)
{
    // The left button keeps its pressed look; the other buttons are not
    // handled by QPushButton at all, so the signal is the one way in.
    if (event->button() == Qt::LeftButton)
        QPushButton::mousePressEvent(event);
    else
        event->accept();
    Q_EMIT mouseDown(event->button());
}

void MouseDownButton::keyPressEvent(QKeyEvent *event)
{
    if (isActivationKey(event->key())) {
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void MouseDownButton::keyReleaseEvent(QKeyEvent *event)
{
    if (isActivationKey(event->key())) {
        event->accept();
        return;
    }
    QPushButton::keyReleaseEvent(event);
}
