// "Video In" in the main window on the tests' own devices: what the command builds or leaves
// alone, and every way a preview ends. Sinks are clocked null sinks (the test environment's).

#include "ChooserAnswer.h"
#include "TestDeviceProvider.h"
#include "app/MainWindowFixture.h"
#include "app/MediaSession.h"
#include "playback/GraphCore.h"

namespace {

// What the preview's pipeline is doing now; GST_STATE_VOID_PENDING when there is none.
GstState PreviewState()
{
    std::shared_ptr<IGraphBuilder> pGraph;
    if (!g_pCaptureBuilder || g_pCaptureBuilder->GetFiltergraph(&pGraph) != S_OK ||
        pGraph->Core()->Pipeline() == nullptr) {
        return GST_STATE_VOID_PENDING;
    }
    GstState state = GST_STATE_VOID_PENDING;
    gst_element_get_state(pGraph->Core()->Pipeline(), &state, nullptr, 0);
    return state;
}

class CapturePreviewTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        RegisterTestDeviceProvider();
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        SetTestDevices({});
        EXPECT_EQ(LiveTestSources(), 0) << "a device stays open after the window has gone";
    }

    void VideoIn(int nAnswer = IDOK) const { PressVideoIn(Button(IDC_VIDEO_IN), nAnswer); }
    void PlayClip() const
    {
        OpenWithOpenCommand(TestMediaPath(TestClip::Avi));
        Click(IDC_PLAY);
    }
    bool PlayEnabled() const
    {
        return Control<CTavButtonCtrl>(IDC_PLAY)->isEnabled() &&
               Control<CTavButtonCtrl>(IDC_PLAY)->EnabledFlag();
    }
};

struct VideoInCase
{
    const char* name;
    std::vector<TestDevice> devices;
    int nAnswer;      // IDOK or IDCANCEL
    bool bFileBefore; // a file plays when Video In is pressed
    bool bPreview;    // the preview is the session afterwards
    GstState picture; // the preview pipeline's state; VOID_PENDING: no pipeline
};

class VideoInTest : public CapturePreviewTest, public ::testing::WithParamInterface<VideoInCase>
{};

TEST_P(VideoInTest, BuildsThePreviewOrLeavesTheSessionAlone)
{
    const VideoInCase& c = GetParam();
    SetTestDevices(c.devices);
    CUserDialogs::SetNextAnswer(QMessageBox::Ok); // the "no hardware" message, if it comes
    if (c.bFileBefore) {
        PlayClip();
    }
    const QString strTitle = Dlg().windowTitle();

    VideoIn(c.nAnswer);

    EXPECT_EQ(g_bCaptureActive, c.bPreview);
    EXPECT_EQ(g_pCaptureBuilder != nullptr, c.bPreview);
    EXPECT_EQ(Dlg().windowTitle(), strTitle);
    if (c.bPreview) {
        // The file has ended: the preview owns the session, and it has no seeking.
        EXPECT_FALSE(g_bPlaying);
        EXPECT_FALSE(g_pMediaSeeking);
        EXPECT_TRUE(g_pMediaControl && g_pVideoWindow && g_pMediaEvent);
        EXPECT_TRUE(PlayEnabled());
        EXPECT_TRUE(WaitFor([&] { return PreviewState() == c.picture; })) << PreviewState();
        // Delete File has no file to delete while the preview shows: nothing is even asked.
        CUserDialogs::TakeAskedTexts();
        CUserDialogs::SetNextAnswer(QMessageBox::Cancel);
        Click(IDC_DELETE_FILE);
        EXPECT_EQ(CUserDialogs::TakeAskedTexts(), QStringList());
        EXPECT_TRUE(g_bCaptureActive);
    } else if (c.bFileBefore) {
        // Nothing changed: the file goes on playing.
        EXPECT_TRUE(g_bPlaying);
        ASSERT_TRUE(g_pMediaSeeking);
        const double dNow = Dlg().GetPositionSeconds();
        EXPECT_TRUE(WaitFor([&] { return Dlg().GetPositionSeconds() > dNow + 0.2; }));
    }
}

const TestDevice kCamera{"Camera"};

INSTANTIATE_TEST_SUITE_P(
    Cases, VideoInTest,
    ::testing::Values(
        VideoInCase{"LiveDeviceEndsTheFileAndRuns", {kCamera}, IDOK, true, true, GST_STATE_PLAYING},
        VideoInCase{
            "CancelLeavesThePlayingFile", {kCamera}, IDCANCEL, true, false, GST_STATE_VOID_PENDING},
        VideoInCase{"NoDeviceBuildsNothing", {}, IDOK, true, false, GST_STATE_VOID_PENDING},
        VideoInCase{"DeviceWithoutSourceLeavesThePlayingFile",
                    {{"Camera", true, TestSource::NoElement}},
                    IDOK,
                    true,
                    false,
                    GST_STATE_VOID_PENDING},
        // A device that cannot start gives a preview without a picture; Stop ends it.
        VideoInCase{"SourceThatFailsToStartGivesAnEmptyPreview",
                    {{"Camera", true, TestSource::FailsToStart}},
                    IDOK,
                    false,
                    true,
                    GST_STATE_VOID_PENDING}),
    [](const auto& info) { return std::string(info.param.name); });

enum class Ending
{
    Stop,
    OpenFile,
    Unplug,
    CloseWindow,
};

struct EndingCase
{
    const char* name;
    Ending ending;
    bool bFileAfter; // a file is the session afterwards
};

class PreviewEndTest : public CapturePreviewTest, public ::testing::WithParamInterface<EndingCase>
{};

TEST_P(PreviewEndTest, EndsThePreviewAndClosesTheDevice)
{
    const EndingCase& c = GetParam();
    SetTestDevices({kCamera});
    VideoIn();
    ASSERT_TRUE(WaitFor([] { return PreviewState() == GST_STATE_PLAYING; }));
    ASSERT_EQ(LiveTestSources(), 1);

    switch (c.ending) {
    case Ending::Stop:
        Click(IDC_STOP);
        break;
    case Ending::OpenFile:
        OpenWithOpenCommand(TestMediaPath(TestClip::Avi));
        break;
    case Ending::Unplug:
        // The graph's error event reaches the window as a posted message and is drained there.
        ASSERT_TRUE(UnplugTestDevice("Camera"));
        ASSERT_TRUE(WaitFor([] { return !g_bCaptureActive; }));
        break;
    case Ending::CloseWindow:
        TearDown();
        SetUp();
        break;
    }

    EXPECT_FALSE(g_bCaptureActive);
    EXPECT_FALSE(g_pCaptureBuilder);
    EXPECT_FALSE(g_pCaptureSource);
    EXPECT_EQ(g_pMediaSeeking != nullptr, c.bFileAfter);
    EXPECT_EQ(g_pMediaControl != nullptr, c.bFileAfter);
    EXPECT_EQ(LiveTestSources(), 0) << "the device is still open";
    // Whatever remains of the ended graph's events is gone with it: nothing reaches the window.
    QCoreApplication::processEvents();
    EXPECT_EQ(g_pMediaEvent != nullptr, c.bFileAfter);

    // A new "Video In" builds everything afresh.
    SetTestDevices({kCamera});
    VideoIn();
    EXPECT_TRUE(g_bCaptureActive);
    EXPECT_TRUE(WaitFor([] { return PreviewState() == GST_STATE_PLAYING; }));
    EXPECT_EQ(LiveTestSources(), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, PreviewEndTest,
                         ::testing::Values(EndingCase{"Stop", Ending::Stop, false},
                                           EndingCase{"OpeningAFile", Ending::OpenFile, true},
                                           EndingCase{"Unplugging", Ending::Unplug, false},
                                           EndingCase{"ClosingTheWindow", Ending::CloseWindow,
                                                      false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CapturePreviewTest, VideoInHasNoSizeYetTabReachesItAndSpaceOpensTheChooser)
{
    SetTestDevices({kCamera});
    QAbstractButton* videoIn = Button(IDC_VIDEO_IN);
    EXPECT_EQ(videoIn->size(), QSize(0, 0));
    Dlg().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Dlg()));
    Button(IDC_OPEN)->setFocus();
    const int nWidgets = static_cast<int>(Dlg().findChildren<QWidget*>().size());
    for (int i = 0; i < nWidgets && QApplication::focusWidget() != videoIn; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), videoIn);

    bool bShown = false;
    WhenChooserShows([&](CTavVideoSourceChooser& dlg) {
        bShown = true;
        ChooserButton(dlg, IDCANCEL)->click();
    });
    QTest::keyClick(videoIn, Qt::Key_Space);
    EXPECT_TRUE(bShown);
}

} // namespace
