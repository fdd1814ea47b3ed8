// The playlist view keeps its columns at the owner's two widths, and its selection mark on its
// row. Dropped files and deleting rows are checked through the playlist window.

#include "controls/CTavListCtrl.h"

#include <QHeaderView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(ListCtrlTest, OnlyTheStoredWidthsCanBeSetAndDraggingADividerChangesNothing)
{
    CTavListCtrl list;
    list.resize(300, 200);
    list.InsertColumn(0, QStringLiteral("Files"));
    list.InsertColumn(1, QStringLiteral("Time"));
    list.m_nColumnWidth0 = 180;
    list.m_nColumnWidth1 = 46;
    list.SetColumnWidth(1, 46);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

    EXPECT_FALSE(list.SetColumnWidth(0, 123));
    EXPECT_TRUE(list.SetColumnWidth(0, 46)); // one of the two stored widths
    EXPECT_EQ(list.GetColumnWidth(0), 46);
    list.SetColumnWidth(0, 180);
    QHeaderView* header = list.header();
    const QPoint divider(header->sectionViewportPosition(0) + 179, header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, divider);
    QTest::mouseMove(header->viewport(), divider + QPoint(40, 0));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, divider + QPoint(40, 0));
    EXPECT_EQ(std::pair(list.GetColumnWidth(0), list.GetColumnWidth(1)), std::pair(180, 46));
}

// Moving a row is an insert and a delete: the mark must stay on the row it was set on.
TEST(ListCtrlTest, TheSelectionMarkMovesWithItsRow)
{
    CTavListCtrl list;
    list.InsertColumn(0, QStringLiteral("Files"));
    for (int i = 0; i < 3; ++i) {
        list.InsertItem(i, QString::number(i));
    }
    list.SetSelectionMark(1);
    list.InsertItem(0, QStringLiteral("above"));
    EXPECT_EQ(list.GetItemText(list.GetSelectionMark(), 0).toStdString(), "1");
    list.InsertItem(3, QStringLiteral("below"));
    list.DeleteItem(0);
    EXPECT_EQ(list.GetItemText(list.GetSelectionMark(), 0).toStdString(), "1");
}

} // namespace
