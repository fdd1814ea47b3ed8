// "Video In" in the main window on the tests' own devices: what the command builds or leaves
// alone, and every way a preview ends. Sinks are clocked null sinks (the test environment's).

#include "ChooserAnswer.h"
#include "MainWindowFixture.h"
#include "TestDeviceProvider.h"
#include "capture/ISampleCaptureGraphBuilder.h"
#include "playback/GraphCore.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

using Names = std::vector<std::string>;
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
        EXPECT_EQ(LiveTestSources(), Names{}) << "a device stays open after the window has gone";
    }
};

using Answer = std::function<void(CTavVideoSourceChooser&)>;
const Answer kOk = [](CTavVideoSourceChooser& dlg) { ChooserButton(dlg, IDOK)->click(); };

struct VideoInCase
{
    const char* name;
    std::vector<TestDevice> devices = {};
    Answer answer = kOk;
    const char* previewed = nullptr; // the device previewed afterwards; null: the file plays on
    GstState picture = GST_STATE_PLAYING; // the preview's pipeline; VOID_PENDING: none
    bool bFileBefore = true;
    QStringList asked = {};
};

TEST_F(CapturePreviewTest, TheChosenDevicesPreviewEndsThePlayingFileAnyOtherAnswerLeavesIt)
{
    const VideoInCase cases[] = {
        {.name = "the first of the named devices, sorted whatever their case",
         .devices = {{"Z Camera"}, {"b Camera"}, {""}, {"A Camera"}, {nullptr}},
         .answer =
             [](CTavVideoSourceChooser& dlg) {
                 auto* list = res::FindControl<QComboBox>(&dlg, IDC_DEVICE_LIST);
                 QStringList listed;
                 for (int i = 0; i < list->count(); ++i) {
                     listed.append(list->itemText(i));
                 }
                 EXPECT_EQ(listed.join(QLatin1Char('|')),
                           QStringLiteral("A Camera|b Camera|Z Camera"));
                 kOk(dlg);
             },
         .previewed = "A Camera"},
        {.name = "a listed name typed",
         .devices = {{"Z Camera"}, {"A Camera"}},
         .answer =
             [](CTavVideoSourceChooser& dlg) {
                 res::FindControl<QComboBox>(&dlg, IDC_DEVICE_LIST)
                     ->lineEdit()
                     ->setText(QStringLiteral("Z Camera"));
                 kOk(dlg);
             },
         .previewed = "Z Camera"},
        {.name = "a device that fails to start: a preview without a picture",
         .devices = {{"Camera", TestSource::FailsToStart}},
         .previewed = "Camera",
         .picture = GST_STATE_VOID_PENDING,
         .bFileBefore = false},
        {.name = "cancel",
         .devices = {kCamera},
         .answer = [](CTavVideoSourceChooser& dlg) { ChooserButton(dlg, IDCANCEL)->click(); }},
        {.name = "a device without a source", .devices = {{"Camera", TestSource::NoElement}}},
        {.name = "no device: said so, and OK hands nothing over",
         .asked = {QStringLiteral("Vessa Video Player: Sorry, you have no video capture "
                                  "hardware.\n\nVideo capture will not function properly.")}},
    };
    for (const VideoInCase& c : cases) {
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
        WhenChooserShows(c.answer);
        QTest::keyClick(Button(IDC_VIDEO_IN), Qt::Key_Space);
        EXPECT_EQ(CUserDialogs::TakeAskedTexts(), c.asked);
        CUserDialogs::Reset();

        EXPECT_EQ(LiveTestSources(), c.previewed != nullptr ? Names{c.previewed} : Names{});
        EXPECT_EQ(g_bCaptureActive, c.previewed != nullptr);
        EXPECT_EQ(g_pCaptureBuilder != nullptr, c.previewed != nullptr);
        EXPECT_EQ(Dlg().windowTitle(), strTitle);
        if (c.previewed != nullptr) {
            // The preview owns the session, and has no seeking.
            EXPECT_FALSE(g_bPlaying || g_pMediaSeeking);
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
        PressVideoIn(Button(IDC_VIDEO_IN));
        ASSERT_TRUE(WaitFor([] { return PreviewState() == GST_STATE_PLAYING; }));
        ASSERT_EQ(LiveTestSources(), Names{"Camera"});

        c.end();
        EXPECT_FALSE(g_bCaptureActive || g_pCaptureBuilder || g_pCaptureSource);
        EXPECT_EQ(g_pMediaControl && g_pMediaSeeking, c.bFileAfter);
        EXPECT_EQ(LiveTestSources(), Names{}) << "the device is still open";
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
