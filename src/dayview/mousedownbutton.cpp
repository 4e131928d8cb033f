#include "mousedownbutton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

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

void MouseDownButton::paintEvent(QPaintEvent *event)
{
    if (icon().isNull()) {
        QPushButton::paintEvent(event);
        return;
    }
    // The style would put the icon beside the caption, which a square button
    // has no room for: draw the bare button, then the picture over the caption.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    const QRect inside = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int captionHeight = fontMetrics().height();
    const int side = qMax(0, qMin(inside.width(), inside.height() - captionHeight));
    const QRect pictureRect(inside.left() + (inside.width() - side) / 2, inside.top(), side, side);
    icon().paint(&painter, pictureRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    const QRect captionRect(inside.left(), inside.bottom() - captionHeight + 1, inside.width(), captionHeight);
    painter.drawItemText(captionRect, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                         isEnabled(), text(), QPalette::ButtonText);
}
