// The rows as a person works them: clicks, moves, deletes, Next and Prev, a long list whose rows
// are still coming back, and the lengths the main window hands over from the loader (how the
// loader is asked and answers is the loader's own test).

#include "PlayListFixture.h"
#include "common/AppMessages.h"
#include "controls/CTavEdit.h"
#include "playlist/RowImages.h"

#include <limits>

namespace {

using RowsTest = PlayListTest;

// One session of edits and steps. The list getting the focus picks no row: Delete, Down and a
// double-click on empty space act on nothing until a row is clicked. Enter, on the list or in the
// find box, neither plays, searches nor closes the window. Moves carry times and pictures along
// and mark the moved row; Delete leaves the mark on the row that followed, so repeated Deletes
// work down the list. Next and Prev play the neighbouring entry, without wrapping around.
TEST_F(RowsTest, EditsMoveEntriesWithTheirStateAndActOnlyOnTheMarkedRow)
{
    const auto expect = [this](const char* rows, int mark) {
        EXPECT_EQ(Rows(), rows);
        EXPECT_EQ(List()->GetSelectionMark(), mark);
    };
    const auto click = [this](int row, int button) {
        ClickRow(row);
        ClickButton(button);
    };
    AddEntries({60.0, 125.0, -1.0, 3.0});
    Report(QStringLiteral("/media/clip2.avi"), -1.0);
    m_window->SetCurrentEntry(1);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(List(), &focusIn);
    ClickButton(IDC_DELETE);
    ClickButton(IDC_MOVEDOWN);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {},
                       QPoint(10, List()->viewport()->height() - 3));
    expect("clip0|1:00|P clip1|2:05|A clip2|???|Q clip3|0:03|P", -1);
    click(1, IDC_MOVEUP);
    expect("clip1|2:05|A clip0|1:00|P clip2|???|Q clip3|0:03|P", 0);
    click(2, IDC_MOVEDOWN);
    click(3, IDC_MOVEDOWN);
    ClickRow(1);
    QTest::keyClick(List(), Qt::Key_Return);
    QTest::keyClick(res::FindControl<CTavEdit>(m_window.get(), IDC_FINDTEXT), Qt::Key_Return);
    expect("clip1|2:05|A clip0|1:00|M clip3|0:03|P clip2|???|Q", 1);
    m_window->PlayNextEntry();
    m_window->PlayNextEntry();
    expect("clip1|2:05|P clip0|1:00|M clip3|0:03|A clip2|???|Q", 1);
    for (int i = 0; i < 3; ++i) {
        m_window->PlayPreviousEntry();
    }
    expect("clip1|2:05|A clip0|1:00|M clip3|0:03|P clip2|???|Q", 1);
    click(1, IDC_DELETE);
    expect("clip1|2:05|A clip3|0:03|P clip2|???|Q", 1);
    for (int i = 0; i < 3; ++i) {
        ClickButton(IDC_DELETE);
    }
    expect("clip1|2:05|A", -1);
    EXPECT_TRUE(m_window->isVisible());
    // Delete All asks first.
    for (const auto answer : {QMessageBox::Cancel, QMessageBox::Ok}) {
        CUserDialogs::SetNextAnswer(answer);
        ClickButton(IDC_DELETEALL);
        EXPECT_EQ(CUserDialogs::TakeAskedTexts().size(), 1);
        EXPECT_EQ(m_window->Tracks().size(), answer == QMessageBox::Ok ? 0u : 1u);
    }
    // The skinned buttons' own press notices aside, the main window heard of each change.
    std::erase_if(m_sent, [](std::uint32_t m) { return m < WM_PLAYLIST_CHANGED; });
    const std::uint32_t play = WM_PLAY_CURRENT;
    const std::uint32_t changed = WM_PLAYLIST_CHANGED;
    EXPECT_EQ(m_sent, (Numbers{play, changed, changed, play, play, play, play, changed, changed,
                               changed, changed}));
}

// A long list's rows come back over many ticks. An entry added meanwhile gets its row in its
// turn, every row shows its own entry throughout, and making another entry current while its row
// is missing leaves that one current row.
TEST_F(RowsTest, RowsAndEntriesAgreeWhileALongListIsRebuilt)
{
    constexpr int kEntries = 20000;
    AddEntries(std::vector<double>(kEntries, 65.0));
    m_window->SetCurrentEntry(kEntries - 1);
    ClickButton(IDC_SHOWPATH);
    m_window->SetCurrentEntry(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return List()->GetItemCount() > 0; }));
    ASSERT_LT(List()->GetItemCount(), kEntries) << "the rebuild must still be under way";
    EXPECT_EQ(m_window->AddFileEntry(QStringLiteral("/media/added.avi"), QString(), -1.0),
              kEntries);
    const int lastRow = List()->GetItemCount() - 1;
    EXPECT_EQ(List()->GetItemText(lastRow, 0), m_window->Tracks()[lastRow]->strPath);

    ASSERT_TRUE(WaitForAllRows());
    int disagreeing = 0;
    int current = 0;
    for (int row = 0; row <= kEntries; ++row) {
        disagreeing += List()->GetItemText(row, 0) != m_window->Tracks()[row]->strPath;
        current += List()->GetItemImage(row) == kImageDeckACurrent ? row + 1 : 0;
    }
    EXPECT_EQ(disagreeing, 0);
    EXPECT_EQ(current, 1) << "one current row, the first";
    EXPECT_EQ(List()->GetItemText(kEntries, 0), QStringLiteral("/media/added.avi"));
}

// A report reaches every entry with exactly its path, wherever edits have moved it; a report for
// a path that left the list meanwhile changes nothing. Rows not made yet (a rebuild) show the
// result when they come, and a failure (NaN included) is "???", never an empty time that would be
// asked for forever. Titles read from a list stay.
TEST_F(RowsTest, RowsShowTheLengthsHandedOverForExactlyTheirPath)
{
    for (const char* name : {"same", "gone", "other", "same", "SAME", "long"}) {
        // A length of -2 from a list is no length either: an empty time, not "0:0-2".
        m_window->AddFileEntry(QStringLiteral("/v/%1.avi").arg(QLatin1String(name)),
                               QStringLiteral("From List"), name[0] == 'o' ? -2.0 : -1.0);
    }
    ClickRow(1);
    ClickButton(IDC_DELETE);
    ClickRow(1);
    ClickButton(IDC_MOVEDOWN);
    Report("/v/same.avi", 61.9);
    Report("/v/gone.avi", 5.0);
    Report("/v/long.avi", 3e9);
    EXPECT_EQ(Rows(), "same|1:01|P same|1:01|P other||M SAME||P long|50000000:00|P");
    EXPECT_EQ(m_window->Tracks()[0]->strTitle.toStdString(), "From List");

    ClickButton(IDC_SHOWPATH);
    ASSERT_EQ(List()->GetItemCount(), 0);
    Report("/v/other.avi", std::numeric_limits<double>::quiet_NaN());
    Report("/v/SAME.avi", 0.0);
    ASSERT_TRUE(WaitForAllRows());
    EXPECT_EQ(Rows(), "/v/same.avi|1:01|P /v/same.avi|1:01|P /v/other.avi|???|Q "
                      "/v/SAME.avi|0:00|P /v/long.avi|50000000:00|P");
}

} // namespace
