#pragma once

#include <QLineEdit>

// The text box of one slot: a single line that never holds a line break
// (Enter does nothing; a pasted or dropped line break becomes one space),
// and that reports double clicks and key releases to the day view.
class SlotEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit SlotEdit(QWidget *parent = nullptr);

    // CR LF, CR and LF each become one space.
    static QString withoutLineBreaks(const QString &text);

Q_SIGNALS:
    void doubleClicked();
    void keyReleased(int key, Qt::KeyboardModifiers modifiers);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
};
