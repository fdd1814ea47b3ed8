#include "MessageRecorder.h"
#include "TestMedia.h"
#include "common/AppMessages.h"
#include "playback/SinkFactory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A damaged file plays what it holds, and ends. The window is told of
// queued events once per batch: each end, once the batch before it has been drained.
TEST(Playing, ATruncatedFilePlaysToItsEndAndEachEndIsAnnouncedOnce)
{
    const OpenedClip opened = OpenFile(TestMediaPath(TestClip::Truncated));
    ASSERT_EQ(opened.hr, S_OK);
    int nNotices = 0;
    CMessageRecorder window([&](std::uint32_t message) { nNotices += message == WM_GRAPH_NOTIFY; });
    opened.graph->QueryMediaEventEx()->SetNotifyWindow(&window, WM_GRAPH_NOTIFY, 0);
    ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    for (int end = 1; end <= 2; ++end) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return nNotices == end; }, 20000)) << end;
        EXPECT_GT(Position(opened.graph), kClipLength / 2);
        EXPECT_LT(Position(opened.graph), kClipLength);
        std::vector<long> codes;
        long code = 0;
        LParam param = 0;
        while (opened.graph->QueryMediaEventEx()->GetEvent(&code, &param, &param, 0) == S_OK) {
            codes.push_back(code);
        }
        EXPECT_EQ(codes, std::vector<long>{EC_COMPLETE});
        ASSERT_EQ(SeekTo(opened.graph, kClipLength / 2), S_OK);
    }
}

// A seek in an MPEG program stream that gives its sequence header only at its start plays on from
// the new place to the end: the picture comes back, and the clock with it.
TEST(Playing, AnMpegProgramStreamPlaysOnAfterASeek)
{
    const OpenedClip opened = OpenFile(TestMediaPath(TestClip::MpegPs));
    ASSERT_EQ(opened.hr, S_OK);
    ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    QTest::qWait(300);
    ASSERT_EQ(SeekTo(opened.graph, kClipLength / 2), S_OK);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Position(opened.graph) > kClipLength / 2 + kUnitsPerSecond / 2; }, 5000));
    long code = 0;
    LParam param = 0;
    ASSERT_EQ(opened.graph->QueryMediaEventEx()->GetEvent(&code, &param, &param, 10000), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
}

// Where nothing can play sound, sound still keeps time: a sound-only file takes its own length to
// play, its position never ahead of the time played, and so again after a seek back.
TEST(Playing, WithoutASoundOutputSoundStillTakesItsOwnTime)
{
    const QByteArray forced = qgetenv("VESSA_AUDIO_SINK");
    qunsetenv("VESSA_AUDIO_SINK"); // the output the player chooses by itself
    const OpenedClip opened = OpenFile(TestMediaPath(TestClip::AudioOnly));
    qputenv("VESSA_AUDIO_SINK", forced);
    if (ProcessHasSoundOutput()) {
        GTEST_SKIP() << "this machine has a sound output";
    }
    ASSERT_EQ(opened.hr, S_OK);
    for (const REFERENCE_TIME from : {REFERENCE_TIME{0}, kClipLength / 2}) {
        SCOPED_TRACE(from);
        ASSERT_EQ(SeekTo(opened.graph, from), S_OK);
        QElapsedTimer played;
        played.start();
        ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
        QTest::qWait(500);
        // A tenth of a second taken ahead, at most, as a sound card's buffer would take it.
        EXPECT_LE(Position(opened.graph) - from,
                  (played.elapsed() + 100) * (kUnitsPerSecond / 1000));
        long code = 0;
        LParam param = 0;
        ASSERT_EQ(opened.graph->QueryMediaEventEx()->GetEvent(&code, &param, &param, 20000), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);
        EXPECT_GE(played.elapsed() * (kUnitsPerSecond / 1000), kClipLength - from);
        ASSERT_EQ(opened.graph->QueryMediaControl()->Stop(), S_OK);
    }
}

// Plays `clip` to its end with the output that `variable` names made of `sink`, a multifilesink
// that writes each buffer it is given into a file of its own in `dir`; returns those files in
// their order.
QFileInfoList PlayToEndIntoFiles(TestClip clip, const char* variable, const QByteArray& sink,
                                 const QTemporaryDir& dir)
{
    const QByteArray forced = qgetenv(variable);
    qputenv(variable,
            sink + " next-file=buffer location=" + QFile::encodeName(dir.filePath("%05d")));
    const OpenedClip opened = OpenFile(TestMediaPath(clip));
    qputenv(variable, forced);
    EXPECT_EQ(opened.hr, S_OK);
    if (opened.hr != S_OK) {
        return {};
    }
    EXPECT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    long code = 0;
    LParam param = 0;
    EXPECT_EQ(opened.graph->QueryMediaEventEx()->GetEvent(&code, &param, &param, 20000), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_EQ(opened.graph->QueryMediaControl()->Stop(), S_OK);
    return QDir(dir.path()).entryInfoList(QDir::Files, QDir::Name);
}

// Decoded sound reaches the output a tenth of a second or more at a time, not a coded frame (a
// fortieth) at a time, and all of it: as many samples as the clip holds.
TEST(Playing, SoundReachesItsOutputInTenthsOfASecondEveryPieceOfIt)
{
    const QTemporaryDir dir;
    const QFileInfoList pieces =
        PlayToEndIntoFiles(TestClip::Mp4, "VESSA_AUDIO_SINK", "multifilesink", dir);

    // 44.1 kHz stereo, in 32-bit floats.
    constexpr qint64 kBytesPerSecond = 44100 * 2 * 4;
    ASSERT_FALSE(pieces.isEmpty());
    qint64 total = 0;
    for (const QFileInfo& piece : pieces) {
        if (piece.fileName() != pieces.last().fileName()) {
            EXPECT_GE(piece.size(), kBytesPerSecond / 10) << piece.fileName().toStdString();
        }
        total += piece.size();
    }
    // Give or take the encoder's lead-in, one coded frame.
    EXPECT_NEAR(total, static_cast<qint64>(kTestClipSeconds * kBytesPerSecond), 1024 * 8);
}

// Where pictures take longer to show than they last, the picture keeps pace with the clock by
// leaving some out, rather than falling ever further behind: the sink's reports of lateness reach
// the elements before it, which drop pictures that would come too late.
TEST(Playing, PicturesTooSlowToShowKeepPaceByLeavingSomeOut)
{
    const QTemporaryDir dir;
    // Each picture takes twice its own time to show.
    const qsizetype shown =
        PlayToEndIntoFiles(TestClip::Avi, "VESSA_VIDEO_SINK",
                           "identity sleep-time=80000 ! multifilesink sync=true qos=true", dir)
            .size();

    // At most half of them can be shown in time; shown all, they would take twice the film's
    // length.
    constexpr int kPictures = kTestClipSeconds * kTestClipFps;
    EXPECT_GT(shown, kPictures / 4);
    EXPECT_LT(shown, kPictures * 3 / 4);
}

} // namespace
