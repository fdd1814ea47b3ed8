#pragma once

#include <QString>

#include <atomic>
#include <cstdint>

class CAutoResetEvent;

// How the playlist window and the track length loader (TrackLengthLoader.h) pass one path and its
// length, one request at a time:
//   1. The playlist window (UI thread), seeing g_bLoaderBusy read 0, writes g_strLengthPath, raises
//      g_bLoaderBusy and signals g_hTrackLengthEvent.
//   2. The loader thread wakes, measures the file, writes g_dTrackLength and sends
//      WM_TRACK_LENGTH_LOADED to g_hMainWnd, waiting until it has been handled (or the loader is
//      stopped: SendAppMessageUnlessStopped).
//   3. The main window's handler (UI thread) has the playlist window give g_dTrackLength to every
//      entry of g_strLengthPath.
//   4. The loader lowers g_bLoaderBusy; the playlist window's next tick asks for the next path.
// Kept apart from the loader itself so that the playlist needs none of the media layer.

// Created and destroyed by the application object; the playlist window signals it, the loader
// waits on it.
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
