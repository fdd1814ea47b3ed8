#pragma once

#include <QString>

#include <atomic>
#include <cstdint>

class CAutoResetEvent;
class QObject;

// Process-wide state shared by the windows, the media session and the track length loader. Each
// declaration says who writes it and who reads it.

// The main window, target of every application message. Written once by the main window while it
// initialises (UI thread), before any other thread starts; read by every sender.
extern QObject* g_hMainWnd;

// The main window is in its compact form. UI thread only.
extern bool g_bCompact;
// Pixels reserved for the control strip at the bottom of the main window, 0 in full-screen form.
// Written by the main window with an atomic exchange.
extern std::atomic<std::int32_t> g_nControlBarHeight;

// The media-file patterns of the Add File filter and the extensions the folder scan accepts.
extern const QString g_strMediaPatterns;

// Track length loader hand-over. The event is created and destroyed by the application object;
// the playlist window signals it, the loader waits on it.
extern CAutoResetEvent* g_hTrackLengthEvent;
// Written by the playlist window only while g_bLoaderBusy reads 0; read by the loader and by the
// length report on the UI thread.
extern QString g_strLengthPath;
// 1 from the moment a request is outstanding until its report has been handled. Changed only by
// atomic exchange.
extern std::atomic<std::int32_t> g_bLoaderBusy;
// Written by the loader before its synchronous report; read by the report handler. -1.0 when the
// file could not be rendered.
extern double g_dTrackLength;
