#pragma once

#include "playback/GstHandle.h"

// The sinks of a new graph, one pair per graph.
//
// VESSA_VIDEO_SINK and VESSA_AUDIO_SINK, when set, are element descriptions in gst-launch syntax
// (for example "fakesink sync=true") that replace the defaults; headless tests choose their sinks
// that way. A description that does not parse falls back to the default.
//
// Video: autovideosink. Audio: autoaudiosink, except on a machine without any sound output: there
// it would try every audio system again for each file before falling back to a null sink, so the
// first graph finds that out and later ones go straight to a null sink. That sink keeps the clock
// (sync), so playback still runs in real time.
GstElementHandle CreateVideoSink();
GstElementHandle CreateAudioSink();
