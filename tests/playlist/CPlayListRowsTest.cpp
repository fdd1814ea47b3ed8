#include "PlayListFixture.h"
#include "common/AppMessages.h"
#include "playlist/RowImages.h"

#include <QTest>

namespace {

using Rows = PlayListTest;

constexpr int P = kImagePlain;
constexpr int M = kImageMarked;
constexpr int A = kImageDeckACurrent;
constexpr int Q = kImageNoLength;

TEST_F(Rows, AddFileEntryAppendsARowWithNameLengthAndPlainPictureAndSendsNothing)
{
    m_window->AddFileEntry(QStringLiteral("/v/My.Clip.mpg"), QStringLiteral("Title"), 65.9);
    m_window->AddFileEntry(QStringLiteral("/v/b.avi"), QString(), -1.0);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"My.Clip", "b"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"1:05", ""}));
    EXPECT_EQ(Images(), (std::vector<int>{P, P}));
    EXPECT_EQ(List()->GetItemData(0), -1);
    EXPECT_EQ(m_window->Tracks()[0]->strTitle.toStdString(), "Title");
    EXPECT_TRUE(m_main.m_messages.empty());
}

TEST_F(Rows, ClickMovesTheArrowAndKeepsPlayAndQuestionPictures)
{
    AddEntryCount(4);
    ClickRow(1);
    EXPECT_EQ(Images(), (std::vector<int>{P, M, P, P}));
    EXPECT_EQ(List()->GetSelectionMark(), 1);
    ClickRow(2);
    EXPECT_EQ(Images(), (std::vector<int>{P, P, M, P}));
    EXPECT_FALSE(m_window->Tracks()[1]->bMarked);
    EXPECT_TRUE(m_window->Tracks()[2]->bMarked);

    // A current row keeps the play picture when it is clicked, and a row without length keeps
    // the question mark; each is still the marked entry.
    m_window->SetCurrentEntry(0);
    g_strLengthPath = PathOf(3);
    g_dTrackLength = -1.0;
    m_window->OnTrackLengthLoaded();
    ClickRow(0);
    EXPECT_EQ(Images(), (std::vector<int>{A, P, P, Q}));
    EXPECT_TRUE(m_window->Tracks()[0]->bMarked);
    ClickRow(3);
    EXPECT_EQ(Images(), (std::vector<int>{A, P, P, Q}));
    EXPECT_TRUE(m_window->Tracks()[3]->bMarked);
    EXPECT_FALSE(m_window->Tracks()[0]->bMarked);
    EXPECT_TRUE(m_main.m_messages.empty());
}

TEST_F(Rows, DoubleClickMakesTheRowCurrentBeforeAskingTheMainWindowToPlayIt)
{
    AddEntryCount(3);
    DoubleClickRow(2);
    EXPECT_EQ(Images(), (std::vector<int>{P, P, A}));
    ASSERT_EQ(m_main.Count(WM_PLAY_CURRENT), 1u);
    const auto& played = m_main.m_messages.back();
    EXPECT_EQ(played.wParam, 0u); // deck A
    EXPECT_EQ(played.lParam, 0);
    EXPECT_EQ(played.currentPath, PathOf(2));

    // The row that was current goes back to the arrow when it is the marked one, else to blank.
    m_window->SetCurrentEntry(0);
    EXPECT_EQ(Images(), (std::vector<int>{A, P, M}));
    DoubleClickRow(1);
    EXPECT_EQ(Images(), (std::vector<int>{P, A, P}));
    EXPECT_EQ(m_window->GetCurrentPosition(), 2);
    ASSERT_EQ(m_main.Count(WM_PLAY_CURRENT), 2u);
    EXPECT_EQ(m_main.m_messages.back().currentPath, PathOf(1));
}

TEST_F(Rows, DoubleClickOnEmptySpacePlaysTheSelectionMarkRowOrNothingCurrent)
{
    AddEntryCount(2);
    CTavListCtrl* list = List();
    const QPoint belowRows(10, list->viewport()->height() - 5);
    ASSERT_FALSE(list->indexAt(belowRows).isValid());

    // No selection mark: nothing becomes current and wParam says -1.
    DoubleClickAt(belowRows);
    ASSERT_EQ(m_main.Count(WM_PLAY_CURRENT), 1u);
    EXPECT_EQ(static_cast<LParam>(m_main.m_messages.back().wParam), -1);
    EXPECT_EQ(m_window->GetCurrentPosition(), -1);

    ClickRow(1);
    DoubleClickAt(belowRows);
    ASSERT_EQ(m_main.Count(WM_PLAY_CURRENT), 2u);
    EXPECT_EQ(m_main.m_messages.back().wParam, 0u);
    EXPECT_EQ(m_main.m_messages.back().currentPath, PathOf(1));
    EXPECT_EQ(m_window->GetCurrentPosition(), 2);
}

struct StepCase
{
    const char* name;
    int nCurrent;           // index made current first, -1 for none
    std::vector<int> deckB; // entries put on deck B
    bool bNext;             // Next, else Previous
    int nExpectedCurrent;   // index current afterwards, -1 for none
};

class Stepping : public PlayListTest, public testing::WithParamInterface<StepCase>
{};

TEST_P(Stepping, StepsToTheNearestDeckAEntryWithoutWrappingAround)
{
    const StepCase& c = GetParam();
    AddEntryCount(4);
    m_window->SetCurrentEntry(c.nCurrent);
    for (const int index : c.deckB) {
        // The player itself never makes deck-B entries; the list's record allows them.
        m_window->Tracks()[static_cast<std::size_t>(index)]->nDeck = 1;
    }
    const bool moves = c.nExpectedCurrent != c.nCurrent;
    if (c.bNext) {
        m_window->PlayNextEntry();
    } else {
        m_window->PlayPreviousEntry();
    }
    EXPECT_EQ(m_window->GetCurrentPosition() - 1,
              c.nExpectedCurrent == -1 ? -2 : c.nExpectedCurrent);
    ASSERT_EQ(m_main.Count(WM_PLAY_CURRENT), moves ? 1u : 0u);
    if (moves) {
        EXPECT_EQ(m_main.m_messages.back().wParam, 0u);
        EXPECT_EQ(m_main.m_messages.back().currentPath, PathOf(c.nExpectedCurrent));
        EXPECT_EQ(List()->GetItemImage(c.nExpectedCurrent), A);
        if (c.nCurrent >= 0) {
            EXPECT_EQ(List()->GetItemImage(c.nCurrent), P);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Stepping,
    testing::Values(StepCase{"NextWithoutCurrentPlaysTheFirst", -1, {}, true, 0},
                    StepCase{"NextFromTheMiddle", 1, {}, true, 2},
                    StepCase{"NextOnTheLastDoesNothing", 3, {}, true, 3},
                    StepCase{"NextSkipsDeckB", 1, {2}, true, 3},
                    StepCase{"NextWithOnlyDeckBAfterDoesNothing", 2, {3}, true, 2},
                    StepCase{"NextWithoutCurrentSkipsDeckB", -1, {0, 1}, true, 2},
                    StepCase{"PreviousWithoutCurrentDoesNothing", -1, {}, false, -1},
                    StepCase{"PreviousOnTheFirstDoesNothing", 0, {}, false, 0},
                    StepCase{"PreviousFromTheMiddle", 2, {}, false, 1},
                    StepCase{"PreviousSkipsDeckB", 3, {2, 1}, false, 0},
                    StepCase{"PreviousWithOnlyDeckBBeforeDoesNothing", 1, {0}, false, 1}),
    [](const testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });

TEST_F(Rows, SteppingInAnEmptyListDoesNothing)
{
    m_window->PlayNextEntry();
    m_window->PlayPreviousEntry();
    EXPECT_TRUE(m_main.m_messages.empty());
    EXPECT_EQ(m_window->GetCurrentPosition(), -1);
    EXPECT_TRUE(m_window->GetCurrentPath().isEmpty());
}

TEST_F(Rows, EndOfStreamStepsThroughTheListAndStopsAfterTheLast)
{
    // What the main window does at the end of each file: PlayNextEntry.
    AddEntryCount(3);
    m_window->SetCurrentEntry(0);
    std::vector<std::string> played;
    for (int i = 0; i < 4; ++i) {
        m_window->PlayNextEntry();
    }
    for (const auto& message : m_main.m_messages) {
        played.push_back(message.currentPath.toStdString());
    }
    EXPECT_EQ(played, (std::vector<std::string>{PathOf(1).toStdString(), PathOf(2).toStdString()}));
    EXPECT_EQ(m_window->GetCurrentPosition(), 3);
}

TEST_F(Rows, SetCurrentEntryOutOfRangeMakesNoEntryCurrentAndKeepsTheOldOne)
{
    AddEntryCount(2);
    m_window->SetCurrentEntry(1);
    m_window->SetCurrentEntry(5);
    m_window->SetCurrentEntry(-1);
    EXPECT_EQ(m_window->GetCurrentPosition(), 2);
    EXPECT_EQ(Images(), (std::vector<int>{P, A}));
}

TEST_F(Rows, ACurrentEntryWithoutRowIsClearedWhenAnotherBecomesCurrent)
{
    AddEntryCount(3);
    m_window->SetCurrentEntry(2);
    ClickButton(1075); // rows are rebuilt from the top; entry 2 has no row for a while
    ASSERT_EQ(List()->GetItemCount(), 0);
    m_window->SetCurrentEntry(0);
    EXPECT_FALSE(m_window->Tracks()[2]->bCurrent);
    EXPECT_EQ(m_window->GetCurrentPosition(), 1);
    ASSERT_TRUE(WaitForAllRows());
    EXPECT_EQ(Images(), (std::vector<int>{A, P, P}));
}

TEST_F(Rows, GetCurrentPathLooksOnlyAtEntriesThatHaveRows)
{
    AddEntryCount(2);
    m_window->SetCurrentEntry(1);
    EXPECT_EQ(m_window->GetCurrentPath(), PathOf(1));
    ClickButton(1074);
    EXPECT_TRUE(m_window->GetCurrentPath().isEmpty());
    EXPECT_EQ(m_window->GetCurrentPosition(), 2);
    ASSERT_TRUE(WaitForAllRows());
    EXPECT_EQ(m_window->GetCurrentPath(), PathOf(1));
}

TEST_F(Rows, MarkEntryScrollsTheRowFullyIntoView)
{
    AddEntryCount(300);
    m_window->MarkEntry(299);
    QCoreApplication::processEvents();
    CTavListCtrl* list = List();
    const QRect rect = list->visualRect(list->model()->index(299, 0));
    EXPECT_TRUE(list->viewport()->rect().contains(rect)) << rect.y();
    EXPECT_EQ(list->GetSelectionMark(), 299);
    EXPECT_EQ(list->GetItemImage(299), M);

    // Out of range: every mark is cleared and no row holds the selection mark.
    m_window->MarkEntry(300);
    EXPECT_FALSE(m_window->Tracks()[299]->bMarked);
    EXPECT_EQ(list->GetItemImage(299), P);
    EXPECT_EQ(list->GetSelectionMark(), -1);
}

} // namespace
