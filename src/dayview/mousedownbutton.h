#pragma once

#include <QPushButton>

// A button that acts as soon as any mouse button (left, right or middle) is
// pressed on it, and never from the keyboard: its access key, space and Enter
// do nothing. The user, previous/next-day and half-day buttons are of this kind.
// A button given an icon shows it above its caption, as on the half-day buttons.
class MouseDownButton : public QPushButton
{
    Q_OBJECT

public:
    explicit MouseDownButton(const QString &text, QWidget *parent = nullptr);

Q_SIGNALS:
    void mouseDown(Qt::MouseButton button);

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
