#include "PlayListFixture.h"
#include "common/AppMessages.h"

namespace {

using Rows = PlayListTest;

TEST_F(Rows, ClicksMoveTheArrowWhileCurrentAndLengthlessRowsKeepTheirPictures)
{
    AddEntries({65.9, 1.0, 1.0, -1.0});
    EXPECT_EQ(Column(0), (Texts{"clip0", "clip1", "clip2", "clip3"}));
    EXPECT_EQ(Column(1), (Texts{"1:05", "0:01", "0:01", ""}));
    ClickRow(1);
    ClickRow(2);
    EXPECT_EQ(Images(), (std::vector<int>{P, P, M, P}));
    EXPECT_EQ(List()->GetSelectionMark(), 2);

    m_window->SetCurrentEntry(0);
    Report(3, -1.0);
    ClickRow(0);
    EXPECT_EQ(Images(), (std::vector<int>{A, P, P, Q}));
    ClickRow(3);
    EXPECT_EQ(Images(), (std::vector<int>{A, P, P, Q}));
    EXPECT_TRUE(m_window->Tracks()[3]->bMarked && !m_window->Tracks()[0]->bMarked);
    EXPECT_TRUE(m_main.m_messages.empty());
}

TEST_F(Rows, DoubleClickMakesTheRowCurrentThenAsksTheMainWindowToPlayIt)
{
    AddEntries({1.0, 1.0, 1.0});
    DoubleClickAt(RowCentre(2));
    EXPECT_EQ(Images(), (std::vector<int>{P, P, A}));
    // The row that was current goes back to the arrow when it is marked, else to blank.
    m_window->SetCurrentEntry(0);
    EXPECT_EQ(Images(), (std::vector<int>{A, P, M}));
    DoubleClickAt(RowCentre(1));
    EXPECT_EQ(Images(), (std::vector<int>{P, A, P}));
    ASSERT_EQ(m_main.Sent(), (Numbers{WM_PLAY_CURRENT, WM_PLAY_CURRENT}));
    EXPECT_EQ(m_main.m_messages[0].currentPath, PathOf(2));
    EXPECT_EQ(m_main.m_messages[1].currentPath, PathOf(1));
    EXPECT_EQ(m_main.m_messages[1].wParam, 0u);

    // On empty space it plays the selection-mark row; with no mark, wParam -1 and no change.
    const QPoint empty(10, List()->viewport()->height() - 5);
    ASSERT_FALSE(List()->indexAt(empty).isValid());
    List()->SetSelectionMark(0);
    DoubleClickAt(empty);
    EXPECT_EQ(m_main.m_messages.back().currentPath, PathOf(0));
    List()->SetSelectionMark(-1);
    DoubleClickAt(empty);
    EXPECT_EQ(static_cast<LParam>(m_main.m_messages.back().wParam), -1);
    EXPECT_EQ(m_window->GetCurrentPosition(), 1);
}

struct StepCase
{
    int nCurrent; // -1: none
    std::vector<int> deckB;
    bool bNext;
    int nExpected;
};

class Stepping : public PlayListTest, public testing::WithParamInterface<StepCase>
{};

TEST_P(Stepping, GoesToTheNearestDeckAEntryWithoutWrappingAround)
{
    const StepCase& c = GetParam();
    AddEntries({1.0, 1.0, 1.0, 1.0});
    m_window->SetCurrentEntry(c.nCurrent);
    for (const int index : c.deckB) {
        m_window->Tracks()[static_cast<std::size_t>(index)]->nDeck = 1;
    }
    c.bNext ? m_window->PlayNextEntry() : m_window->PlayPreviousEntry();
    EXPECT_EQ(m_window->GetCurrentPosition(), c.nExpected == -1 ? -1 : c.nExpected + 1);
    if (c.nExpected == c.nCurrent) {
        EXPECT_TRUE(m_main.m_messages.empty());
        return;
    }
    ASSERT_EQ(m_main.Sent(), Numbers{WM_PLAY_CURRENT});
    EXPECT_EQ(m_main.m_messages[0].currentPath, PathOf(c.nExpected));
    EXPECT_EQ(List()->GetItemImage(c.nExpected), A);
}

INSTANTIATE_TEST_SUITE_P(Cases, Stepping,
                         testing::Values(StepCase{-1, {}, true, 0}, StepCase{1, {}, true, 2},
                                         StepCase{3, {}, true, 3}, StepCase{1, {2}, true, 3},
                                         StepCase{2, {3}, true, 2}, StepCase{-1, {0, 1}, true, 2},
                                         StepCase{-1, {}, false, -1}, StepCase{0, {}, false, 0},
                                         StepCase{2, {}, false, 1}, StepCase{3, {2, 1}, false, 0},
                                         StepCase{1, {0}, false, 1}));

// The main window's flows: command-line files (appended, entry 0 current), Open (appended, last
// current), end of stream (next until the last), delete (remove current, the follower current).
TEST_F(Rows, TheMainWindowsFlowsThroughThePublicOperations)
{
    for (int i = 0; i < 3; ++i) {
        AddEntries({3.0});
        m_window->SetCurrentEntry(0);
    }
    AddEntries({3.0});
    m_window->SetCurrentEntry(m_window->GetRowCount() - 1);
    EXPECT_EQ(Images(), (std::vector<int>{P, P, P, A}));
    m_window->SetCurrentEntry(1);
    for (int i = 0; i < 3; ++i) {
        m_window->PlayNextEntry();
    }
    EXPECT_EQ(m_main.m_messages.size(), 2u);
    EXPECT_EQ(m_main.m_messages.back().currentPath, PathOf(3));

    m_window->SetCurrentEntry(1);
    const int position = m_window->GetCurrentPosition();
    m_window->RemoveCurrentEntry();
    EXPECT_EQ(m_window->GetCurrentPosition(), -1);
    m_window->SetCurrentEntry(position - 1);
    EXPECT_EQ(m_window->GetCurrentPath(), PathOf(2));
    EXPECT_EQ(Column(0), (Texts{"clip0", "clip2", "clip3"}));
    m_window->SetCurrentEntry(2);
    m_window->RemoveCurrentEntry();
    m_window->SetCurrentEntry(2); // the last was deleted: nothing to play
    m_window->RemoveCurrentEntry();
    EXPECT_TRUE(m_window->GetCurrentPath().isEmpty());
    EXPECT_EQ(Column(0), (Texts{"clip0", "clip2"}));
    EXPECT_EQ(m_main.Sent(), (Numbers{WM_PLAY_CURRENT, WM_PLAY_CURRENT, WM_PLAYLIST_CHANGED,
                                      WM_PLAYLIST_CHANGED}));
}

TEST_F(Rows, OneCurrentEntryPerDeckAlsoWhileRowsAreBeingRebuilt)
{
    AddEntries({1.0, 1.0, 1.0});
    m_window->SetCurrentEntry(2);
    ClickButton(1075); // the rows are rebuilt from the top; entry 2 has no row for a while
    ASSERT_EQ(List()->GetItemCount(), 0);
    EXPECT_TRUE(m_window->GetCurrentPath().isEmpty()); // only rows shown count
    m_window->SetCurrentEntry(0);
    m_window->SetCurrentEntry(7); // out of range: the current entry stays
    EXPECT_FALSE(m_window->Tracks()[2]->bCurrent);
    ASSERT_TRUE(WaitForAllRows());
    EXPECT_EQ(Images(), (std::vector<int>{A, P, P}));
    EXPECT_EQ(m_window->GetCurrentPath(), PathOf(0));
}

TEST_F(Rows, MarkEntryScrollsTheRowIntoViewAndOutOfRangeClearsTheMark)
{
    AddEntries(std::vector<double>(300, 1.0));
    m_window->MarkEntry(299);
    QCoreApplication::processEvents();
    const QRect rect = List()->visualRect(List()->model()->index(299, 0));
    EXPECT_TRUE(List()->viewport()->rect().contains(rect)) << rect.y();
    EXPECT_EQ(List()->GetItemImage(299), M);
    m_window->MarkEntry(300);
    EXPECT_EQ(List()->GetItemImage(299), P);
    EXPECT_EQ(List()->GetSelectionMark(), -1);
}

} // namespace
