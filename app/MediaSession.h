#pragma once

#include "capture/ISampleCaptureGraphBuilder.h"
#include "playback/BaseFilter.h"
#include "playback/MediaFramework.h"

#include <memory>

class CVideoPanel;
class QObject;

// The current media session: one file's graph, or the live preview of a capture device, and the
// picture it shows in the video panel. Opening a file, the capture preview, Delete File and
// shutdown all go through here, so that a file and a preview reach the panel the same way.
// Everything here is read and written on the UI thread only.

// The session's interfaces, null when there is none. Each holds one counted reference; the graph
// ends when the last of them is released.
extern std::shared_ptr<IMediaControl> g_pMediaControl;
extern std::shared_ptr<IMediaSeeking> g_pMediaSeeking;
extern std::shared_ptr<IBasicAudio> g_pBasicAudio;
extern std::shared_ptr<IVideoWindow> g_pVideoWindow;
extern std::shared_ptr<IMediaEventEx> g_pMediaEvent;

// A capture preview's own objects beside them: the builder (which holds the preview's graph) and
// the device's source. They go when the preview ends, so that the device is closed then.
extern std::unique_ptr<ISampleCaptureGraphBuilder> g_pCaptureBuilder;
extern std::shared_ptr<IBaseFilter> g_pCaptureSource;

// Play has been pressed and Stop has not since.
extern bool g_bPlaying;
// A capture preview is the current session.
extern bool g_bCaptureActive;

namespace MediaSession {

// Makes the graph's interfaces the session's (there must be none before: see Release). The graph
// lives on through them; its events are posted to `notify`.
void Take(IGraphBuilder& graph, QObject* notify);

// Puts the session's picture into the panel, covering it, and shows it.
void ShowIn(CVideoPanel& panel);

// Places the picture over the whole panel again, after the panel changed its size or the screen
// it is on. The sink's window lives in the X server's pixels, which a scaled desktop (HiDPI)
// counts differently from the panel's own.
void FitTo(const CVideoPanel& panel);

// Ends the session: stopped, its picture hidden, every interface released, and a preview's
// device closed.
void Release();

} // namespace MediaSession
