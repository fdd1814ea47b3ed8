#include "PlayListFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <limits>

namespace {

using Length = PlayListTest;

// Waits (bounded) for the window to hand the loader a path; the path, or "" on time-out.
QString WaitForRequest(CAutoResetEvent& event,
                       int timeoutMs = CPlayList::kLengthRequestInterval * 4)
{
    const bool signalled = QTest::qWaitFor(
        [&event] { return event.WaitFor(std::chrono::milliseconds(0)); }, timeoutMs);
    return signalled ? g_strLengthPath : QString();
}

TEST_F(Length, OneRequestAtATimeForTheFirstRowWithoutTime)
{
    AddEntries({12.0, -1.0, -1.0});
    EXPECT_EQ(WaitForRequest(m_loaderEvent), PathOf(1));
    EXPECT_EQ(g_bLoaderBusy.load(), 1);
    // Nothing more is asked and the path stays while the request is outstanding.
    EXPECT_EQ(WaitForRequest(m_loaderEvent, CPlayList::kLengthRequestInterval * 2 + 100), "");
    EXPECT_EQ(g_strLengthPath, PathOf(1));
    Report(1, 95.0);
    g_bLoaderBusy = 0;
    EXPECT_EQ(WaitForRequest(m_loaderEvent), PathOf(2));
    Report(2, -1.0);
    g_bLoaderBusy = 0;
    EXPECT_EQ(Rows(), (Texts{"clip0|0:12|P", "clip1|1:35|P", "clip2|???|Q"}));
    // A failed file is not asked for again while its row shows "???".
    EXPECT_EQ(WaitForRequest(m_loaderEvent, CPlayList::kLengthRequestInterval + 100), "");
    EXPECT_EQ(m_sent, Numbers{});
}

// Whether an entry still needs its length is the entry's own business, not its row's: a failed
// file keeps its "???" when the rows are rebuilt, and entries whose rows are not made yet (a scan
// inserting, a rebuild) are each measured once, their results shown when the rows come.
TEST_F(Length, EveryEntryIsMeasuredOnceWhateverItsRowShows)
{
    AddEntries({-1.0, 12.0});
    EXPECT_EQ(WaitForRequest(m_loaderEvent), PathOf(0));
    Report(0, -1.0);
    g_bLoaderBusy = 0;
    ClickButton(IDC_SHOWPATH);
    ASSERT_TRUE(WaitForAllRows());
    EXPECT_EQ(Rows(),
              (Texts{PathOf(0).toStdString() + "|???|Q", PathOf(1).toStdString() + "|0:12|P"}));
    EXPECT_EQ(WaitForRequest(m_loaderEvent, CPlayList::kLengthRequestInterval + 100), "");

    // A folder scan of new files, with a loader that answers at once: one request per file.
    QTemporaryDir folder;
    constexpr int kFiles = 40;
    for (int i = 0; i < kFiles; ++i) {
        QFile file(folder.filePath(QStringLiteral("f%1.avi").arg(i, 2, 10, QLatin1Char('0'))));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    CUserDialogs::SetNextFileName(folder.path());
    ClickButton(IDC_ADDFOLDER);
    std::vector<QString> asked;
    const auto allMeasured = [&] {
        const auto& tracks = m_window->Tracks();
        return std::all_of(tracks.begin(), tracks.end(), [](const auto& entry) {
            return entry->dLength >= 0.0 || entry->bNoLength;
        });
    };
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            if (m_loaderEvent.WaitFor(std::chrono::milliseconds(0))) {
                asked.push_back(g_strLengthPath);
                g_dTrackLength = 7.0;
                m_window->OnTrackLengthLoaded();
                g_bLoaderBusy = 0;
            }
            return allMeasured() && List()->GetItemCount() == kFiles + 2;
        },
        30000));
    EXPECT_EQ(asked.size(), static_cast<std::size_t>(kFiles));
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(std::adjacent_find(asked.begin(), asked.end()), asked.end()) << "a file asked twice";
    EXPECT_EQ(Rows().back(), folder.filePath(QStringLiteral("f39.avi")).toStdString() + "|0:07|P");
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
    EXPECT_EQ(Rows(), (Texts{"same|1:01|P", "other||P", "same|1:01|P", "SAME||P"}));
    EXPECT_EQ(m_window->Tracks()[0]->strTitle.toStdString(), "From List");

    // A NaN is no length either: "???", not an empty text that would be asked for forever.
    g_strLengthPath = QStringLiteral("/v/other.avi");
    g_dTrackLength = std::numeric_limits<double>::quiet_NaN();
    m_window->OnTrackLengthLoaded();
    EXPECT_EQ(Rows(), (Texts{"same|1:01|P", "other|???|Q", "same|1:01|P", "SAME||P"}));
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
    ClickButton(IDC_SHOWPATH);
    // The current entry has no row yet; making another current must still leave only one.
    m_window->SetCurrentEntry(0);
    ASSERT_TRUE(WaitForAllRows());
    heartbeat.stop();
    EXPECT_LT(longestStall, 100);
    const Texts rows = Rows();
    for (int i = 999; i < kEntries; i += 999) {
        EXPECT_EQ(rows[static_cast<std::size_t>(i)], PathOf(i).toStdString() + "|1:05|P");
    }
    EXPECT_EQ(rows[0], PathOf(0).toStdString() + "|1:05|A");
    EXPECT_EQ(rows[100], PathOf(100).toStdString() + "|1:05|M");
    EXPECT_EQ(rows.back(), PathOf(kEntries - 1).toStdString() + "|1:05|P");
}

} // namespace
