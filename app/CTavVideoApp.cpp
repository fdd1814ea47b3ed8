#include "app/CTavVideoApp.h"

#include "app/CTavCommandLineInfo.h"
#include "app/CTavVideoDlg.h"
#include "common/AutoResetEvent.h"
#include "common/Globals.h"
#include "playback/MediaFramework.h"

#include <QApplication>

CTavVideoApp::CTavVideoApp(CTavCommandLineInfo& cmdInfo) : m_cmdInfo(cmdInfo) {}

CTavVideoApp::~CTavVideoApp()
{
    if (m_threadMediaStartup.joinable()) {
        m_threadMediaStartup.join();
    }
}

int CTavVideoApp::Run(int& argc, char** argv)
{
    InitInstance(argc, argv);
    return ExitInstance();
}

bool CTavVideoApp::InitInstance(int& argc, char** argv)
{
    // The window is placed at fixed screen positions and hands its native window to the video
    // sink; Wayland allows neither, so a Wayland session runs the player through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    // Plugin loading dominates GStreamer's start-up; it overlaps with building the window. The
    // first graph waits for it if it has not finished by then.
    m_threadMediaStartup = std::thread([] { MediaFrameworkStartup(); });

    m_pApplication = std::make_unique<QApplication>(argc, argv);
    m_cmdInfo.ParseCommandLine(QCoreApplication::arguments());
    g_hTrackLengthEvent = new CAutoResetEvent(false);
    // Nothing is stored; the names only fix where settings would go.
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("Vessa Video Player"));

    {
        CTavVideoDlg dlg(&m_cmdInfo);
        dlg.DoModal();
    }
    return false;
}

int CTavVideoApp::ExitInstance()
{
    if (m_threadMediaStartup.joinable()) {
        m_threadMediaStartup.join();
    }
    delete g_hTrackLengthEvent;
    g_hTrackLengthEvent = nullptr;
    m_pApplication.reset();
    return 0;
}
