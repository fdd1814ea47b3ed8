// make_test_media              writes every test clip (those already there are kept)
// make_test_media --demo FILE  writes a 10 s demo clip with a moving picture and a tone

#include "ClipEncoder.h"
#include "TestMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <gst/gst.h>

#include <cstdio>

namespace {

using namespace std::chrono_literals;

// Whole seconds exactly: 25 frames a second at 25 fps, and 25 buffers a second of 1764 samples at
// 44100 Hz.
QString Video(int frames, const char* format = "")
{
    return QStringLiteral("videotestsrc pattern=smpte num-buffers=%1 ! "
                          "video/x-raw,width=320,height=240,framerate=25/1%2 ! ")
        .arg(frames)
        .arg(QLatin1String(format));
}
const QString kAudio = QStringLiteral("audiotestsrc num-buffers=75 samplesperbuffer=1764 ! "
                                      "audio/x-raw,format=S16LE,rate=44100,channels=2 ! ");

// The pipeline that encodes the clip, whose file sink is named "out".
QString Recipe(TestClip clip)
{
    switch (clip) {
    case TestClip::Avi:
        return Video(75) + "jpegenc ! avimux name=mux ! filesink name=out " + kAudio + "mux.";
    case TestClip::VideoOnly:
        return Video(25) + "jpegenc ! avimux ! filesink name=out";
    case TestClip::AudioOnly:
        return kAudio + "wavenc ! filesink name=out";
    case TestClip::MpegPs:
        return Video(75, ",format=I420") +
               "mpeg2enc format=3 constraints=false ! mpegpsmux name=mux ! filesink name=out " +
               kAudio + "audioconvert ! twolamemp2enc ! mux.";
    case TestClip::Mp4:
        return QStringLiteral("videotestsrc pattern=ball num-buffers=75 ! "
                              "video/x-raw,format=I420,width=330,height=186,framerate=25/1 ! "
                              "x264enc speed-preset=superfast bframes=2 key-int-max=25 ! "
                              "h264parse ! mp4mux name=mux ! filesink name=out ") +
               kAudio + "audioconvert ! avenc_aac ! aacparse ! mux.";
    case TestClip::Subtitled:
        return Video(25) + "jpegenc ! matroskamux name=mux ! filesink name=out " +
               "dataurisrc uri=\"data:application/x-subtitle;base64," +
               QByteArray("1\n00:00:00,000 --> 00:00:00,800\nA line of subtitles\n").toBase64() +
               "\" ! subparse ! mux.";
    default:
        return {};
    }
}

// The other clips are made from the AVI's bytes.
QByteArray Derived(TestClip clip, QByteArray avi)
{
    switch (clip) {
    case TestClip::NoVideoDecoder:
        // The codec is named twice, in the stream header and in the video format: both times MJPG.
        return avi.replace("MJPG", "VSNX");
    case TestClip::Truncated:
        return avi.left(avi.size() * 6 / 10); // the index at the end is gone
    case TestClip::NotMedia:
        return "This is a plain text file that only claims to be a video.\n";
    case TestClip::Empty:
        return {};
    default:
        return avi;
    }
}

int MakeAllClips()
{
    QDir().mkpath(QFileInfo(TestMediaPath(TestClip::Avi)).absolutePath());
    int failures = 0;
    // The AVI comes first: the clips without a recipe are made from it. Files appear only when
    // complete, so one already there was written completely by an earlier run.
    for (int i = 0; i < kTestClipCount; ++i) {
        const auto clip = static_cast<TestClip>(i);
        const QString path = TestMediaPath(clip);
        QString error;
        QFile avi(TestMediaPath(TestClip::Avi));
        QSaveFile file(path);
        const bool made =
            QFileInfo::exists(path) ||
            (!Recipe(clip).isEmpty()
                 ? EncodeClip(Recipe(clip), path, 60s, &error)
                 : avi.open(QIODevice::ReadOnly) && file.open(QIODevice::WriteOnly) &&
                       file.write(Derived(clip, avi.readAll())) >= 0 && file.commit());
        if (!made) {
            std::fprintf(stderr, "make_test_media: %s: %s\n", qPrintable(path),
                         qPrintable(error + file.errorString()));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

// A scrolling colour bar picture with the running time on it, and a quiet tone: 10 s.
int MakeDemo(const QString& path)
{
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
    if (QFileInfo::exists(path) || EncodeClip(description, path, 60s, &error)) {
        return 0;
    }
    std::fprintf(stderr, "make_test_media: demo: %s\n", qPrintable(error));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    gst_init(&argc, &argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("--demo")) {
        return MakeDemo(args[2]);
    }
    if (args.size() == 1) {
        return MakeAllClips();
    }
    std::fprintf(stderr, "usage: make_test_media | make_test_media --demo FILE\n");
    return 2;
}
