#pragma once

#include "playback/GstHandle.h"

#include <string>
#include <string_view>

// The sinks of a new graph, one pair per graph.
//
// VESSA_VIDEO_SINK and VESSA_AUDIO_SINK, when set, are element descriptions in gst-launch syntax
// (for example "fakesink sync=true") that replace the defaults; headless tests choose their sinks
// that way. A description that does not parse falls back to the default. The bare name of one of
// the video sinks below ("ximagesink") gives that sink as the player makes it.
//
// Video: chosen once per process from what the machine offers, cheapest first for a picture
// scaled to the video window (see ChooseVideoSink). Audio: autoaudiosink where a sound server or
// a sound card is there, otherwise a null sink that keeps the clock (sync), so playback still runs
// in real time. Both decisions are made once, quietly: trying audio systems that are not there
// fills stderr with their complaints on every open.
GstElementHandle CreateVideoSink();
GstElementHandle CreateAudioSink();
// Whether a sound server or card is there: asked once per process, quietly. Asking loads the
// sound server's client library, so a caller in a hurry may ask early, on a thread of its own.
bool ProcessHasSoundOutput();
// Opens the window system's side of the video output now (the media layer's own X connection and
// its parking window), which the first graph would otherwise do on its way to the first picture.
// Needs no media framework.
void ConnectVideoOutput();

enum class VideoSinkKind
{
    XVideo, // the X video extension: the server scales
    Gl,     // GL on a hardware renderer
    XImage, // the plain X sink, the picture scaled in software to the window's size before it
    Null,   // no display at all: frames are taken and dropped, in real time
};

// What the machine offers for video output.
struct VideoOutputFacts
{
    bool bDisplay = false;     // an X server answers
    bool bXVideo = false;      // the server has the X video extension with a usable adaptor
    bool bGlSink = false;      // GStreamer's GL sink is installed
    std::string strGlRenderer; // the GL renderer's name; empty when no context could be made
};

// Mesa's software rasterisers: GL works, but scaling video on them costs several times the CPU
// of scaling in software before the plain X sink.
bool IsSoftwareGlRenderer(std::string_view renderer);
VideoSinkKind ChooseVideoSink(const VideoOutputFacts& facts);

// Looks at this machine (the X server, installed plugins, a GL context when one may be
// hardware-accelerated). Takes some milliseconds; the process asks once (ProcessVideoSinkKind).
VideoOutputFacts ProbeVideoOutput();
// The GL renderer string of a fresh context on the display; empty when none can be made.
std::string ProbeGlRenderer();
VideoSinkKind ProcessVideoSinkKind();

// A sink of that kind, with the picture's aspect ratio kept (black bars); null when the element
// is not installed.
GstElementHandle MakeVideoSink(VideoSinkKind kind);
// "xvimagesink", "glimagesink", "ximagesink", "fakesink".
const char* VideoSinkName(VideoSinkKind kind);
// What CreateVideoSink gives: the override's description, or the name of the chosen sink.
std::string CurrentVideoSinkDescription();

// Tells the scaler in front of a plain X sink the size of the window it draws into. Sinks that
// scale by themselves have no scaler; for them this does nothing. True when the size changed: a
// paused pipeline shows the new size only with a new picture.
bool FollowWindowSize(GstElement* sink, int width, int height);
// Whether the sink scales the picture to its window by itself (the X video and GL sinks): it has
// no scaler in front, and is told the window's new size instead.
bool ScalesToItsWindow(GstElement* sink);
