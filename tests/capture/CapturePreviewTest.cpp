// "Video In" in the main window on devices of the test's own: what the command builds or leaves
// alone, and every way a preview ends. Sinks are clocked null sinks (the test environment's).
//
// The devices come from a GStreamer device provider registered in this process, which lists the
// devices the test asks for as video capture sources. Their source elements are GStreamer's own,
// so the real enumeration and preview code runs on them.

#include "MainWindowFixture.h"
#include "capture/CTavVideoSourceChooser.h"
#include "playback/GraphCore.h"
#include "resources/SourceChooserDialog.h"

#include <gst/gst.h>

#include <algorithm>
#include <mutex>

namespace {

using Names = std::vector<std::string>;

enum class TestSource
{
    Pattern,      // a live colour-bar pattern
    FailsToStart, // a camera source whose device node does not exist
    NoElement,    // the device cannot make a source element at all
};

struct TestDevice
{
    const char* name; // the display name; null: the device has none
    TestSource source = TestSource::Pattern;
};

struct Device
{
    GstDevice parent;
    TestSource source;
};

std::mutex g_mutex;
std::vector<TestDevice> g_devices;
// Alive now with their devices' names, newest last; weak: they go with their pipelines.
std::vector<std::pair<GstElement*, std::string>> g_sources;

GstElement* CreateElement(GstDevice* device, const gchar* name)
{
    const char* const kSources[] = {"videotestsrc is-live=true",
                                    "v4l2src device=/dev/vessa-no-such-camera", nullptr};
    const char* source = kSources[static_cast<int>(reinterpret_cast<Device*>(device)->source)];
    GstElement* element = source != nullptr ? gst_parse_launch(source, nullptr) : nullptr;
    if (element == nullptr) {
        return nullptr;
    }
    gst_object_set_name(GST_OBJECT(element), name);
    gchar* deviceName = gst_device_get_display_name(device);
    const std::lock_guard lock(g_mutex);
    g_sources.emplace_back(element, deviceName != nullptr ? deviceName : "");
    g_free(deviceName);
    g_object_weak_ref(
        G_OBJECT(element),
        [](gpointer, GObject* gone) {
            const std::lock_guard lock(g_mutex);
            std::erase_if(g_sources, [gone](const auto& s) { return G_OBJECT(s.first) == gone; });
        },
        nullptr);
    return element;
}

GList* Probe(GstDeviceProvider* /*provider*/)
{
    static const GType deviceType = g_type_register_static_simple(
        GST_TYPE_DEVICE, "VessaTestDevice", sizeof(GstDeviceClass),
        [](gpointer klass, gpointer) {
            static_cast<GstDeviceClass*>(klass)->create_element = &CreateElement;
        },
        sizeof(Device), nullptr, GTypeFlags{});
    const std::lock_guard lock(g_mutex);
    GList* list = nullptr;
    for (const TestDevice& device : g_devices) {
        GstCaps* caps = gst_caps_new_empty_simple("video/x-raw");
        auto* made = static_cast<Device*>(g_object_new(deviceType, "display-name", device.name,
                                                       "device-class", "Video/Source", "caps", caps,
                                                       nullptr));
        gst_caps_unref(caps);
        made->source = device.source;
        list = g_list_append(list, gst_object_ref_sink(made));
    }
    return list;
}

// Registers the provider once per process and takes every other provider of video sources out of
// the monitor's view, so a camera of the machine cannot mix into the test's lists.
void RegisterTestDeviceProvider()
{
    static const bool registered = [] {
        gst_init(nullptr, nullptr);
        GList* factories = gst_device_provider_factory_list_get_device_providers(GST_RANK_NONE);
        for (GList* item = factories; item != nullptr; item = item->next) {
            gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(item->data), GST_RANK_NONE);
        }
        gst_plugin_feature_list_free(factories);
        const GType providerType = g_type_register_static_simple(
            GST_TYPE_DEVICE_PROVIDER, "VessaTestDeviceProvider", sizeof(GstDeviceProviderClass),
            [](gpointer klass, gpointer) {
                auto* providerClass = static_cast<GstDeviceProviderClass*>(klass);
                providerClass->probe = &Probe;
                gst_device_provider_class_set_static_metadata(
                    providerClass, "Vessa test devices", "Video/Source",
                    "Devices the tests ask for", "Vessa Video Player tests");
            },
            sizeof(GstDeviceProvider), nullptr, GTypeFlags{});
        return gst_device_provider_register(nullptr, "vessatestdevices", GST_RANK_PRIMARY,
                                            providerType) != FALSE;
    }();
    (void)registered;
}

// The devices listed from now on, in this order.
void SetTestDevices(const std::vector<TestDevice>& devices)
{
    const std::lock_guard lock(g_mutex);
    g_devices = devices;
}

// The devices are unplugged: none is listed any more, and the newest source fails with a read
// error from its device, as a camera's source does when its cable is pulled. False when no source
// is alive.
bool UnplugTestDevices()
{
    GstElement* source = nullptr;
    {
        const std::lock_guard lock(g_mutex);
        g_devices.clear();
        if (g_sources.empty()) {
            return false;
        }
        source = GST_ELEMENT(gst_object_ref(g_sources.back().first));
    }
    GError* error = g_error_new_literal(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_READ,
                                        "Could not read from resource.");
    gst_element_post_message(
        source, gst_message_new_error(GST_OBJECT(source), error, "the device has gone away"));
    g_error_free(error);
    gst_object_unref(source);
    return true;
}

// The names of the devices whose sources exist now, oldest first (a preview's source goes with
// its graph).
Names LiveTestSources()
{
    const std::lock_guard lock(g_mutex);
    Names names;
    for (const auto& source : g_sources) {
        names.push_back(source.second);
    }
    return names;
}

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

// Presses Video In as a person can (the button has no size, so no mouse can reach it: Tab from
// Open to it, then Space) and, once the chooser shows, presses its button `nAnswer`. A chooser
// still open after that is cancelled, so a test never hangs on it.
void VideoIn(QWidget& window, int nAnswer)
{
    auto* poll = new QTimer();
    QObject::connect(poll, &QTimer::timeout, [nAnswer, poll] {
        auto* dlg = qobject_cast<CTavVideoSourceChooser*>(QApplication::activeModalWidget());
        if (dlg == nullptr || !dlg->isVisible()) {
            return;
        }
        poll->deleteLater();
        poll->stop();
        res::FindControl<QPushButton>(dlg, nAnswer)->click();
        if (dlg->isVisible()) {
            dlg->reject();
        }
    });
    poll->start(10);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    res::FindControl<QWidget>(&window, IDC_OPEN)->setFocus();
    QWidget* videoIn = res::FindControl<QWidget>(&window, IDC_VIDEO_IN);
    for (int i = 0; i < 100 && QApplication::focusWidget() != videoIn; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
}

// Each answer to Video In: the chosen device's preview ends the playing file and takes the
// session; any other answer leaves the file playing. Each ending of a preview closes the device,
// and what the ended graph still had to say reaches nobody; the next Video In builds everything
// afresh. The last preview ends with the window.
using CapturePreviewTest = MainWindowTest;

TEST_F(CapturePreviewTest, VideoInAnswersAndEveryEndingOfThePreview)
{
    RegisterTestDeviceProvider();
    const auto stop = [this] { Click(IDC_STOP); };
    const auto open = [this] { OpenWithOpenCommand(TestMediaPath(TestClip::Avi)); };
    // The graph's error event reaches the window as a posted message and is drained there.
    const auto unplug = [] {
        ASSERT_TRUE(UnplugTestDevices());
        ASSERT_TRUE(WaitFor([] { return !g_bCaptureActive; }));
    };
    const struct
    {
        const char* name;
        std::vector<TestDevice> devices;
        int nAnswer = IDOK;
        const char* previewed = nullptr; // the device previewed; null: the file plays on
        std::function<void()> end = nullptr;
        bool bFileAfter = false;
        GstState picture = GST_STATE_PLAYING; // the preview's pipeline; VOID_PENDING: none
    } cases[] = {
        // The first by name; devices without a name are not offered.
        {"Stop", {{"Z"}, {"b"}, {""}, {"A"}, {nullptr}}, IDOK, "A", stop},
        {"opening a file", {{"A"}}, IDOK, "A", open, true},
        {"unplugging", {{"A"}}, IDOK, "A", unplug},
        // A preview without a picture, which Stop ends as any other.
        {"fail", {{"A", TestSource::FailsToStart}}, IDOK, "A", stop, false, GST_STATE_VOID_PENDING},
        {"cancel", {{"A"}}, IDCANCEL},
        {"a device without a source", {{"A", TestSource::NoElement}}},
        {"no device: said so, and OK hands nothing over", {}},
        {"closing the window", {{"A"}}, IDOK, "A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetTestDevices(c.devices);
        open();
        Click(IDC_PLAY);
        CUserDialogs::SetNextAnswer(QMessageBox::Ok);
        VideoIn(Dlg(), c.nAnswer);
        EXPECT_EQ(CUserDialogs::TakeAskedTexts().join(QString()).contains("no video capture"),
                  c.devices.empty());
        EXPECT_EQ(LiveTestSources(), c.previewed != nullptr ? Names{c.previewed} : Names{});
        EXPECT_EQ(g_bCaptureActive, c.previewed != nullptr);
        if (c.previewed == nullptr) {
            ASSERT_TRUE(g_bPlaying && g_pMediaSeeking);
            const double dNow = Dlg().GetPositionSeconds();
            EXPECT_TRUE(WaitFor([&] { return Dlg().GetPositionSeconds() > dNow + 0.2; }));
            continue;
        }
        // The preview owns the session, and has no seeking.
        EXPECT_FALSE(g_bPlaying || g_pMediaSeeking);
        EXPECT_TRUE(g_pMediaControl && g_pVideoWindow && g_pMediaEvent);
        EXPECT_TRUE(Control<CTavButtonCtrl>(IDC_PLAY)->EnabledFlag());
        EXPECT_TRUE(WaitFor([&] { return PreviewState() == c.picture; })) << PreviewState();
        if (c.end) {
            c.end();
            EXPECT_FALSE(g_bCaptureActive || g_pCaptureBuilder || g_pCaptureSource);
            EXPECT_EQ(g_pMediaControl && g_pMediaSeeking, c.bFileAfter);
            EXPECT_EQ(LiveTestSources(), Names{}) << "the device is still open";
            QCoreApplication::processEvents();
            EXPECT_EQ(g_pMediaEvent != nullptr, c.bFileAfter);
        }
    }
    TearDown();
    SetTestDevices({});
    EXPECT_EQ(LiveTestSources(), Names{}) << "a device stays open after the window has gone";
}

} // namespace
