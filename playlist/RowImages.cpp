#include "playlist/RowImages.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

using Draw = void (*)(QPainter&);

const QColor kTileTop(0x3B, 0x82, 0xE0);
const QColor kTileBottom(0x1A, 0x4F, 0xA8);
const QColor kTileEdge(0x12, 0x3A, 0x7E);
const QColor kCream(0xFF, 0xFB, 0xEE);

// The rounded blue tile that the stop, play and arrow pictures stand on.
void DrawTile(QPainter& painter)
{
    QLinearGradient fill(0, 0, 0, kRowImageSize);
    fill.setColorAt(0, kTileTop);
    fill.setColorAt(1, kTileBottom);
    painter.setPen(QPen(kTileEdge, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
}

void DrawStop(QPainter& painter)
{
    DrawTile(painter);
    painter.drawRect(QRectF(4, 4, 8, 8));
}

void DrawPlain(QPainter& painter)
{
    painter.fillRect(QRect(0, 0, kRowImageSize, kRowImageSize), kCream);
}

void DrawPlay(QPainter& painter)
{
    DrawTile(painter);
    const QPointF triangle[] = {{5.0, 3.5}, {12.5, 8.0}, {5.0, 12.5}};
    painter.drawPolygon(triangle, 3);
}

void DrawArrow(QPainter& painter)
{
    DrawTile(painter);
    const QPointF arrow[] = {{3.0, 6.0},  {8.0, 6.0},  {8.0, 3.0}, {13.0, 8.0},
                             {8.0, 13.0}, {8.0, 10.0}, {3.0, 10.0}};
    painter.drawPolygon(arrow, 7);
}

void DrawQuestion(QPainter& painter)
{
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(0.5, 0.5, 15, 15));

    QPainterPath hook;
    hook.moveTo(5.0, 5.5);
    hook.cubicTo(5.0, 2.5, 11.0, 2.5, 11.0, 5.5);
    hook.cubicTo(11.0, 7.5, 8.0, 7.5, 8.0, 10.0);
    painter.setPen(QPen(Qt::black, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(hook);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPointF(8.0, 12.75), 1.25, 1.25);
}

QPixmap Render(Draw draw)
{
    QImage image(kRowImageSize, kRowImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return QPixmap::fromImage(image);
}

} // namespace

QList<QPixmap> CreateRowImages()
{
    const Draw drawings[kRowImageCount] = {DrawStop, DrawPlain, DrawPlay, DrawArrow, DrawQuestion};
    QList<QPixmap> images;
    for (Draw draw : drawings) {
        images.append(Render(draw));
    }
    return images;
}
