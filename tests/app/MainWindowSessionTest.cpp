// The media session of the main window on real generated clips: open, play, stop, seek, volume,
// end of stream, refusals. Sinks are clocked null sinks (the test environment's).

#include "MainWindowFixture.h"
#include "SessionHelpers.h"
#include "TestMedia.h"
#include "common/AppMessages.h"
#include "common/TimeText.h"
#include "controls/CTavButtonCtrl.h"
#include "resources/MainDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <cmath>

namespace {

constexpr int kWaitMs = 5000; // every wait for playback is bounded by this
constexpr double kFrame = 1.0 / kTestClipFps;

} // namespace

class MainWindowSessionTest : public MainWindowTest
{
protected:
    void OpenWithOpenCommand(const QString& strPath)
    {
        CUserDialogs::SetNextFileName(strPath);
        Click(IDC_OPEN);
    }

    double Position() const { return Dlg().GetPositionSeconds(); }

    bool WaitForPosition(double dAtLeast)
    {
        return QTest::qWaitFor([&] { return Position() >= dAtLeast; }, kWaitMs);
    }

    // Seeks complete on the media layer's threads; wait for the position to get there.
    bool WaitForPositionNear(double dTarget, double dTolerance)
    {
        return QTest::qWaitFor([&] { return std::abs(Position() - dTarget) <= dTolerance; },
                               kWaitMs);
    }
};

TEST_F(MainWindowSessionTest, OpenCommandLoadsTheFileStoppedAtItsStart)
{
    const QString strPath = TestMediaPath(TestClip::Avi);
    OpenWithOpenCommand(strPath);

    EXPECT_EQ(Dlg().CurrentFile(), strPath);
    EXPECT_NEAR(Dlg().Duration(), kTestClipSeconds, kFrame);
    EXPECT_EQ(TimeText(), QStringLiteral("00:00:03")); // the duration, until the first tick
    EXPECT_EQ(Dlg().windowTitle(),
              QStringLiteral("Vessa Video Player - ") + QFileInfo(strPath).fileName());
    EXPECT_TRUE(Button(IDC_PLAY)->isEnabled());
    EXPECT_EQ(Control<CTavButtonCtrl>(IDC_PLAY)->ImageName(), QStringLiteral("play.png"));
    EXPECT_FALSE(g_bPlaying);
    EXPECT_TRUE(g_pMediaControl && g_pMediaSeeking && g_pBasicAudio && g_pVideoWindow &&
                g_pMediaEvent);

    // Left stopped: the position does not move.
    QTest::qWait(400);
    EXPECT_LT(Position(), 0.2);
}

TEST_F(MainWindowSessionTest, PlayAdvancesStopHoldsAndPlayContinuesFromThere)
{
    OpenWithOpenCommand(TestMediaPath(TestClip::Avi));
    Click(IDC_PLAY);
    EXPECT_TRUE(g_bPlaying);
    ASSERT_TRUE(WaitForPosition(0.8));
    // The timer shows the position on the slider (thousandths) and in the time text.
    QSlider* slider = Slider(IDC_SLIDER_POSITION);
    ASSERT_TRUE(QTest::qWaitFor([slider] { return slider->value() >= 200; }, kWaitMs));
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return TimeText() == QStringLiteral("00:00:01"); }, kWaitMs))
        << TimeText().toStdString();

    Click(IDC_STOP);
    EXPECT_FALSE(g_bPlaying);
    const double dStopped = Position();
    QTest::qWait(500);
    EXPECT_NEAR(Position(), dStopped, kFrame);
    const int nSliderStopped = slider->value();
    EXPECT_NEAR(nSliderStopped, dStopped / kTestClipSeconds * 1000.0, 20.0);

    Click(IDC_PLAY);
    EXPECT_TRUE(g_bPlaying);
    EXPECT_GE(Position(), dStopped - kFrame);
    ASSERT_TRUE(WaitForPosition(dStopped + 0.3));
    EXPECT_GE(slider->value(), nSliderStopped);
}

TEST_F(MainWindowSessionTest, DraggingTheThumbSeeksAndShowsTheTimeUnderIt)
{
    OpenWithOpenCommand(TestMediaPath(TestClip::Avi));
    QSlider* slider = Slider(IDC_SLIDER_POSITION);
    const QPoint ptThumb = SliderThumb(slider).center();

    QTest::mousePress(slider, Qt::LeftButton, {}, ptThumb);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Dlg().IsSeeking(); }, kWaitMs));
    for (int dx = 10; dx <= 70; dx += 10) {
        QTest::mouseMove(slider, ptThumb + QPoint(dx, 0));
    }
    const int nDragged = slider->value();
    ASSERT_GT(nDragged, 100);
    // While held: the time under the thumb from the stored duration, and the picture follows.
    EXPECT_EQ(TimeText(), FormatTime(static_cast<int>(nDragged * Dlg().Duration() / 1000.0)));
    EXPECT_TRUE(WaitForPositionNear(nDragged * kTestClipSeconds / 1000.0, 2 * kFrame))
        << Position();

    QTest::mouseRelease(slider, Qt::LeftButton, {}, ptThumb + QPoint(70, 0));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Dlg().IsSeeking(); }, kWaitMs));
    EXPECT_TRUE(WaitForPositionNear(slider->value() * kTestClipSeconds / 1000.0, 2 * kFrame))
        << Position();
    // Handed back to the timer: the slider keeps showing the stopped position.
    QTest::qWait(450);
    EXPECT_NEAR(slider->value(), nDragged, 15);
}

TEST_F(MainWindowSessionTest, PressAndReleaseWithoutMovingStillSeeks)
{
    OpenWithOpenCommand(TestMediaPath(TestClip::Avi));
    QSlider* slider = Slider(IDC_SLIDER_POSITION);
    // A click on the channel right of the thumb moves it one page (a fifth) and seeks there.
    const QRect rcThumb = SliderThumb(slider);
    const QPoint ptChannel(rcThumb.right() + 30, rcThumb.center().y());
    QTest::mouseClick(slider, Qt::LeftButton, {}, ptChannel);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Dlg().IsSeeking(); }, kWaitMs));
    EXPECT_EQ(slider->value(), 200);
    EXPECT_TRUE(WaitForPositionNear(0.2 * kTestClipSeconds, 2 * kFrame)) << Position();
}

TEST_F(MainWindowSessionTest, VolumeSliderSetsTheVolumeInHundredthsOfADecibel)
{
    OpenWithOpenCommand(TestMediaPath(TestClip::Avi));
    ASSERT_TRUE(g_pBasicAudio);
    long lVolume = 1;
    ASSERT_EQ(g_pBasicAudio->get_Volume(&lVolume), S_OK);
    EXPECT_EQ(lVolume, -2000); // applied when the file opened

    QSlider* volume = Slider(IDC_SLIDER_VOLUME);
    for (const int nValue : {0, -5000, -3500}) {
        volume->setValue(nValue);
        ASSERT_EQ(g_pBasicAudio->get_Volume(&lVolume), S_OK);
        EXPECT_EQ(lVolume, nValue);
    }
    // A click on the channel right of the thumb: one page (a fifth of the range) louder.
    const QRect rcThumb = SliderThumb(volume);
    QTest::mouseClick(volume, Qt::LeftButton, {},
                      QPoint(volume->width() - 2, rcThumb.center().y()));
    EXPECT_EQ(volume->value(), -2500);
    ASSERT_EQ(g_pBasicAudio->get_Volume(&lVolume), S_OK);
    EXPECT_EQ(lVolume, -2500);

    // The next file opens at the slider's volume.
    ASSERT_TRUE(Dlg().OpenMedia(TestMediaPath(TestClip::OddName), true));
    ASSERT_EQ(g_pBasicAudio->get_Volume(&lVolume), S_OK);
    EXPECT_EQ(lVolume, -2500);
}

TEST_F(MainWindowSessionTest, EndOfStreamIsDrainedAndTheSessionStaysAtItsEnd)
{
    CMessageCounter notifications(&Dlg(), WM_GRAPH_NOTIFY);
    OpenWithOpenCommand(TestMediaPath(TestClip::Avi));
    REFERENCE_TIME rtNearEnd = static_cast<REFERENCE_TIME>((kTestClipSeconds - 0.5) * 1e7);
    g_pMediaSeeking->SetPositions(&rtNearEnd, AM_SEEKING_AbsolutePositioning, nullptr,
                                  AM_SEEKING_NoPositioning);
    const int nBefore = notifications.Count();
    Click(IDC_PLAY);

    ASSERT_TRUE(QTest::qWaitFor([&] { return notifications.Count() > nBefore; }, kWaitMs));
    QTest::qWait(50);
    // Drained: nothing is left in the queue.
    long lCode = 0;
    LParam lParam1 = 0;
    LParam lParam2 = 0;
    ASSERT_TRUE(g_pMediaEvent);
    EXPECT_TRUE(Failed(g_pMediaEvent->GetEvent(&lCode, &lParam1, &lParam2, 0)));
    // No next entry: the session stays at its end, still "playing", the timer still running.
    EXPECT_TRUE(g_bPlaying);
    QSlider* slider = Slider(IDC_SLIDER_POSITION);
    EXPECT_TRUE(QTest::qWaitFor([slider] { return slider->value() >= 980; }, kWaitMs))
        << slider->value();
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return TimeText() == QStringLiteral("00:00:03"); }, kWaitMs));
}

TEST_F(MainWindowSessionTest, ARefusedFileLeavesThePlayingSessionAlone)
{
    const QString strPlaying = TestMediaPath(TestClip::Avi);
    ASSERT_TRUE(Dlg().OpenMedia(strPlaying, true));
    const QString strTitle = Dlg().windowTitle();
    const auto* pControl = g_pMediaControl.get();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    const QString refused[] = {
        TestMediaPath(TestClip::NoVideoDecoder), // one stream cannot be rendered
        TestMediaPath(TestClip::NotMedia),
        TestMediaPath(TestClip::Empty),
        folder.path(),
        folder.filePath(QStringLiteral("missing.avi")),
        QString(),
    };
    for (const QString& strPath : refused) {
        SCOPED_TRACE(strPath.toStdString());
        const double dBefore = Position();
        EXPECT_FALSE(Dlg().OpenMedia(strPath, true));
        EXPECT_EQ(g_pMediaControl.get(), pControl);
        EXPECT_EQ(Dlg().CurrentFile(), strPlaying);
        EXPECT_EQ(Dlg().windowTitle(), strTitle);
        EXPECT_TRUE(g_bPlaying);
        EXPECT_TRUE(WaitForPosition(dBefore + 0.1)) << "the old file goes on playing";
    }
}

TEST_F(MainWindowSessionTest, OpeningASecondFileReplacesTheFirstOnlyOnceItRendered)
{
    ASSERT_TRUE(Dlg().OpenMedia(TestMediaPath(TestClip::Avi), true));
    ASSERT_TRUE(WaitForPosition(0.5));
    const QString strSecond = TestMediaPath(TestClip::OddName);
    ASSERT_TRUE(Dlg().OpenMedia(strSecond, true));
    EXPECT_EQ(Dlg().CurrentFile(), strSecond);
    EXPECT_EQ(Dlg().windowTitle(),
              QStringLiteral("Vessa Video Player - ") + QFileInfo(strSecond).fileName());
    EXPECT_TRUE(g_bPlaying);
    EXPECT_LT(Position(), 0.45); // the new file starts from its beginning
}

TEST_F(MainWindowSessionTest, AFileWithoutVideoHasNoVideoWindowAndStillPlays)
{
    ASSERT_TRUE(Dlg().OpenMedia(TestMediaPath(TestClip::AudioOnly), true));
    EXPECT_FALSE(g_pVideoWindow);
    EXPECT_TRUE(g_pBasicAudio);
    Dlg().resize(700, 500); // relayout without a video window
    EXPECT_TRUE(WaitForPosition(0.3));
}

TEST_F(MainWindowSessionTest, AFileWithoutADurationNeverSeeksAndKeepsTheSliderAtZero)
{
    // A still picture plays, but has no duration to divide by.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString strStill = folder.filePath(QStringLiteral("still.png"));
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(strStill));
    ASSERT_TRUE(Dlg().OpenMedia(strStill, true));
    ASSERT_EQ(Dlg().Duration(), 0.0);
    EXPECT_EQ(TimeText(), QStringLiteral("00:00:00"));

    QSlider* slider = Slider(IDC_SLIDER_POSITION);
    slider->setValue(500);
    EXPECT_TRUE(QTest::qWaitFor([slider] { return slider->value() == 0; }, kWaitMs))
        << "the timer puts the slider at 0";

    const QPoint ptThumb = SliderThumb(slider).center();
    QTest::mousePress(slider, Qt::LeftButton, {}, ptThumb);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Dlg().IsSeeking(); }, kWaitMs));
    for (int dx = 10; dx <= 50; dx += 10) {
        QTest::mouseMove(slider, ptThumb + QPoint(dx, 0));
    }
    EXPECT_GT(slider->value(), 0);
    EXPECT_EQ(TimeText(), QStringLiteral("00:00:00"));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, ptThumb + QPoint(50, 0));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Dlg().IsSeeking(); }, kWaitMs));
    EXPECT_TRUE(g_pMediaControl) << "the session goes on";
    EXPECT_TRUE(QTest::qWaitFor([slider] { return slider->value() == 0; }, kWaitMs));
}
