#include "halfdaypicture.h"

#include <QPainter>
#include <QPixmap>

namespace HalfDayPicture {

namespace {

constexpr int Size = 48; // drawn once, scaled down by the icon

void drawSun(QPainter &painter, HalfDay halfDay)
{
    // Morning: rising at the left; afternoon: setting at the right.
    const QPointF centre = halfDay == HalfDay::Morning ? QPointF(16, 30) : QPointF(32, 30);
    painter.setPen(QPen(QColor(0xd0, 0x80, 0x00), 2));
    for (int ray = 0; ray < 7; ++ray) {
        painter.save();
        painter.translate(centre);
        painter.rotate(-90 + (ray - 3) * 30);
        painter.drawLine(QPointF(12, 0), QPointF(17, 0));
        painter.restore();
    }
    painter.setBrush(QColor(0xff, 0xc8, 0x20));
    painter.drawEllipse(centre, 9, 9);
    // The horizon hides the lower half of the sun.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x60, 0x90, 0x40));
    painter.drawRect(QRectF(0, 31, Size, Size - 31));
}

void drawCrossOut(QPainter &painter)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xc0, 0x00, 0x00), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawEllipse(QPointF(24, 24), 20, 20);
    painter.drawLine(QPointF(10, 10), QPointF(38, 38));
}

void drawWaves(QPainter &painter, HalfDay halfDay)
{
    // The waves spread from the side away from the sun.
    const bool fromRight = halfDay == HalfDay::Morning;
    const QPointF source = fromRight ? QPointF(44, 14) : QPointF(4, 14);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x10, 0x40, 0xb0), 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int wave = 1; wave <= 3; ++wave) {
        const qreal radius = 5.0 * wave;
        const QRectF box(source.x() - radius, source.y() - radius, 2 * radius, 2 * radius);
        painter.drawArc(box, (fromRight ? 135 : -45) * 16, 90 * 16);
    }
}

} // namespace

QIcon icon(Mark mark, HalfDay halfDay)
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    drawSun(painter, halfDay);
    if (mark == Mark::Absence)
        drawCrossOut(painter);
    else
        drawWaves(painter, halfDay);
    painter.end();
    return QIcon(pixmap);
}

} // namespace HalfDayPicture
