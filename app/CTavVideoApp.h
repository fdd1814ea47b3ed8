#pragma once

#include "app/CFirstFileRender.h"

#include <array>
#include <memory>

class CTavCommandLineInfo;
class QApplication;

// The application: starts the services the windows rely on, runs the main window modally and
// shuts the services down again when the modal run ends through its OK path. (The cancel path
// ends the process inside the main window.)
class CTavVideoApp
{
public:
    explicit CTavVideoApp(CTavCommandLineInfo& cmdInfo);
    ~CTavVideoApp();
    CTavVideoApp(const CTavVideoApp&) = delete;
    CTavVideoApp& operator=(const CTavVideoApp&) = delete;

    // The whole life of the program: InitInstance, then ExitInstance's result.
    int Run(int& argc, char** argv);

    // Start-up and the main window's modal run. Returns false: there is no message loop of the
    // application's own to enter afterwards.
    bool InitInstance(int& argc, char** argv);
    // Shuts the services down in order; the process exit code.
    int ExitInstance();

private:
    CTavCommandLineInfo& m_cmdInfo;
    // What the application object is given of the command line: the program name only. Both
    // must live as long as the object.
    int m_nQtArgc = 0;
    std::array<char*, 2> m_qtArgv{};
    std::unique_ptr<QApplication> m_pApplication;
    // Starts GStreamer and renders the first file while the main window is being built.
    CFirstFileRender m_firstRender;
};
