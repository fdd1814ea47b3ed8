#include "PlaybackTestSupport.h"
#include "playback/GraphCore.h"

#include <QTemporaryDir>

#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct RenderCase
{
    TestClip clip;
    HRESULT expected; // S_OK, VFW_S_PARTIAL_RENDER, or E_FAIL for "some failure code"
};

void PrintTo(const RenderCase& c, std::ostream* os)
{
    *os << TestClipName(c.clip);
}

class RenderFileTest : public testing::TestWithParam<RenderCase>
{};

TEST_P(RenderFileTest, ResultAndInterfacesMatchWhatTheFileHolds)
{
    const RenderCase& c = GetParam();
    const OpenedClip opened = OpenClip(c.clip);
    ASSERT_NE(opened.graph, nullptr);
    if (c.expected == E_FAIL) {
        EXPECT_TRUE(Failed(opened.hr)) << "result 0x" << std::hex << opened.hr;
    } else {
        EXPECT_EQ(opened.hr, c.expected) << "result 0x" << std::hex << opened.hr;
    }
    const bool rendered = opened.hr == S_OK;
    EXPECT_EQ(opened.graph->QueryMediaControl() != nullptr, rendered);
    EXPECT_EQ(opened.graph->QueryMediaSeeking() != nullptr, rendered);
    EXPECT_EQ(opened.graph->QueryMediaEventEx() != nullptr, rendered);
    // A refused file leaves the graph empty: no pipeline is kept.
    EXPECT_EQ(opened.graph->Core()->Pipeline() != nullptr, rendered);
}

INSTANTIATE_TEST_SUITE_P(
    EveryClip, RenderFileTest,
    testing::Values(RenderCase{TestClip::Avi, S_OK}, RenderCase{TestClip::MpegPs, S_OK},
                    RenderCase{TestClip::VideoOnly, S_OK}, RenderCase{TestClip::AudioOnly, S_OK},
                    RenderCase{TestClip::OddName, S_OK},
                    // It prerolls with what it holds.
                    RenderCase{TestClip::Truncated, S_OK},
                    // The audio prerolls, the video has no decoder: partial, so refused.
                    RenderCase{TestClip::NoVideoDecoder, VFW_S_PARTIAL_RENDER},
                    RenderCase{TestClip::NotMedia, E_FAIL}, RenderCase{TestClip::Empty, E_FAIL}),
    [](const testing::TestParamInfo<RenderCase>& info) { return TestClipName(info.param.clip); });

// Paths that must be refused from a look at the file system alone, before anything opens them: a
// FIFO would block its reader until a writer came, a device would be read without end.
TEST(RenderFileRefusal, NonRegularFilesAreRefusedQuickly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("pipe.avi"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct
    {
        const char* what;
        QString path;
        HRESULT expected;
    } cases[] = {
        {"fifo", fifo, E_FAIL},
        {"device", QStringLiteral("/dev/null"), E_FAIL},
        {"folder", dir.path(), E_FAIL},
        {"missing file", dir.filePath(QStringLiteral("missing.avi")), VFW_E_NOT_FOUND},
        {"empty path", QString(), VFW_E_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = Clock::now();
        const OpenedClip opened = OpenFile(c.path);
        const auto elapsed = Clock::now() - start;
        EXPECT_EQ(opened.hr, c.expected);
        EXPECT_LT(elapsed, std::chrono::milliseconds(500));
        EXPECT_EQ(opened.graph->QueryMediaControl(), nullptr);
    }
}

TEST(RenderFileRefusal, RefusalsLeaveNoOpenFileOrThreadBehind)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("pipe.avi"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString refused[] = {TestMediaPath(TestClip::NotMedia),
                               TestMediaPath(TestClip::NoVideoDecoder),
                               TestMediaPath(TestClip::Empty), fifo};
    const auto refuseAll = [&refused] {
        for (const QString& path : refused) {
            EXPECT_NE(OpenFile(path).hr, S_OK) << path.toStdString();
        }
    };
    // The first round loads plugins and starts GStreamer's process-wide helpers.
    refuseAll();
    const int files = CountOpenFiles();
    const int threads = SettleThreads(0, std::chrono::milliseconds(200));

    constexpr int kRounds = 5;
    for (int round = 0; round < kRounds; ++round) {
        refuseAll();
    }
    EXPECT_EQ(CountOpenFiles(), files);
    EXPECT_LE(SettleThreads(threads, std::chrono::seconds(5)), threads);
}

TEST(RenderFileRefusal, SecondRenderIntoAGraphIsRefusedAndKeepsTheFirst)
{
    const OpenedClip opened = OpenClip(TestClip::Avi);
    ASSERT_EQ(opened.hr, S_OK);
    EXPECT_EQ(opened.graph->RenderFile(TestMediaPath(TestClip::AudioOnly)), E_UNEXPECTED);
    EXPECT_NE(opened.graph->QueryVideoWindow(), nullptr);
    EXPECT_NEAR(Duration(opened.graph), kTestClipSeconds * kUnitsPerSecond, kOneFrame);
}

// The length loader renders and measures on a thread of its own, which has no event loop.
TEST(RenderFileThreads, RendersAndMeasuresOnAThreadWithoutEventLoop)
{
    HRESULT hr = E_FAIL;
    REFERENCE_TIME duration = -1;
    std::thread loader([&] {
        const OpenedClip opened = OpenClip(TestClip::Avi);
        hr = opened.hr;
        if (hr == S_OK) {
            opened.graph->QueryMediaSeeking()->GetDuration(&duration);
        }
    });
    loader.join();
    EXPECT_EQ(hr, S_OK);
    EXPECT_NEAR(duration, kTestClipSeconds * kUnitsPerSecond, kOneFrame);
}

} // namespace
