#include "PlayListFixture.h"
#include "common/AppMessages.h"

#include <QGuiApplication>

namespace {

using Edit = PlayListTest;

constexpr int kUp = 1007;
constexpr int kDown = 1011;
constexpr int kDelete = 1010;
constexpr int kDeleteAll = 1073;

Texts Paths(const TrackList& tracks)
{
    Texts paths;
    for (const auto& entry : tracks) {
        paths.push_back(entry->strPath.mid(7).toStdString()); // without "/media/"
    }
    return paths;
}

TEST_F(Edit, UpAndDownMoveEntryAndRowKeepingTimeAndFlagsAndMarkingTheMovedRow)
{
    AddEntries({60.0, 125.0, -1.0, 3.0});
    Report(2, -1.0);
    m_window->SetCurrentEntry(1);
    ClickRow(1);
    ClickButton(kUp);
    ClickRow(2);
    ClickButton(kDown);
    EXPECT_EQ(Paths(m_window->Tracks()),
              (Texts{"clip1.avi", "clip0.avi", "clip3.avi", "clip2.avi"}));
    EXPECT_EQ(Column(0), (Texts{"clip1", "clip0", "clip3", "clip2"}));
    EXPECT_EQ(Column(1), (Texts{"2:05", "1:00", "0:03", "???"}));
    EXPECT_EQ(Images(), (std::vector<int>{A, P, P, Q}));
    EXPECT_EQ(List()->GetSelectionMark(), 3);
    EXPECT_TRUE(m_window->Tracks()[3]->bMarked);
    EXPECT_EQ(List()->GetItemData(3), -1);
    EXPECT_EQ(m_main.Sent(), (Numbers{WM_PLAYLIST_CHANGED, WM_PLAYLIST_CHANGED}));

    // Up on the first row, Down on the last, and all three without a selection do nothing.
    ClickButton(kDown);
    ClickRow(0);
    ClickButton(kUp);
    List()->SetSelectionMark(-1);
    for (const int button : {kUp, kDown, kDelete}) {
        ClickButton(button);
    }
    EXPECT_EQ(Column(0), (Texts{"clip1", "clip0", "clip3", "clip2"}));
    EXPECT_EQ(m_main.m_messages.size(), 2u);
}

TEST_F(Edit, DeleteRemovesTheSelectionMarkRowAndDeleteAllAsksFirst)
{
    AddEntries({1.0, 2.0, 3.0});
    ClickRow(1);
    ClickButton(kDelete);
    EXPECT_EQ(Paths(m_window->Tracks()), (Texts{"clip0.avi", "clip2.avi"}));
    EXPECT_EQ(Column(1), (Texts{"0:01", "0:03"}));

    CUserDialogs::SetNextAnswer(QMessageBox::Cancel);
    ClickButton(kDeleteAll);
    EXPECT_EQ(
        CUserDialogs::TakeAskedTexts(),
        QStringList{QGuiApplication::applicationDisplayName() + QStringLiteral(": Are You Sure?")});
    EXPECT_EQ(Column(0), (Texts{"clip0", "clip2"}));
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    ClickButton(kDeleteAll);
    EXPECT_EQ(List()->GetItemCount(), 0);
    EXPECT_TRUE(m_window->Tracks().empty());
    EXPECT_EQ(m_main.Sent(), (Numbers{WM_PLAYLIST_CHANGED, WM_PLAYLIST_CHANGED}));
}

TEST_F(Edit, ShowModesRebuildEveryRowWithItsTextsAndPictures)
{
    AddEntries({1.0, -1.0, 3.0});
    m_window->Tracks()[0]->strTitle = QStringLiteral("First Title");
    Report(1, -1.0);
    m_window->SetCurrentEntry(2);
    ClickRow(0);
    const std::pair<int, Texts> modes[] = {
        {1075, {"/media/clip0.avi", "/media/clip1.avi", "/media/clip2.avi"}},
        {1076, {"First Title", "clip1", "clip2"}},
        {1076, {"First Title", "clip1", "clip2"}}, // the checked button again: rebuilt again
        {1074, {"clip0", "clip1", "clip2"}}};
    for (const auto& [button, texts] : modes) {
        ClickButton(button);
        EXPECT_EQ(List()->GetItemCount(), 0) << button;
        ASSERT_TRUE(WaitForAllRows()) << button;
        EXPECT_EQ(Column(0), texts) << button;
        // The failed length is empty again, so the loader will be asked once more.
        EXPECT_EQ(Column(1), (Texts{"0:01", "", "0:03"})) << button;
        EXPECT_EQ(Images(), (std::vector<int>{M, Q, A})) << button;
    }
    EXPECT_EQ(m_window->ShowMode(), 0);
    EXPECT_TRUE(m_main.m_messages.empty());
}

} // namespace
