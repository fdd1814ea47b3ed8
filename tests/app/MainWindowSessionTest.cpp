// The media session of the main window on real generated clips: play, stop, seek, volume and
// refusals. Sinks are clocked null sinks (the test environment's).

#include "MainWindowFixture.h"
#include "common/TimeText.h"

#include <cmath>

namespace {

constexpr double kFrame = 1.0 / kTestClipFps;

class MainWindowSessionTest : public MainWindowTest
{
protected:
    double Position() const { return Dlg().GetPositionSeconds(); }
    bool WaitForPositionNear(double dTarget) const
    {
        return WaitFor([&] { return std::abs(Position() - dTarget) <= 2 * kFrame; });
    }
    // Presses the position slider's thumb and drags it dx to the right; returns where it is held.
    QPoint DragThumb(QSlider* slider, int dx) const
    {
        const QPoint ptThumb = SliderThumb(slider).center();
        QTest::mousePress(slider, Qt::LeftButton, {}, ptThumb);
        EXPECT_TRUE(WaitFor([this] { return Dlg().IsSeeking(); }));
        for (int step = 10; step <= dx; step += 10) {
            QTest::mouseMove(slider, ptThumb + QPoint(step, 0));
        }
        return ptThumb + QPoint(dx, 0);
    }
};

TEST_F(MainWindowSessionTest, PlayAdvancesStopHoldsPlayContinuesAndTheVolumeFollowsTheSlider)
{
    OpenWithOpenCommand(TestMediaPath(TestClip::Avi));
    long lVolume = 0;
    ASSERT_EQ(g_pBasicAudio->get_Volume(&lVolume), S_OK);
    EXPECT_EQ(lVolume, -2000);
    Slider(IDC_SLIDER_VOLUME)->setValue(-3500);
    g_pBasicAudio->get_Volume(&lVolume);
    EXPECT_EQ(lVolume, -3500);

    Click(IDC_PLAY);
    QSlider* slider = Slider(IDC_SLIDER_POSITION);
    ASSERT_TRUE(WaitFor([&] { return slider->value() >= 300; })) << slider->value();
    EXPECT_TRUE(WaitFor([this] { return TimeText() == QStringLiteral("00:00:01"); }));
    Click(IDC_STOP);
    const double dStopped = Position();
    QTest::qWait(400);
    EXPECT_NEAR(Position(), dStopped, kFrame);
    Click(IDC_PLAY);
    EXPECT_GE(Position(), dStopped - kFrame) << "Play goes on from where Stop held it";
    EXPECT_TRUE(WaitFor([&] { return Position() >= dStopped + 0.3; })) << Position();
}

// The slider's gestures are the slider's own; here: a drag seeks the playing session there.
TEST_F(MainWindowSessionTest, DraggingTheThumbSeeksAndShowsItsTime)
{
    OpenWithOpenCommand(TestMediaPath(TestClip::Avi));
    QSlider* slider = Slider(IDC_SLIDER_POSITION);
    const QPoint ptHeld = DragThumb(slider, 60);
    const int nDragged = slider->value();
    ASSERT_GT(nDragged, 100);
    EXPECT_EQ(TimeText(), FormatTime(static_cast<int>(nDragged * kTestClipSeconds / 1000.0)));
    EXPECT_TRUE(WaitForPositionNear(nDragged * kTestClipSeconds / 1000.0)) << Position();
    QTest::mouseRelease(slider, Qt::LeftButton, {}, ptHeld);
    EXPECT_TRUE(WaitFor([this] { return !Dlg().IsSeeking(); }));
}

TEST_F(MainWindowSessionTest, ARefusedFileLeavesThePlayingSessionAlone)
{
    const QString strPlaying = TestMediaPath(TestClip::Avi);
    ASSERT_TRUE(Dlg().OpenMedia(strPlaying, true));
    const auto* pControl = g_pMediaControl.get();
    for (const QString& strPath :
         {TestMediaPath(TestClip::NoVideoDecoder), TestMediaPath(TestClip::NotMedia),
          TestMediaPath(TestClip::Empty), QDir::tempPath(), QString()}) {
        SCOPED_TRACE(strPath.toStdString());
        const double dBefore = Position();
        EXPECT_FALSE(Dlg().OpenMedia(strPath, true));
        EXPECT_EQ(g_pMediaControl.get(), pControl);
        EXPECT_EQ(Dlg().windowTitle(), TitleOf(strPlaying));
        EXPECT_TRUE(WaitFor([&] { return Position() >= dBefore + 0.1; })) << "still playing";
    }
}

TEST_F(MainWindowSessionTest, AFileWithoutADurationNeverSeeksAndKeepsTheSliderAtZero)
{
    QTemporaryDir folder; // a still picture plays, but has no duration to divide by
    const QString strStill = folder.filePath(QStringLiteral("still.png"));
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(strStill));
    ASSERT_TRUE(Dlg().OpenMedia(strStill, true));
    ASSERT_EQ(Dlg().Duration(), 0.0);
    QSlider* slider = Slider(IDC_SLIDER_POSITION);
    const QPoint ptHeld = DragThumb(slider, 50);
    EXPECT_GT(slider->value(), 0);
    EXPECT_EQ(TimeText(), QStringLiteral("00:00:00"));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, ptHeld);
    EXPECT_TRUE(g_pMediaControl) << "the session goes on";
    EXPECT_TRUE(WaitFor([slider] { return slider->value() == 0; })) << slider->value();
}

} // namespace
