// The main window on the offscreen platform: its start-up state, the strip's layout for several
// client sizes, the skinned buttons' images, the delete command's questions, the About box and
// Enter taking the OK path.

#include "MainWindowFixture.h"
#include "controls/CTavButtonCtrl.h"
#include "resources/Resource.h"

// The strip stands centred at the bottom (never left of 0), the picture above it takes the rest.
TEST_F(MainWindowTest, StartsAt16x16With640x480AndLaysTheStripOutForEachClientSize)
{
    EXPECT_EQ(Dlg().frameGeometry(), QRect(16, 16, 640, 480));
    EXPECT_EQ(Dlg().windowTitle(), QStringLiteral("Vessa Video Player"));
    EXPECT_FALSE(Button(IDC_PLAY)->isEnabled());
    EXPECT_EQ(Slider(IDC_SLIDER_VOLUME)->value(), -2000);
    const struct
    {
        QSize client;
        QRect group, compact, volume;
    } layouts[] = {
        {{640, 480}, {33, 424, 574, 48}, {330, 440, 32, 25}, {552, 442, 50, 20}},
        {{800, 600}, {113, 544, 574, 48}, {410, 560, 32, 25}, {632, 562, 50, 20}},
        {{573, 300}, {0, 244, 574, 48}, {297, 260, 32, 25}, {519, 262, 50, 20}},
    };
    for (const auto& layout : layouts) {
        SCOPED_TRACE(testing::Message() << layout.client.width() << "x" << layout.client.height());
        Dlg().resize(layout.client);
        EXPECT_EQ(Control(IDC_GROUP_CONTROLS)->geometry(), layout.group);
        EXPECT_EQ(Control(IDC_COMPACT)->geometry(), layout.compact);
        EXPECT_EQ(Control(IDC_SLIDER_VOLUME)->geometry(), layout.volume);
        EXPECT_EQ(Control(IDC_VIDEO_PANEL)->geometry(),
                  QRect(QPoint(0, 0), layout.client - QSize(0, 64)));
    }
}

// Play is drawn disabled until a file opens; the others show their pressed image while held, and
// in compact form the Compact button shows the way back.
TEST_F(MainWindowTest, StripButtonsShowTheirStateInTheirImages)
{
    const auto image = [this](int nId) { return Control<CTavButtonCtrl>(nId)->ImageName(); };
    EXPECT_EQ(image(IDC_PLAY), QStringLiteral("playDisabled.png"));
    for (const auto& [nId, name] : {std::pair{IDC_OPEN, "openSelected.png"},
                                    {IDC_STOP, "stopSelected.png"},
                                    {IDC_COMPACT, "compactSelected.png"}}) {
        QTest::mousePress(Button(nId), Qt::LeftButton);
        EXPECT_EQ(image(nId), QLatin1String(name));
        QTest::mouseRelease(Button(nId), Qt::LeftButton, {}, QPoint(-5, -5)); // off: no click
    }
    for (const char* name : {"uncompact.png", "compact.png"}) {
        Click(IDC_COMPACT);
        EXPECT_EQ(image(IDC_COMPACT), QLatin1String(name));
    }
}

TEST_F(MainWindowTest, DeleteAsksThenReleasesTheSessionAndDeletesTheFile)
{
    // Cancelled, confirmed, and confirmed where a folder stands at the path and cannot go.
    for (const auto& [answer, bBlocked] : {std::pair{QMessageBox::Cancel, false},
                                           {QMessageBox::Ok, false},
                                           {QMessageBox::Ok, true}}) {
        SCOPED_TRACE(testing::Message() << answer << (bBlocked ? " blocked" : ""));
        const QString strCopy = PathOf("to delete");
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
        EXPECT_EQ(asked[0], QStringLiteral("Delete File: Are you sure?"));
        EXPECT_EQ(asked.last().contains(strCopy), bBlocked) << "the failure report names the file";
        const bool bCancelled = answer == QMessageBox::Cancel;
        EXPECT_EQ(QFileInfo::exists(strCopy), bCancelled || bBlocked);
        EXPECT_EQ(g_pMediaControl != nullptr, bCancelled);
        EXPECT_EQ(g_bPlaying, bCancelled);
        EXPECT_EQ(Dlg().windowTitle(), TitleOf(strCopy)) << "the title is kept";
        QFile::remove(strCopy);
        CUserDialogs::Reset();
    }
}

TEST_F(MainWindowTest, TheWindowMenusAboutEntryShowsTheAboutBox)
{
    QAction* about = Dlg().SystemMenu()->actions().last(); // what a right click on the window opens
    EXPECT_EQ(about->text(), QStringLiteral("&About TavVideo..."));
    // The box runs modally: once it is up, read it and close it with OK.
    QString strTitle;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
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
    QSignalSpy clicks(Button(IDC_OPEN), &QAbstractButton::clicked);
    Button(IDC_OPEN)->setFocus();
    QTest::keyClick(Button(IDC_OPEN), Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(Dlg().result(), QDialog::Accepted);
    EXPECT_FALSE(Dlg().isVisible());
}
