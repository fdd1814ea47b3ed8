#include "PlayListFixture.h"

#include <QElapsedTimer>
#include <QTimer>

#include <chrono>
#include <limits>

namespace {

using Length = PlayListTest;

// Waits (bounded) for the window to hand the loader a path; the path, or "" on time-out.
QString WaitForRequest(CAutoResetEvent& event)
{
    const bool signalled =
        QTest::qWaitFor([&event] { return event.WaitFor(std::chrono::milliseconds(0)); },
                        CPlayList::kLengthRequestInterval * 4);
    return signalled ? g_strLengthPath : QString();
}

TEST_F(Length, OneRequestAtATimeForTheFirstRowWithoutTime)
{
    AddEntries({12.0, -1.0, -1.0});
    EXPECT_EQ(WaitForRequest(m_loaderEvent), PathOf(1));
    EXPECT_EQ(g_bLoaderBusy.load(), 1);
    // Nothing more is asked and the path stays while the request is outstanding.
    QTest::qWait(CPlayList::kLengthRequestInterval * 2 + 100);
    EXPECT_FALSE(m_loaderEvent.WaitFor(std::chrono::milliseconds(0)));
    Report(1, 95.0);
    g_bLoaderBusy = 0;
    EXPECT_EQ(WaitForRequest(m_loaderEvent), PathOf(2));
    Report(2, -1.0);
    g_bLoaderBusy = 0;
    EXPECT_EQ(Column(1), (Texts{"0:12", "1:35", "???"}));
    // A failed file is not asked for again while its row shows "???".
    QTest::qWait(CPlayList::kLengthRequestInterval + 100);
    EXPECT_FALSE(m_loaderEvent.WaitFor(std::chrono::milliseconds(0)));

    // An entry whose row is still missing counts as without time.
    ClickButton(1075);
    m_window->OnTimer(CPlayList::kLengthRequestTimer);
    EXPECT_TRUE(m_loaderEvent.WaitFor(std::chrono::milliseconds(0)));
    EXPECT_EQ(g_strLengthPath, PathOf(0));
    Report(0, 30.0);
    ASSERT_TRUE(WaitForAllRows());
    EXPECT_EQ(Column(1), (Texts{"0:30", "1:35", ""}));
    EXPECT_TRUE(m_main.m_messages.empty());
}

TEST_F(Length, AReportReachesEveryEntryWithExactlyThatPath)
{
    for (const char* name : {"same", "other", "same", "SAME"}) {
        m_window->AddFileEntry(QStringLiteral("/v/%1.avi").arg(QLatin1String(name)),
                               QStringLiteral("From List"), -1.0);
    }
    g_strLengthPath = QStringLiteral("/v/same.avi");
    g_dTrackLength = 61.5;
    m_window->OnTrackLengthLoaded();
    EXPECT_EQ(Column(1), (Texts{"1:01", "", "1:01", ""}));
    EXPECT_EQ(m_window->Tracks()[2]->dLength, 61.5);
    EXPECT_EQ(m_window->Tracks()[0]->strTitle.toStdString(), "From List");

    g_dTrackLength = -1.0; // a failure keeps the length the entry had
    m_window->OnTrackLengthLoaded();
    EXPECT_EQ(m_window->Tracks()[0]->dLength, 61.5);
    // A NaN is no length either: "???", not an empty text that would be asked for forever.
    g_strLengthPath = QStringLiteral("/v/other.avi");
    g_dTrackLength = std::numeric_limits<double>::quiet_NaN();
    m_window->OnTrackLengthLoaded();
    EXPECT_EQ(Column(1), (Texts{"???", "???", "???", ""}));
    EXPECT_EQ(Images(), (std::vector<int>{Q, Q, Q, P}));
}

// One row per 10 ms tick would need 200 s for these 20,000 rows; the window must also keep
// turning its event loop while they come back.
TEST_F(Length, ALongListComesBackQuicklyInOrderWithoutStallingTheWindow)
{
    constexpr int kEntries = 20000;
    AddEntries(std::vector<double>(kEntries, 65.0));
    m_window->SetCurrentEntry(kEntries - 1);
    m_window->MarkEntry(100);
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
    const Texts paths = Column(0);
    for (int i = 0; i < kEntries; i += 999) {
        EXPECT_EQ(paths[static_cast<std::size_t>(i)], PathOf(i).toStdString());
    }
    EXPECT_EQ(List()->GetItemImage(kEntries - 1), A);
    EXPECT_EQ(List()->GetItemImage(100), M);
    EXPECT_EQ(List()->GetItemText(kEntries - 1, 1).toStdString(), "1:05");
}

} // namespace
