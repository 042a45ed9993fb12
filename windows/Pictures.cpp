// Draws the location pin used by the choose-location dialog and the device details window.
#include "windows/Pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace orvelle {

QPixmap LocationPicture(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);

    // A round head on a point, in a 16 by 16 design grid.
    QPainterPath pin;
    pin.moveTo(8, 15.5);
    pin.cubicTo(5, 11, 2.5, 8.5, 2.5, 6);
    pin.arcTo(2.5, 0.5, 11, 11, 180, -180);
    pin.cubicTo(13.5, 8.5, 11, 11, 8, 15.5);
    painter.setPen(QPen(QColor(0x80, 0x10, 0x10), 1));
    painter.setBrush(QColor(0xd8, 0x30, 0x30));
    painter.drawPath(pin);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(8, 6), 2.2, 2.2);
    return picture;
}

} // namespace orvelle
