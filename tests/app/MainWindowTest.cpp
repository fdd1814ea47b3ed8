// The main window on the offscreen platform, on copies of a real clip: its start-up state and
// layout, the strip's images, Enter ending the run, Open, Next and Prev stepping through the
// playlist, and the delete command, also on a file name that is no text.

#include "MainWindowFixture.h"
#include "common/PathCodec.h"
#include "controls/CTavButtonCtrl.h"
#include "resources/PlayListDialog.h"
#include "resources/Resource.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The strip stands centred at the bottom, the picture above it takes the rest; Play is drawn
// disabled until a file opens, the others show their pressed image while held, and in compact
// form the Compact button shows the way back. Enter ends the run.
TEST_F(MainWindowTest, StartsPlacedLaysTheStripOutShowsStateInItsImagesAndEndsOnEnter)
{
    EXPECT_EQ(Dlg().frameGeometry(), QRect(16, 16, 640, 480));
    EXPECT_EQ(Dlg().windowTitle(), QStringLiteral("Vessa Video Player"));
    EXPECT_EQ(Control<QSlider>(IDC_SLIDER_VOLUME)->value(), -2000);
    for (const auto& [client, compact] : {std::pair{QSize(640, 480), QRect(330, 440, 32, 25)},
                                          {QSize(800, 600), QRect(410, 560, 32, 25)}}) {
        Dlg().resize(client);
        EXPECT_EQ(Control(IDC_COMPACT)->geometry(), compact);
        EXPECT_EQ(Control(IDC_VIDEO_PANEL)->geometry(), QRect(QPoint(0, 0), client - QSize(0, 64)));
    }

    const auto image = [this](int nId) { return Control<CTavButtonCtrl>(nId)->ImageName(); };
    EXPECT_FALSE(Button(IDC_PLAY)->isEnabled());
    EXPECT_EQ(image(IDC_PLAY), QStringLiteral("playDisabled.png"));
    for (const auto& [nId, name] :
         {std::pair{IDC_OPEN, "openSelected.png"}, {IDC_COMPACT, "compactSelected.png"}}) {
        QTest::mousePress(Button(nId), Qt::LeftButton);
        EXPECT_EQ(image(nId), QLatin1String(name));
        QTest::mouseRelease(Button(nId), Qt::LeftButton, {}, QPoint(-5, -5)); // off: no click
    }
    for (const char* name : {"uncompact.png", "compact.png"}) {
        Click(IDC_COMPACT);
        EXPECT_EQ(image(IDC_COMPACT), QLatin1String(name));
    }

    // Enter ends the run through OK, not through the button that has the focus.
    QSignalSpy clicks(Button(IDC_OPEN), &QAbstractButton::clicked);
    Button(IDC_OPEN)->setFocus();
    QTest::keyClick(Button(IDC_OPEN), Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(Dlg().result(), QDialog::Accepted);
    EXPECT_FALSE(Dlg().isVisible());
}

// Open appends its file with its length and makes it current (a refused file is not added, and the
// open one stays); Next on the last entry and Prev on the first change nothing, the others play
// their entry.
TEST_F(MainWindowTest, OpenAppendsAndNextAndPrevStepWithoutWrappingAround)
{
    OpenClips({"one"});
    const auto* pOpen = g_pMediaControl.get();
    OpenWithOpenCommand(TestMediaPath(TestClip::NotMedia));
    EXPECT_EQ(g_pMediaControl.get(), pOpen) << "the refused file leaves the session alone";
    EXPECT_EQ(Dlg().windowTitle(), TitleOf(PathOf("one")));
    OpenClips({"two"});
    EXPECT_EQ(Rows(List()), (Texts{"one", "two"}));
    EXPECT_EQ(List()->GetItemText(1, 1), QStringLiteral("0:03")) << "the length it opened with";
    for (const auto& [nButton, nRow] : {std::pair{IDC_NEXT, 1}, {IDC_PREV, 0}, {IDC_PREV, 0}}) {
        SCOPED_TRACE(testing::Message() << nButton << " to row " << nRow);
        const auto* pSession = g_pMediaControl.get();
        const int nRowBefore = CurrentRow();
        Press(nButton);
        EXPECT_EQ(CurrentRow(), nRow);
        EXPECT_EQ(g_pMediaControl.get() != pSession, nRow != nRowBefore);
        EXPECT_EQ(Dlg().windowTitle(), TitleOf(PathOf(nRow == 0 ? "one" : "two")));
    }
}

// Cancelled, the delete command leaves everything; confirmed, it releases the session, deletes the
// file and plays the entry that followed.
TEST_F(MainWindowTest, DeleteAsksThenDeletesTheFileAndPlaysTheEntryThatFollowed)
{
    OpenClips({"one", "two", "three"});
    Press(IDC_PREV);
    CUserDialogs::SetNextAnswer(QMessageBox::Cancel);
    Click(IDC_DELETE_FILE);
    EXPECT_EQ(CUserDialogs::TakeAskedTexts(),
              QStringList{QStringLiteral("Delete File: Are you sure?")});
    EXPECT_TRUE(QFileInfo::exists(PathOf("two")));
    EXPECT_EQ(Rows(List()), (Texts{"one", "two", "three"}));
    EXPECT_TRUE(g_bPlaying);

    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    Click(IDC_DELETE_FILE);
    EXPECT_FALSE(QFileInfo::exists(PathOf("two")));
    EXPECT_EQ(Rows(List()), (Texts{"one", "three"}));
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Dlg().CurrentFile(), PathOf("three"));
    EXPECT_TRUE(g_bPlaying);
}

// The delete command takes its file when the button is pressed: a clip that ends behind the open
// box (and the next entry that opens) must not turn OK into deleting the next file; a file none
// may write to is refused and everything stays as it was.
TEST_F(MainWindowTest, DeleteTakesTheFileOnScreenWhenPressedAndKeepsReadOnlyFiles)
{
    OpenClips({"one", "two", "kept"});
    Press(IDC_PREV);
    Press(IDC_PREV);
    CUserDialogs::SetNextAnswer(QMessageBox::Ok, [this] {
        REFERENCE_TIME rt = static_cast<REFERENCE_TIME>((kTestClipSeconds - 0.4) * 1e7);
        g_pMediaSeeking->SetPositions(&rt, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning);
        ASSERT_TRUE(WaitFor([&] { return Dlg().CurrentFile() == PathOf("two"); }));
    });
    Click(IDC_DELETE_FILE);
    EXPECT_FALSE(QFileInfo::exists(PathOf("one")));
    EXPECT_TRUE(QFileInfo::exists(PathOf("two")));
    EXPECT_EQ(Rows(List()), (Texts{"two", "kept"}));
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
TEST_F(MainWindowTest, ANameThatIsNoUtf8TextIsScannedPlayedSavedReadBackAndDeleted)
{
    const QString strFolder = m_folder.filePath(QStringLiteral("archive"));
    ASSERT_TRUE(QDir().mkpath(strFolder));
    const QByteArray name = QFile::encodeName(strFolder) + "/bad\xff\xfe.avi";
    std::filesystem::copy_file(QFile::encodeName(TestMediaPath(TestClip::Avi)).toStdString(),
                               name.toStdString());
    const auto clickInList = [this](int nId) {
        QTest::mouseClick(res::FindControl<QAbstractButton>(PlayList(), nId), Qt::LeftButton);
    };
    CUserDialogs::SetNextFileName(strFolder);
    clickInList(IDC_ADDFOLDER);
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
    clickInList(IDC_SAVE);
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    clickInList(IDC_DELETEALL);
    CUserDialogs::SetNextFileName(strList);
    clickInList(IDC_ADDFILE);
    ASSERT_EQ(PlayList()->Tracks().size(), 1u);
    EXPECT_EQ(PathToBytes(PlayList()->Tracks()[0]->strPath), name);

    PlayList()->SetCurrentEntry(0);
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    Click(IDC_DELETE_FILE);
    EXPECT_NE(::access(name.constData(), F_OK), 0) << "the file is gone";
    EXPECT_EQ(List()->GetItemCount(), 0);
}

} // namespace
