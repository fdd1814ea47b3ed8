// The rows as a person works them: clicks, moves, deletes, Next and Prev, and a long list whose
// rows are still coming back.

#include "PlayListFixture.h"
#include "common/AppMessages.h"

#include <QGuiApplication>

#include <functional>
#include <tuple>

namespace {

using RowsTest = PlayListTest;

std::string Joined(const Texts& rows)
{
    std::string text;
    for (const std::string& row : rows) {
        text += (text.empty() ? "" : " ") + row;
    }
    return text;
}

// One session of edits and steps. The list getting the focus picks no row: Delete, Down and a
// double-click on empty space act on nothing until a row is clicked or marked. Moves carry times
// and pictures along and mark the moved row; Delete leaves the mark on the row that followed, so
// repeated Deletes work down the list. Next and Prev play the neighbouring entry, without wrapping
// around.
TEST_F(RowsTest, EditsMoveEntriesWithTheirStateAndActOnlyOnTheMarkedRow)
{
    const auto focusList = [this] {
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QCoreApplication::sendEvent(List(), &focusIn);
    };
    const auto click = [this](int row, int button) {
        ClickRow(row);
        ClickButton(button);
    };
    // Each step: what is done, the rows after it, and the mark.
    const std::tuple<const char*, std::function<void()>, const char*, int> steps[] = {
        {"focus", focusList, "clip0|1:00|P clip1|2:05|A clip2|???|Q clip3|0:03|P", -1},
        {"no row to act on",
         [&] {
             ClickButton(IDC_DELETE);
             ClickButton(IDC_MOVEDOWN);
             QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {},
                                QPoint(10, List()->viewport()->height() - 3));
         },
         "clip0|1:00|P clip1|2:05|A clip2|???|Q clip3|0:03|P", -1},
        {"arrow down", [this] { QTest::keyClick(List(), Qt::Key_Down); },
         "clip0|1:00|P clip1|2:05|A clip2|???|Q clip3|0:03|P", 0},
        {"Enter, on the list and on Delete: no command here",
         [this] {
             QTest::keyClick(List(), Qt::Key_Return);
             QTest::keyClick(res::FindControl<QWidget>(m_window.get(), IDC_DELETE), Qt::Key_Return);
         },
         "clip0|1:00|P clip1|2:05|A clip2|???|Q clip3|0:03|P", 0},
        {"Up on the current row", [&] { click(1, IDC_MOVEUP); },
         "clip1|2:05|A clip0|1:00|P clip2|???|Q clip3|0:03|P", 0},
        {"Up on the first row", [&] { ClickButton(IDC_MOVEUP); },
         "clip1|2:05|A clip0|1:00|P clip2|???|Q clip3|0:03|P", 0},
        {"Down on the row without length", [&] { click(2, IDC_MOVEDOWN); },
         "clip1|2:05|A clip0|1:00|P clip3|0:03|P clip2|???|Q", 3},
        {"Down on the last row, then a click",
         [&] {
             click(3, IDC_MOVEDOWN);
             ClickRow(1);
         },
         "clip1|2:05|A clip0|1:00|M clip3|0:03|P clip2|???|Q", 1},
        {"Next", [this] { m_window->PlayNextEntry(); },
         "clip1|2:05|P clip0|1:00|A clip3|0:03|P clip2|???|Q", 1},
        {"Next", [this] { m_window->PlayNextEntry(); },
         "clip1|2:05|P clip0|1:00|M clip3|0:03|A clip2|???|Q", 1},
        {"Prev to the first row and past it",
         [this] {
             m_window->PlayPreviousEntry();
             m_window->PlayPreviousEntry();
             m_window->PlayPreviousEntry();
         },
         "clip1|2:05|A clip0|1:00|M clip3|0:03|P clip2|???|Q", 1},
        {"Delete", [&] { click(1, IDC_DELETE); }, "clip1|2:05|A clip3|0:03|P clip2|???|Q", 1},
        {"focus", focusList, "clip1|2:05|A clip3|0:03|P clip2|???|Q", 1},
        {"Delete", [&] { ClickButton(IDC_DELETE); }, "clip1|2:05|A clip2|???|Q", 1},
        {"Delete", [&] { ClickButton(IDC_DELETE); }, "clip1|2:05|A", -1},
        {"Delete", [&] { ClickButton(IDC_DELETE); }, "clip1|2:05|A", -1},
        {"MarkEntry", [this] { m_window->MarkEntry(0); }, "clip1|2:05|A", 0},
    };
    AddEntries({60.0, 125.0, -1.0, 3.0});
    Report(PathOf(2), -1.0);
    m_window->SetCurrentEntry(1);
    for (const auto& [name, step, rows, nMark] : steps) {
        step();
        EXPECT_EQ(Joined(Rows()), rows) << name;
        EXPECT_EQ(List()->GetSelectionMark(), nMark) << name;
    }
    // The double-click on empty space made no other entry current; Enter did not close the window.
    EXPECT_EQ(m_currentPaths.front(), PathOf(1).toStdString());
    EXPECT_TRUE(m_window->isVisible());

    CUserDialogs::SetNextAnswer(QMessageBox::Cancel);
    ClickButton(IDC_DELETEALL);
    EXPECT_EQ(
        CUserDialogs::TakeAskedTexts(),
        QStringList{QGuiApplication::applicationDisplayName() + QStringLiteral(": Are You Sure?")});
    EXPECT_EQ(m_window->Tracks().size(), 1u);
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    ClickButton(IDC_DELETEALL);
    EXPECT_EQ(Rows(), Texts{});
    EXPECT_TRUE(m_window->Tracks().empty());
    // The skinned buttons' own press notices aside, the main window heard of each change.
    std::erase_if(m_sent, [](std::uint32_t m) { return m < WM_PLAYLIST_CHANGED; });
    const std::uint32_t play = WM_PLAY_CURRENT;
    const std::uint32_t changed = WM_PLAYLIST_CHANGED;
    EXPECT_EQ(m_sent, (Numbers{play, changed, changed, play, play, play, play, changed, changed,
                               changed, changed}));
}

// A long list's rows come back over many ticks. Entries added meanwhile (Open, a drop, "+ File")
// get their rows in their turn, every row shows its own entry throughout, a double-click plays
// the file the row shows, and making another entry current while its row is missing still
// leaves one current row.
TEST_F(RowsTest, RowsAndEntriesAgreeWhileALongListIsRebuilt)
{
    constexpr int kEntries = 20000;
    AddEntries(std::vector<double>(kEntries, 65.0));
    m_window->SetCurrentEntry(kEntries - 1);
    m_window->MarkEntry(100);
    ClickButton(IDC_SHOWPATH);
    m_window->SetCurrentEntry(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return List()->GetItemCount() > 0; }));
    ASSERT_LT(List()->GetItemCount(), kEntries) << "the rebuild must still be under way";
    const QString added = QStringLiteral("/media/added.avi");
    EXPECT_EQ(m_window->AddFileEntry(added, QString(), -1.0), kEntries);

    const int lastRow = List()->GetItemCount() - 1;
    m_window->MarkEntry(lastRow);
    Q_EMIT List()->DoubleClick();
    ASSERT_EQ(m_currentPaths.size(), 1u);
    EXPECT_EQ(m_currentPaths[0], List()->GetItemText(lastRow, 0).toStdString());

    ASSERT_TRUE(WaitForAllRows());
    const Texts rows = Rows();
    int disagreeing = 0;
    for (int row = 0; row <= kEntries; ++row) {
        disagreeing += List()->GetItemText(row, 0) != m_window->Tracks()[row]->strPath;
    }
    EXPECT_EQ(disagreeing, 0);
    EXPECT_EQ(
        std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r.back() == 'A'; }), 1);
    EXPECT_EQ(rows[static_cast<std::size_t>(lastRow)].back(), 'A');
    EXPECT_EQ(rows.back(), added.toStdString() + "||P");
}

} // namespace
