#pragma once

#include <QString>

#include <atomic>
#include <cstdint>

class QObject;

// Process-wide state shared by the windows and the media session. Each declaration says who
// writes it and who reads it. The track length loader's hand-over is in
// playback/TrackLengthHandOver.h.

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
