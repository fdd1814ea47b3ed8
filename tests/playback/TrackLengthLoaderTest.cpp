// The track length loader with the real playlist window on generated files: the window asks, the
// loader measures and reports, a stand-in for the main window hands the report to the window.

#include "playback/TrackLengthLoader.h"

#include "../playlist/PlayListFixture.h"
#include "HangingFormat.h"
#include "TestMedia.h"
#include "common/AppMessages.h"
#include "playback/GraphCore.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <thread>

namespace {

using namespace std::chrono_literals;

struct Measured
{
    std::string path;
    double length;
};

// The playlist window's fixture, with a loader of the test's own.
class LoaderTest : public PlayListTest
{
protected:
    void TearDown() override
    {
        m_loader.Stop();
        PlayListTest::TearDown();
    }

    // The main window's part: the report goes to the playlist window.
    bool event(QEvent* event) override
    {
        if (event->type() != CAppMessageEvent::EventType()) {
            return QObject::event(event);
        }
        auto* message = static_cast<CAppMessageEvent*>(event);
        if (message->Message() == WM_TRACK_LENGTH_LOADED) {
            m_reports.push_back({g_strLengthPath.toStdString(), g_dTrackLength});
            m_window->OnTrackLengthLoaded();
            if (m_onReport) {
                std::exchange(m_onReport, nullptr)();
            }
        }
        return true;
    }

    QString Missing() const { return m_dir.filePath(QStringLiteral("missing.avi")); }
    void Add(const QString& path) { m_window->AddFileEntry(path, QString(), -1.0); }

    // Runs the event loop until every row shows a "Time" text (bounded).
    bool WaitForAllTimes(int timeoutMs = 30000)
    {
        return QTest::qWaitFor(
            [this] {
                for (int row = 0; row < List()->GetItemCount(); ++row) {
                    if (List()->GetItemText(row, 1).isEmpty()) {
                        return false;
                    }
                }
                return true;
            },
            timeoutMs);
    }

    // Each row as "Time|picture": picture P plain, Q no length.
    Texts Times() const
    {
        Texts rows = Rows();
        for (std::string& row : rows) {
            row.erase(0, row.find('|') + 1);
        }
        return rows;
    }

    Texts ReportedPaths() const
    {
        Texts paths;
        for (const Measured& report : m_reports) {
            paths.push_back(report.path);
        }
        return paths;
    }

    QTemporaryDir m_dir;
    CTrackLengthLoader m_loader;
    std::vector<Measured> m_reports;
    std::function<void()> m_onReport;
};

std::string Std(const QString& text)
{
    return text.toStdString();
}

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

// One list holds a file of every kind; the rows fill one after the other, in list order, each
// path measured once, the duplicate filled by the report of its twin.
TEST_F(LoaderTest, EveryRowGetsItsLengthOrQuestionMarksOneAfterTheOther)
{
    const QString avi = TestMediaPath(TestClip::Avi);
    const struct
    {
        QString path;
        const char* time;
    } cases[] = {
        {avi, "0:03|P"},
        {TestMediaPath(TestClip::VideoOnly), "0:03|P"},
        {TestMediaPath(TestClip::AudioOnly), "0:03|P"},
        {TestMediaPath(TestClip::OddName), "0:03|P"},
        {Missing(), "???|Q"},
        // Its audio would play: half a film is refused, for measuring as for playing.
        {TestMediaPath(TestClip::NoVideoDecoder), "???|Q"},
        {TestMediaPath(TestClip::Empty), "???|Q"},
        {TestMediaPath(TestClip::NotMedia), "???|Q"},
        {avi, "0:03|P"},
    };
    Texts expected;
    Texts order;
    for (const auto& c : cases) {
        Add(c.path);
        expected.push_back(c.time);
        if (&c != &cases[std::size(cases) - 1]) {
            order.push_back(Std(c.path));
        }
    }
    m_loader.Start();
    ASSERT_TRUE(WaitForAllTimes());
    EXPECT_EQ(Times(), expected);
    EXPECT_EQ(ReportedPaths(), order);
    EXPECT_NEAR(m_reports.front().length, kTestClipSeconds, 1.0 / kTestClipFps);
    EXPECT_EQ(m_reports[4].length, -1.0);
}

TEST_F(LoaderTest, TwoSignalsBeforeTheLoaderWakesGiveOneMeasurement)
{
    g_strLengthPath = TestMediaPath(TestClip::Avi);
    g_bLoaderBusy = 1;
    m_loaderEvent.Set();
    m_loaderEvent.Set();
    m_loader.Start();
    ASSERT_TRUE(QTest::qWaitFor([this] { return g_bLoaderBusy.load() == 0; }, 10000));
    // A second measurement would be reported within a few render times.
    QTest::qWait(CGraphCore::kRenderTimeout.count() / 10);
    EXPECT_EQ(ReportedPaths(), Texts{Std(g_strLengthPath)});
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
        {"the event signalled again", [] { g_hTrackLengthEvent->Set(); }, {Std(avi), Std(avi)}},
        {"an entry added", [&] { Add(videoOnly); }, {Std(avi), Std(videoOnly)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_reports.clear();
        m_window = std::make_unique<CPlayList>();
        Add(avi);
        m_onReport = c.request;
        m_loader.Start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_reports.size() >= c.reports.size(); }, 10000));
        EXPECT_EQ(ReportedPaths(), c.reports);
        EXPECT_TRUE(WaitForAllTimes());
        m_loader.Stop();
    }
}

// The loader measures one file after another in the same graph. A file that hangs it, after a
// file measured in it, is given up in bounded time, and the files after it still get each its
// own length.
TEST_F(LoaderTest, AFileThatNeverGetsReadyIsBoundedAndTheFilesAfterItGetTheirLengths)
{
    const QString hanging = WriteHangingFile(m_dir.path());
    ASSERT_FALSE(hanging.isEmpty());
    Add(TestMediaPath(TestClip::Avi));
    Add(hanging);
    Add(TestMediaPath(TestClip::ShortAvi));
    Add(TestMediaPath(TestClip::VideoOnly));
    m_loader.Start();
    ASSERT_TRUE(WaitForAllTimes());
    EXPECT_EQ(Times(), (Texts{"0:03|P", "???|Q", "0:01|P", "0:03|P"}));
    ASSERT_EQ(m_reports.size(), 4U);
    EXPECT_NEAR(m_reports[2].length, kShortTestClipSeconds, 1.0 / kTestClipFps);
}

// A file is held only while it is measured: once its report is handled and the loader waits
// for the next path, the file is not open (a folder with measured files in it can be
// unmounted).
TEST_F(LoaderTest, AMeasuredFileIsNotKeptOpen)
{
    const QString path = TestMediaPath(TestClip::Avi);
    Add(path);
    m_loader.Start();
    ASSERT_TRUE(WaitForAllTimes());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !IsOpenInThisProcess(path); }, 10000));
}

// The OK path stops the loader before the event goes. Whatever it is doing, it stops well within
// the time a hanging render would take, and nothing is reported afterwards.
TEST_F(LoaderTest, StopIsPromptInEveryStateAndNothingIsReportedAfterIt)
{
    const QString hanging = WriteHangingFile(m_dir.path());
    ASSERT_FALSE(hanging.isEmpty());
    const struct
    {
        const char* what;
        QString path; // empty: no request
        std::chrono::milliseconds settle;
    } cases[] = {
        {"waiting for a path", QString(), 0ms},
        {"measuring a file that never gets ready", hanging, 300ms},
        // The report is sent but the UI thread does not turn its event loop.
        {"its report not yet taken", TestMediaPath(TestClip::Avi), 1500ms},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_reports.clear();
        CTrackLengthLoader loader;
        loader.Start();
        if (!c.path.isEmpty()) {
            g_strLengthPath = c.path;
            g_bLoaderBusy = 1;
            m_loaderEvent.Set();
        }
        std::this_thread::sleep_for(c.settle);
        const auto start = std::chrono::steady_clock::now();
        loader.Stop();
        EXPECT_LT(std::chrono::steady_clock::now() - start, CGraphCore::kRenderTimeout / 5);
        EXPECT_FALSE(loader.IsRunning());
        QTest::qWait(50);
        EXPECT_EQ(ReportedPaths(), Texts{});
    }
}

} // namespace
