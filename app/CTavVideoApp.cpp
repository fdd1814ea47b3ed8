#include "app/CTavVideoApp.h"

#include "app/CTavCommandLineInfo.h"
#include "app/CTavVideoDlg.h"
#include "app/DisplayLoss.h"
#include "common/AutoResetEvent.h"
#include "common/PathCodec.h"
#include "playback/TrackLengthHandOver.h"
#include "resources/AppIcon.h"

#include <QApplication>
#include <QFileInfo>

namespace {

// Without a session bus, libdbus would start one by forking a helper from Qt's D-Bus thread
// (accessibility looks for the bus at start-up), and a fork from a thread can hang the child and
// whoever waits for it. The player needs no bus: where none is running it goes without one.
void DoWithoutAMissingSessionBus()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        return;
    }
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtimeDir.isEmpty() && QFileInfo::exists(runtimeDir + QStringLiteral("/bus"))) {
        return; // libdbus finds this one by itself
    }
    // An address that cannot connect: the lookup fails at once instead of launching anything.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/vessa-no-session-bus");
}

} // namespace

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
    DoWithoutAMissingSessionBus();
    // Every argument is a file, also one that looks like an option of Qt's ("-style", the word
    // after "-display"): the command line is read from argv as the process got it, and Qt sees
    // none of it.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(PathFromBytes(argv[i])); // a name that is no UTF-8 stays the file's own
    }
    m_cmdInfo.ParseCommandLine(arguments);
    // Plugin loading and the first file's preroll dominate the start-up; they overlap with
    // building the window.
    CTavCommandLineInfo firstOnly = m_cmdInfo;
    QString strFirst;
    bool bLast = false;
    firstOnly.GetNextCommandLineFile(strFirst, bLast);
    m_firstRender.Start(strFirst);

    m_qtArgv[0] = argc > 0 ? argv[0] : nullptr;
    m_nQtArgc = argc > 0 ? 1 : 0;
    m_pApplication = std::make_unique<QApplication>(m_nQtArgc, m_qtArgv.data());
    EndAtOnceWhenTheDisplayGoes();
    // Once more, now that Qt's own statics exist: exit handlers run in the reverse order of
    // their registration, and a lost display must end the process before any of them goes.
    std::atexit(EndAtOnceUnlessOrderly);
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
