#pragma once

#include "playback/MediaFramework.h"

#include <QString>
#include <gst/gst.h>

#include <memory>

// Media files generated from GStreamer's test sources into the build tree, once per test run, by
// the make_test_media fixture, and what a test needs around them: a clip opened into a graph, and
// times read from it.
enum class TestClip
{
    Avi,            // MJPEG video + PCM audio, 320x240, 25 fps, exactly 3.0 s
    VideoOnly,      // AVI, MJPEG video, no audio, exactly 1.0 s
    AudioOnly,      // WAV, 3.0 s
    MpegPs,         // MPEG program stream: MPEG-2 video + MPEG audio, 3.0 s
    Mp4,            // H.264 video with B-frames, 330x186 (not whole macroblocks) + AAC, 3.0 s
    NoVideoDecoder, // the AVI with a video codec no decoder here claims; its audio decodes
    Truncated,      // the AVI cut off part-way through its data
    NotMedia,       // a text file with a media extension
    Empty,          // zero bytes
    OddName,        // the AVI under a name with spaces, '#', '%' and non-ASCII letters
    Subtitled,      // Matroska: MJPEG video and a subtitle track, no audio, exactly 1.0 s
};
inline constexpr int kTestClipCount = static_cast<int>(TestClip::Subtitled) + 1;

// Full path of the generated clip (inside VESSA_TEST_MEDIA_DIR).
QString TestMediaPath(TestClip clip);

inline constexpr double kTestClipSeconds = 3.0;
inline constexpr int kTestClipFps = 25;
inline constexpr REFERENCE_TIME kUnitsPerSecond = 10'000'000;
inline constexpr REFERENCE_TIME kClipLength = kTestClipSeconds * kUnitsPerSecond;
inline constexpr REFERENCE_TIME kOneFrame = kUnitsPerSecond / kTestClipFps;

struct OpenedClip
{
    std::shared_ptr<IGraphBuilder> graph; // kept also when rendering failed
    HRESULT hr = E_FAIL;
};
OpenedClip OpenFile(const QString& path);

// In 100 ns units of a rendered graph; -1 when it cannot tell.
REFERENCE_TIME Position(const std::shared_ptr<IGraphBuilder>& graph);
REFERENCE_TIME Duration(const std::shared_ptr<IGraphBuilder>& graph);
HRESULT SeekTo(const std::shared_ptr<IGraphBuilder>& graph, REFERENCE_TIME target);

// Waits (ten seconds at most) for a pipeline set playing to end: whether it reached the end of its
// stream, rather than an error or nothing.
bool PlaysToItsEnd(GstElement* pipeline);
