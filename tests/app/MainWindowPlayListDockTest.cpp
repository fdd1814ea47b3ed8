// The playlist window beside the main window: docked under it, following its moves shown or
// hidden, hidden by the "Play List" box, its own close box and Escape, and the full-screen form;
// the main window's button tips while the playlist window is the active one.

#include "PlayListWiringFixture.h"

#include <QToolTip>

namespace {

using PlayListDock = PlayListWiringTest;

TEST_F(PlayListDock, StartsDockedUnderTheMainWindowAndFollowsItsMovesShownOrHidden)
{
    EXPECT_EQ(PlayListFrame(), QRect(QPoint(16, 496), PlayListFrame().size()));
    for (const auto& [bChecked, ptTo] : {std::pair{true, QPoint(200, 40)},
                                         {false, {60, 120}},
                                         {false, {0, 0}},
                                         {true, {90, 30}}}) {
        SCOPED_TRACE(testing::Message() << "checked " << bChecked);
        if (Box()->isChecked() != bChecked) {
            QTest::mouseClick(Box(), Qt::LeftButton);
        }
        Dlg().move(ptTo);
        EXPECT_EQ(PlayListFrame(), Docked());
        EXPECT_EQ(PlayList()->isVisible(), bChecked);
    }
}

TEST_F(PlayListDock, CloseBoxAndEscapeHideItWhileTheBoxStaysChecked)
{
    for (const bool bCloseBox : {true, false}) {
        SCOPED_TRACE(bCloseBox ? "close box" : "Escape");
        ASSERT_TRUE(PlayList()->isVisible());
        if (bCloseBox) {
            EXPECT_TRUE(PlayList()->close());
        } else {
            QTest::keyClick(List(), Qt::Key_Escape);
        }
        EXPECT_FALSE(PlayList()->isVisible());
        EXPECT_TRUE(Box()->isChecked());
        // Still checked: the next relayout of the main window brings it back, docked.
        Dlg().resize(Dlg().width() + 10, Dlg().height());
        EXPECT_TRUE(PlayList()->isVisible());
        EXPECT_EQ(PlayListFrame(), Docked());
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
        const QRect rcDocked = Docked();
        QTest::mouseDClick(panel, Qt::LeftButton);
        ASSERT_TRUE(Dlg().IsFullScreen());
        // A window system may report the new size only after the form's layout; that late
        // report must not bring the playlist back over the picture.
        QResizeEvent lateReport(Dlg().size(), QSize(640, 480));
        QCoreApplication::sendEvent(&Dlg(), &lateReport);
        QTest::qWait(50);
        EXPECT_FALSE(PlayList()->isVisible());

        QTest::mouseDClick(panel, Qt::LeftButton);
        QTest::qWait(50);
        EXPECT_EQ(PlayList()->isVisible(), bChecked);
        EXPECT_EQ(PlayListFrame(), rcDocked);
    }
}

TEST_F(PlayListDock, MainWindowButtonTipsShowWhileThePlayListWindowIsActive)
{
    PlayList()->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return PlayList()->isActiveWindow(); }, 5000));
    ASSERT_FALSE(Dlg().isActiveWindow());
    QAbstractButton* open = Button(IDC_OPEN);
    // The mouse comes to rest on the button, as a person's would: a move the window system
    // reports (the test library's own move of the mouse only sets the offscreen cursor).
    const QPoint ptAt = open->rect().center();
    QMouseEvent move(QEvent::MouseMove, ptAt, open->mapToGlobal(ptAt), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QSpontaneKeyEvent::setSpontaneous(&move);
    QCoreApplication::instance()->notify(open, &move);
    EXPECT_TRUE(QTest::qWaitFor(
        [] {
            return QToolTip::isVisible() && QToolTip::text() == QLatin1String("Open Video File");
        },
        5000))
        << "tip shown: " << QToolTip::text().toStdString();
    QToolTip::hideText();
}

} // namespace
