// The playlist's end of the length hand-over: what the main window passes on from the loader
// reaches the rows. How the loader is asked and answers is the loader's own test.

#include "PlayListFixture.h"

#include <limits>

namespace {

using Length = PlayListTest;

// A report reaches every entry with exactly its path, wherever edits have moved it; a report for
// a path that left the list meanwhile changes nothing. Rows not made yet (a rebuild) show the
// result when they come, and a failure (NaN included) is "???", never an empty time that would be
// asked for forever. Titles read from a list stay.
TEST_F(Length, RowsShowTheLengthsHandedOverForExactlyTheirPath)
{
    for (const char* name : {"same", "gone", "other", "same", "SAME", "long"}) {
        // A length of -2 from a list is no length either: an empty time, not "0:0-2".
        m_window->AddFileEntry(QStringLiteral("/v/%1.avi").arg(QLatin1String(name)),
                               QStringLiteral("From List"), name[0] == 'o' ? -2.0 : -1.0);
    }
    const auto report = [this](const char* name, double length) {
        Report(QStringLiteral("/v/%1.avi").arg(QLatin1String(name)), length);
    };
    ClickRow(1);
    ClickButton(IDC_DELETE);
    ClickRow(1);
    ClickButton(IDC_MOVEDOWN);
    report("same", 61.9);
    report("gone", 5.0);
    report("long", 3e9);
    EXPECT_EQ(Rows(), "same|1:01|P same|1:01|P other||M SAME||P long|50000000:00|P");
    EXPECT_EQ(m_window->Tracks()[0]->strTitle.toStdString(), "From List");

    ClickButton(IDC_SHOWPATH);
    ASSERT_EQ(List()->GetItemCount(), 0);
    report("other", std::numeric_limits<double>::quiet_NaN());
    report("SAME", 0.0);
    ASSERT_TRUE(WaitForAllRows());
    EXPECT_EQ(Rows(), "/v/same.avi|1:01|P /v/same.avi|1:01|P /v/other.avi|???|Q "
                      "/v/SAME.avi|0:00|P /v/long.avi|50000000:00|P");
}

} // namespace
