// The playlist view keeps its columns at the owner's two widths and hands dropped files to the
// owner.

#include "controls/CTavListCtrl.h"

#include "MessageRecorder.h"
#include "common/AppMessages.h"

#include <QHeaderView>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>
#include <vector>

namespace {

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
        m_list.SetColumnWidth(0, 180);
        m_list.SetColumnWidth(1, 46);
        m_list.m_hNotifyWnd = &m_owner;
        m_list.DragAcceptFiles(true);
        m_list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_list));
    }

    std::vector<std::uint32_t> m_messages;
    CMessageRecorder m_owner{[this](std::uint32_t message) { m_messages.push_back(message); }};
    CTavListCtrl m_list;
};

TEST_F(ListCtrlTest, OnlyTheStoredWidthsCanBeSetAndDraggingADividerChangesNothing)
{
    EXPECT_FALSE(m_list.SetColumnWidth(0, 123));
    EXPECT_TRUE(m_list.SetColumnWidth(0, 46)); // one of the two stored widths
    EXPECT_EQ(m_list.GetColumnWidth(0), 46);
    m_list.SetColumnWidth(0, 180);
    QHeaderView* header = m_list.header();
    const QPoint divider(header->sectionViewportPosition(0) + 179, header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, divider);
    QTest::mouseMove(header->viewport(), divider + QPoint(40, 0));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, divider + QPoint(40, 0));
    EXPECT_EQ(std::pair(m_list.GetColumnWidth(0), m_list.GetColumnWidth(1)), std::pair(180, 46));
}

TEST_F(ListCtrlTest, DroppedLocalFilesAreStoredThenAnnounced)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/v/a.avi")),
                  QUrl(QStringLiteral("https://example.org/remote.avi")),
                  QUrl::fromLocalFile(QStringLiteral("/v/b c #1.pls"))});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(m_list.viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(m_list.viewport(), &drop);
    EXPECT_EQ(m_list.m_hDrop.join(QLatin1Char('|')).toStdString(), "/v/a.avi|/v/b c #1.pls");
    EXPECT_TRUE(m_messages.empty()) << "posted, not sent";
    QCoreApplication::processEvents();
    EXPECT_EQ(m_messages, std::vector<std::uint32_t>{WM_FILES_DROPPED});
}

} // namespace
