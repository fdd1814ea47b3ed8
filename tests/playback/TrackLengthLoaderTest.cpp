// The track length loader on generated files, with the real playlist window asking for the
// lengths and a stand-in for the main window handing each report to it.

#include "playback/TrackLengthLoader.h"

#include "../playlist/PlayListFixture.h"
#include "HangingFormat.h"
#include "TestMedia.h"
#include "common/AppMessages.h"
#include "playback/GraphCore.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>

namespace {

constexpr int kBound = 30000; // ms

struct Measured
{
    std::string path;
    double length;
};

class LoaderTest : public PlayListTest
{
protected:
    void TearDown() override
    {
        m_loader.Stop();
        m_holdMessages = false;
        PlayListTest::TearDown();
    }

    // The main window's part: the report goes to the playlist window. Holding its messages, it
    // takes none (it is busy elsewhere), and the report stays unhandled.
    bool event(QEvent* event) override
    {
        if (m_holdMessages) {
            m_messageHeld = true;
            return true;
        }
        if (event->type() != CAppMessageEvent::EventType()) {
            return QObject::event(event);
        }
        if (static_cast<CAppMessageEvent*>(event)->Message() == WM_TRACK_LENGTH_LOADED) {
            m_reports.push_back({g_strLengthPath.toStdString(), g_dTrackLength});
            m_window->OnTrackLengthLoaded();
            if (m_onReport) {
                std::exchange(m_onReport, nullptr)();
            }
        }
        return true;
    }

    void Add(const QString& path) { m_window->AddFileEntry(path, QString(), -1.0); }

    // The "Time" text of every row, once each has one (bounded).
    Texts Times()
    {
        Texts times;
        (void)QTest::qWaitFor(
            [&] {
                times.clear();
                for (int row = 0; row < List()->GetItemCount(); ++row) {
                    times.push_back(List()->GetItemText(row, 1).toStdString());
                }
                return std::count(times.begin(), times.end(), "") == 0;
            },
            kBound);
        return times;
    }

    Texts ReportedPaths() const
    {
        Texts paths;
        for (const Measured& report : m_reports) {
            paths.push_back(report.path);
        }
        return paths;
    }

    // The request the playlist window makes, made by the test itself.
    void Request(const QString& path, int signals = 1)
    {
        g_strLengthPath = path;
        g_bLoaderBusy = 1;
        for (int i = 0; i < signals; ++i) {
            m_loaderEvent.Set();
        }
    }

    QTemporaryDir m_dir;
    CTrackLengthLoader m_loader;
    std::vector<Measured> m_reports;
    std::function<void()> m_onReport;
    bool m_holdMessages = false;
    bool m_messageHeld = false;
};

bool IsOpenInThisProcess(const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    for (const QString& name :
         descriptors.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (QFileInfo(descriptors.filePath(name)).symLinkTarget() == target) {
            return true;
        }
    }
    return false;
}

// In list order, one file after the other in the loader's one graph, each gets its own length:
// after a measured file, after one refused, and after one that never gets ready, which is given
// up in bounded time. A file is held only while it is measured (its folder can be unmounted).
TEST_F(LoaderTest, EachRowGetsItsOwnLengthInTurnAndNoFileStaysOpen)
{
    const QString hanging = WriteHangingFile(m_dir.path());
    ASSERT_FALSE(hanging.isEmpty());
    const QString paths[] = {TestMediaPath(TestClip::Avi), hanging,
                             TestMediaPath(TestClip::VideoOnly), TestMediaPath(TestClip::NotMedia),
                             TestMediaPath(TestClip::AudioOnly)};
    Texts order;
    for (const QString& path : paths) {
        Add(path);
        order.push_back(path.toStdString());
    }
    m_loader.Start();
    EXPECT_EQ(Times(), (Texts{"0:03", "???", "0:01", "???", "0:03"}));
    ASSERT_EQ(ReportedPaths(), order);
    const double frame = 1.0 / kTestClipFps;
    EXPECT_NEAR(m_reports[0].length, kTestClipSeconds, frame);
    EXPECT_EQ(m_reports[1].length, -1.0);
    EXPECT_NEAR(m_reports[2].length, 1.0, frame);
    for (const QString& path : paths) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !IsOpenInThisProcess(path); }, kBound))
            << path.toStdString();
    }
}

TEST_F(LoaderTest, TwoSignalsBeforeTheLoaderWakesGiveOneMeasurement)
{
    Request(TestMediaPath(TestClip::Avi), 2);
    m_loader.Start();
    ASSERT_TRUE(QTest::qWaitFor([] { return g_bLoaderBusy.load() == 0; }, kBound));
    // A second measurement would be reported within a few render times.
    QTest::qWait(CGraphCore::kRenderTimeout.count() / 10);
    EXPECT_EQ(ReportedPaths(), Texts{g_strLengthPath.toStdString()});
}

// While one request is outstanding (its report not yet handled) a new one comes: a signal of
// the event, or an entry added to the list. Neither is lost.
TEST_F(LoaderTest, ARequestMadeWhileAMeasurementIsOutstandingIsServedAfterIt)
{
    const QString avi = TestMediaPath(TestClip::Avi);
    const QString videoOnly = TestMediaPath(TestClip::VideoOnly);
    const struct
    {
        const char* what;
        std::function<void()> request;
        Texts reports;
    } cases[] = {
        {"the event signalled again",
         [] { g_hTrackLengthEvent->Set(); },
         {avi.toStdString(), avi.toStdString()}},
        {"an entry added", [&] { Add(videoOnly); }, {avi.toStdString(), videoOnly.toStdString()}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_reports.clear();
        m_window = std::make_unique<CPlayList>();
        Add(avi);
        m_onReport = c.request;
        m_loader.Start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_reports.size() >= c.reports.size(); }, kBound));
        EXPECT_EQ(ReportedPaths(), c.reports);
        m_loader.Stop();
    }
}

// The OK path stops the loader before the event goes. Whatever it is doing, it stops without
// waiting out a render's time-out, and nothing is reported afterwards.
TEST_F(LoaderTest, StopIsPromptInEveryStateAndNothingIsReportedAfterIt)
{
    const QString hanging = WriteHangingFile(m_dir.path());
    ASSERT_FALSE(hanging.isEmpty());
    const struct
    {
        const char* what;
        QString path; // empty: no request
        bool hold;
    } cases[] = {
        {"waiting for a path", QString(), false},
        {"measuring a file that never gets ready", hanging, false},
        {"its report not yet taken", TestMediaPath(TestClip::Avi), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_reports.clear();
        m_holdMessages = c.hold;
        m_messageHeld = false;
        CTrackLengthLoader loader;
        loader.Start();
        if (!c.path.isEmpty()) {
            Request(c.path);
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return c.hold ? m_messageHeld : IsOpenInThisProcess(c.path); }, kBound));
        }
        const auto start = std::chrono::steady_clock::now();
        loader.Stop();
        EXPECT_LT(std::chrono::steady_clock::now() - start, CGraphCore::kRenderTimeout / 2);
        EXPECT_FALSE(loader.IsRunning());
        m_holdMessages = false;
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(ReportedPaths(), Texts{});
        g_bLoaderBusy = 0;
    }
}

} // namespace
