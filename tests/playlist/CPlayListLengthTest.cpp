#include "PlayListFixture.h"
#include "common/AppMessages.h"
#include "common/Globals.h"
#include "playlist/RowImages.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <limits>

namespace {

using Length = PlayListTest;

// Waits (bounded) until the window hands the loader a path; returns it, or "" on time-out.
QString WaitForRequest(CAutoResetEvent& event)
{
    const bool signalled =
        QTest::qWaitFor([&event] { return event.WaitFor(std::chrono::milliseconds(0)); },
                        CPlayList::kLengthRequestInterval * 4);
    return signalled ? g_strLengthPath : QString();
}

// Plays the loader's part: measure, report synchronously, lower the busy flag.
void Report(CPlayList& window, double length)
{
    g_dTrackLength = length;
    window.OnTrackLengthLoaded();
    g_bLoaderBusy.exchange(0);
}

TEST_F(Length, RequestsTheFirstRowWithoutTimeOneAtATime)
{
    AddEntries({12.0, -1.0, -1.0});
    EXPECT_EQ(WaitForRequest(m_loaderEvent), PathOf(1));
    EXPECT_EQ(g_bLoaderBusy.load(), 1);

    // While the request is outstanding nothing else is asked and the path stays.
    QTest::qWait(CPlayList::kLengthRequestInterval * 2 + 100);
    EXPECT_FALSE(m_loaderEvent.WaitFor(std::chrono::milliseconds(0)));
    EXPECT_EQ(g_strLengthPath, PathOf(1));

    Report(*m_window, 95.0);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"0:12", "1:35", ""}));
    EXPECT_EQ(WaitForRequest(m_loaderEvent), PathOf(2));
    Report(*m_window, -1.0);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"0:12", "1:35", "???"}));

    // Every row has a text now; a failed file is not asked for again.
    QTest::qWait(CPlayList::kLengthRequestInterval + 100);
    EXPECT_FALSE(m_loaderEvent.WaitFor(std::chrono::milliseconds(0)));
    EXPECT_EQ(g_bLoaderBusy.load(), 0);
    EXPECT_TRUE(m_main.m_messages.empty());
}

TEST_F(Length, EntriesWhoseRowsAreStillMissingAreAskedFor)
{
    AddEntries({12.0, 13.0});
    ClickButton(1075);
    ASSERT_EQ(List()->GetItemCount(), 0);
    m_window->OnTimer(CPlayList::kLengthRequestTimer);
    ASSERT_TRUE(m_loaderEvent.WaitFor(std::chrono::milliseconds(0)));
    EXPECT_EQ(g_strLengthPath, PathOf(0));
    // The report arrives while the rows are rebuilt; the row takes the length when it comes.
    Report(*m_window, 30.0);
    ASSERT_TRUE(WaitForAllRows());
    EXPECT_EQ(Column(1), (std::vector<std::string>{"0:30", "0:13"}));
}

TEST_F(Length, AFailedFileIsAskedForAgainAfterAShowModeChange)
{
    AddEntries({-1.0});
    ASSERT_EQ(WaitForRequest(m_loaderEvent), PathOf(0));
    Report(*m_window, -1.0);
    ClickButton(1076);
    ASSERT_TRUE(WaitForAllRows());
    EXPECT_EQ(Column(1), (std::vector<std::string>{""}));
    EXPECT_EQ(List()->GetItemImage(0), kImageNoLength);
    EXPECT_EQ(WaitForRequest(m_loaderEvent), PathOf(0));
}

TEST_F(Length, AReportReachesEveryEntryWithThePathAndOnlyThose)
{
    m_window->AddFileEntry(QStringLiteral("/v/same.avi"), QStringLiteral("From List"), -1.0);
    m_window->AddFileEntry(QStringLiteral("/v/other.avi"), QString(), -1.0);
    m_window->AddFileEntry(QStringLiteral("/v/same.avi"), QString(), -1.0);
    m_window->AddFileEntry(QStringLiteral("/v/SAME.avi"), QString(), -1.0);
    g_strLengthPath = QStringLiteral("/v/same.avi");
    g_dTrackLength = 61.5;
    m_window->OnTrackLengthLoaded();
    EXPECT_EQ(Column(1), (std::vector<std::string>{"1:01", "", "1:01", ""}));
    EXPECT_EQ(m_window->Tracks()[2]->dLength, 61.5);
    EXPECT_EQ(m_window->Tracks()[3]->dLength, -1.0);
    // The title that came with the entry stays.
    EXPECT_EQ(m_window->Tracks()[0]->strTitle.toStdString(), "From List");

    g_dTrackLength = -1.0;
    m_window->OnTrackLengthLoaded();
    EXPECT_EQ(Column(1), (std::vector<std::string>{"???", "", "???", ""}));
    EXPECT_TRUE(m_window->Tracks()[0]->bNoLength);
    // A failure keeps the length the entry had.
    EXPECT_EQ(m_window->Tracks()[0]->dLength, 61.5);
    EXPECT_EQ(Images(),
              (std::vector<int>{kImageNoLength, kImagePlain, kImageNoLength, kImagePlain}));

    // A NaN is no length: it counts as a failure rather than an empty "Time" text.
    g_strLengthPath = QStringLiteral("/v/other.avi");
    g_dTrackLength = std::numeric_limits<double>::quiet_NaN();
    m_window->OnTrackLengthLoaded();
    EXPECT_EQ(List()->GetItemText(1, 1).toStdString(), "???");
    EXPECT_TRUE(m_main.m_messages.empty());
}

TEST_F(Length, NoRequestWhileTheLoaderIsBusy)
{
    g_bLoaderBusy = 1;
    AddEntries({-1.0});
    QTest::qWait(CPlayList::kLengthRequestInterval * 2 + 100);
    EXPECT_FALSE(m_loaderEvent.WaitFor(std::chrono::milliseconds(0)));
    EXPECT_TRUE(g_strLengthPath.isEmpty());
    g_bLoaderBusy = 0;
    EXPECT_EQ(WaitForRequest(m_loaderEvent), PathOf(0));
}

// Rebuilding a long list must neither take minutes (one row per 10 ms tick would need 200 s for
// these 20,000 rows) nor hold up the window: the event loop keeps turning while rows come back.
TEST_F(Length, ALongListComesBackQuicklyInOrderWithoutStallingTheWindow)
{
    constexpr int kEntries = 20000;
    AddEntryCount(kEntries, 65.0);
    m_window->SetCurrentEntry(kEntries - 1);
    m_window->MarkEntry(100);
    ASSERT_TRUE(WaitForAllRows());

    QElapsedTimer sinceLastTurn;
    qint64 longestStall = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout,
                     [&] { longestStall = std::max(longestStall, sinceLastTurn.restart()); });
    heartbeat.start(1);
    sinceLastTurn.start();
    ClickButton(1075);
    ASSERT_TRUE(WaitForAllRows(20000));
    heartbeat.stop();

    EXPECT_LT(longestStall, 100);
    const std::vector<std::string> paths = Column(0);
    ASSERT_EQ(paths.size(), static_cast<std::size_t>(kEntries));
    for (int i = 0; i < kEntries; i += 997) {
        EXPECT_EQ(paths[static_cast<std::size_t>(i)], PathOf(i).toStdString());
    }
    EXPECT_EQ(paths.back(), PathOf(kEntries - 1).toStdString());
    EXPECT_EQ(List()->GetItemImage(kEntries - 1), kImageDeckACurrent);
    EXPECT_EQ(List()->GetItemImage(100), kImageMarked);
    EXPECT_EQ(List()->GetItemText(kEntries - 1, 1).toStdString(), "1:05");
    EXPECT_EQ(List()->GetItemData(kEntries - 1), -1);
}

} // namespace
