#include "PlayListFixture.h"
#include "common/AppMessages.h"
#include "controls/UserDialogs.h"
#include "playlist/RowImages.h"

#include <QGuiApplication>

namespace {

using Edit = PlayListTest;

constexpr int P = kImagePlain;
constexpr int M = kImageMarked;
constexpr int A = kImageDeckACurrent;
constexpr int Q = kImageNoLength;

constexpr int kUp = 1007;
constexpr int kDown = 1011;
constexpr int kDelete = 1010;
constexpr int kDeleteAll = 1073;

std::vector<std::string> TrackPaths(const TrackList& tracks)
{
    std::vector<std::string> paths;
    for (const auto& entry : tracks) {
        paths.push_back(entry->strPath.toStdString());
    }
    return paths;
}

std::vector<std::string> Names(std::initializer_list<int> indices)
{
    std::vector<std::string> names;
    for (const int i : indices) {
        names.push_back(QStringLiteral("clip%1").arg(i).toStdString());
    }
    return names;
}

std::vector<std::string> PathsOf(std::initializer_list<int> indices)
{
    std::vector<std::string> paths;
    for (const int i : indices) {
        paths.push_back(QStringLiteral("/media/clip%1.avi").arg(i).toStdString());
    }
    return paths;
}

TEST_F(Edit, UpAndDownMoveEntryAndRowWithTimeFlagsAndMark)
{
    AddEntries({60.0, 125.0, -1.0, 3.0});
    g_strLengthPath = PathOf(2);
    g_dTrackLength = -1.0;
    m_window->OnTrackLengthLoaded(); // entry 2: "???"
    m_window->SetCurrentEntry(1);

    ClickRow(1);
    ClickButton(kUp);
    EXPECT_EQ(TrackPaths(m_window->Tracks()), PathsOf({1, 0, 2, 3}));
    EXPECT_EQ(Column(0), Names({1, 0, 2, 3}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"2:05", "1:00", "???", "0:03"}));
    EXPECT_EQ(Images(), (std::vector<int>{A, P, Q, P}));
    EXPECT_EQ(List()->GetSelectionMark(), 0);
    EXPECT_TRUE(m_window->Tracks()[0]->bMarked);
    EXPECT_EQ(m_window->GetCurrentPosition(), 1);
    EXPECT_EQ(List()->GetItemData(0), -1);

    ClickRow(2);
    ClickButton(kDown);
    EXPECT_EQ(TrackPaths(m_window->Tracks()), PathsOf({1, 0, 3, 2}));
    EXPECT_EQ(Column(0), Names({1, 0, 3, 2}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"2:05", "1:00", "0:03", "???"}));
    EXPECT_EQ(Images(), (std::vector<int>{A, P, P, Q}));
    EXPECT_EQ(List()->GetSelectionMark(), 3);
    EXPECT_TRUE(m_window->Tracks()[3]->bMarked && m_window->Tracks()[3]->bNoLength);

    ClickRow(1);
    ClickButton(kDown);
    EXPECT_EQ(Column(0), Names({1, 3, 0, 2}));
    EXPECT_EQ(Images(), (std::vector<int>{A, P, M, Q}));
    EXPECT_EQ(m_main.Count(WM_PLAYLIST_CHANGED), 3u);
    EXPECT_EQ(m_main.m_messages.size(), 3u);
}

TEST_F(Edit, UpOnTheFirstDownOnTheLastAndWithoutSelectionChangeNothing)
{
    AddEntries({1.0, 2.0, 3.0});
    ClickButton(kUp);
    ClickButton(kDown);
    ClickButton(kDelete);
    ClickRow(0);
    ClickButton(kUp);
    ClickRow(2);
    ClickButton(kDown);
    EXPECT_EQ(TrackPaths(m_window->Tracks()), PathsOf({0, 1, 2}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"0:01", "0:02", "0:03"}));
    EXPECT_EQ(Images(), (std::vector<int>{P, P, M}));
    EXPECT_TRUE(m_main.m_messages.empty());
}

TEST_F(Edit, DeleteRemovesTheSelectionMarkRowAndItsEntry)
{
    AddEntries({1.0, 2.0, 3.0});
    ClickRow(1);
    ClickButton(kDelete);
    EXPECT_EQ(TrackPaths(m_window->Tracks()), PathsOf({0, 2}));
    EXPECT_EQ(Column(0), Names({0, 2}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"0:01", "0:03"}));
    EXPECT_EQ(m_main.Numbers(), (std::vector<std::uint32_t>{WM_PLAYLIST_CHANGED}));
}

TEST_F(Edit, DeleteAllAsksFirstAndClearsOnlyOnOk)
{
    AddEntryCount(3);
    ClickRow(1);
    CUserDialogs::SetNextAnswer(QMessageBox::Cancel);
    ClickButton(kDeleteAll);
    EXPECT_EQ(
        CUserDialogs::TakeAskedTexts(),
        QStringList{QGuiApplication::applicationDisplayName() + QStringLiteral(": Are You Sure?")});
    EXPECT_EQ(List()->GetItemCount(), 3);
    EXPECT_EQ(m_window->Tracks().size(), 3u);
    EXPECT_TRUE(m_main.m_messages.empty());

    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    ClickButton(kDeleteAll);
    EXPECT_EQ(CUserDialogs::TakeAskedTexts().size(), 1);
    EXPECT_EQ(List()->GetItemCount(), 0);
    EXPECT_TRUE(m_window->Tracks().empty());
    EXPECT_EQ(m_main.Numbers(), (std::vector<std::uint32_t>{WM_PLAYLIST_CHANGED}));
    EXPECT_EQ(m_window->GetCurrentPosition(), -1);
}

// The main window's delete command: p = GetCurrentPosition, RemoveCurrentEntry,
// SetCurrentEntry(p - 1), then play GetCurrentPath.
TEST_F(Edit, RemoveCurrentEntryLetsTheFollowingEntryTakeItsPlace)
{
    AddEntries({1.0, 2.0, 3.0});
    m_window->SetCurrentEntry(1);
    const int position = m_window->GetCurrentPosition();
    m_window->RemoveCurrentEntry();
    EXPECT_EQ(TrackPaths(m_window->Tracks()), PathsOf({0, 2}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"0:01", "0:03"}));
    EXPECT_EQ(m_window->GetCurrentPosition(), -1);
    m_window->SetCurrentEntry(position - 1);
    EXPECT_EQ(m_window->GetCurrentPath(), PathOf(2));
    EXPECT_EQ(Images(), (std::vector<int>{P, A}));

    // The last entry: afterwards nothing is current and there is nothing to play.
    const int last = m_window->GetCurrentPosition();
    m_window->RemoveCurrentEntry();
    m_window->SetCurrentEntry(last - 1);
    EXPECT_EQ(TrackPaths(m_window->Tracks()), PathsOf({0}));
    EXPECT_EQ(m_window->GetCurrentPosition(), -1);
    EXPECT_TRUE(m_window->GetCurrentPath().isEmpty());
    EXPECT_EQ(m_main.Count(WM_PLAYLIST_CHANGED), 2u);

    // Without a current entry nothing is removed and nothing is sent.
    m_window->RemoveCurrentEntry();
    EXPECT_EQ(m_window->Tracks().size(), 1u);
    EXPECT_EQ(m_main.Count(WM_PLAYLIST_CHANGED), 2u);
}

TEST_F(Edit, ShowModesRebuildEveryRowWithItsTextsAndPictures)
{
    AddEntries({1.0, -1.0, 3.0});
    m_window->Tracks()[0]->strTitle = QStringLiteral("First Title");
    g_strLengthPath = PathOf(1);
    g_dTrackLength = -1.0;
    m_window->OnTrackLengthLoaded();
    m_window->SetCurrentEntry(2);
    ClickRow(0);

    ClickButton(1075);
    EXPECT_EQ(m_window->ShowMode(), 1);
    EXPECT_EQ(List()->GetItemCount(), 0);
    ASSERT_TRUE(WaitForAllRows());
    EXPECT_EQ(Column(0), PathsOf({0, 1, 2}));
    // The failed length shows empty again, so the loader will be asked once more.
    EXPECT_EQ(Column(1), (std::vector<std::string>{"0:01", "", "0:03"}));
    EXPECT_EQ(Images(), (std::vector<int>{M, Q, A}));

    ClickButton(1076);
    ASSERT_TRUE(WaitForAllRows());
    EXPECT_EQ(Column(0), (std::vector<std::string>{"First Title", "clip1", "clip2"}));

    ClickButton(1074);
    ASSERT_TRUE(WaitForAllRows());
    EXPECT_EQ(Column(0), Names({0, 1, 2}));
    EXPECT_EQ(m_window->ShowMode(), 0);
    EXPECT_TRUE(m_main.m_messages.empty());
}

} // namespace
