#pragma once

#include "capture/ISampleCaptureGraphBuilder.h"
#include "playback/BaseFilter.h"

#include <memory>

// The capture preview's own objects beside the session pointers: the builder (which holds the
// preview's graph) and the device's source. They live while the preview is the current session
// and go when it ends, so that the device is closed then. UI thread only.
extern std::unique_ptr<ISampleCaptureGraphBuilder> g_pCaptureBuilder;
extern std::shared_ptr<IBaseFilter> g_pCaptureSource;

// Releases both.
void ReleaseCaptureGraph();
