// Build-time tool: renders the skin images of the image buttons.
//
//   vessa_render_skin MANIFEST SYMBOL_FOLDER OUTPUT_FOLDER
//
// Each line of the manifest names a symbol (SYMBOL_FOLDER/<name>.svg), the pixel size of its
// images and whether it has a disabled image. Every image is a rounded plate in the look of its
// state with the symbol in the middle; outside the plate's corners the image is transparent, so
// the button's face colour shows there. One SVG unit of a symbol is one pixel, which keeps
// straight edges on whole pixels.

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>
#include <vector>

namespace {

struct StateLook
{
    const char* suffix;
    QColor plateTop;
    QColor plateBottom;
    QColor border;
    QColor innerEdge;   // a one-pixel line just inside the top edge: light when raised, dark when
                        // pressed
    QPoint symbolShift; // pressed symbols move down and right, as if pushed in
    bool engraved;      // a light copy of the symbol one pixel below it
    bool grey;
    qreal symbolOpacity;
};

// The plates are partly transparent so that they take on the face colour under them.
const StateLook kNormal{"",
                        QColor(255, 255, 255, 215),
                        QColor(255, 255, 255, 70),
                        QColor(38, 50, 62, 150),
                        QColor(255, 255, 255, 230),
                        QPoint(0, 0),
                        true,
                        false,
                        1.0};
const StateLook kSelected{"Selected",
                          QColor(20, 34, 48, 75),
                          QColor(20, 34, 48, 20),
                          QColor(20, 32, 44, 205),
                          QColor(0, 0, 0, 60),
                          QPoint(1, 1),
                          false,
                          false,
                          1.0};
const StateLook kDisabled{"Disabled",
                          QColor(255, 255, 255, 110),
                          QColor(255, 255, 255, 60),
                          QColor(38, 50, 62, 70),
                          QColor(255, 255, 255, 120),
                          QPoint(0, 0),
                          false,
                          true,
                          0.42};

constexpr qreal kCornerRadius = 4.0;

QImage RenderSymbol(QSvgRenderer& svg)
{
    const QSize size = svg.viewBoxF().size().toSize();
    QImage symbol(size, QImage::Format_ARGB32_Premultiplied);
    symbol.fill(Qt::transparent);
    QPainter painter(&symbol);
    svg.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return symbol;
}

// The symbol in one flat colour, keeping its shape and edge smoothing.
QImage Tinted(const QImage& symbol, const QColor& colour)
{
    QImage tinted = symbol;
    QPainter painter(&tinted);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(tinted.rect(), colour);
    return tinted;
}

// The symbol in greys of its own lightness, slightly lifted so that dark ink turns mid-grey.
QImage Greyed(const QImage& symbol)
{
    QImage grey = symbol.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int level = 70 + qGray(line[x]) * 3 / 5;
            line[x] = qRgba(level, level, level + 4, qAlpha(line[x]));
        }
    }
    return grey;
}

void DrawPlate(QPainter& painter, const QSize& size, const StateLook& look)
{
    const QRectF outline(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    QPainterPath plate;
    plate.addRoundedRect(outline, kCornerRadius, kCornerRadius);

    QLinearGradient fill(0, 0, 0, size.height());
    fill.setColorAt(0.0, look.plateTop);
    fill.setColorAt(1.0, look.plateBottom);
    painter.fillPath(plate, fill);

    painter.save();
    painter.setClipPath(plate);
    painter.setPen(QPen(look.innerEdge, 1.0));
    painter.drawLine(QPointF(2.0, 1.5), QPointF(size.width() - 2.0, 1.5));
    painter.restore();

    painter.setPen(QPen(look.border, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(plate);
}

QImage RenderState(const QImage& symbol, const QSize& size, const StateLook& look)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawPlate(painter, size, look);

    const QPoint corner =
        QPoint((size.width() - symbol.width()) / 2, (size.height() - symbol.height()) / 2) +
        look.symbolShift;
    if (look.engraved) {
        painter.setOpacity(0.7);
        painter.drawImage(corner + QPoint(0, 1), Tinted(symbol, Qt::white));
    }
    painter.setOpacity(look.symbolOpacity);
    painter.drawImage(corner, look.grey ? Greyed(symbol) : symbol);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool RenderEntry(const QStringList& fields, const QString& symbolFolder,
                 const QString& outputFolder)
{
    const QString name = fields[0];
    const QSize size(fields[1].toInt(), fields[2].toInt());
    const bool hasDisabled = fields.size() > 3 && fields[3] == QLatin1String("disabled");

    QSvgRenderer svg(symbolFolder + QLatin1Char('/') + name + QLatin1String(".svg"));
    if (!svg.isValid() || size.isEmpty()) {
        std::fprintf(stderr, "skin: cannot render %s\n", qPrintable(name));
        return false;
    }
    const QImage symbol = RenderSymbol(svg);
    if (symbol.width() > size.width() - 4 || symbol.height() > size.height() - 4) {
        std::fprintf(stderr, "skin: symbol %s does not fit its image\n", qPrintable(name));
        return false;
    }

    std::vector<const StateLook*> looks{&kNormal, &kSelected};
    if (hasDisabled) {
        looks.push_back(&kDisabled);
    }
    for (const StateLook* look : looks) {
        const QString path = outputFolder + QLatin1Char('/') + name + QLatin1String(look->suffix) +
                             QLatin1String(".png");
        if (!RenderState(symbol, size, *look).save(path, "PNG")) {
            std::fprintf(stderr, "skin: cannot write %s\n", qPrintable(path));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: vessa_render_skin MANIFEST SYMBOL_FOLDER OUTPUT_FOLDER\n");
        return 2;
    }
    QFile manifest(args[1]);
    if (!manifest.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "skin: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    QTextStream lines(&manifest);
    bool ok = true;
    while (!lines.atEnd()) {
        const QString line = lines.readLine().section(QLatin1Char('#'), 0, 0).simplified();
        if (line.isEmpty()) {
            continue;
        }
        const QStringList fields = line.split(QLatin1Char(' '));
        if (fields.size() < 3) {
            std::fprintf(stderr, "skin: bad manifest line: %s\n", qPrintable(line));
            ok = false;
            continue;
        }
        ok = RenderEntry(fields, args[2], args[3]) && ok;
    }
    return ok ? 0 : 1;
}
