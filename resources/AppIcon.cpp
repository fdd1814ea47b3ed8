#include "resources/AppIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QImage RenderAppIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/icons/vessa-video-player.svg"));
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

QIcon LoadAppIcon()
{
    // Drawn per size rather than scaled from one picture, so the small sizes stay sharp.
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(QPixmap::fromImage(RenderAppIcon(size)));
    }
    return icon;
}
