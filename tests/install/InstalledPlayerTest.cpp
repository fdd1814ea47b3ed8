// The installed player, started through its link on the PATH under the test run's X server and
// looked at from outside: the skinned buttons show the artwork installed beside the executable and
// both windows carry the icons installed in the icon theme.
// install_test.sh installs the tree and names it in VESSA_INSTALLED_PREFIX; the clip to play is
// VESSA_INSTALL_CLIP.

#include "X11Helpers.h"

#include <QFileInfo>
#include <QPainter>

#include <cstdlib>

namespace {

int ChannelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// The icons the window hands to the window manager (_NET_WM_ICON: width, height and the ARGB
// pixels of each size) against the theme's installed icons of those sizes: alpha, and colour where
// the pixel is mostly opaque (the colour of nearly transparent pixels is lost to
// premultiplication).
void ExpectTheInstalledIcons(unsigned long window, const QString& strPrefix)
{
    const QStringList values =
        Tool(QStringLiteral("xprop -id %1 -f _NET_WM_ICON 32c _NET_WM_ICON").arg(window))
            .section(QLatin1Char('='), 1)
            .split(QLatin1Char(','));
    int nIcons = 0;
    for (qsizetype i = 0; i + 2 <= values.size(); ++nIcons) {
        const int width = values[i].trimmed().toInt();
        const int height = values[i + 1].trimmed().toInt();
        i += 2;
        ASSERT_TRUE(width > 0 && height > 0 && i + qsizetype(width) * height <= values.size());
        const QImage installed =
            QImage(
                strPrefix +
                QStringLiteral("/share/icons/hicolor/%1x%1/apps/" VESSA_APP_ID ".png").arg(width))
                .convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(installed.size(), QSize(width, height)) << "no " << width << " px icon";
        int nOff = 0;
        for (int n = 0; n < width * height; ++n) {
            const auto shown = static_cast<QRgb>(values[i++].trimmed().toULongLong());
            const QRgb wanted = installed.pixel(n % width, n / width);
            nOff += std::abs(qAlpha(shown) - qAlpha(wanted)) > 2 ||
                    (qAlpha(shown) >= 128 && ChannelDistance(shown, wanted) > 3);
        }
        EXPECT_EQ(nOff, 0) << "window " << window << ", " << width << " px";
    }
    EXPECT_GT(nIcons, 0) << "window " << window << " has no icon";
}

} // namespace

TEST(InstalledPlayerTest, ButtonsShowTheInstalledArtworkAndBothWindowsTheInstalledIcons)
{
    const QString strPrefix = QString::fromLocal8Bit(qgetenv("VESSA_INSTALLED_PREFIX"));
    ASSERT_FALSE(strPrefix.isEmpty()) << "run through install_test.sh";
    // The link on the PATH, not the executable: the player must find its skins through it.
    QProcess player;
    const QString strClip = QString::fromLocal8Bit(qgetenv("VESSA_INSTALL_CLIP"));
    StartPlayer(player, {strClip}, QString(), {}, false,
                strPrefix + QStringLiteral("/bin/vessa-video-player"));
    const unsigned long window =
        WaitForWindow(QStringLiteral("Vessa Video Player - ") + QFileInfo(strClip).fileName());
    ASSERT_NE(window, 0u) << "the installed player did not open the clip";

    // Each button of the strip shows its image drawn on the window's face, as it stands above the
    // strip's group box; Play its enabled image, once the clip has opened.
    const QRect rc = WindowRect(window);
    const QImage screen =
        Screenshot(QStringLiteral("install-buttons.png")).convertToFormat(QImage::Format_RGB32);
    const QRgb face = screen.pixel(rc.left() + 1, rc.bottom() - 62);
    const char* names[] = {"open.png", "previousTrack.png", "play.png",   "nextTrack.png",
                           "stop.png", "remove.png",        "compact.png"};
    for (int nSlot = 0; nSlot < 7; ++nSlot) {
        QImage drawn(32, 25, QImage::Format_RGB32);
        drawn.fill(face);
        const QImage skin(strPrefix + QStringLiteral("/lib/vessa-video-player/") +
                          QLatin1String(names[nSlot]));
        ASSERT_FALSE(skin.isNull()) << names[nSlot] << " is not installed";
        QPainter(&drawn).drawImage(0, 0, skin);
        const QPoint topLeft = rc.topLeft() + StripButton(rc.size(), nSlot) - QPoint(16, 12);
        int nOff = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                nOff +=
                    ChannelDistance(screen.pixel(topLeft + QPoint(x, y)), drawn.pixel(x, y)) > 8;
            }
        }
        EXPECT_LE(nOff, 8) << names[nSlot] << " is not on screen (see install-buttons.png)";
    }

    for (const unsigned long shown : {window, WaitForWindow(QStringLiteral("Play List"))}) {
        ExpectTheInstalledIcons(shown, strPrefix);
    }
}
