// The playlist view keeps its selection mark on its row. Dropped files and deleting rows are
// checked through the playlist window.

#include "controls/CTavListCtrl.h"

#include <gtest/gtest.h>

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
