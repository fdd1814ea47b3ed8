// The delete command, the About entry of the window menu, and Enter taking the OK path.

#include "MainWindowFixture.h"
#include "resources/Resource.h"

TEST_F(MainWindowTest, DeleteAsksThenReleasesTheSessionAndDeletesTheFile)
{
    const QString kAsk = QStringLiteral("Delete File: Are you sure?");
    // Cancelled, confirmed, and confirmed where a folder stands at the path and cannot go.
    for (const auto& [answer, bBlocked] : {std::pair{QMessageBox::Cancel, false},
                                           {QMessageBox::Ok, false},
                                           {QMessageBox::Ok, true}}) {
        SCOPED_TRACE(testing::Message() << answer << (bBlocked ? " blocked" : ""));
        QTemporaryDir folder;
        const QString strCopy = folder.filePath(QStringLiteral("to delete.avi"));
        ASSERT_TRUE(QFile::copy(TestMediaPath(TestClip::Avi), strCopy));
        ASSERT_TRUE(Dlg().OpenMedia(strCopy, true));
        if (bBlocked) {
            ASSERT_TRUE(QFile::rename(strCopy, strCopy + QStringLiteral(".moved")));
            ASSERT_TRUE(QDir().mkpath(strCopy + QStringLiteral("/inside")));
        }
        CUserDialogs::SetNextAnswer(answer);
        CUserDialogs::SetNextAnswer(QMessageBox::Ok); // the failure report, if any
        Click(IDC_DELETE_FILE);

        const QStringList asked = CUserDialogs::TakeAskedTexts();
        ASSERT_EQ(asked.size(), bBlocked ? 2 : 1);
        EXPECT_EQ(asked[0], kAsk);
        EXPECT_EQ(asked.last().contains(strCopy), bBlocked) << "the failure report names the file";
        const bool bCancelled = answer == QMessageBox::Cancel;
        EXPECT_EQ(QFileInfo::exists(strCopy), bCancelled || bBlocked);
        EXPECT_EQ(g_pMediaControl != nullptr, bCancelled);
        EXPECT_EQ(g_bPlaying, bCancelled);
        EXPECT_EQ(Dlg().windowTitle(), TitleOf(strCopy)) << "the title is kept";
        CUserDialogs::Reset();
    }
}

TEST_F(MainWindowTest, TheWindowMenusAboutEntryShowsTheAboutBox)
{
    QMenu* menu = Dlg().SystemMenu(); // what a right click on the window opens
    ASSERT_NE(menu, nullptr);
    QAction* about = menu->actions().last();
    EXPECT_EQ(about->text(), QStringLiteral("&About TavVideo..."));

    // The box runs modally: once it is up, read it and close it with OK.
    QString strTitle;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box != nullptr) {
            strTitle = box->windowTitle();
            qobject_cast<QPushButton*>(res::FindControl(box, IDOK))->click();
        }
    });
    answer.start(20);
    about->trigger(); // returns once the box is closed
    EXPECT_EQ(strTitle, QStringLiteral("About Vessa Video Player"));
}

TEST_F(MainWindowTest, EnterEndsTheRunThroughOkWhateverHasTheFocus)
{
    auto* open = Control<QPushButton>(IDC_OPEN);
    QSignalSpy clicks(open, &QAbstractButton::clicked);
    open->setFocus();
    QTest::keyClick(open, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(Dlg().result(), QDialog::Accepted);
    EXPECT_FALSE(Dlg().isVisible());
}
