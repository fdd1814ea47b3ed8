#pragma once

#include "playback/MediaFramework.h"

#include <memory>

// The interfaces of the current media session (a file, or a capture preview), null when there is
// none. Each holds one counted reference; the graph ends when the last of them is released.
// Read and written on the UI thread only.
extern std::shared_ptr<IMediaControl> g_pMediaControl;
extern std::shared_ptr<IMediaSeeking> g_pMediaSeeking;
extern std::shared_ptr<IBasicAudio> g_pBasicAudio;
extern std::shared_ptr<IVideoWindow> g_pVideoWindow;
extern std::shared_ptr<IMediaEventEx> g_pMediaEvent;
