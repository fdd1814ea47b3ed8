#include "app/CMprisService.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QStringList>
#include <QUrl>

#include <unistd.h>

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

qint64 Microseconds(double dSeconds)
{
    return dSeconds > 0.0 ? static_cast<qint64>(dSeconds * 1e6) : 0;
}

} // namespace

// org.mpris.MediaPlayer2: the application itself.
class CMprisRootAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

public:
    CMprisRootAdaptor(CMprisService* pService)
        : QDBusAbstractAdaptor(pService), m_pService(pService)
    {}

    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const { return QStringLiteral("Vessa Video Player"); }
    QString DesktopEntry() const { return QStringLiteral(VESSA_APP_ID); }
    QStringList SupportedUriSchemes() const { return {QStringLiteral("file")}; }
    QStringList SupportedMimeTypes() const
    {
        return QStringLiteral(VESSA_MIME_TYPES).split(QLatin1Char(','), Qt::SkipEmptyParts);
    }

public Q_SLOTS:
    void Raise() { m_pService->Player().MprisRaise(); }
    void Quit(const QDBusMessage& message)
    {
        // The player ends at once: the reply goes out first. Messages leave a connection in
        // order, so once the bus has answered a ping sent after it, the reply is on its way.
        message.setDelayedReply(true);
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.send(message.createReply());
        bus.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                QStringLiteral("/org/freedesktop/DBus"),
                                                QStringLiteral("org.freedesktop.DBus.Peer"),
                                                QStringLiteral("Ping")),
                 QDBus::Block, 1000);
        m_pService->Player().MprisQuit();
    }

private:
    CMprisService* m_pService;
};

// org.mpris.MediaPlayer2.Player: the transport, mapped onto the window's controls.
class CMprisPlayerAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ CanControl)
    Q_PROPERTY(bool CanPause READ CanControl)
    Q_PROPERTY(bool CanSeek READ CanControl)
    Q_PROPERTY(bool CanControl READ CanControl)

public:
    CMprisPlayerAdaptor(CMprisService* pService)
        : QDBusAbstractAdaptor(pService), m_pService(pService)
    {}

    QString PlaybackStatus() const { return m_pService->PlaybackStatus(); }
    double Rate() const { return 1.0; }
    void SetRate(double) {} // one speed only
    QVariantMap Metadata() const { return m_pService->Metadata(); }
    double Volume() const { return State().dVolume; }
    void SetVolume(double dVolume) { Player().MprisSetVolume(dVolume); }
    qlonglong Position() const { return m_pService->PositionMicroseconds(); }
    bool CanGoNext() const { return State().bCanGoNext; }
    bool CanGoPrevious() const { return State().bCanGoPrevious; }
    bool CanControl() const { return true; }

public Q_SLOTS:
    void Next() { Player().MprisNext(); }
    void Previous() { Player().MprisPrevious(); }
    void Pause() { Player().MprisPause(); }
    void PlayPause()
    {
        if (State().status == CMprisState::Status::Playing) {
            Player().MprisPause();
        } else {
            Player().MprisPlay();
        }
    }
    void Stop() { Player().MprisPause(); } // the player's Stop keeps the position
    void Play() { Player().MprisPlay(); }
    void Seek(qlonglong nOffset)
    {
        SeekTo(static_cast<double>(m_pService->PositionMicroseconds() + nOffset) / 1e6);
    }
    void SetPosition(const QDBusObjectPath& trackId, qlonglong nPosition)
    {
        // A request for a track that is no longer current is stale.
        if (trackId.path() == m_pService->TrackId()) {
            SeekTo(static_cast<double>(nPosition) / 1e6);
        }
    }
    void OpenUri(const QString& strUri)
    {
        const QUrl url(strUri);
        if (url.isLocalFile()) {
            Player().MprisOpen(url.toLocalFile());
        }
    }

Q_SIGNALS:
    void Seeked(qlonglong nPosition);

private:
    void SeekTo(double dSeconds)
    {
        Player().MprisSeekTo(dSeconds);
        Q_EMIT Seeked(m_pService->PositionMicroseconds());
    }
    IMprisPlayer& Player() const { return m_pService->Player(); }
    CMprisState State() const { return Player().MprisState(); }

    CMprisService* m_pService;
};

CMprisService::CMprisService(IMprisPlayer& player) : m_player(player) {}

CMprisService::~CMprisService()
{
    if (m_bStarted) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(kObjectPath);
        bus.unregisterService(m_strName);
    }
}

bool CMprisService::Start()
{
    if (m_bStarted) {
        return true;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    new CMprisRootAdaptor(this);
    new CMprisPlayerAdaptor(this);
    if (!bus.registerObject(kObjectPath, this)) {
        return false;
    }
    // A second player takes a name of its own, as the interface allows.
    m_strName = QStringLiteral("org.mpris.MediaPlayer2.vessa");
    if (!bus.registerService(m_strName)) {
        m_strName += QStringLiteral(".instance%1").arg(::getpid());
        if (!bus.registerService(m_strName)) {
            bus.unregisterObject(kObjectPath);
            return false;
        }
    }
    m_bStarted = true;
    m_lastProperties = PlayerProperties();
    return true;
}

QVariantMap CMprisService::PlayerProperties() const
{
    const CMprisState state = m_player.MprisState();
    return {{QStringLiteral("PlaybackStatus"), PlaybackStatus()},
            {QStringLiteral("Metadata"), Metadata()},
            {QStringLiteral("Volume"), state.dVolume},
            {QStringLiteral("CanGoNext"), state.bCanGoNext},
            {QStringLiteral("CanGoPrevious"), state.bCanGoPrevious}};
}

void CMprisService::Refresh()
{
    if (!m_bStarted) {
        return;
    }
    const QVariantMap current = PlayerProperties();
    QVariantMap changed;
    for (auto it = current.cbegin(); it != current.cend(); ++it) {
        if (m_lastProperties.value(it.key()) != it.value()) {
            changed.insert(it.key(), it.value());
        }
    }
    m_lastProperties = current;
    if (changed.isEmpty()) {
        return;
    }
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

QString CMprisService::TrackId() const
{
    const CMprisState state = m_player.MprisState();
    return state.strPath.isEmpty()
               ? QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")
               : QStringLiteral("/org/vessa/VideoPlayer/track/%1").arg(state.nSession);
}

QVariantMap CMprisService::Metadata() const
{
    const CMprisState state = m_player.MprisState();
    QVariantMap metadata{
        {QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(TrackId()))}};
    if (state.strPath.isEmpty()) {
        return metadata;
    }
    metadata.insert(QStringLiteral("mpris:length"), Microseconds(state.dDurationSeconds));
    metadata.insert(QStringLiteral("xesam:title"), state.strTitle);
    metadata.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(state.strPath).toString());
    return metadata;
}

QString CMprisService::PlaybackStatus() const
{
    switch (m_player.MprisState().status) {
    case CMprisState::Status::Playing:
        return QStringLiteral("Playing");
    case CMprisState::Status::Paused:
        return QStringLiteral("Paused");
    case CMprisState::Status::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

qint64 CMprisService::PositionMicroseconds() const
{
    return Microseconds(m_player.MprisState().dPositionSeconds);
}

#include "CMprisService.moc"
