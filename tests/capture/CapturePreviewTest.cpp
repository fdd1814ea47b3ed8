// "Video In" in the main window on the tests' own devices: what the command builds or leaves
// alone, and every way a preview ends. Sinks are clocked null sinks (the test environment's).

#include "ChooserAnswer.h"
#include "TestDeviceProvider.h"
#include "app/MainWindowFixture.h"
#include "capture/ISampleCaptureGraphBuilder.h"
#include "playback/GraphCore.h"

namespace {

const TestDevice kCamera{"Camera"};

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
};

TEST_F(CapturePreviewTest, AStartedPreviewEndsThePlayingFileAndAnyOtherAnswerLeavesItPlaying)
{
    const struct
    {
        const char* name;
        std::vector<TestDevice> devices;
        int nAnswer;
        bool bFileBefore;
        bool bPreview;
        GstState picture; // the preview's pipeline; VOID_PENDING: none
        QStringList asked;
    } cases[] = {
        {"live device", {kCamera}, IDOK, true, true, GST_STATE_PLAYING, {}},
        {"device that fails to start: a preview without a picture",
         {{"Camera", TestSource::FailsToStart}},
         IDOK,
         false,
         true,
         GST_STATE_VOID_PENDING,
         {}},
        {"cancel", {kCamera}, IDCANCEL, true, false, GST_STATE_VOID_PENDING, {}},
        {"device without a source", {{"Camera", TestSource::NoElement}}, IDOK, true, false, {}, {}},
        {"no device: said so, and OK hands nothing over",
         {},
         IDOK,
         true,
         false,
         GST_STATE_VOID_PENDING,
         {QStringLiteral("Vessa Video Player: Sorry, you have no video capture hardware.\n\n"
                         "Video capture will not function properly.")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        SetTestDevices(c.devices);
        if (c.bFileBefore) {
            OpenWithOpenCommand(TestMediaPath(TestClip::Avi));
            Click(IDC_PLAY);
        }
        const QString strTitle = Dlg().windowTitle();
        CUserDialogs::SetNextAnswer(QMessageBox::Ok);
        VideoIn(c.nAnswer);
        EXPECT_EQ(CUserDialogs::TakeAskedTexts(), c.asked);
        CUserDialogs::Reset();

        EXPECT_EQ(g_bCaptureActive, c.bPreview);
        EXPECT_EQ(g_pCaptureBuilder != nullptr, c.bPreview);
        EXPECT_EQ(Dlg().windowTitle(), strTitle);
        if (c.bPreview) {
            // The preview owns the session, and has no seeking.
            EXPECT_FALSE(g_bPlaying);
            EXPECT_FALSE(g_pMediaSeeking);
            EXPECT_TRUE(g_pMediaControl && g_pVideoWindow && g_pMediaEvent);
            const auto* play = Control<CTavButtonCtrl>(IDC_PLAY);
            EXPECT_TRUE(play->isEnabled() && play->EnabledFlag());
            EXPECT_TRUE(WaitFor([&] { return PreviewState() == c.picture; })) << PreviewState();
            // Delete File has no file to delete while the preview shows: nothing is even asked.
            CUserDialogs::SetNextAnswer(QMessageBox::Cancel);
            Click(IDC_DELETE_FILE);
            EXPECT_EQ(CUserDialogs::TakeAskedTexts(), QStringList());
            EXPECT_TRUE(g_bCaptureActive);
        } else {
            ASSERT_TRUE(g_bPlaying && g_pMediaSeeking);
            const double dNow = Dlg().GetPositionSeconds();
            EXPECT_TRUE(WaitFor([&] { return Dlg().GetPositionSeconds() > dNow + 0.2; }));
        }
    }
}

// Each ending closes the device, and what the ended graph still had to say reaches nobody; the
// next Video In (the next round) builds everything afresh.
TEST_F(CapturePreviewTest, StopAFileUnpluggingOrClosingTheWindowEndThePreview)
{
    const struct
    {
        const char* name;
        std::function<void()> end;
        bool bFileAfter;
    } endings[] = {
        {"Stop", [this] { Click(IDC_STOP); }, false},
        {"opening a file", [this] { OpenWithOpenCommand(TestMediaPath(TestClip::Avi)); }, true},
        // The graph's error event reaches the window as a posted message and is drained there.
        {"unplugging",
         [] {
             ASSERT_TRUE(UnplugTestDevices());
             ASSERT_TRUE(WaitFor([] { return !g_bCaptureActive; }));
         },
         false},
        {"closing the window",
         [this] {
             TearDown();
             SetUp();
         },
         false},
    };
    for (const auto& c : endings) {
        SCOPED_TRACE(c.name);
        SetTestDevices({kCamera});
        VideoIn();
        ASSERT_TRUE(WaitFor([] { return PreviewState() == GST_STATE_PLAYING; }));
        ASSERT_EQ(LiveTestSources(), 1);

        c.end();
        EXPECT_FALSE(g_bCaptureActive || g_pCaptureBuilder || g_pCaptureSource);
        EXPECT_EQ(g_pMediaControl && g_pMediaSeeking, c.bFileAfter);
        EXPECT_EQ(LiveTestSources(), 0) << "the device is still open";
        QCoreApplication::processEvents();
        EXPECT_EQ(g_pMediaEvent != nullptr, c.bFileAfter);
    }
}

TEST_F(CapturePreviewTest, TabReachesTheSizelessVideoInAndSpaceOpensTheChooser)
{
    SetTestDevices({kCamera});
    QAbstractButton* videoIn = Button(IDC_VIDEO_IN);
    EXPECT_EQ(videoIn->size(), QSize(0, 0));
    Dlg().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Dlg()));
    Button(IDC_OPEN)->setFocus();
    for (int i = 0; i < 100 && QApplication::focusWidget() != videoIn; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), videoIn);
    bool bShown = false;
    WhenChooserShows([&](CTavVideoSourceChooser&) { bShown = true; });
    QTest::keyClick(videoIn, Qt::Key_Space);
    EXPECT_TRUE(bShown);
}

// Nothing can be found through the builder: it says so, and leaves no stale interface behind.
TEST(CaptureGraphBuilderTest, FindsNoInterfaceAndClearsTheAnswer)
{
    ISampleCaptureGraphBuilder builder;
    void* pFound = &builder;
    EXPECT_EQ(builder.FindInterface(nullptr, nullptr, nullptr, MEDIATYPE_Video, &pFound),
              E_NOTIMPL);
    EXPECT_EQ(pFound, nullptr);
}

} // namespace
