// The main window's playlist steps on real clips: Open appending entries, Next and Prev, the
// delete command, and file names that are no text.

#include "MainWindowFixture.h"
#include "common/PathCodec.h"
#include "resources/PlayListDialog.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using PlayListSteps = MainWindowTest;

// Open appends its file with its length and makes it current (a refused file is not added); Next on
// the last entry and Prev on the first change nothing, the others play their entry.
TEST_F(PlayListSteps, OpenAppendsAndNextAndPrevStepWithoutWrappingAround)
{
    OpenClips({"one"});
    OpenWithOpenCommand(TestMediaPath(TestClip::NotMedia));
    OpenClips({"two"});
    EXPECT_EQ(Rows(List()), (Texts{"one", "two"}));
    EXPECT_EQ(List()->GetItemText(1, 1), QStringLiteral("0:03"))
        << "the length the file opened with";
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

// The delete command takes its file when the button is pressed: a clip that ends behind the open
// box (and the next entry that opens) must not turn OK into deleting the next file; a file none
// may write to is refused and everything stays as it was.
TEST_F(PlayListSteps, DeleteTakesTheFileOnScreenWhenPressedAndKeepsReadOnlyFiles)
{
    OpenClips({"one", "two", "kept"});
    Press(IDC_PREV);
    Press(IDC_PREV);
    CUserDialogs::SetNextAnswer(QMessageBox::Ok, [this] {
        SkipToNearTheEnd();
        ASSERT_TRUE(WaitFor([&] { return Dlg().CurrentFile() == PathOf("two"); }));
    });
    Click(IDC_DELETE_FILE);
    EXPECT_FALSE(QFileInfo::exists(PathOf("one")));
    EXPECT_TRUE(QFileInfo::exists(PathOf("two")));
    EXPECT_EQ(Rows(List()), (Texts{"two", "kept"}));
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_EQ(Dlg().CurrentFile(), PathOf("two"));
    EXPECT_TRUE(g_bPlaying) << "the file that opened behind the box plays on";

    Press(IDC_NEXT);
    ASSERT_EQ(::chmod(QFile::encodeName(PathOf("kept")).constData(), 0444), 0);
    const auto* pSession = g_pMediaControl.get();
    CUserDialogs::TakeAskedTexts();
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    CUserDialogs::SetNextAnswer(QMessageBox::Ok); // the refusal
    Click(IDC_DELETE_FILE);
    EXPECT_TRUE(QFileInfo::exists(PathOf("kept")));
    EXPECT_EQ(CUserDialogs::TakeAskedTexts().value(1),
              QStringLiteral("Vessa Video Player: %1 could not be deleted: Permission denied.")
                  .arg(PathOf("kept")));
    EXPECT_EQ(g_pMediaControl.get(), pSession);
    EXPECT_TRUE(g_bPlaying);
    EXPECT_EQ(Rows(List()), (Texts{"two", "kept"}));
}

// A clip whose name is no UTF-8 text (Latin-1 bytes from an old archive) is found by a scan,
// shown with replacement characters, played, saved in a list that reads back to the same file,
// and deleted: its bytes reach every file operation unchanged.
TEST_F(PlayListSteps, ANameThatIsNoUtf8TextIsScannedPlayedSavedReadBackAndDeleted)
{
    const QString strFolder = m_folder.filePath(QStringLiteral("archive"));
    ASSERT_TRUE(QDir().mkpath(strFolder));
    const QByteArray name = QFile::encodeName(strFolder) + "/bad\xff\xfe.avi";
    std::filesystem::copy_file(QFile::encodeName(TestMediaPath(TestClip::Avi)).toStdString(),
                               name.toStdString());
    CUserDialogs::SetNextFileName(strFolder);
    QTest::mouseClick(res::FindControl<QAbstractButton>(PlayList(), IDC_ADDFOLDER), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return List()->GetItemCount() == 1; }));
    EXPECT_EQ(PathToBytes(PlayList()->Tracks()[0]->strPath), name);
    EXPECT_EQ(List()->GetItemText(0, 0), QStringLiteral("bad\uFFFD\uFFFD"));

    PlayList()->MarkEntry(0);
    Q_EMIT List()->DoubleClick();
    QCoreApplication::sendPostedEvents(&Dlg());
    ASSERT_TRUE(g_pMediaControl) << "the file plays";
    EXPECT_EQ(Dlg().windowTitle(), QStringLiteral("Vessa Video Player - bad\uFFFD\uFFFD.avi"));

    const QString strList = m_folder.filePath(QStringLiteral("list.m3u"));
    CUserDialogs::SetNextFileName(strList);
    QTest::mouseClick(res::FindControl<QAbstractButton>(PlayList(), IDC_SAVE), Qt::LeftButton);
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(res::FindControl<QAbstractButton>(PlayList(), IDC_DELETEALL), Qt::LeftButton);
    CUserDialogs::SetNextFileName(strList);
    QTest::mouseClick(res::FindControl<QAbstractButton>(PlayList(), IDC_ADDFILE), Qt::LeftButton);
    ASSERT_EQ(PlayList()->Tracks().size(), 1u);
    EXPECT_EQ(PathToBytes(PlayList()->Tracks()[0]->strPath), name);

    PlayList()->SetCurrentEntry(0);
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    Click(IDC_DELETE_FILE);
    EXPECT_NE(::access(name.constData(), F_OK), 0) << "the file is gone";
    EXPECT_EQ(List()->GetItemCount(), 0);
}

} // namespace
