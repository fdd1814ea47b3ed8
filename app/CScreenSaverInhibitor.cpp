#include "app/CScreenSaverInhibitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>

#ifdef VESSA_HAVE_XSS
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#endif

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");

QDBusMessage ServiceCall(const QString& strMethod)
{
    return QDBusMessage::createMethodCall(kService, kPath, kService, strMethod);
}

} // namespace

CScreenSaverInhibitor::~CScreenSaverInhibitor()
{
    SetInhibited(false);
}

void CScreenSaverInhibitor::SetInhibited(bool bInhibit)
{
    if (bInhibit == m_bInhibited) {
        return;
    }
    m_bInhibited = bInhibit;
    if (m_way == Way::Undecided) {
        // The service is looked for once: a desktop that has one keeps it for the session.
        const QDBusConnection bus = QDBusConnection::sessionBus();
        if (bus.isConnected() && bus.interface() != nullptr &&
            bus.interface()->isServiceRegistered(kService).value()) {
            m_way = Way::Service;
        } else {
            m_way = SuspendXScreenSaver(false) ? Way::XExtension : Way::Nothing;
        }
    }
    switch (m_way) {
    case Way::Service:
        if (bInhibit) {
            InhibitThroughService();
        } else {
            ReleaseService();
        }
        break;
    case Way::XExtension:
        SuspendXScreenSaver(bInhibit);
        break;
    case Way::Undecided:
    case Way::Nothing:
        break;
    }
}

void CScreenSaverInhibitor::InhibitThroughService()
{
    if (m_nCookie != 0 || m_bRequestPending) {
        return; // still held, or about to be: the reply keeps it
    }
    QDBusMessage call = ServiceCall(QStringLiteral("Inhibit"));
    call << QStringLiteral("Vessa Video Player") << QStringLiteral("Playing a video");
    // Asynchronous: a slow service must not stall the picture.
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    m_bRequestPending = true;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* pWatcher) {
                const QDBusPendingReply<std::uint32_t> reply = *pWatcher;
                pWatcher->deleteLater();
                m_bRequestPending = false;
                if (!reply.isError()) {
                    OnInhibitReply(reply.value());
                }
            });
}

void CScreenSaverInhibitor::OnInhibitReply(std::uint32_t nCookie)
{
    m_nCookie = nCookie;
    if (!m_bInhibited) {
        ReleaseService(); // playing ended while the request was on its way
    }
}

void CScreenSaverInhibitor::ReleaseService()
{
    if (m_nCookie == 0) {
        return; // a pending request is released when its reply comes
    }
    QDBusMessage call = ServiceCall(QStringLiteral("UnInhibit"));
    call << m_nCookie;
    m_nCookie = 0;
    QDBusConnection::sessionBus().send(call);
}

// Also the probe: whether the X server offers a screen saver that can be suspended.
bool CScreenSaverInhibitor::SuspendXScreenSaver(bool bSuspend)
{
#ifdef VESSA_HAVE_XSS
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    int nEvent = 0;
    int nError = 0;
    int nMajor = 0;
    int nMinor = 0;
    // Suspending came with version 1.1 of the extension.
    if (display == nullptr || !XScreenSaverQueryExtension(display, &nEvent, &nError) ||
        !XScreenSaverQueryVersion(display, &nMajor, &nMinor) || (nMajor == 1 && nMinor < 1) ||
        nMajor < 1) {
        return false;
    }
    XScreenSaverSuspend(display, bSuspend ? True : False);
    XFlush(display);
    return true;
#else
    (void)bSuspend;
    return false;
#endif
}
