#include "programidentity.h"

#include <QPainter>

namespace ProgramIdentity {

QString title()
{
    return QStringLiteral("PLANORA");
}

QString versionNumber()
{
    return QString::number(PLANORA_VERSION_MAJOR) + QLatin1Char('.') + QString::number(PLANORA_VERSION_MINOR)
           + QLatin1Char('.') + QString::number(PLANORA_VERSION_PATCH);
}

// An open appointment book: two pages of lines, a few of them filled.
QPixmap picture()
{
    QPixmap picture(128, 96);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(90, 40, 20), 2));
    painter.setBrush(QColor(150, 60, 40));
    painter.drawRoundedRect(QRectF(4, 8, 120, 82), 6, 6);
    painter.setPen(QPen(QColor(120, 120, 120), 1));
    painter.setBrush(QColor(252, 250, 240));
    painter.drawRect(QRectF(10, 12, 53, 72));
    painter.drawRect(QRectF(65, 12, 53, 72));
    for (int line = 0; line < 8; ++line) {
        const qreal y = 22 + line * 8;
        painter.setPen(QPen(QColor(180, 200, 230), 1));
        painter.drawLine(QPointF(14, y), QPointF(59, y));
        painter.drawLine(QPointF(69, y), QPointF(114, y));
        if (line % 3 == 1) {
            painter.setPen(QPen(QColor(30, 60, 140), 2));
            painter.drawLine(QPointF(16, y - 3), QPointF(44, y - 3));
        }
    }
    painter.setPen(QPen(QColor(200, 30, 30), 2));
    painter.drawLine(QPointF(71, 43), QPointF(100, 43));
    return picture;
}

} // namespace ProgramIdentity
