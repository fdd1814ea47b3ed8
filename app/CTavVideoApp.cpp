#include "app/CTavVideoApp.h"

#include "app/CTavCommandLineInfo.h"
#include "app/CTavVideoDlg.h"
#include "common/AutoResetEvent.h"
#include "common/Globals.h"
#include "resources/AppIcon.h"

#include <QApplication>

#include <atomic>
#include <cstdlib>
#include <unistd.h>

namespace {

// Set once the shutdown has run in order; until then an exit of the process is not ours.
std::atomic<bool> s_bOrderlyExit{false};

// When the X server goes away (a logout), the X libraries end the process themselves with
// exit(1): Qt on the UI thread, Xlib's default I/O error handler on whatever thread the video
// sink happened to draw on. exit() then destroys the application object and the windows from
// that thread while the UI thread and GStreamer's threads still run, which crashes or hangs.
// Registered after the statics were built, this runs before they are destroyed: the process
// ends here, at once, with the failure the library reported.
void EndAtOnceUnlessOrderly()
{
    if (!s_bOrderlyExit.load()) {
        ::_exit(1);
    }
}

} // namespace

CTavVideoApp::CTavVideoApp(CTavCommandLineInfo& cmdInfo) : m_cmdInfo(cmdInfo) {}

CTavVideoApp::~CTavVideoApp() = default;

int CTavVideoApp::Run(int& argc, char** argv)
{
    InitInstance(argc, argv);
    return ExitInstance();
}

bool CTavVideoApp::InitInstance(int& argc, char** argv)
{
    std::atexit(EndAtOnceUnlessOrderly);
    // The window is placed at fixed screen positions and hands its native window to the video
    // sink; Wayland allows neither, so a Wayland session runs the player through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    // Plugin loading and the first file's preroll dominate the start-up; they overlap with
    // building the window. A first argument with a leading '-' may be an option of Qt's, which
    // only QApplication can tell: it is not guessed at.
    const bool bFileFirst = argc > 1 && argv[1][0] != '-';
    m_firstRender.Start(bFileFirst ? QString::fromLocal8Bit(argv[1]) : QString());

    m_pApplication = std::make_unique<QApplication>(argc, argv);
    m_cmdInfo.ParseCommandLine(QCoreApplication::arguments());
    g_hTrackLengthEvent = new CAutoResetEvent(false);
    // Nothing is stored; the names only fix where settings would go.
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("Vessa Video Player"));
    // Every window without an icon of its own (the playlist window) shows the application's;
    // the desktop file name lets the desktop match the windows to the installed entry.
    QApplication::setWindowIcon(LoadAppIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral(VESSA_APP_ID));

    {
        CTavVideoDlg dlg(&m_cmdInfo);
        dlg.SetFirstFileRender(&m_firstRender);
        dlg.DoModal();
    }
    return false;
}

int CTavVideoApp::ExitInstance()
{
    m_firstRender.Finish();
    delete g_hTrackLengthEvent;
    g_hTrackLengthEvent = nullptr;
    m_pApplication.reset();
    s_bOrderlyExit = true;
    return 0;
}
