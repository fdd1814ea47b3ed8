#include "TestDeviceProvider.h"

#include <gst/gst.h>

#include <algorithm>
#include <mutex>

namespace {

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
    GstElement* element = nullptr;
    switch (reinterpret_cast<Device*>(device)->source) {
    case TestSource::Pattern:
        element = gst_element_factory_make("videotestsrc", name);
        g_object_set(element, "is-live", TRUE, nullptr);
        break;
    case TestSource::FailsToStart:
        element = gst_element_factory_make("v4l2src", name);
        g_object_set(element, "device", "/dev/vessa-no-such-camera", nullptr);
        break;
    case TestSource::NoElement:
        return nullptr;
    }
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

} // namespace

void RegisterTestDeviceProvider()
{
    static const bool registered = [] {
        gst_init(nullptr, nullptr);
        GList* factories = gst_device_provider_factory_list_get_device_providers(GST_RANK_NONE);
        for (GList* item = factories; item != nullptr; item = item->next) {
            const gchar* classes[] = {"Video", "Source", nullptr};
            if (gst_device_provider_factory_has_classesv(GST_DEVICE_PROVIDER_FACTORY(item->data),
                                                         const_cast<gchar**>(classes))) {
                gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(item->data), GST_RANK_NONE);
            }
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

void SetTestDevices(const std::vector<TestDevice>& devices)
{
    const std::lock_guard lock(g_mutex);
    g_devices = devices;
}

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

std::vector<std::string> LiveTestSources()
{
    const std::lock_guard lock(g_mutex);
    std::vector<std::string> names;
    for (const auto& source : g_sources) {
        names.push_back(source.second);
    }
    return names;
}
