// The main window's playlist steps on real clips: Open and the command line appending entries,
// Next and Prev, the end of a file playing the next entry, and the delete command.

#include "PlayListWiringFixture.h"
#include "app/CTavCommandLineInfo.h"
#include "playlist/RowImages.h"

namespace {

using PlayListSteps = PlayListWiringTest;

TEST_F(PlayListSteps, OpenAppendsAndMakesTheNewRowCurrentARefusedFileIsNotAdded)
{
    OpenClips({"one"});
    OpenWithOpenCommand(TestMediaPath(TestClip::NotMedia));
    EXPECT_EQ(Rows(List()), (Texts{"one"}));
    OpenClips({"two"});
    EXPECT_EQ(Rows(List()), (Texts{"one", "two"}));
    EXPECT_EQ(CurrentRow(), 1);
}

TEST_F(PlayListSteps, NextAndPrevStepWithoutWrappingAround)
{
    OpenClips({"one", "two"});
    // Next on the last entry and Prev on the first change nothing; the others play their entry.
    for (const auto& [nButton, nRow] :
         {std::pair{IDC_NEXT, 1}, {IDC_PREV, 0}, {IDC_PREV, 0}, {IDC_NEXT, 1}}) {
        SCOPED_TRACE(testing::Message() << nButton << " to row " << nRow);
        const auto* pSession = g_pMediaControl.get();
        const int nRowBefore = CurrentRow();
        Press(nButton);
        EXPECT_EQ(CurrentRow(), nRow);
        EXPECT_EQ(g_pMediaControl.get() != pSession, nRow != nRowBefore);
        EXPECT_EQ(Dlg().windowTitle(), TitleOf(PathOf(nRow == 0 ? "one" : "two")));
    }
}

TEST_F(PlayListSteps, EndOfAFilePlaysTheNextEntryAndStopsAfterTheLast)
{
    OpenClips({"one", "two"});
    Press(IDC_PREV);
    SkipToNearTheEnd();
    ASSERT_TRUE(WaitFor([&] { return Dlg().CurrentFile() == PathOf("two"); }));
    EXPECT_EQ(Dlg().windowTitle(), TitleOf(PathOf("two")));
    EXPECT_TRUE(g_bPlaying);
    EXPECT_LT(Dlg().GetPositionSeconds(), 1.0) << "the next file plays from its start";

    const auto* pSession = g_pMediaControl.get();
    SkipToNearTheEnd();
    ASSERT_TRUE(WaitFor([&] { return Dlg().GetPositionSeconds() >= kTestClipSeconds - 0.1; }))
        << Dlg().GetPositionSeconds();
    QTest::qWait(300);
    EXPECT_EQ(g_pMediaControl.get(), pSession) << "nothing follows the last entry";
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_GE(Slider(IDC_SLIDER_POSITION)->value(), 980) << "the timer shows the end";
    EXPECT_EQ(TimeText(), QStringLiteral("00:00:03"));
}

TEST_F(PlayListSteps, DeleteRemovesTheEntryAndPlaysTheOneThatFollowed)
{
    OpenClips({"one", "two", "three"});
    Press(IDC_PREV);
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    Click(IDC_DELETE_FILE);
    EXPECT_EQ(Rows(List()), (Texts{"one", "three"}));
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Dlg().CurrentFile(), PathOf("three"));
    EXPECT_TRUE(g_bPlaying);

    // On the last entry nothing follows: no session, no current entry, the title kept.
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    Click(IDC_DELETE_FILE);
    EXPECT_EQ(Rows(List()), (Texts{"one"}));
    EXPECT_EQ(CurrentRow(), -2);
    EXPECT_FALSE(g_pMediaControl);
    EXPECT_EQ(Dlg().windowTitle(), TitleOf(PathOf("three")));

    // With no current entry, Next plays the first.
    Press(IDC_NEXT);
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_EQ(Dlg().CurrentFile(), PathOf("one"));
    EXPECT_TRUE(g_bPlaying);
}

} // namespace

// Command-line files go into the playlist in argument order (a leading '-' dropped: "-x" names x),
// a file that does not play left out, the mark on the first entry while the last file plays.
TEST(PlayListCommandLine, FilesAreAppendedInOrderWithTheMarkOnTheFirst)
{
    QTemporaryDir folder;
    const QString strFirst = folder.filePath(QStringLiteral("first.avi"));
    const QString strLast = folder.filePath(QStringLiteral("last.avi"));
    ASSERT_TRUE(QFile::copy(TestMediaPath(TestClip::Avi), strFirst));
    ASSERT_TRUE(QFile::copy(TestMediaPath(TestClip::Avi), strLast));
    CTavCommandLineInfo cmdInfo;
    cmdInfo.ParseCommandLine({QStringLiteral("vessa-video-player"), QLatin1Char('-') + strFirst,
                              TestMediaPath(TestClip::NotMedia), strLast});
    {
        CTavVideoDlg dlg(&cmdInfo);
        dlg.OnInitDialog();
        auto* list = dlg.findChild<CPlayList*>()->findChild<CTavListCtrl*>();
        EXPECT_EQ(Rows(list), (Texts{"first", "last"}));
        EXPECT_EQ(list->GetItemImage(0), kImageDeckACurrent);
        EXPECT_EQ(dlg.CurrentFile(), strLast);

        // The file deleted is the one playing, not the marked one: its own entry goes.
        CUserDialogs::SetNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(qobject_cast<QAbstractButton*>(res::FindControl(&dlg, IDC_DELETE_FILE)),
                          Qt::LeftButton);
        EXPECT_EQ(Rows(list), (Texts{"first"}));
    }
    ResetGlobals();
}
