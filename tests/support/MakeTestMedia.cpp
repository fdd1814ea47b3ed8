// make_test_media DIR          writes every test clip into DIR (those already there are kept)
// make_test_media --demo FILE  writes a 10 s demo clip with a moving picture and a tone

#include "AviEdit.h"
#include "ClipEncoder.h"
#include "TestMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gst/gst.h>

#include <cstdio>

namespace {

constexpr std::chrono::seconds kClipTimeLimit{60};

// A whole number of seconds exactly: 25 frames a second at 25 fps, and 25 buffers a second of
// 1764 samples at 44100 Hz.
QString Video(int seconds)
{
    return QStringLiteral("videotestsrc pattern=smpte num-buffers=%1 ! "
                          "video/x-raw,width=320,height=240,framerate=25/1 ! jpegenc")
        .arg(seconds * 25);
}

QString Audio(int seconds)
{
    return QStringLiteral("audiotestsrc num-buffers=%1 samplesperbuffer=1764 ! "
                          "audio/x-raw,format=S16LE,rate=44100,channels=2")
        .arg(seconds * 25);
}

QString Avi(int seconds)
{
    return Video(seconds) + QStringLiteral(" ! avimux name=mux ! filesink name=out ") +
           Audio(seconds) + QStringLiteral(" ! mux.");
}

const QString kVideo = Video(static_cast<int>(kTestClipSeconds));
const QString kAudio = Audio(static_cast<int>(kTestClipSeconds));

QString EncoderDescription(TestClip clip)
{
    switch (clip) {
    case TestClip::Avi:
        return Avi(static_cast<int>(kTestClipSeconds));
    case TestClip::ShortAvi:
        return Avi(static_cast<int>(kShortTestClipSeconds));
    case TestClip::VideoOnly:
        return kVideo + QStringLiteral(" ! avimux ! filesink name=out");
    case TestClip::AudioOnly:
        return kAudio + QStringLiteral(" ! wavenc ! filesink name=out");
    case TestClip::MpegPs:
        return QStringLiteral("videotestsrc pattern=smpte num-buffers=75 ! "
                              "video/x-raw,format=I420,width=320,height=240,framerate=25/1 ! "
                              "mpeg2enc format=3 constraints=false ! mpegpsmux name=mux ! "
                              "filesink name=out ") +
               kAudio + QStringLiteral(" ! audioconvert ! twolamemp2enc ! mux.");
    default:
        return {};
    }
}

// The clips made from the AVI's bytes.
bool DeriveFromAvi(TestClip clip, const QByteArray& avi, QByteArray* bytes, QString* error)
{
    switch (clip) {
    case TestClip::NoVideoDecoder:
        *bytes = avi;
        // A fourcc no decoder claims; the PCM audio stays playable.
        if (!ReplaceVideoFourcc(bytes, "VSNX")) {
            *error = QStringLiteral("no video stream header in the AVI");
            return false;
        }
        return true;
    case TestClip::Truncated:
        // The header and the first part of the frames; the index at the end is gone.
        *bytes = avi.left(avi.size() * 6 / 10);
        return true;
    case TestClip::OddName:
        *bytes = avi;
        return true;
    default:
        return false;
    }
}

bool MakeClip(const QDir& dir, TestClip clip, QString* error)
{
    const QString path = dir.filePath(TestClipFileName(clip));
    if (QFileInfo::exists(path)) {
        return true; // written completely by an earlier run (files appear only when complete)
    }
    if (const QString description = EncoderDescription(clip); !description.isEmpty()) {
        return EncodeClip(description, path, kClipTimeLimit, error);
    }
    switch (clip) {
    case TestClip::NotMedia:
        return WriteFileAtomically(
            path, QByteArrayLiteral("This is a plain text file that only claims to be a video.\n"),
            error);
    case TestClip::Empty:
        return WriteFileAtomically(path, QByteArray(), error);
    default:
        break;
    }
    QFile aviFile(dir.filePath(TestClipFileName(TestClip::Avi)));
    if (!aviFile.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("the AVI clip is missing");
        return false;
    }
    QByteArray bytes;
    return DeriveFromAvi(clip, aviFile.readAll(), &bytes, error) &&
           WriteFileAtomically(path, bytes, error);
}

int MakeAllClips(const QString& dirPath)
{
    if (!QDir().mkpath(dirPath)) {
        std::fprintf(stderr, "make_test_media: cannot create %s\n", qPrintable(dirPath));
        return 1;
    }
    const QDir dir(dirPath);
    int failures = 0;
    // The AVI comes first in the list: the derived clips are made from it.
    for (const TestClip clip : kAllTestClips) {
        QString error;
        if (!MakeClip(dir, clip, &error)) {
            std::fprintf(stderr, "make_test_media: %s: %s\n", TestClipName(clip),
                         qPrintable(error));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

int MakeDemo(const QString& path)
{
    if (QFileInfo::exists(path)) {
        return 0;
    }
    // A scrolling colour bar picture with the running time on it, and a quiet tone: 10 s.
    const bool hasOverlay = gst_element_factory_find("timeoverlay") != nullptr;
    const QString description =
        QStringLiteral("videotestsrc pattern=smpte horizontal-speed=4 num-buffers=250 ! "
                       "video/x-raw,width=640,height=360,framerate=25/1 ! ") +
        (hasOverlay ? QStringLiteral("timeoverlay font-desc=\"Sans 28\" ! ") : QString()) +
        QStringLiteral("jpegenc ! avimux name=mux ! filesink name=out "
                       "audiotestsrc freq=440 volume=0.2 num-buffers=250 samplesperbuffer=1764 ! "
                       "audio/x-raw,format=S16LE,rate=44100,channels=2 ! mux.");
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString error;
    if (!EncodeClip(description, path, kClipTimeLimit, &error)) {
        std::fprintf(stderr, "make_test_media: demo: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    GError* error = nullptr;
    if (!gst_init_check(&argc, &argv, &error)) {
        std::fprintf(stderr, "make_test_media: %s\n", error != nullptr ? error->message : "");
        return 1;
    }
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("--demo")) {
        return MakeDemo(args[2]);
    }
    if (args.size() == 2) {
        return MakeAllClips(args[1]);
    }
    std::fprintf(stderr, "usage: make_test_media DIR | make_test_media --demo FILE\n");
    return 2;
}
