#pragma once

#include <QString>

// Media files generated from GStreamer's test sources into the build tree, once per test run, by
// the make_test_media fixture. Tests ask for a clip by kind and get its full path.
enum class TestClip
{
    Avi,            // MJPEG video + PCM audio, 320x240, 25 fps, exactly 3.0 s
    ShortAvi,       // the same, exactly 1.0 s
    MpegPs,         // MPEG program stream: MPEG-2 video + MPEG audio
    VideoOnly,      // AVI, MJPEG video, no audio
    AudioOnly,      // audio only
    NoVideoDecoder, // AVI whose video no decoder here can decode; its audio decodes
    Truncated,      // an AVI cut off part-way through its data
    NotMedia,       // a text file with a media extension
    Empty,          // zero bytes
    OddName,        // an AVI whose name has spaces, '#', '%' and non-ASCII letters
};

inline constexpr TestClip kAllTestClips[] = {
    TestClip::Avi,       TestClip::ShortAvi,       TestClip::MpegPs,    TestClip::VideoOnly,
    TestClip::AudioOnly, TestClip::NoVideoDecoder, TestClip::Truncated, TestClip::NotMedia,
    TestClip::Empty,     TestClip::OddName,
};

// Full path of the generated clip (inside VESSA_TEST_MEDIA_DIR).
QString TestMediaPath(TestClip clip);

// The clip's file name, the same in every media folder; and a short name for test output.
QString TestClipFileName(TestClip clip);
const char* TestClipName(TestClip clip);

// Known facts about the generated clips, for tests that compare against the truth.
inline constexpr double kTestClipSeconds = 3.0;
inline constexpr double kShortTestClipSeconds = 1.0;
inline constexpr int kTestClipFps = 25;
