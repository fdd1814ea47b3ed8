// The delete command, the application messages, the command-line files and the OK path.

#include "MainWindowFixture.h"
#include "TestMedia.h"
#include "app/CTavCommandLineInfo.h"
#include "common/AppMessages.h"
#include "resources/MainDialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

const QString kAskDelete = QStringLiteral("Delete File: Are you sure?");

} // namespace

class DeleteCommandTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(m_folder.isValid());
        m_strCopy = m_folder.filePath(QStringLiteral("to delete.avi"));
        ASSERT_TRUE(QFile::copy(TestMediaPath(TestClip::Avi), m_strCopy));
        ASSERT_TRUE(Dlg().OpenMedia(m_strCopy, true));
        m_strTitle = Dlg().windowTitle();
    }

    QTemporaryDir m_folder;
    QString m_strCopy;
    QString m_strTitle;
};

TEST_F(DeleteCommandTest, CancelledKeepsTheFileAndTheSession)
{
    CUserDialogs::SetNextAnswer(QMessageBox::Cancel);
    Click(IDC_DELETE_FILE);
    EXPECT_EQ(CUserDialogs::TakeAskedTexts(), QStringList{kAskDelete});
    EXPECT_TRUE(QFileInfo::exists(m_strCopy));
    EXPECT_TRUE(g_pMediaControl);
    EXPECT_TRUE(g_bPlaying);
}

TEST_F(DeleteCommandTest, ConfirmedStopsReleasesAndDeletesTheFile)
{
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    Click(IDC_DELETE_FILE);
    EXPECT_EQ(CUserDialogs::TakeAskedTexts(), QStringList{kAskDelete});
    EXPECT_FALSE(QFileInfo::exists(m_strCopy));
    // No playlist entry follows it: the window is left without a session, its title kept.
    EXPECT_FALSE(g_pMediaControl || g_pMediaSeeking || g_pBasicAudio || g_pVideoWindow ||
                 g_pMediaEvent);
    EXPECT_FALSE(g_bPlaying);
    EXPECT_EQ(Dlg().windowTitle(), m_strTitle);
    // Play has nothing to run now, and the timer leaves the slider alone.
    Click(IDC_PLAY);
    EXPECT_FALSE(g_bPlaying);
}

TEST_F(DeleteCommandTest, AFileThatCannotBeDeletedIsReported)
{
    // Something that is not a file now stands at the path.
    ASSERT_TRUE(QFile::rename(m_strCopy, m_folder.filePath(QStringLiteral("moved.avi"))));
    ASSERT_TRUE(QDir().mkpath(m_strCopy + QStringLiteral("/inside")));
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    Click(IDC_DELETE_FILE);

    const QStringList asked = CUserDialogs::TakeAskedTexts();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0], kAskDelete);
    EXPECT_TRUE(asked[1].startsWith(QStringLiteral("Vessa Video Player: ")))
        << asked[1].toStdString();
    EXPECT_TRUE(asked[1].contains(m_strCopy)) << asked[1].toStdString();
    EXPECT_TRUE(QFileInfo(m_strCopy).isDir());
    // The session was released before the deletion was tried.
    EXPECT_FALSE(g_pMediaControl);
    EXPECT_FALSE(g_bPlaying);
}

TEST_F(MainWindowTest, MessagesWithoutAPlaylistOrWithoutAHandlerChangeNothing)
{
    ASSERT_TRUE(Dlg().OpenMedia(TestMediaPath(TestClip::Avi), true));
    const auto* pControl = g_pMediaControl.get();
    const std::uint32_t messages[] = {
        WM_PLAY_NEXT,        WM_PLAY_PREVIOUS,   WM_PLAY_CURRENT, WM_TRACK_LENGTH_LOADED,
        WM_PLAYLIST_CHANGED, WM_PLAYLIST_CLOSED, WM_FIND_ENTER,   WM_APP + 1,
        WM_APP + 16,         WM_APP + 200};
    for (const std::uint32_t message : messages) {
        EXPECT_EQ(SendAppMessage(&Dlg(), message, 0, 129), 0) << message;
        EXPECT_EQ(g_pMediaControl.get(), pControl) << message;
        EXPECT_TRUE(g_bPlaying) << message;
    }
}

TEST_F(MainWindowTest, GraphNotifyWithoutASessionAnswersEPointer)
{
    EXPECT_EQ(SendAppMessage(&Dlg(), WM_GRAPH_NOTIFY), E_POINTER);
    ASSERT_TRUE(Dlg().OpenMedia(TestMediaPath(TestClip::Avi), false));
    EXPECT_EQ(SendAppMessage(&Dlg(), WM_GRAPH_NOTIFY), 0);
}

TEST_F(MainWindowTest, EnterEndsTheModalRunThroughOkWhateverHasTheFocus)
{
    auto* open = Control<QPushButton>(IDC_OPEN);
    QSignalSpy clicks(open, &QAbstractButton::clicked);
    CUserDialogs::SetNextFileName(QString()); // were Open clicked, it would be cancelled
    open->setFocus();
    QTest::keyClick(open, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(Dlg().result(), QDialog::Accepted);
    EXPECT_FALSE(Dlg().isVisible());
}

TEST(MainWindowStartTest, CommandLineFilesAreOpenedInTurnAndTheLastThatOpensPlays)
{
    const QString strFirst = TestMediaPath(TestClip::Avi);
    const QString strSecond = TestMediaPath(TestClip::OddName);
    CTavCommandLineInfo cmdInfo;
    cmdInfo.ParseCommandLine({QStringLiteral("vessa-video-player"), strFirst, strSecond,
                              TestMediaPath(TestClip::NotMedia)});
    {
        CTavVideoDlg dlg(&cmdInfo);
        dlg.OnInitDialog();
        EXPECT_EQ(dlg.CurrentFile(), strSecond);
        EXPECT_EQ(dlg.windowTitle(),
                  QStringLiteral("Vessa Video Player - ") + QFileInfo(strSecond).fileName());
        EXPECT_TRUE(g_bPlaying);
        EXPECT_TRUE(res::FindControl(&dlg, IDC_PLAY)->isEnabled());
    }
    EXPECT_FALSE(g_pMediaControl) << "the window takes its session with it";
    EXPECT_EQ(g_hMainWnd, nullptr);
    g_bPlaying = false;
}
