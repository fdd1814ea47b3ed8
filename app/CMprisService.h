#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

// What the desktop's media controls see of the player, read afresh on each change.
struct CMprisState
{
    enum class Status
    {
        Stopped,
        Paused,
        Playing
    };
    Status status = Status::Stopped;
    QString strPath;  // the file (empty: none, or a capture preview)
    QString strTitle; // the name the window's title shows
    int nSession = 0; // counts the sessions opened: a new track id for each
    double dDurationSeconds = 0.0;
    double dPositionSeconds = 0.0;
    double dVolume = 1.0; // 0..1
    bool bCanGoNext = false;
    bool bCanGoPrevious = false;
};

// The commands the media controls give, each run by the player as a click on its control would.
class IMprisPlayer
{
public:
    virtual CMprisState MprisState() const = 0;
    virtual void MprisRaise() = 0;
    virtual void MprisQuit() = 0;
    virtual void MprisPlay() = 0;
    virtual void MprisPause() = 0;
    virtual void MprisNext() = 0;
    virtual void MprisPrevious() = 0;
    virtual void MprisSeekTo(double dSeconds) = 0;
    virtual void MprisSetVolume(double dVolume) = 0;
    virtual void MprisOpen(const QString& strPath) = 0;

protected:
    ~IMprisPlayer() = default;
};

// The player on the session bus as org.mpris.MediaPlayer2.vessa: the desktop's media keys and
// media controls drive it through the two MPRIS interfaces.
//
// UI thread only: QtDBus delivers the calls on the thread of the object, so every call runs
// where the window's own handlers do. Start() connects to the bus; the player calls it once the
// first picture is on screen. Without a session bus it does nothing.
class CMprisService : public QObject
{
    Q_OBJECT

public:
    explicit CMprisService(IMprisPlayer& player);
    ~CMprisService() override;

    // Connects and takes the name; false (quietly) without a session bus.
    bool Start();
    // The player's state may have changed: the properties that did are announced.
    void Refresh();

    IMprisPlayer& Player() { return m_player; }
    QVariantMap Metadata() const;
    QString PlaybackStatus() const;
    qint64 PositionMicroseconds() const;
    QString TrackId() const;

private:
    QVariantMap PlayerProperties() const;

    IMprisPlayer& m_player;
    bool m_bStarted = false;
    QString m_strName;
    QVariantMap m_lastProperties; // what the bus was last told
};
