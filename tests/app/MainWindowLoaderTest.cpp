// The main window's link of the track length chain: it starts the loader with its
// initialisation, passes the lengths to the playlist window, and stops the loader when it goes,
// without waiting for a measurement that hangs.

#include "HangingFormat.h"
#include "MainWindowFixture.h"
#include "common/AutoResetEvent.h"
#include "playback/GraphCore.h"
#include "playback/TrackLengthHandOver.h"

#include <chrono>

TEST(MainWindowLoader, FillsThePlayListAndStopsPromptlyWhenTheWindowGoesMidMeasurement)
{
    ResetGlobals();
    QTemporaryDir dir;
    const QString hanging = WriteHangingFile(dir.path());
    ASSERT_FALSE(hanging.isEmpty());
    CAutoResetEvent event;
    g_hTrackLengthEvent = &event;
    auto dlg = std::make_unique<CTavVideoDlg>();
    dlg->OnInitDialog();
    auto* playList = dlg->findChild<CPlayList*>();
    playList->AddFileEntry(TestMediaPath(TestClip::Avi), QString(), -1.0);
    auto* list = playList->findChild<CTavListCtrl*>();
    EXPECT_TRUE(WaitFor([&] { return list->GetItemText(0, 1) == QStringLiteral("0:03"); }))
        << list->GetItemText(0, 1).toStdString();

    // A file that never gets ready keeps the loader measuring until its time-out; the window
    // going (the OK path) stops it well before that.
    playList->AddFileEntry(hanging, QString(), -1.0);
    ASSERT_TRUE(WaitFor([] { return g_bLoaderBusy.load() != 0; }));
    dlg->accept();
    const auto start = std::chrono::steady_clock::now();
    dlg.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, CGraphCore::kRenderTimeout / 2);
    g_hTrackLengthEvent = nullptr;
    ResetGlobals();
}
