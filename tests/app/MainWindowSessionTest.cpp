// The main window's media session on real generated clips: play, stop, seek and volume, and
// the track length loader it starts and stops. Sinks are clocked null sinks (the test
// environment's).

#include "HangingFormat.h"
#include "MainWindowFixture.h"
#include "common/AutoResetEvent.h"
#include "common/TimeText.h"
#include "playback/GraphCore.h"
#include "playback/TrackLengthHandOver.h"

#include <chrono>
#include <cmath>

namespace {

constexpr double kFrame = 1.0 / kTestClipFps;

using MainWindowSessionTest = MainWindowTest;

// Play advances and Stop holds; a drag of the position slider's thumb seeks the stopped session
// there (the slider's gestures are the slider's own), and Play goes on from there; the volume
// follows its slider.
TEST_F(MainWindowSessionTest, PlayStopAndTheThumbsDragMoveThePositionAndTheVolumeFollowsItsSlider)
{
    OpenWithOpenCommand(TestMediaPath(TestClip::Avi));
    long lVolume = 0;
    ASSERT_EQ(g_pBasicAudio->get_Volume(&lVolume), S_OK);
    EXPECT_EQ(lVolume, -2000);
    Control<QSlider>(IDC_SLIDER_VOLUME)->setValue(-3500);
    g_pBasicAudio->get_Volume(&lVolume);
    EXPECT_EQ(lVolume, -3500);

    Click(IDC_PLAY);
    QSlider* slider = Control<QSlider>(IDC_SLIDER_POSITION);
    ASSERT_TRUE(WaitFor([&] { return slider->value() >= 300; })) << slider->value();
    QLabel* time = Control<QLabel>(IDC_STATIC_TIME);
    EXPECT_TRUE(WaitFor([&] { return time->text() == QStringLiteral("00:00:01"); }));
    Click(IDC_STOP);
    const double dStopped = Dlg().GetPositionSeconds();
    QTest::qWait(400);
    EXPECT_NEAR(Dlg().GetPositionSeconds(), dStopped, kFrame);

    QStyleOptionSlider option;
    option.initFrom(slider);
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    const QPoint ptThumb =
        slider->style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
            .center();
    QTest::mousePress(slider, Qt::LeftButton, {}, ptThumb);
    ASSERT_TRUE(WaitFor([this] { return Dlg().IsSeeking(); }));
    // Half a second on, well short of the end.
    QPoint ptHeld = ptThumb;
    while (slider->value() < dStopped * 1000 / kTestClipSeconds + 170 && ptHeld.x() < 1000) {
        ptHeld += QPoint(5, 0);
        QTest::mouseMove(slider, ptHeld);
    }
    const double dTarget = slider->value() * kTestClipSeconds / 1000.0;
    ASSERT_TRUE(dTarget > dStopped + 0.4 && dTarget < dStopped + 0.8) << dTarget;
    EXPECT_EQ(time->text(), FormatTime(static_cast<int>(dTarget)));
    EXPECT_TRUE(WaitFor([&] {
        return std::abs(Dlg().GetPositionSeconds() - dTarget) <= 2 * kFrame;
    })) << Dlg().GetPositionSeconds();
    QTest::mouseRelease(slider, Qt::LeftButton, {}, ptHeld);
    EXPECT_TRUE(WaitFor([this] { return !Dlg().IsSeeking(); }));
    Click(IDC_PLAY);
    EXPECT_GE(Dlg().GetPositionSeconds(), dTarget - 2 * kFrame) << "Play goes on from there";
    EXPECT_TRUE(WaitFor([&] { return Dlg().GetPositionSeconds() >= dTarget + 0.3; }))
        << Dlg().GetPositionSeconds();
}

// The window starts the loader with its initialisation and passes the lengths to the playlist
// window; a file that never gets ready keeps the loader measuring until its time-out, and the
// window going (the OK path) stops it well before that.
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

    playList->AddFileEntry(hanging, QString(), -1.0);
    ASSERT_TRUE(WaitFor([] { return g_bLoaderBusy.load() != 0; }));
    dlg->accept();
    const auto start = std::chrono::steady_clock::now();
    dlg.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, CGraphCore::kRenderTimeout / 2);
    g_hTrackLengthEvent = nullptr;
    ResetGlobals();
}

} // namespace
