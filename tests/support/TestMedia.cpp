#include "TestMedia.h"

QString TestClipFileName(TestClip clip)
{
    switch (clip) {
    case TestClip::Avi:
        return QStringLiteral("clip.avi");
    case TestClip::ShortAvi:
        return QStringLiteral("short.avi");
    case TestClip::MpegPs:
        return QStringLiteral("clip.mpg");
    case TestClip::VideoOnly:
        return QStringLiteral("video-only.avi");
    case TestClip::AudioOnly:
        return QStringLiteral("audio-only.wav");
    case TestClip::NoVideoDecoder:
        return QStringLiteral("no-video-decoder.avi");
    case TestClip::Truncated:
        return QStringLiteral("truncated.avi");
    case TestClip::NotMedia:
        return QStringLiteral("not-media.avi");
    case TestClip::Empty:
        return QStringLiteral("empty.avi");
    case TestClip::OddName:
        return QString::fromUtf8("clip with spaces #1 100% Ünïcødé.avi");
    }
    return {};
}

const char* TestClipName(TestClip clip)
{
    switch (clip) {
    case TestClip::Avi:
        return "Avi";
    case TestClip::ShortAvi:
        return "ShortAvi";
    case TestClip::MpegPs:
        return "MpegPs";
    case TestClip::VideoOnly:
        return "VideoOnly";
    case TestClip::AudioOnly:
        return "AudioOnly";
    case TestClip::NoVideoDecoder:
        return "NoVideoDecoder";
    case TestClip::Truncated:
        return "Truncated";
    case TestClip::NotMedia:
        return "NotMedia";
    case TestClip::Empty:
        return "Empty";
    case TestClip::OddName:
        return "OddName";
    }
    return "?";
}

QString TestMediaPath(TestClip clip)
{
    return QStringLiteral(VESSA_TEST_MEDIA_DIR "/") + TestClipFileName(clip);
}
