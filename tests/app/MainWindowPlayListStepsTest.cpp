// The main window's playlist steps on real clips: Open and the command line appending entries,
// Next and Prev, the end of a file playing the next entry, and the delete command.

#include "PlayListWiringFixture.h"
#include "app/CTavCommandLineInfo.h"
#include "common/AppMessages.h"
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

// The slider held at the very end of a file: the end opens the next entry, and neither the drag
// nor the release may carry the old file's position over to it.
TEST_F(PlayListSteps, ASeekHeldAtTheEndNeverLandsOnTheNextEntry)
{
    OpenClips({"one", "two"});
    Press(IDC_PREV);
    QSlider* slider = Slider(IDC_SLIDER_POSITION);
    SendAppMessage(&Dlg(), WM_SEEK_BEGIN);
    slider->setValue(1000);
    ASSERT_TRUE(WaitFor([&] { return Dlg().CurrentFile() == PathOf("two"); }));
    slider->setValue(999); // the thumb still moves under the hand
    SendAppMessage(&Dlg(), WM_SEEK_END);
    EXPECT_FALSE(Dlg().IsSeeking());
    QTest::qWait(200);
    EXPECT_LT(Dlg().GetPositionSeconds(), 1.0) << "the next file plays from its start";
    EXPECT_TRUE(WaitFor([&] { return Dlg().GetPositionSeconds() >= 0.5; }))
        << "the next file plays: " << Dlg().GetPositionSeconds();
}

// Play on a file that has played to its end starts it again, straight away or after Stop.
TEST_F(PlayListSteps, PlayAfterTheLastFileEndedStartsItAgain)
{
    for (const bool bStopFirst : {false, true}) {
        SCOPED_TRACE(bStopFirst ? "Stop, then Play" : "Play");
        OpenClips({bStopFirst ? "stopped" : "ended"});
        Click(IDC_PLAY);
        SkipToNearTheEnd();
        ASSERT_TRUE(WaitFor([&] { return Dlg().GetPositionSeconds() >= kTestClipSeconds - 0.1; }));
        QTest::qWait(300); // the end of the file is handled
        if (bStopFirst) {
            Click(IDC_STOP);
        }
        Click(IDC_PLAY);
        EXPECT_TRUE(WaitFor([&] {
            const double dPosition = Dlg().GetPositionSeconds();
            return dPosition >= 0.3 && dPosition < 2.0;
        })) << Dlg().GetPositionSeconds();
        EXPECT_TRUE(g_bPlaying);
    }
}

// The delete command looks for the playing file's entry on deck A only: an entry of the same file
// on deck B is not the one removed, and no other file's entry goes in its place.
TEST_F(PlayListSteps, DeleteFindsTheFilesEntryOnDeckAOnly)
{
    ASSERT_TRUE(QFile::copy(TestMediaPath(TestClip::Avi), PathOf("two")));
    PlayList()->AddFileEntry(PathOf("two"), QString(), kTestClipSeconds);
    PlayList()->Tracks()[0]->nDeck = 1;
    OpenClips({"one"});
    OpenWithOpenCommand(PathOf("two"));
    PlayList()->SetCurrentEntry(1); // the mark on "one" while "two" plays
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    Click(IDC_DELETE_FILE);
    EXPECT_EQ(Rows(List()), (Texts{"two", "one"}));
    EXPECT_EQ(PlayList()->Tracks()[0]->nDeck, 1);
    EXPECT_FALSE(QFileInfo::exists(PathOf("two")));
}

} // namespace

// Command-line files go into the playlist in argument order (a leading '-' dropped: "-x" names x),
// a file that does not play left out; the entry left current is the file left playing.
TEST(PlayListCommandLine, FilesAreAppendedInOrderAndTheOneLeftPlayingIsCurrent)
{
    QTemporaryDir folder;
    const QString strFirst = folder.filePath(QStringLiteral("first.avi"));
    const QString strSecond = folder.filePath(QStringLiteral("second.avi"));
    const QString strLast = folder.filePath(QStringLiteral("last.avi"));
    for (const QString& strPath : {strFirst, strSecond, strLast}) {
        ASSERT_TRUE(QFile::copy(TestMediaPath(TestClip::Avi), strPath));
    }
    CTavCommandLineInfo cmdInfo;
    cmdInfo.ParseCommandLine({QStringLiteral("vessa-video-player"), QLatin1Char('-') + strFirst,
                              TestMediaPath(TestClip::NotMedia), strSecond, strLast});
    {
        CTavVideoDlg dlg(&cmdInfo);
        dlg.OnInitDialog();
        auto* playList = dlg.findChild<CPlayList*>();
        auto* list = playList->findChild<CTavListCtrl*>();
        EXPECT_EQ(Rows(list), (Texts{"first", "second", "last"}));
        EXPECT_EQ(dlg.CurrentFile(), strLast);
        EXPECT_EQ(playList->GetCurrentPosition(), 3);
        EXPECT_EQ(list->GetItemImage(2), kImageDeckACurrent);
        // The steps go on from there (NextAndPrevStepWithoutWrappingAround covers the rest).
        playList->PlayPreviousEntry();
        EXPECT_EQ(dlg.CurrentFile(), strSecond);
    }
    ResetGlobals();
}
