#include "PlayListFixture.h"
#include "common/AppMessages.h"
#include "controls/CTavEdit.h"

#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace {

using Window = PlayListTest;

TEST_F(Window, StartsWithItsTitleColumnsTooltipsAndShowChoice)
{
    EXPECT_EQ(m_window->windowTitle().toStdString(), "Play List");
    EXPECT_EQ(m_window->minimumSize(), m_window->maximumSize());
    CTavListCtrl* list = List();
    EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString().toStdString(), "Files");
    EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString().toStdString(), "Time");
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    EXPECT_EQ(list->GetColumnWidth(0), list->width() - scrollBar - 50);
    EXPECT_EQ(list->GetColumnWidth(1), 46);
    EXPECT_EQ(list->m_hNotifyWnd, m_window.get());
    EXPECT_TRUE(list->viewport()->acceptDrops());
    const std::pair<int, const char*> tips[] = {
        {1008, "Add File"},       {1009, "Add Folder"}, {1010, "Remove From Playlist"},
        {1073, "Clear Playlist"}, {1015, "Save"},       {1011, "Move Down"},
        {1007, "Move Up"}};
    for (const auto& [id, tip] : tips) {
        auto* button = res::FindControl<QPushButton>(m_window.get(), id);
        EXPECT_EQ(button->toolTip().toStdString(), tip);
        EXPECT_TRUE(button->isVisible() && !button->autoDefault()) << id;
    }
    EXPECT_TRUE(res::FindControl<QRadioButton>(m_window.get(), 1074)->isChecked());
    EXPECT_FALSE(res::FindControl<QProgressBar>(m_window.get(), 1012)->isVisible());
    EXPECT_EQ(res::FindControl<QGroupBox>(m_window.get(), 1077)->title().toStdString(), "Find");
}

TEST_F(Window, TheCloseBoxTellsTheMainWindowEscapeHidesQuietlyEnterDoesNothing)
{
    AddEntries({1.0, 1.0});
    ClickRow(0);
    QTest::keyClick(List(), Qt::Key_Return);
    QTest::keyClick(res::FindControl<QPushButton>(m_window.get(), 1010), Qt::Key_Return);
    auto* find = res::FindControl<CTavEdit>(m_window.get(), 1013);
    QTest::keyClicks(find, QStringLiteral("day"));
    QTest::keyClick(find, Qt::Key_Return);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(m_window->Tracks().size(), 2u); // Enter did not press "Delete"
    EXPECT_EQ(find->text().toStdString(), "day");

    QTest::keyClick(List(), Qt::Key_Escape);
    EXPECT_FALSE(m_window->isVisible());
    m_window->show();
    m_window->close();
    EXPECT_FALSE(m_window->isVisible());
    ASSERT_EQ(m_main.Sent(), (Numbers{WM_FIND_ENTER, WM_PLAYLIST_CLOSED}));
    EXPECT_EQ(m_main.m_messages[1].lParam, 129);
}

TEST_F(Window, DocksUnderTheMainWindowShownOrHidden)
{
    QWidget owner;
    owner.setGeometry(100, 80, 640, 480);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    const QSize size = m_window->size();
    for (const bool shown : {true, false}) {
        m_window->setVisible(shown);
        owner.move(shown ? 50 : 300, 20);
        m_window->DockUnder(owner.frameGeometry());
        EXPECT_EQ(m_window->frameGeometry().topLeft(),
                  owner.frameGeometry().bottomLeft() + QPoint(0, 1));
        EXPECT_EQ(m_window->size(), size);
        EXPECT_EQ(m_window->isVisible(), shown);
    }
}

} // namespace
