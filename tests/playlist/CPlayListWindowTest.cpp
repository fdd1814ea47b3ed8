#include "PlayListFixture.h"
#include "common/AppMessages.h"
#include "controls/CTavButtonCtrl.h"
#include "resources/Resource.h"

namespace {

using Window = PlayListTest;

TEST_F(Window, ItsSevenButtonsCarryTheirSkinRoles)
{
    const std::pair<int, TavButtonRole> buttons[] = {
        {IDC_MOVEUP, TavButtonRole::MoveUp},       {IDC_ADDFILE, TavButtonRole::AddFile},
        {IDC_ADDFOLDER, TavButtonRole::AddFolder}, {IDC_DELETE, TavButtonRole::Delete},
        {IDC_MOVEDOWN, TavButtonRole::MoveDown},   {IDC_SAVE, TavButtonRole::Save},
        {IDC_DELETEALL, TavButtonRole::DeleteAll}};
    for (const auto& [id, role] : buttons) {
        const auto* button = res::FindControl<CTavButtonCtrl>(m_window.get(), id);
        ASSERT_NE(button, nullptr) << id;
        TavButtonRoleFlags expected{};
        expected[static_cast<std::size_t>(role)] = true;
        EXPECT_EQ(button->Roles(), expected) << id;
        EXPECT_TRUE(button->isEnabled() && button->EnabledFlag()) << id;
    }
}

// Only the close box tells the main window; Escape hides the window quietly. Enter has no
// command here: it must neither close the window nor press a button.
TEST_F(Window, TheCloseBoxTellsTheMainWindowEscapeHidesQuietlyEnterDoesNothing)
{
    AddEntries({1.0, 1.0});
    ClickRow(0);
    QTest::keyClick(List(), Qt::Key_Return);
    QTest::keyClick(res::FindControl<QWidget>(m_window.get(), IDC_DELETE), Qt::Key_Return);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(m_window->Tracks().size(), 2u);

    QTest::keyClick(List(), Qt::Key_Escape);
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(m_sent, Numbers{});
    m_window->show();
    m_window->close();
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(m_sent, Numbers{WM_PLAYLIST_CLOSED});
    EXPECT_EQ(m_lParams, std::vector<LParam>{IDD_PLAYLIST});
}

} // namespace
