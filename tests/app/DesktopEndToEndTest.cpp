// The real executable as a citizen of the desktop, each run on a session bus of the test's own:
// the desktop's media controls driving it over MPRIS, and the screen kept on while a video plays
// (through the desktop's screen saver service, else the X server's screen saver).

#include "TestMedia.h"
#include "X11Helpers.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <memory>
#include <vector>

namespace {

const QString kTitle = QStringLiteral("Vessa Video Player - ");

// A dbus-daemon of the test's own, ended with the test.
class CPrivateBus
{
public:
    CPrivateBus()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address")});
        if (!QTest::qWaitFor([this] { return m_daemon.canReadLine(); }, 10000)) {
            return; // no bus: IsRunning() says so
        }
        m_strAddress = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
        m_strConnection = QStringLiteral("test-bus-%1").arg(++s_nBuses);
    }
    ~CPrivateBus()
    {
        QDBusConnection::disconnectFromBus(m_strConnection);
        m_daemon.kill();
        m_daemon.waitForFinished(3000);
    }
    QDBusConnection Connection() const
    {
        return QDBusConnection::connectToBus(m_strAddress, m_strConnection);
    }
    // Starts the player on this bus, as the desktop session would.
    void StartPlayer(QProcess& player, const QStringList& files) const
    {
        ::StartPlayer(player, files, QString(),
                      {QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + m_strAddress});
    }
    bool IsRunning() const { return !m_strAddress.isEmpty(); }

private:
    static inline int s_nBuses = 0;
    QProcess m_daemon;
    QString m_strAddress;
    QString m_strConnection;
};

const QString kMprisName = QStringLiteral("org.mpris.MediaPlayer2.vessa");
const QString kMprisPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kMprisPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");

// The player's media controls on the bus, once it offers them.
bool WaitForMpris(const QDBusConnection& connection)
{
    return QTest::qWaitFor(
        [&] { return connection.interface()->isServiceRegistered(kMprisName).value(); }, 15000);
}

QDBusMessage MprisCall(const QDBusConnection& connection, const QString& strInterface,
                       const QString& strMethod, const QVariantList& arguments = {})
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(kMprisName, kMprisPath, strInterface, strMethod);
    call.setArguments(arguments);
    return connection.call(call, QDBus::Block, 5000);
}

// A property of the player's interface; a{sv} values come back as a map.
QVariant MprisProperty(const QDBusConnection& connection, const QString& strName)
{
    const QDBusMessage reply =
        MprisCall(connection, QStringLiteral("org.freedesktop.DBus.Properties"),
                  QStringLiteral("Get"), {kMprisPlayer, strName});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    const QVariant value = reply.arguments().at(0).value<QDBusVariant>().variant();
    if (value.canConvert<QDBusArgument>()) {
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    }
    return value;
}

} // namespace

// The desktop's screen saver service, as the test's own stand-in: it records the calls.
class CScreenSaverStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    QStringList calls; // "Inhibit 7", "UnInhibit 7"

public Q_SLOTS:
    uint Inhibit(const QString&, const QString&)
    {
        calls.append(QStringLiteral("Inhibit %1").arg(++m_nCookie));
        return m_nCookie;
    }
    void UnInhibit(uint nCookie) { calls.append(QStringLiteral("UnInhibit %1").arg(nCookie)); }

private:
    uint m_nCookie = 0;
};

TEST(DesktopEndToEndTest, XScreenSaverStaysOffWhilePlayingWithoutAService)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    int nEvent = 0;
    int nError = 0;
    if (!XScreenSaverQueryExtension(display, &nEvent, &nError)) {
        XCloseDisplay(display);
        GTEST_SKIP() << "the X server has no screen saver extension";
    }
    const auto screenSaverOn = [display] {
        XScreenSaverInfo info{};
        XScreenSaverQueryInfo(display, DefaultRootWindow(display), &info);
        return info.state == ScreenSaverOn;
    };
    // A screen saver that comes after 2 s without input; the server's own again afterwards.
    XSetScreenSaver(display, 2, 0, DontPreferBlanking, AllowExposures);
    XFlush(display);
    struct Restore
    {
        Display* display;
        ~Restore()
        {
            XSetScreenSaver(display, -1, -1, DefaultBlanking, DefaultExposures);
            XForceScreenSaver(display, ScreenSaverReset);
            XCloseDisplay(display);
        }
    } restore{display};

    // Three clips of 3 s in a row on a bus without the service: the last named plays, and the
    // media controls step back to the first (no input that would hold the screen saver off),
    // which plays on through the others.
    QTemporaryDir folder;
    QStringList files;
    for (const char* name : {"a.avi", "b.avi", "c.avi"}) {
        files.append(folder.filePath(QLatin1String(name)));
        ASSERT_TRUE(QFile::copy(TestMediaPath(TestClip::Avi), files.back()));
    }
    CPrivateBus bus;
    ASSERT_TRUE(bus.IsRunning());
    const QDBusConnection connection = bus.Connection();
    QProcess player;
    bus.StartPlayer(player, files);
    ASSERT_NE(WaitForWindow(kTitle + QStringLiteral("c.avi")), 0u);
    ASSERT_TRUE(WaitForMpris(connection));
    for (const char* title : {"b.avi", "a.avi"}) {
        MprisCall(connection, kMprisPlayer, QStringLiteral("Previous"));
        ASSERT_NE(WaitForWindow(kTitle + QLatin1String(title)), 0u);
    }

    XForceScreenSaver(display, ScreenSaverReset);
    XFlush(display);
    // Waits for what must not happen: the screen saver, during 5 s of playback.
    EXPECT_FALSE(QTest::qWaitFor(screenSaverOn, 5000)) << "the screen saver came on";
    // Once the last clip has ended, the screen saver comes as usual (the test can see it).
    EXPECT_TRUE(QTest::qWaitFor(screenSaverOn, 15000)) << "no screen saver after the end";
    player.kill();
    player.waitForFinished(3000);
}

// The desktop's media controls drive the player, and the desktop's screen saver service is
// inhibited while it plays only.
TEST(DesktopEndToEndTest, MediaControlsPlayStopStepSeekAndQuitWithTheScreenSaverInhibitedOnPlay)
{
    QTemporaryDir folder;
    const QStringList files{folder.filePath(QStringLiteral("first.avi")),
                            folder.filePath(QStringLiteral("second.avi"))};
    for (const QString& file : files) {
        ASSERT_TRUE(QFile::copy(TestMediaPath(TestClip::Avi), file));
    }
    CPrivateBus bus;
    ASSERT_TRUE(bus.IsRunning());
    QDBusConnection connection = bus.Connection();
    CScreenSaverStandIn service;
    ASSERT_TRUE(connection.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &service,
                                          QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(connection.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    QProcess player;
    bus.StartPlayer(player, files);
    ASSERT_NE(WaitForWindow(kTitle + QStringLiteral("second.avi")), 0u);
    ASSERT_TRUE(WaitForMpris(connection)) << "no media controls on the bus";
    QStringList calls{QStringLiteral("Inhibit 1")};
    const auto callsCame = [&] {
        return QTest::qWaitFor([&] { return service.calls == calls; }, 20000);
    };
    EXPECT_TRUE(callsCame()) << service.calls.join(QLatin1String(", ")).toStdString();

    const auto statusBecomes = [&](const QString& strStatus) {
        return QTest::qWaitFor(
            [&] {
                return MprisProperty(connection, QStringLiteral("PlaybackStatus")).toString() ==
                       strStatus;
            },
            20000);
    };
    // The player's Stop keeps the position: a pause to the desktop.
    const struct
    {
        const char* method;
        const char* status;
    } transport[] = {{"Stop", "Paused"},
                     {"Play", "Playing"},
                     {"PlayPause", "Paused"},
                     {"PlayPause", "Playing"},
                     {"Pause", "Paused"}};
    int nCookie = 1;
    for (const auto& step : transport) {
        SCOPED_TRACE(step.method);
        MprisCall(connection, kMprisPlayer, QLatin1String(step.method));
        EXPECT_TRUE(statusBecomes(QLatin1String(step.status)));
        calls.append(step.status == QLatin1String("Playing")
                         ? QStringLiteral("Inhibit %1").arg(++nCookie)
                         : QStringLiteral("UnInhibit %1").arg(nCookie));
        EXPECT_TRUE(callsCame()) << service.calls.join(QLatin1String(", ")).toStdString();
    }

    // Previous and Next step through the playlist: the window's title and the metadata follow,
    // and so do the steps the playlist still allows.
    const struct
    {
        const char* method;
        const char* file;
        bool bCanGoNext;
        bool bCanGoPrevious;
    } steps[] = {{"Previous", "first.avi", true, false}, {"Next", "second.avi", false, true}};
    QVariantMap metadata;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.method);
        MprisCall(connection, kMprisPlayer, QLatin1String(step.method));
        EXPECT_NE(WaitForWindow(kTitle + QLatin1String(step.file)), 0u);
        MprisCall(connection, kMprisPlayer, QStringLiteral("Pause"));
        metadata = MprisProperty(connection, QStringLiteral("Metadata")).toMap();
        EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(),
                  QLatin1String(step.file));
        EXPECT_EQ(metadata.value(QStringLiteral("xesam:url")).toString(),
                  QUrl::fromLocalFile(folder.filePath(QLatin1String(step.file))).toString());
        EXPECT_NEAR(metadata.value(QStringLiteral("mpris:length")).toLongLong() / 1e6,
                    kTestClipSeconds, 0.1);
        EXPECT_EQ(MprisProperty(connection, QStringLiteral("CanGoNext")).toBool(), step.bCanGoNext);
        EXPECT_EQ(MprisProperty(connection, QStringLiteral("CanGoPrevious")).toBool(),
                  step.bCanGoPrevious);
    }

    // A seek to the middle of the stopped clip.
    const QDBusObjectPath trackId =
        qvariant_cast<QDBusObjectPath>(metadata.value(QStringLiteral("mpris:trackid")));
    MprisCall(connection, kMprisPlayer, QStringLiteral("SetPosition"),
              {QVariant::fromValue(trackId), QVariant::fromValue(qlonglong{1500000})});
    EXPECT_NEAR(MprisProperty(connection, QStringLiteral("Position")).toLongLong() / 1e6, 1.5, 0.2);

    // Quit is the Escape key's way out.
    EXPECT_EQ(
        MprisCall(connection, QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Quit"))
            .type(),
        QDBusMessage::ReplyMessage);
    ASSERT_TRUE(player.waitForFinished(10000)) << "still running";
    EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player.exitCode(), 0);
}

#include "DesktopEndToEndTest.moc"
