#include "colourswatch.h"

#include "colourvalue.h"

#include <QApplication>

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

void ColourSwatch::paintValue()
{
    QPalette swatch = palette();
    swatch.setColor(QPalette::Window, ColourValue::toColour(m_value, QApplication::palette()));
    setPalette(swatch);
}
