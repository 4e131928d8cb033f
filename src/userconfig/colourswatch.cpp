#include "colourswatch.h"

#include "colourvalue.h"

#include <QApplication>
#include <QEvent>

ColourSwatch::ColourSwatch(qint32 value, QWidget *parent)
    : QLabel(parent)
    , m_value(value)
{
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    paintValue();
}

void ColourSwatch::setValue(qint32 value)
{
    m_value = value;
    paintValue();
}

// A system colour follows the style: taken again when the palette changes.
void ColourSwatch::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::StyleChange)
        paintValue();
}

void ColourSwatch::paintValue()
{
    QPalette swatch = palette();
    swatch.setColor(QPalette::Window, ColourValue::toColour(m_value, QApplication::palette()));
    setPalette(swatch);
}
