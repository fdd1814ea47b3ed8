#include "TavButtonTestSkins.h"

#include "controls/CTavButtonCtrl.h"

#include <QWidget>

QStringList AllSkinFileNames()
{
    QStringList names;
    for (const char* base :
         {"addFile",       "addFolder", "capture",     "compact",   "deckSwap", "delete",
          "deleteAll",     "eq",        "fastForward", "list",      "moveDown", "moveUp",
          "nextTrack",     "open",      "play",        "playPause", "powerOn",  "powerOff",
          "previousTrack", "remove",    "rewind",      "reverse",   "save",     "speaker",
          "stop",          "uncompact"}) {
        names << QString::fromLatin1(base) + QLatin1String(".png")
              << QString::fromLatin1(base) + QLatin1String("Selected.png");
    }
    for (const char* base : {"fastForward", "play", "playPause", "rewind", "reverse"}) {
        names << QString::fromLatin1(base) + QLatin1String("Disabled.png");
    }
    return names;
}

CTestSkin::CTestSkin()
{
    const QStringList names = AllSkinFileNames();
    for (int i = 0; i < names.size(); ++i) {
        const QColor color(10 + 4 * i, 200, 40);
        m_names[color.rgb()] = names[i];
        WriteSolid(names[i], color);
    }
    CTavButtonCtrl::SetSkinFolder(m_dir.path());
}

CTestSkin::~CTestSkin()
{
    CTavButtonCtrl::SetSkinFolder(QString());
}

QColor CTestSkin::ColorOf(const QString& name) const
{
    for (const auto& [rgb, fileName] : m_names) {
        if (fileName == name) {
            return QColor::fromRgb(rgb);
        }
    }
    return {};
}

void CTestSkin::Write(const QString& name, const QImage& image) const
{
    image.save(Path(name), "PNG");
}

void CTestSkin::WriteSolid(const QString& name, const QColor& color) const
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(color);
    Write(name, image);
}

QString CTestSkin::NameOf(QRgb pixel) const
{
    if (pixel == TestFaceColor().rgb()) {
        return QStringLiteral("face");
    }
    const auto it = m_names.find(pixel);
    return it == m_names.end() ? QStringLiteral("?") : it->second;
}

QColor TestFaceColor()
{
    return QColor(250, 20, 240);
}

QImage PaintedImage(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

std::string FirstDifference(const QImage& actual, const QImage& expected)
{
    if (actual.size() != expected.size()) {
        return "size differs";
    }
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if (actual.pixel(x, y) != expected.pixel(x, y)) {
                return std::to_string(x) + "," + std::to_string(y) + ": " +
                       QColor(actual.pixel(x, y)).name().toStdString() + " instead of " +
                       QColor(expected.pixel(x, y)).name().toStdString();
            }
        }
    }
    return {};
}
