// The real executable as a citizen of the desktop, on the test run's session bus: the desktop's
// media controls drive it over MPRIS, and the desktop's screen saver service is kept off while a
// video plays, and only then.

#include "TestMedia.h"
#include "X11Helpers.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

namespace {

const QString kTitle = QStringLiteral("Vessa Video Player - ");
const QString kMprisName = QStringLiteral("org.mpris.MediaPlayer2.vessa");
const QString kMprisPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");

QDBusMessage MprisCall(const QString& strInterface, const QString& strMethod,
                       const QVariantList& arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        kMprisName, QStringLiteral("/org/mpris/MediaPlayer2"), strInterface, strMethod);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
}

// A property of the player's interface; a{sv} values come back as a map.
QVariant MprisProperty(const QString& strName)
{
    const QDBusMessage reply = MprisCall(QStringLiteral("org.freedesktop.DBus.Properties"),
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

TEST(DesktopEndToEndTest, MediaControlsPlayStopStepAndQuitWithTheScreenSaverInhibitedOnPlay)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        GTEST_SKIP() << "no session bus: run the tests under dbus-run-session";
    }
    QTemporaryDir folder;
    const QStringList files{folder.filePath(QStringLiteral("first.avi")),
                            folder.filePath(QStringLiteral("second.avi"))};
    for (const QString& file : files) {
        ASSERT_TRUE(QFile::copy(TestMediaPath(TestClip::Avi), file));
    }
    CScreenSaverStandIn service;
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &service,
                                   QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    QProcess player;
    StartPlayer(player, files);
    ASSERT_NE(WaitForWindow(kTitle + QStringLiteral("second.avi")), 0u);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return bus.interface()->isServiceRegistered(kMprisName).value(); }, 15000))
        << "no media controls on the bus";
    QStringList calls{QStringLiteral("Inhibit 1")};
    const auto callsCame = [&] {
        return QTest::qWaitFor([&] { return service.calls == calls; }, 20000);
    };
    EXPECT_TRUE(callsCame()) << service.calls.join(QLatin1String(", ")).toStdString();

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
        MprisCall(kMprisPlayer, QLatin1String(step.method));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return MprisProperty(QStringLiteral("PlaybackStatus")).toString() ==
                       QLatin1String(step.status);
            },
            20000));
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
    } steps[] = {{"Previous", "first.avi", true}, {"Next", "second.avi", false}};
    QVariantMap metadata;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.method);
        MprisCall(kMprisPlayer, QLatin1String(step.method));
        EXPECT_NE(WaitForWindow(kTitle + QLatin1String(step.file)), 0u);
        MprisCall(kMprisPlayer, QStringLiteral("Pause"));
        metadata = MprisProperty(QStringLiteral("Metadata")).toMap();
        EXPECT_EQ(metadata.value(QStringLiteral("xesam:url")).toString(),
                  QUrl::fromLocalFile(folder.filePath(QLatin1String(step.file))).toString());
        EXPECT_NEAR(metadata.value(QStringLiteral("mpris:length")).toLongLong() / 1e6,
                    kTestClipSeconds, 0.1);
        EXPECT_EQ(MprisProperty(QStringLiteral("CanGoNext")).toBool(), step.bCanGoNext);
        EXPECT_EQ(MprisProperty(QStringLiteral("CanGoPrevious")).toBool(), !step.bCanGoNext);
    }

    // Quit is the Escape key's way out.
    EXPECT_EQ(MprisCall(QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Quit")).type(),
              QDBusMessage::ReplyMessage);
    ASSERT_TRUE(player.waitForFinished(10000)) << "still running";
    EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player.exitCode(), 0);
}

#include "DesktopEndToEndTest.moc"
