#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

// Keeps the screen on while a video plays: the desktop's screen saver service
// (org.freedesktop.ScreenSaver on the session bus) where a program owns that name, else the X
// server's screen saver extension, which also holds off display power management. Without either
// it quietly does nothing.
//
// UI thread only. Asking the bus happens on the first SetInhibited(true), not before: start-up
// never waits for the bus.
class CScreenSaverInhibitor : public QObject
{
    Q_OBJECT

public:
    CScreenSaverInhibitor() = default;
    ~CScreenSaverInhibitor() override;
    CScreenSaverInhibitor(const CScreenSaverInhibitor&) = delete;
    CScreenSaverInhibitor& operator=(const CScreenSaverInhibitor&) = delete;

    // On while the session plays; repeated calls with the same value do nothing.
    void SetInhibited(bool bInhibit);

private:
    void InhibitThroughService();
    void ReleaseService();
    void OnInhibitReply(std::uint32_t nCookie);
    static bool SuspendXScreenSaver(bool bSuspend);

    enum class Way
    {
        Undecided,
        Service,
        XExtension,
        Nothing
    };
    Way m_way = Way::Undecided;
    bool m_bInhibited = false;
    // The service's cookie for the current inhibition; 0: none held.
    std::uint32_t m_nCookie = 0;
    // An Inhibit call is on its way; its cookie is returned at once if released meanwhile.
    bool m_bRequestPending = false;
};
