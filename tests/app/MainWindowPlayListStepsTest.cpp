// The main window's playlist steps on real clips: Open and the command line appending entries,
// Next, Prev and a double-click choosing what plays, the end of a file playing the next entry,
// and the delete command removing the entry and playing the one that followed.

#include "PlayListWiringFixture.h"
#include "SessionHelpers.h"
#include "app/CTavCommandLineInfo.h"
#include "common/AppMessages.h"
#include "playlist/RowImages.h"

#include <QFileInfo>

namespace {

using PlayListSteps = PlayListWiringTest;

QString TitleOf(const QString& strPath)
{
    return QStringLiteral("Vessa Video Player - ") + QFileInfo(strPath).fileName();
}

TEST_F(PlayListSteps, OpenAppendsTheFileAndMakesItsRowCurrentARefusedFileIsNotAdded)
{
    OpenClips({"one"});
    EXPECT_EQ(Rows(), (Texts{"one"}));
    EXPECT_EQ(CurrentRow(), 0);

    OpenWithOpenCommand(TestMediaPath(TestClip::NotMedia));
    EXPECT_EQ(Rows(), (Texts{"one"}));
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_EQ(Dlg().CurrentFile(), PathOf("one"));

    OpenClips({"two"});
    EXPECT_EQ(Rows(), (Texts{"one", "two"}));
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(List()->GetItemImage(0), kImagePlain);
    EXPECT_EQ(List()->GetItemImage(1), kImageDeckACurrent);
    // Each row shows the length the session measured.
    EXPECT_EQ(List()->GetItemText(0, 1), QStringLiteral("0:03"));
    EXPECT_EQ(List()->GetItemText(1, 1), QStringLiteral("0:03"));
    EXPECT_EQ(Dlg().CurrentFile(), PathOf("two"));
    EXPECT_FALSE(g_bPlaying) << "Open leaves the file stopped";
}

TEST_F(PlayListSteps, NextAndPrevStepWithoutWrappingAround)
{
    OpenClips({"one", "two"});
    ASSERT_EQ(CurrentRow(), 1);
    const auto* pSession = g_pMediaControl.get();

    // Next on the last entry changes nothing.
    Press(IDC_NEXT);
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(g_pMediaControl.get(), pSession);
    EXPECT_FALSE(g_bPlaying);

    Press(IDC_PREV);
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_EQ(Dlg().CurrentFile(), PathOf("one"));
    EXPECT_EQ(Dlg().windowTitle(), TitleOf(PathOf("one")));
    EXPECT_TRUE(g_bPlaying);
    pSession = g_pMediaControl.get();

    // Prev on the first entry changes nothing.
    Press(IDC_PREV);
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_EQ(g_pMediaControl.get(), pSession);

    Press(IDC_NEXT);
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Dlg().CurrentFile(), PathOf("two"));
    EXPECT_TRUE(g_bPlaying);
}

TEST_F(PlayListSteps, DoubleClickingARowPlaysIt)
{
    OpenClips({"one", "two"});
    const QPoint ptRow = List()->visualRect(List()->model()->index(0, 0)).center();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, ptRow);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, ptRow);
    QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, ptRow);

    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_EQ(Dlg().CurrentFile(), PathOf("one"));
    EXPECT_TRUE(g_bPlaying);
}

TEST_F(PlayListSteps, EndOfAFilePlaysTheNextEntryAndTheLastOneStaysAtItsEnd)
{
    OpenClips({"one", "two", "three"});
    Press(IDC_PREV);
    Press(IDC_PREV);
    ASSERT_EQ(Dlg().CurrentFile(), PathOf("one"));
    CMessageCounter notifications(&Dlg(), WM_GRAPH_NOTIFY);

    const auto SkipToNearTheEnd = [] {
        ASSERT_TRUE(g_pMediaSeeking);
        REFERENCE_TIME rtNearEnd = static_cast<REFERENCE_TIME>((kTestClipSeconds - 0.4) * 1e7);
        g_pMediaSeeking->SetPositions(&rtNearEnd, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning);
    };
    for (const char* next : {"two", "three"}) {
        SCOPED_TRACE(next);
        SkipToNearTheEnd();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Dlg().CurrentFile() == PathOf(next); }, kWaitMs));
        EXPECT_EQ(Dlg().windowTitle(), TitleOf(PathOf(next)));
        EXPECT_EQ(PlayList()->GetCurrentPath(), PathOf(next));
        EXPECT_TRUE(g_bPlaying);
        EXPECT_LT(Dlg().GetPositionSeconds(), 1.0) << "the next file plays from its start";
    }

    // After the last entry nothing follows: the session stays at its end.
    const auto* pSession = g_pMediaControl.get();
    const int nBefore = notifications.Count();
    SkipToNearTheEnd();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return notifications.Count() > nBefore &&
                   Dlg().GetPositionSeconds() >= kTestClipSeconds - 0.1;
        },
        kWaitMs))
        << Dlg().GetPositionSeconds();
    QTest::qWait(100);
    EXPECT_EQ(g_pMediaControl.get(), pSession);
    EXPECT_EQ(Dlg().CurrentFile(), PathOf("three"));
    EXPECT_EQ(CurrentRow(), 2);
    EXPECT_EQ(Rows(), (Texts{"one", "two", "three"}));
}

TEST_F(PlayListSteps, DeleteRemovesTheEntryAndPlaysTheOneThatFollowed)
{
    OpenClips({"one", "two", "three"});
    Press(IDC_PREV);
    ASSERT_EQ(Dlg().CurrentFile(), PathOf("two"));

    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    Click(IDC_DELETE_FILE);
    EXPECT_FALSE(QFileInfo::exists(PathOf("two")));
    EXPECT_EQ(Rows(), (Texts{"one", "three"}));
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Dlg().CurrentFile(), PathOf("three"));
    EXPECT_EQ(Dlg().windowTitle(), QStringLiteral("Vessa Video Player - three.avi"));
    EXPECT_TRUE(g_bPlaying);
    EXPECT_EQ(List()->GetItemImage(1), kImageDeckACurrent);
}

TEST_F(PlayListSteps, DeletingTheLastEntryLeavesNoSessionNoCurrentEntryAndTheTitle)
{
    OpenClips({"one", "two"});
    const QString strTitle = Dlg().windowTitle();

    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    Click(IDC_DELETE_FILE);
    EXPECT_FALSE(QFileInfo::exists(PathOf("two")));
    EXPECT_EQ(Rows(), (Texts{"one"}));
    EXPECT_EQ(CurrentRow(), -2);
    EXPECT_EQ(PlayList()->GetCurrentPath(), QString());
    EXPECT_FALSE(g_pMediaControl || g_pMediaSeeking || g_pBasicAudio || g_pVideoWindow ||
                 g_pMediaEvent);
    EXPECT_EQ(Dlg().windowTitle(), strTitle);

    // With no current entry, Next plays the first.
    Press(IDC_NEXT);
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_EQ(Dlg().CurrentFile(), PathOf("one"));
    EXPECT_TRUE(g_bPlaying);
}

} // namespace

// The command-line files are opened while the window initialises: a window of the test's own,
// given a copy of the clip, a file that does not play and a second copy.
class PlayListCommandLineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        m_strFirst = m_folder.filePath(QStringLiteral("first.avi"));
        m_strLast = m_folder.filePath(QStringLiteral("last.avi"));
        ASSERT_TRUE(QFile::copy(TestMediaPath(TestClip::Avi), m_strFirst));
        ASSERT_TRUE(QFile::copy(TestMediaPath(TestClip::Avi), m_strLast));
        m_cmdInfo.ParseCommandLine({QStringLiteral("vessa-video-player"), m_strFirst,
                                    TestMediaPath(TestClip::NotMedia), m_strLast});
        CUserDialogs::Reset();
        m_pDlg = std::make_unique<CTavVideoDlg>(&m_cmdInfo);
        m_pDlg->OnInitDialog();
        m_pPlayList = m_pDlg->findChild<CPlayList*>();
        ASSERT_NE(m_pPlayList, nullptr);
        m_pList = m_pPlayList->findChild<CTavListCtrl*>();
    }

    void TearDown() override
    {
        m_pDlg.reset();
        CUserDialogs::Reset();
        g_bPlaying = false;
        g_hMainWnd = nullptr;
    }

    QTemporaryDir m_folder;
    QString m_strFirst;
    QString m_strLast;
    CTavCommandLineInfo m_cmdInfo;
    std::unique_ptr<CTavVideoDlg> m_pDlg;
    CPlayList* m_pPlayList = nullptr;
    CTavListCtrl* m_pList = nullptr;
};

TEST_F(PlayListCommandLineTest, FilesAreAppendedInOrderWithTheMarkOnTheFirstWhileTheLastPlays)
{
    ASSERT_EQ(m_pList->GetItemCount(), 2);
    EXPECT_EQ(m_pList->GetItemText(0, 0), QStringLiteral("first"));
    EXPECT_EQ(m_pList->GetItemText(1, 0), QStringLiteral("last"));
    EXPECT_EQ(m_pList->GetItemText(1, 1), QStringLiteral("0:03"));
    EXPECT_EQ(m_pPlayList->GetCurrentPosition(), 1);
    EXPECT_EQ(m_pList->GetItemImage(0), kImageDeckACurrent);
    EXPECT_EQ(m_pList->GetItemImage(1), kImagePlain);
    EXPECT_EQ(m_pDlg->CurrentFile(), m_strLast);
    EXPECT_TRUE(g_bPlaying);
    EXPECT_TRUE(m_pPlayList->isVisible());
    EXPECT_EQ(m_pPlayList->frameGeometry().topLeft(), QPoint(16, 496));
}

// The mark stands on the first entry, but the file deleted is the one playing: its own entry
// goes, and the entry of the file that still exists stays.
TEST_F(PlayListCommandLineTest, DeleteRemovesThePlayingFilesEntryNotTheMarkedOne)
{
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(
        qobject_cast<QAbstractButton*>(res::FindControl(m_pDlg.get(), IDC_DELETE_FILE)),
        Qt::LeftButton);
    EXPECT_FALSE(QFileInfo::exists(m_strLast));
    EXPECT_TRUE(QFileInfo::exists(m_strFirst));
    ASSERT_EQ(m_pList->GetItemCount(), 1);
    EXPECT_EQ(m_pList->GetItemText(0, 0), QStringLiteral("first"));
    // Nothing followed the deleted entry: no current entry, no session.
    EXPECT_EQ(m_pPlayList->GetCurrentPosition(), -1);
    EXPECT_FALSE(g_pMediaControl);
    EXPECT_EQ(m_pDlg->windowTitle(), QStringLiteral("Vessa Video Player - last.avi"));
}
