#include "controls/CTavListCtrl.h"

#include "common/AppMessage.h"
#include "common/AppMessages.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>
#include <vector>

namespace {

// The window told about drops: records the application messages it receives.
class CDropTarget : public QObject
{
public:
    std::vector<std::uint32_t> m_messages;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == CAppMessageEvent::EventType()) {
            m_messages.push_back(static_cast<CAppMessageEvent*>(event)->Message());
            return true;
        }
        return QObject::event(event);
    }
};

class ListCtrlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_list.resize(300, 200);
        m_list.InsertColumn(0, QStringLiteral("Files"));
        m_list.InsertColumn(1, QStringLiteral("Time"));
        m_list.m_nColumnWidth0 = 180;
        m_list.m_nColumnWidth1 = 46;
        ASSERT_TRUE(m_list.SetColumnWidth(0, 180));
        ASSERT_TRUE(m_list.SetColumnWidth(1, 46));
        m_list.m_hNotifyWnd = &m_target;
        m_list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_list));
    }

    void AddRows(int count)
    {
        for (int i = 0; i < count; ++i) {
            m_list.InsertItem(m_list.GetItemCount(), QStringLiteral("row %1").arg(i));
        }
    }

    QPoint RowCentre(int row) const
    {
        return m_list.visualRect(m_list.model()->index(row, 0)).center();
    }

    // Drags the mime data over the list and drops it; true when the drop was accepted.
    bool Drop(QMimeData* data)
    {
        const QPoint at = RowCentre(0).isNull() ? QPoint(20, 20) : RowCentre(0);
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(m_list.viewport(), &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(m_list.viewport(), &drop);
        return drop.isAccepted();
    }

    CDropTarget m_target;
    CTavListCtrl m_list;
};

TEST_F(ListCtrlTest, RowsAreAddressedByIndexWithTextsDataAndImages)
{
    EXPECT_EQ(m_list.InsertItem(0, QStringLiteral("b")), 0);
    EXPECT_EQ(m_list.InsertItem(0, QStringLiteral("a")), 0);
    EXPECT_EQ(m_list.InsertItem(99, QStringLiteral("c")), 2); // beyond the end: appended
    EXPECT_EQ(m_list.InsertItem(-1, QStringLiteral("x")), -1);
    ASSERT_EQ(m_list.GetItemCount(), 3);
    EXPECT_EQ(m_list.GetItemText(0, 0).toStdString(), "a");
    EXPECT_EQ(m_list.GetItemText(2, 0).toStdString(), "c");
    EXPECT_TRUE(m_list.GetItemText(0, 1).isEmpty());
    EXPECT_EQ(m_list.GetItemImage(0), -1);

    EXPECT_TRUE(m_list.SetItemText(1, 1, QStringLiteral("1:05")));
    EXPECT_TRUE(m_list.SetItemData(1, -1));
    EXPECT_TRUE(m_list.SetItemImage(1, 3));
    EXPECT_EQ(m_list.model()->data(m_list.model()->index(1, 1)).toString().toStdString(), "1:05");

    // Out of range: refused, empty, unchanged.
    EXPECT_FALSE(m_list.SetItemText(3, 0, QStringLiteral("x")));
    EXPECT_FALSE(m_list.SetItemText(0, 2, QStringLiteral("x")));
    EXPECT_FALSE(m_list.SetItemData(-1, 5));
    EXPECT_FALSE(m_list.SetItemImage(3, 1));
    EXPECT_FALSE(m_list.DeleteItem(3));
    EXPECT_TRUE(m_list.GetItemText(-1, 0).isEmpty());
    EXPECT_EQ(m_list.GetItemData(7), 0);
    EXPECT_EQ(m_list.GetItemImage(7), -1);

    EXPECT_TRUE(m_list.DeleteItem(0));
    EXPECT_EQ(m_list.GetItemText(0, 0).toStdString(), "b");
    EXPECT_EQ(m_list.GetItemText(0, 1).toStdString(), "1:05");
    EXPECT_EQ(m_list.GetItemData(0), -1);
    EXPECT_EQ(m_list.GetItemImage(0), 3);
    EXPECT_TRUE(m_list.DeleteAllItems());
    EXPECT_EQ(m_list.GetItemCount(), 0);
}

TEST_F(ListCtrlTest, OnlyTheStoredWidthsCanBeSetAndTheUserCannotDragADivider)
{
    EXPECT_FALSE(m_list.SetColumnWidth(0, 123));
    EXPECT_EQ(m_list.GetColumnWidth(0), 180);
    EXPECT_TRUE(m_list.SetColumnWidth(0, 46)); // one of the two stored widths
    EXPECT_EQ(m_list.GetColumnWidth(0), 46);
    ASSERT_TRUE(m_list.SetColumnWidth(0, 180));

    QHeaderView* header = m_list.header();
    const QPoint divider(header->sectionViewportPosition(0) + header->sectionSize(0) - 1,
                         header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, divider);
    QTest::mouseMove(header->viewport(), divider + QPoint(40, 0));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, divider + QPoint(40, 0));
    EXPECT_EQ(m_list.GetColumnWidth(0), 180);
    EXPECT_EQ(m_list.GetColumnWidth(1), 46);
}

TEST_F(ListCtrlTest, DroppedFilesAreStoredAndAnnouncedAfterwards)
{
    m_list.DragAcceptFiles(true);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/v/a.avi")),
                   QUrl(QStringLiteral("https://example.org/remote.avi")),
                   QUrl::fromLocalFile(QStringLiteral("/v/b c #1.pls"))});
    ASSERT_TRUE(Drop(&files));
    EXPECT_EQ(m_list.m_hDrop,
              (QStringList{QStringLiteral("/v/a.avi"), QStringLiteral("/v/b c #1.pls")}));
    // Posted: the owner reads the names when the message arrives.
    EXPECT_TRUE(m_target.m_messages.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(m_target.m_messages, (std::vector<std::uint32_t>{WM_FILES_DROPPED}));

    // Something without local files is refused and leaves the last drop in place.
    QMimeData text;
    text.setText(QStringLiteral("/v/not-a-url.avi"));
    EXPECT_FALSE(Drop(&text));
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.org/x.avi"))});
    EXPECT_FALSE(Drop(&remote));
    QCoreApplication::processEvents();
    EXPECT_EQ(m_target.m_messages.size(), 1u);
    EXPECT_EQ(m_list.m_hDrop.size(), 2);

    // The next drop replaces the last one.
    QMimeData one;
    one.setUrls({QUrl::fromLocalFile(QStringLiteral("/v/c.avi"))});
    ASSERT_TRUE(Drop(&one));
    EXPECT_EQ(m_list.m_hDrop, QStringList{QStringLiteral("/v/c.avi")});
}

TEST_F(ListCtrlTest, ClicksMoveTheSelectionMarkAndAreReportedAlsoOnEmptySpace)
{
    AddRows(3);
    QSignalSpy clicks(&m_list, &CTavListCtrl::Click);
    QSignalSpy doubleClicks(&m_list, &CTavListCtrl::DoubleClick);
    EXPECT_EQ(m_list.GetSelectionMark(), -1);
    QTest::mouseClick(m_list.viewport(), Qt::LeftButton, {}, RowCentre(2));
    EXPECT_EQ(m_list.GetSelectionMark(), 2);
    EXPECT_EQ(clicks.count(), 1);

    const QPoint empty(10, m_list.viewport()->height() - 4);
    ASSERT_FALSE(m_list.indexAt(empty).isValid());
    QTest::mouseClick(m_list.viewport(), Qt::LeftButton, {}, empty);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(m_list.GetSelectionMark(), 2);
    QTest::mouseDClick(m_list.viewport(), Qt::LeftButton, {}, empty);
    EXPECT_EQ(doubleClicks.count(), 1);
    QTest::mouseClick(m_list.viewport(), Qt::RightButton, {}, RowCentre(0));
    EXPECT_EQ(clicks.count(), 2);

    m_list.SetSelectionMark(1);
    EXPECT_EQ(m_list.GetSelectionMark(), 1);
    m_list.SetSelectionMark(-1);
    EXPECT_EQ(m_list.GetSelectionMark(), -1);
    m_list.SetSelectionMark(3);
    EXPECT_EQ(m_list.GetSelectionMark(), -1);
}

TEST_F(ListCtrlTest, EnsureVisibleScrollsOnceToTheLastRequestedRow)
{
    AddRows(500);
    m_list.EnsureVisible(499);
    m_list.EnsureVisible(250);
    QCoreApplication::processEvents();
    const QRect rect = m_list.visualRect(m_list.model()->index(250, 0));
    EXPECT_TRUE(m_list.viewport()->rect().contains(rect)) << rect.y();

    // The request follows its row when rows are inserted above it before it is carried out.
    m_list.EnsureVisible(10);
    for (int i = 0; i < 200; ++i) {
        m_list.InsertItem(0, QStringLiteral("new"));
    }
    QCoreApplication::processEvents();
    const QRect moved = m_list.visualRect(m_list.model()->index(210, 0));
    EXPECT_TRUE(m_list.viewport()->rect().contains(moved)) << moved.y();
    m_list.EnsureVisible(5000); // no such row: nothing happens
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_list.viewport()->rect().contains(moved));
}

} // namespace
