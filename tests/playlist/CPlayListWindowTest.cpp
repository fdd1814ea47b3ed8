#include "PlayListFixture.h"
#include "common/AppMessages.h"
#include "controls/CTavEdit.h"
#include "playlist/DialogTemplate.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>

namespace {

using Window = PlayListTest;

TEST_F(Window, StartsAsTheTemplateSaysWithTitleColumnsAndTooltips)
{
    EXPECT_EQ(m_window->windowTitle().toStdString(), "Play List");
    EXPECT_TRUE(m_window->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(m_window->minimumSize(), m_window->maximumSize());

    CTavListCtrl* list = List();
    EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString().toStdString(), "Files");
    EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString().toStdString(), "Time");
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    EXPECT_EQ(list->GetColumnWidth(0), list->width() - scrollBar - 50);
    EXPECT_EQ(list->GetColumnWidth(1), 46);
    EXPECT_EQ(list->m_nColumnWidth0, list->GetColumnWidth(0));
    EXPECT_EQ(list->m_nColumnWidth1, 46);
    EXPECT_EQ(list->m_hNotifyWnd, m_window.get());
    EXPECT_TRUE(list->viewport()->acceptDrops());

    const std::pair<int, const char*> tips[] = {
        {1008, "Add File"},       {1009, "Add Folder"}, {1010, "Remove From Playlist"},
        {1073, "Clear Playlist"}, {1015, "Save"},       {1011, "Move Down"},
        {1007, "Move Up"}};
    for (const auto& [id, tip] : tips) {
        auto* button = FindControl<QPushButton>(m_window.get(), id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->toolTip().toStdString(), tip) << id;
        EXPECT_TRUE(button->isVisible()) << id;
        EXPECT_FALSE(button->autoDefault() || button->isDefault()) << id;
    }
    EXPECT_TRUE(FindControl<QRadioButton>(m_window.get(), 1074)->isChecked());
    EXPECT_FALSE(FindControl<QRadioButton>(m_window.get(), 1075)->isChecked());
    EXPECT_FALSE(FindControl<QProgressBar>(m_window.get(), 1012)->isVisible());
    EXPECT_NE(FindControl<CTavEdit>(m_window.get(), 1013), nullptr);
    EXPECT_EQ(FindControl<QGroupBox>(m_window.get(), 1072)->title().toStdString(), "Show");
    EXPECT_EQ(FindControl<QGroupBox>(m_window.get(), 1077)->title().toStdString(), "Find");
    EXPECT_FALSE(FindControl<QPushButton>(m_window.get(), 1078)->autoDefault());
    EXPECT_EQ(m_window->ShowMode(), 0);
}

TEST_F(Window, ControlsStayInsideTheWindowAndKeepTheTemplateLayout)
{
    const QRect client = m_window->rect();
    for (const int id : {1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1015, 1072, 1073, 1074,
                         1075, 1076, 1077, 1078}) {
        QWidget* control = FindControl(m_window.get(), id);
        ASSERT_NE(control, nullptr) << id;
        EXPECT_TRUE(client.contains(control->geometry())) << id;
    }
    // The button row sits below the list, the Show and Find groups above it, left to right.
    const QRect list = FindControl(m_window.get(), 1006)->geometry();
    EXPECT_GT(FindControl(m_window.get(), 1008)->y(), list.bottom());
    EXPECT_LT(FindControl(m_window.get(), 1072)->geometry().bottom(), list.top());
    EXPECT_LT(FindControl(m_window.get(), 1008)->x(), FindControl(m_window.get(), 1009)->x());
    EXPECT_LT(FindControl(m_window.get(), 1007)->x(), FindControl(m_window.get(), 1011)->x());
    EXPECT_LT(FindControl(m_window.get(), 1073)->x(), FindControl(m_window.get(), 1015)->x());
}

TEST_F(Window, TheCloseBoxTellsTheMainWindowAndHides)
{
    m_window->close();
    EXPECT_FALSE(m_window->isVisible());
    ASSERT_EQ(m_main.m_messages.size(), 1u);
    EXPECT_EQ(m_main.m_messages[0].nMessage, WM_PLAYLIST_CLOSED);
    EXPECT_EQ(m_main.m_messages[0].wParam, 0u);
    EXPECT_EQ(m_main.m_messages[0].lParam, 129);
}

TEST_F(Window, EscapeHidesWithoutAMessageAndEnterDoesNothing)
{
    AddEntryCount(2);
    ClickRow(0);
    QTest::keyClick(List(), Qt::Key_Return);
    QTest::keyClick(FindControl<QPushButton>(m_window.get(), 1010), Qt::Key_Return);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(m_window->Tracks().size(), 2u); // Enter on "Delete" did not press it

    QTest::keyClick(List(), Qt::Key_Escape);
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_TRUE(m_main.m_messages.empty());
}

TEST_F(Window, EnterInTheFindBoxNeitherSearchesNorCloses)
{
    auto* find = FindControl<CTavEdit>(m_window.get(), 1013);
    find->setFocus();
    QTest::keyClicks(find, QStringLiteral("day"));
    QTest::keyClick(find, Qt::Key_Return);
    QTest::keyClick(find, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(find->text().toStdString(), "day");
    EXPECT_EQ(m_main.Numbers(), (std::vector<std::uint32_t>{WM_FIND_ENTER, WM_FIND_ENTER}));
}

struct DockCase
{
    QRect ownerFrame;
    QPoint expected;
};

TEST(DockPositionTest, TopLeftGoesToTheOwnersBottomLeft)
{
    const DockCase cases[] = {{QRect(16, 16, 640, 480), QPoint(16, 496)},
                              {QRect(0, 0, 1, 1), QPoint(0, 1)},
                              {QRect(-300, 40, 500, 200), QPoint(-300, 240)}};
    for (const DockCase& c : cases) {
        EXPECT_EQ(CPlayList::DockPosition(c.ownerFrame), c.expected);
    }
}

TEST_F(Window, FollowsTheMainWindowWhetherShownOrHidden)
{
    QWidget owner;
    owner.setGeometry(100, 80, 640, 480);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    m_window->DockUnder(owner.frameGeometry());
    EXPECT_EQ(m_window->frameGeometry().topLeft(),
              QPoint(owner.frameGeometry().left(), owner.frameGeometry().bottom() + 1));
    const QSize size = m_window->size();

    m_window->hide();
    owner.move(300, 20);
    m_window->DockUnder(owner.frameGeometry());
    EXPECT_EQ(m_window->frameGeometry().topLeft(),
              QPoint(owner.frameGeometry().left(), owner.frameGeometry().bottom() + 1));
    EXPECT_EQ(m_window->size(), size);
    EXPECT_FALSE(m_window->isVisible());
}

} // namespace
