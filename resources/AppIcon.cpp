#include "resources/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap DrawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;

    // The frame: a dark rounded rectangle with sprocket holes along the top and bottom.
    const QRectF frame(s * 0.06, s * 0.14, s * 0.88, s * 0.72);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x26, 0x32, 0x3f));
    painter.drawRoundedRect(frame, s * 0.1, s * 0.1);
    painter.setBrush(QColor(0xe8, 0xee, 0xf4));
    const qreal hole = s * 0.07;
    for (int i = 0; i < 5; ++i) {
        const qreal x = frame.left() + s * 0.08 + i * s * 0.16;
        painter.drawRect(QRectF(x, frame.top() + s * 0.04, hole, hole));
        painter.drawRect(QRectF(x, frame.bottom() - s * 0.04 - hole, hole, hole));
    }

    // The play triangle in the middle.
    QPainterPath triangle;
    triangle.moveTo(s * 0.40, s * 0.34);
    triangle.lineTo(s * 0.66, s * 0.50);
    triangle.lineTo(s * 0.40, s * 0.66);
    triangle.closeSubpath();
    painter.setBrush(QColor(0xf2, 0x9b, 0x1d));
    painter.drawPath(triangle);
    return pixmap;
}

} // namespace

QIcon LoadAppIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        icon.addPixmap(DrawIcon(size));
    }
    return icon;
}
