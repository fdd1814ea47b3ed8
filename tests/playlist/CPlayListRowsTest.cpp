#include "PlayListFixture.h"
#include "common/AppMessages.h"

#include <QGuiApplication>

#include <cstring>
#include <functional>
#include <string_view>
#include <tuple>

namespace {

using RowsTest = PlayListTest;

TEST_F(RowsTest, ClicksMoveTheMarkWhileCurrentAndLengthlessRowsKeepTheirPictures)
{
    AddEntries({65.9, 1.0, 1.0, -1.0});
    ClickRow(1);
    ClickRow(2);
    EXPECT_EQ(Rows(), (Texts{"clip0|1:05|P", "clip1|0:01|P", "clip2|0:01|M", "clip3||P"}));

    m_window->SetCurrentEntry(0);
    Report(3, -1.0);
    ClickRow(0);
    ClickRow(3);
    EXPECT_EQ(Rows(), (Texts{"clip0|1:05|A", "clip1|0:01|P", "clip2|0:01|P", "clip3|???|Q"}));
    EXPECT_TRUE(m_window->Tracks()[3]->bMarked && !m_window->Tracks()[0]->bMarked);
    EXPECT_EQ(m_sent, Numbers{});
}

TEST_F(RowsTest, DoubleClickMakesTheRowCurrentThenAsksTheMainWindowToPlayIt)
{
    AddEntries({1.0, 1.0, 1.0});
    ClickRow(2, true);
    // The row that was current goes back to the mark when it is marked, else to blank.
    m_window->SetCurrentEntry(0);
    EXPECT_EQ(Rows(), (Texts{"clip0|0:01|A", "clip1|0:01|P", "clip2|0:01|M"}));
    ClickRow(1, true);
    EXPECT_EQ(Rows(), (Texts{"clip0|0:01|P", "clip1|0:01|A", "clip2|0:01|P"}));
    ASSERT_EQ(m_sent, (Numbers{WM_PLAY_CURRENT, WM_PLAY_CURRENT}));
    EXPECT_EQ(m_currentPaths[0], PathOf(2).toStdString());
    EXPECT_EQ(m_currentPaths[1], PathOf(1).toStdString());
}

// Each case: the entries before the step ('A' the current one, 'B' on deck B), Next or Prev,
// and the entries after it.
TEST_F(RowsTest, SteppingGoesToTheNearestDeckAEntryWithoutWrappingAround)
{
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"....", true, "A..."},  {".A..", true, "..A."},  {"...A", true, "...A"},
        {".AB.", true, "..BA"},  {"..AB", true, "..AB"},  {"BB..", true, "BBA."},
        {"....", false, "...."}, {"A...", false, "A..."}, {"..A.", false, ".A.."},
        {".BBA", false, "ABB."}, {"BA..", false, "BA.."}};
    for (const auto& [before, bNext, after] : cases) {
        SCOPED_TRACE(testing::Message() << before << (bNext ? " Next" : " Prev"));
        m_window = std::make_unique<CPlayList>();
        m_sent.clear();
        AddEntries({1.0, 1.0, 1.0, 1.0});
        for (int i = 0; i < 4; ++i) {
            m_window->Tracks()[static_cast<std::size_t>(i)]->nDeck = before[i] == 'B' ? 1 : 0;
            if (before[i] == 'A') {
                m_window->SetCurrentEntry(i);
            }
        }
        bNext ? m_window->PlayNextEntry() : m_window->PlayPreviousEntry();
        const char* current = std::strchr(after, 'A');
        EXPECT_EQ(m_window->GetCurrentPosition(), current ? current - after + 1 : -1);
        EXPECT_EQ(m_sent.size(), std::string_view(before) == after ? 0u : 1u);
    }
}

TEST_F(RowsTest, UpAndDownMoveEntryAndRowKeepingTimeAndFlagsAndMarkingTheMovedRow)
{
    AddEntries({60.0, 125.0, -1.0, 3.0});
    Report(2, -1.0);
    m_window->SetCurrentEntry(1);
    ClickRow(1);
    ClickButton(IDC_MOVEUP);
    ClickRow(2);
    ClickButton(IDC_MOVEDOWN);
    EXPECT_EQ(Rows(), (Texts{"clip1|2:05|A", "clip0|1:00|P", "clip3|0:03|P", "clip2|???|Q"}));
    EXPECT_TRUE(m_window->Tracks()[3]->bMarked);

    // Down on the last row, Up on the first, and all three without a selection do nothing.
    ClickButton(IDC_MOVEDOWN);
    ClickRow(0);
    ClickButton(IDC_MOVEUP);
    List()->SetSelectionMark(-1);
    for (const int button : {IDC_MOVEUP, IDC_MOVEDOWN, IDC_DELETE}) {
        ClickButton(button);
    }
    EXPECT_EQ(m_sent, (Numbers{WM_PLAYLIST_CHANGED, WM_PLAYLIST_CHANGED}));
    // Rows rebuilt from the entries: those moved with their flags as the rows did.
    ClickButton(IDC_SHOWFILENAME);
    ASSERT_TRUE(WaitForAllRows());
    EXPECT_EQ(Rows(), (Texts{"clip1|2:05|A", "clip0|1:00|P", "clip3|0:03|P", "clip2|???|Q"}));
}

TEST_F(RowsTest, DeleteRemovesTheSelectionMarkRowAndDeleteAllAsksFirst)
{
    AddEntries({1.0, 2.0, 3.0});
    ClickRow(1);
    ClickButton(IDC_DELETE);
    EXPECT_EQ(Rows(), (Texts{"clip0|0:01|P", "clip2|0:03|P"}));
    EXPECT_EQ(m_window->Tracks()[1]->strPath, PathOf(2));

    CUserDialogs::SetNextAnswer(QMessageBox::Cancel);
    ClickButton(IDC_DELETEALL);
    EXPECT_EQ(
        CUserDialogs::TakeAskedTexts(),
        QStringList{QGuiApplication::applicationDisplayName() + QStringLiteral(": Are You Sure?")});
    EXPECT_EQ(Rows(), (Texts{"clip0|0:01|P", "clip2|0:03|P"}));
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    ClickButton(IDC_DELETEALL);
    EXPECT_EQ(Rows(), Texts{});
    EXPECT_TRUE(m_window->Tracks().empty());
    EXPECT_EQ(m_sent, (Numbers{WM_PLAYLIST_CHANGED, WM_PLAYLIST_CHANGED}));
}

// The list getting the focus (window activation, Tab, after a refill) picks no row: Delete, Down
// and a double-click on empty space act on nothing until a row is clicked or marked. Delete keeps
// the mark at its index, on the row that followed, so repeated Deletes work down the list.
TEST_F(RowsTest, OnlyAClickOrMarkEntrySetsTheMarkAndDeleteLeavesItOnTheFollowingRow)
{
    const auto focusList = [this] {
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QCoreApplication::sendEvent(List(), &focusIn);
    };
    const auto doubleClickEmptySpace = [this] {
        const QPoint below(10, List()->viewport()->height() - 3);
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, below);
    };
    // Each case: what is done, the rows left, and the mark.
    const std::tuple<const char*, std::function<void()>, Texts, int> steps[] = {
        {"focus", focusList, {"clip0", "clip1", "clip2", "clip3"}, -1},
        {"arrow down",
         [this] { QTest::keyClick(List(), Qt::Key_Down); },
         {"clip0", "clip1", "clip2", "clip3"},
         0},
        {"mark gone",
         [this] { List()->SetSelectionMark(-1); },
         {"clip0", "clip1", "clip2", "clip3"},
         -1},
        {"Delete", [this] { ClickButton(IDC_DELETE); }, {"clip0", "clip1", "clip2", "clip3"}, -1},
        {"Down", [this] { ClickButton(IDC_MOVEDOWN); }, {"clip0", "clip1", "clip2", "clip3"}, -1},
        {"double-click", doubleClickEmptySpace, {"clip0", "clip1", "clip2", "clip3"}, -1},
        {"click", [this] { ClickRow(1); }, {"clip0", "clip1", "clip2", "clip3"}, 1},
        {"Delete", [this] { ClickButton(IDC_DELETE); }, {"clip0", "clip2", "clip3"}, 1},
        {"focus", focusList, {"clip0", "clip2", "clip3"}, 1},
        {"Delete", [this] { ClickButton(IDC_DELETE); }, {"clip0", "clip3"}, 1},
        {"Delete", [this] { ClickButton(IDC_DELETE); }, {"clip0"}, -1},
        {"Delete", [this] { ClickButton(IDC_DELETE); }, {"clip0"}, -1},
        {"MarkEntry", [this] { m_window->MarkEntry(0); }, {"clip0"}, 0},
        {"show mode", [this] { ClickButton(IDC_SHOWPATH); }, {}, -1},
    };
    AddEntries({1.0, 1.0, 1.0, 1.0});
    for (const auto& [name, step, rows, nMark] : steps) {
        step();
        Texts names;
        for (int row = 0; row < List()->GetItemCount(); ++row) {
            names.push_back(List()->GetItemText(row, 0).toStdString());
        }
        EXPECT_EQ(names, rows) << name;
        EXPECT_EQ(List()->GetSelectionMark(), nMark) << name;
    }
    // The double-click on empty space made nothing current, and played what was current: none.
    ASSERT_EQ(m_currentPaths.size(), 4u);
    EXPECT_EQ(m_currentPaths[0], "");
    EXPECT_EQ(m_window->GetCurrentPosition(), -1);
}

TEST_F(RowsTest, ShowModesRebuildEveryRowWithItsTextsAndPictures)
{
    AddEntries({1.0, -1.0, 3.0});
    m_window->Tracks()[0]->strTitle = QStringLiteral("First Title");
    Report(1, -1.0);
    m_window->SetCurrentEntry(2);
    ClickRow(0);
    const std::pair<int, Texts> modes[] = {
        {IDC_SHOWPATH,
         {"/media/clip0.avi|0:01|M", "/media/clip1.avi|???|Q", "/media/clip2.avi|0:03|A"}},
        {IDC_SHOWTAG, {"First Title|0:01|M", "clip1|???|Q", "clip2|0:03|A"}},
        {IDC_SHOWTAG, {"First Title|0:01|M", "clip1|???|Q", "clip2|0:03|A"}}, // checked again
        {IDC_SHOWFILENAME, {"clip0|0:01|M", "clip1|???|Q", "clip2|0:03|A"}}};
    for (const auto& [button, rows] : modes) {
        ClickButton(button);
        EXPECT_EQ(List()->GetItemCount(), 0) << button;
        ASSERT_TRUE(WaitForAllRows()) << button;
        EXPECT_EQ(Rows(), rows) << button;
    }
    EXPECT_EQ(m_sent, Numbers{});
}

// Entries added while the rows are rebuilt (Open, a drop, "+ File") get their rows in their turn:
// every row shows its own entry throughout, and a double-click plays the file the row shows.
TEST_F(RowsTest, RowsAndEntriesAgreeWhileTheRowsAreRebuilt)
{
    constexpr int kEntries = 20000;
    AddEntries(std::vector<double>(kEntries, 65.0));
    ClickButton(IDC_SHOWPATH);
    ASSERT_TRUE(QTest::qWaitFor([&] { return List()->GetItemCount() > 0; }));
    ASSERT_LT(List()->GetItemCount(), kEntries) << "the rebuild must still be under way";
    const QString added = QStringLiteral("/media/added.avi");
    EXPECT_EQ(m_window->AddFileEntry(added, QString(), -1.0), kEntries);

    const int lastRow = List()->GetItemCount() - 1;
    m_window->MarkEntry(lastRow);
    Q_EMIT List()->DoubleClick();
    ASSERT_EQ(m_currentPaths.size(), 1u);
    EXPECT_EQ(m_currentPaths[0], List()->GetItemText(lastRow, 0).toStdString());

    ASSERT_TRUE(WaitForAllRows());
    int disagreeing = 0;
    for (int row = 0; row <= kEntries; ++row) {
        disagreeing += List()->GetItemText(row, 0) != m_window->Tracks()[row]->strPath;
    }
    EXPECT_EQ(disagreeing, 0);
    EXPECT_EQ(List()->GetItemText(kEntries, 0), added);
}

} // namespace
