#include "TestDeviceProvider.h"

#include <gst/gst.h>

#include <algorithm>
#include <map>
#include <mutex>

namespace {

struct VessaTestDevice
{
    GstDevice parent;
    TestSource source;
};

struct VessaTestDeviceClass
{
    GstDeviceClass parent_class;
};

struct VessaTestDeviceProvider
{
    GstDeviceProvider parent;
};

struct VessaTestDeviceProviderClass
{
    GstDeviceProviderClass parent_class;
};

std::mutex g_mutex;
std::vector<TestDevice> g_devices;
// The sources alive now, by device name; weak: they go with their pipelines.
std::multimap<std::string, GstElement*> g_sources;

void ForgetSource(gpointer data, GObject* source)
{
    std::lock_guard lock(g_mutex);
    std::erase_if(g_sources,
                  [source](const auto& entry) { return G_OBJECT(entry.second) == source; });
    (void)data;
}

GstElement* CreateElement(GstDevice* device, const gchar* name)
{
    GstElement* element = nullptr;
    switch (reinterpret_cast<VessaTestDevice*>(device)->source) {
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
    if (element != nullptr) {
        gchar* displayName = gst_device_get_display_name(device);
        std::lock_guard lock(g_mutex);
        g_sources.emplace(displayName != nullptr ? displayName : "", element);
        g_free(displayName);
        g_object_weak_ref(G_OBJECT(element), &ForgetSource, nullptr);
    }
    return element;
}

void DeviceClassInit(gpointer klass, gpointer /*data*/)
{
    static_cast<GstDeviceClass*>(klass)->create_element = &CreateElement;
}

GType DeviceType()
{
    static const GType type = g_type_register_static_simple(
        GST_TYPE_DEVICE, "VessaTestDevice", sizeof(VessaTestDeviceClass), &DeviceClassInit,
        sizeof(VessaTestDevice), nullptr, GTypeFlags{});
    return type;
}

GList* Probe(GstDeviceProvider* /*provider*/)
{
    std::vector<TestDevice> devices;
    {
        std::lock_guard lock(g_mutex);
        devices = g_devices;
    }
    GList* list = nullptr;
    for (const TestDevice& device : devices) {
        GstCaps* caps = gst_caps_new_empty_simple("video/x-raw");
        auto* made = static_cast<VessaTestDevice*>(g_object_new(
            DeviceType(), "display-name", device.bHasName ? device.strName.c_str() : nullptr,
            "device-class", "Video/Source", "caps", caps, nullptr));
        gst_caps_unref(caps);
        made->source = device.source;
        list = g_list_append(list, gst_object_ref_sink(made));
    }
    return list;
}

void ProviderClassInit(gpointer klass, gpointer /*data*/)
{
    auto* providerClass = static_cast<GstDeviceProviderClass*>(klass);
    providerClass->probe = &Probe;
    gst_device_provider_class_set_static_metadata(providerClass, "Vessa test devices",
                                                  "Video/Source", "Devices the tests ask for",
                                                  "Vessa Video Player tests");
}

GType ProviderType()
{
    static const GType type = g_type_register_static_simple(
        GST_TYPE_DEVICE_PROVIDER, "VessaTestDeviceProvider", sizeof(VessaTestDeviceProviderClass),
        &ProviderClassInit, sizeof(VessaTestDeviceProvider), nullptr, GTypeFlags{});
    return type;
}

constexpr char kProviderName[] = "vessatestdevices";

} // namespace

void RegisterTestDeviceProvider()
{
    static const bool registered = [] {
        gst_init(nullptr, nullptr);
        GList* factories = gst_device_provider_factory_list_get_device_providers(GST_RANK_NONE);
        for (GList* item = factories; item != nullptr; item = item->next) {
            auto* factory = GST_DEVICE_PROVIDER_FACTORY(item->data);
            const gchar* classes[] = {"Video", "Source", nullptr};
            if (gst_device_provider_factory_has_classesv(factory, const_cast<gchar**>(classes))) {
                gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(factory), GST_RANK_NONE);
            }
        }
        gst_plugin_feature_list_free(factories);
        return gst_device_provider_register(nullptr, kProviderName, GST_RANK_PRIMARY,
                                            ProviderType()) != FALSE;
    }();
    (void)registered;
}

void SetTestDevices(const std::vector<TestDevice>& devices)
{
    std::lock_guard lock(g_mutex);
    g_devices = devices;
}

bool UnplugTestDevice(const std::string& strName)
{
    GstElement* source = nullptr;
    {
        std::lock_guard lock(g_mutex);
        std::erase_if(g_devices, [&](const TestDevice& d) { return d.strName == strName; });
        const auto found = g_sources.find(strName);
        if (found != g_sources.end()) {
            source = GST_ELEMENT(gst_object_ref(found->second));
        }
    }
    if (source == nullptr) {
        return false;
    }
    GError* error = g_error_new_literal(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_READ,
                                        "Could not read from resource.");
    gst_element_post_message(
        source, gst_message_new_error(GST_OBJECT(source), error, "the device has gone away"));
    g_error_free(error);
    gst_object_unref(source);
    return true;
}

int LiveTestSources()
{
    std::lock_guard lock(g_mutex);
    return static_cast<int>(g_sources.size());
}
