// The playlist window beside the main window: created with it, docked under it, following its
// moves shown or hidden, shown and hidden by the "Play List" box, the full-screen form and its
// own close box and Escape key.

#include "PlayListWiringFixture.h"
#include "SessionHelpers.h"
#include "common/AppMessages.h"

#include <QResizeEvent>

namespace {

using PlayListDock = PlayListWiringTest;

TEST_F(PlayListDock, StartsAsAChildToolWindowDockedAndShownUnderTheMainWindow)
{
    CPlayList* playList = PlayList();
    ASSERT_NE(playList, nullptr);
    EXPECT_EQ(playList->parentWidget(), &Dlg());
    EXPECT_TRUE(playList->isWindow());
    EXPECT_EQ(playList->windowType(), Qt::Tool);
    EXPECT_FALSE(playList->isModal());
    EXPECT_EQ(playList->windowTitle(), QStringLiteral("Play List"));

    EXPECT_TRUE(Box()->isChecked());
    EXPECT_TRUE(playList->isVisible());
    EXPECT_EQ(MainOuter(), QRect(16, 16, 640, 480));
    EXPECT_EQ(playList->frameGeometry().topLeft(), QPoint(16, 496));
    const CPlayList fresh;
    EXPECT_EQ(playList->size(), fresh.size()) << "its own size is kept";
    EXPECT_EQ(playList->GetRowCount(), 0);
    EXPECT_EQ(CurrentRow(), -2) << "no current entry";
}

TEST_F(PlayListDock, FollowsTheMainWindowsMovesShownOrHidden)
{
    CPlayList* playList = PlayList();
    const QSize size = playList->size();
    struct Move
    {
        bool bChecked;
        QPoint ptTo;
    };
    const Move moves[] = {{true, {200, 40}}, {false, {60, 120}}, {false, {0, 0}}, {true, {90, 30}}};
    for (const Move& move : moves) {
        SCOPED_TRACE(testing::Message() << "checked " << move.bChecked);
        if (Box()->isChecked() != move.bChecked) {
            QTest::mouseClick(Box(), Qt::LeftButton);
        }
        Dlg().move(move.ptTo);
        ASSERT_EQ(MainOuter().topLeft(), move.ptTo);
        EXPECT_EQ(playList->frameGeometry().topLeft(), BelowOf(MainOuter()));
        EXPECT_EQ(playList->size(), size);
        EXPECT_EQ(playList->isVisible(), move.bChecked);
        EXPECT_EQ(Box()->isChecked(), move.bChecked);
    }
}

TEST_F(PlayListDock, TheBoxHidesAndShowsItWhereTheMainWindowNowEnds)
{
    CPlayList* playList = PlayList();
    QTest::mouseClick(Box(), Qt::LeftButton);
    EXPECT_FALSE(Box()->isChecked());
    EXPECT_FALSE(playList->isVisible());

    // A resize keeps it docked, but a hidden window stays hidden.
    Dlg().resize(700, 300);
    EXPECT_FALSE(playList->isVisible());
    EXPECT_EQ(playList->frameGeometry().topLeft(), BelowOf(MainOuter()));

    QTest::mouseClick(Box(), Qt::LeftButton);
    EXPECT_TRUE(Box()->isChecked());
    EXPECT_TRUE(playList->isVisible());
    EXPECT_EQ(playList->frameGeometry().topLeft(), BelowOf(MainOuter()));

    Dlg().resize(500, 420);
    EXPECT_TRUE(playList->isVisible());
    EXPECT_EQ(playList->frameGeometry().topLeft(), BelowOf(MainOuter()));
}

TEST_F(PlayListDock, CloseBoxAndEscapeHideItWhileTheBoxStaysChecked)
{
    for (const bool bCloseBox : {true, false}) {
        SCOPED_TRACE(bCloseBox ? "close box" : "Escape");
        CPlayList* playList = PlayList();
        ASSERT_TRUE(playList->isVisible());
        CMessageCounter closed(&Dlg(), WM_PLAYLIST_CLOSED);
        if (bCloseBox) {
            EXPECT_TRUE(playList->close());
        } else {
            QTest::keyClick(List(), Qt::Key_Escape);
        }
        EXPECT_FALSE(playList->isVisible());
        EXPECT_EQ(PlayList(), playList) << "hidden, not destroyed";
        EXPECT_TRUE(Box()->isChecked());
        EXPECT_TRUE(Dlg().isVisible());
        EXPECT_EQ(closed.Count(), bCloseBox ? 1 : 0);

        // The box is still checked: the next relayout of the main window brings it back.
        Dlg().resize(Dlg().width() + 10, Dlg().height());
        EXPECT_TRUE(playList->isVisible());
        EXPECT_EQ(playList->frameGeometry().topLeft(), BelowOf(MainOuter()));
    }
}

TEST_F(PlayListDock, FullScreenHidesItAndLeavingShowsItOnlyWhenTheBoxIsChecked)
{
    QWidget* panel = Control(IDC_VIDEO_PANEL);
    for (const bool bChecked : {true, false}) {
        SCOPED_TRACE(testing::Message() << "checked " << bChecked);
        if (Box()->isChecked() != bChecked) {
            QTest::mouseClick(Box(), Qt::LeftButton);
        }
        const QRect rcNormal = MainOuter();
        QTest::mouseDClick(panel, Qt::LeftButton);
        ASSERT_TRUE(Dlg().IsFullScreen());
        // A window system may report the new size only after the form's layout; that late
        // report must not bring it back over the picture.
        QResizeEvent lateReport(Dlg().size(), rcNormal.size());
        QCoreApplication::sendEvent(&Dlg(), &lateReport);
        QTest::qWait(50);
        EXPECT_FALSE(PlayList()->isVisible());

        QTest::mouseDClick(panel, Qt::LeftButton);
        ASSERT_FALSE(Dlg().IsFullScreen());
        QTest::qWait(50);

        ASSERT_EQ(MainOuter(), rcNormal);
        EXPECT_EQ(PlayList()->isVisible(), bChecked);
        EXPECT_EQ(PlayList()->frameGeometry().topLeft(), BelowOf(rcNormal));
        EXPECT_EQ(Box()->isChecked(), bChecked);
    }
}

TEST_F(PlayListDock, CompactFormKeepsItUnderTheSameOuterRectangle)
{
    Dlg().setGeometry(100, 80, 700, 500);
    const QRect rcOuter = MainOuter();
    for (int i = 0; i < 2; ++i) {
        Click(IDC_COMPACT);
        ASSERT_EQ(g_bCompact, i == 0);
        ASSERT_EQ(MainOuter(), rcOuter);
        EXPECT_TRUE(PlayList()->isVisible());
        EXPECT_EQ(PlayList()->frameGeometry().topLeft(), BelowOf(rcOuter));
    }
}

} // namespace
