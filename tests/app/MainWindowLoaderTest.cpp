// The main window starts the track length loader with its initialisation, passes its reports to
// the playlist window, and stops it when it goes (the OK path), promptly even mid-measurement.

#include "HangingFormat.h"
#include "MainWindowFixture.h"
#include "common/AutoResetEvent.h"
#include "controls/CTavListCtrl.h"
#include "playback/GraphCore.h"
#include "playback/TrackLengthHandOver.h"
#include "playlist/CPlayList.h"
#include "resources/PlayListDialog.h"

#include <chrono>
#include <thread>

namespace {

TEST(MainWindowLoader, FillsThePlayListAndStopsPromptlyWhenTheWindowGoesMidMeasurement)
{
    ResetGlobals();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString hanging = WriteHangingFile(dir.path());
    ASSERT_FALSE(hanging.isEmpty());

    CAutoResetEvent event;
    g_hTrackLengthEvent = &event;
    auto dlg = std::make_unique<CTavVideoDlg>();
    dlg->OnInitDialog();
    auto* playList = dlg->findChild<CPlayList*>();
    ASSERT_NE(playList, nullptr);
    auto* list = res::FindControl<CTavListCtrl>(playList, IDC_PLAYLIST);
    playList->AddFileEntry(TestMediaPath(TestClip::Avi), QString(), -1.0);
    playList->AddFileEntry(TestMediaPath(TestClip::NotMedia), QString(), -1.0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list->GetItemText(1, 1).isEmpty(); }, 20000));
    EXPECT_EQ(list->GetItemText(0, 1), QStringLiteral("0:03"));
    EXPECT_EQ(list->GetItemText(1, 1), QStringLiteral("???"));

    // A file that never gets ready keeps the loader measuring until its time-out.
    playList->AddFileEntry(hanging, QString(), -1.0);
    ASSERT_TRUE(QTest::qWaitFor([] { return g_bLoaderBusy.load() != 0; }, 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    dlg->accept();
    const auto start = std::chrono::steady_clock::now();
    dlg.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, CGraphCore::kRenderTimeout / 5);
    g_hTrackLengthEvent = nullptr;
    ResetGlobals();
}

} // namespace
