// The installed player, started through its link on the PATH under the test run's X server and
// looked at from outside: the skinned buttons show the artwork installed beside the executable and
// both windows carry the icon installed in the icon theme.
// install_test.sh installs the tree and names it in VESSA_INSTALLED_PREFIX; the clip to play is
// VESSA_INSTALL_CLIP.

#include "X11Helpers.h"

#include <QFileInfo>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {

QString Env(const char* name)
{
    return QString::fromLocal8Bit(qgetenv(name));
}

int ChannelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// Whether the picture appears somewhere in the area as drawn on the face colour: every pixel
// within a small distance (scaling, rounding), a handful of pixels excepted.
bool ContainsPicture(const QImage& area, const QImage& picture, QRgb face)
{
    QImage drawn(picture.size(), QImage::Format_RGB32);
    drawn.fill(face);
    {
        QPainter painter(&drawn);
        painter.drawImage(0, 0, picture);
    }
    const int nAllowed = drawn.width() * drawn.height() / 100;
    for (int top = 0; top + drawn.height() <= area.height(); ++top) {
        for (int left = 0; left + drawn.width() <= area.width(); ++left) {
            int nOff = 0;
            for (int y = 0; y < drawn.height() && nOff <= nAllowed; ++y) {
                for (int x = 0; x < drawn.width() && nOff <= nAllowed; ++x) {
                    nOff += ChannelDistance(area.pixel(left + x, top + y), drawn.pixel(x, y)) > 8;
                }
            }
            if (nOff <= nAllowed) {
                return true;
            }
        }
    }
    return false;
}

// The icons a window hands to the window manager (_NET_WM_ICON), by size, as non-premultiplied
// ARGB images.
QHash<int, QImage> WindowIcons(unsigned long window)
{
    const QString text =
        RunTool(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window),
                                          QStringLiteral("-f"), QStringLiteral("_NET_WM_ICON"),
                                          QStringLiteral("32c"), QStringLiteral("_NET_WM_ICON")});
    const QStringList values = text.section(QLatin1Char('='), 1).split(QLatin1Char(','));
    QHash<int, QImage> icons;
    qsizetype i = 0;
    while (i + 2 <= values.size()) {
        const int width = values[i].trimmed().toInt();
        const int height = values[i + 1].trimmed().toInt();
        i += 2;
        if (width <= 0 || height <= 0 || i + qsizetype(width) * height > values.size()) {
            break;
        }
        QImage icon(width, height, QImage::Format_ARGB32);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                icon.setPixel(x, y, static_cast<QRgb>(values[i++].trimmed().toULongLong()));
            }
        }
        icons.insert(width, icon);
    }
    return icons;
}

// Pixels of two icons that differ beyond rounding: alpha, and colour where the pixel is mostly
// opaque (the colour of nearly transparent pixels is lost to premultiplication).
int IconPixelsOff(const QImage& shown, const QImage& installed)
{
    int nOff = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb a = shown.pixel(x, y);
            const QRgb b = installed.pixel(x, y);
            const bool alphaOff = std::abs(qAlpha(a) - qAlpha(b)) > 2;
            nOff += alphaOff || (qAlpha(a) >= 128 && ChannelDistance(a, b) > 3);
        }
    }
    return nOff;
}

class InstalledPlayerTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_FALSE(Env("VESSA_INSTALLED_PREFIX").isEmpty()) << "run through install_test.sh";
        // The link on the PATH, not the executable: the player must find its skins through it.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("VESSA_VIDEO_SINK"));
        s_player = new QProcess;
        s_player->setProcessEnvironment(env);
        s_player->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        s_player->start(Env("VESSA_INSTALLED_PREFIX") + QStringLiteral("/bin/vessa-video-player"),
                        {Env("VESSA_INSTALL_CLIP")});
        s_window = WaitForWindow(QStringLiteral("Vessa Video Player - ") +
                                 QFileInfo(Env("VESSA_INSTALL_CLIP")).fileName());
    }

    static void TearDownTestSuite()
    {
        delete s_player;
        s_player = nullptr;
    }

    void SetUp() override
    {
        ASSERT_NE(s_window, 0u) << "the installed player did not open the clip";
    }

    static QString SkinImage(const char* name)
    {
        return Env("VESSA_INSTALLED_PREFIX") + QStringLiteral("/lib/vessa-video-player/") +
               QLatin1String(name);
    }

    static QString ThemeIcon(int size)
    {
        return Env("VESSA_INSTALLED_PREFIX") +
               QStringLiteral("/share/icons/hicolor/%1x%1/apps/" VESSA_APP_ID ".png").arg(size);
    }

    static inline QProcess* s_player = nullptr;
    static inline unsigned long s_window = 0;
};

TEST_F(InstalledPlayerTest, ButtonsShowTheArtworkInstalledBesideTheExecutable)
{
    const QRect rc = WindowRect(s_window);
    const QImage strip = Screenshot(QStringLiteral("install-buttons.png"))
                             .convertToFormat(QImage::Format_RGB32)
                             .copy(rc.adjusted(0, rc.height() - 64, 0, 0));
    // Above the control strip's group box: the window's face, which the plates' corners show.
    const QRgb face = strip.pixel(1, 1);
    // Play shows its enabled image once the clip has opened.
    for (const char* name : {"open.png", "previousTrack.png", "play.png", "nextTrack.png",
                             "stop.png", "remove.png", "compact.png"}) {
        const QImage picture(SkinImage(name));
        ASSERT_FALSE(picture.isNull()) << name << " is not installed";
        EXPECT_TRUE(ContainsPicture(strip, picture, face))
            << name << " is not on screen (see install-buttons.png)";
    }
}

TEST_F(InstalledPlayerTest, BothWindowsShowTheIconInstalledInTheTheme)
{
    const unsigned long playList = WaitForWindow(QStringLiteral("Play List"));
    for (const unsigned long window : {s_window, playList}) {
        const QHash<int, QImage> icons = WindowIcons(window);
        EXPECT_FALSE(icons.isEmpty()) << "window " << window << " has no icon";
        for (auto it = icons.cbegin(); it != icons.cend(); ++it) {
            const QImage installed =
                QImage(ThemeIcon(it.key())).convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(installed.size(), it.value().size()) << "no " << it.key() << " px icon";
            EXPECT_EQ(IconPixelsOff(it.value(), installed), 0)
                << "window " << window << ", " << it.key() << " px";
        }
    }
}

} // namespace
