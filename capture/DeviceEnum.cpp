#include "capture/DeviceEnum.h"

#include "playback/BaseFilter.h"
#include "playback/MediaFramework.h"

namespace {

// The device class of video capture sources in GStreamer's device providers.
constexpr char kVideoSourceClass[] = "Video/Source";
const QString kFriendlyName = QStringLiteral("FriendlyName");

using GstDeviceMonitorHandle = std::unique_ptr<GstDeviceMonitor, GstObjectUnref>;

} // namespace

HRESULT IPropertyBag::Read(const QString& strProperty, QString* pValue) const
{
    if (pValue == nullptr) {
        return E_POINTER;
    }
    if (strProperty != kFriendlyName) {
        return E_INVALIDARG;
    }
    const GCharHandle name(gst_device_get_display_name(m_device.get()));
    if (name == nullptr || *name == '\0') {
        return E_INVALIDARG;
    }
    *pValue = QString::fromUtf8(name.get());
    return S_OK;
}

HRESULT IMoniker::BindToStorage(std::shared_ptr<IPropertyBag>* ppBag) const
{
    if (ppBag == nullptr) {
        return E_POINTER;
    }
    *ppBag = std::make_shared<IPropertyBag>(RefObject(m_device.get()));
    return S_OK;
}

HRESULT IMoniker::BindToObject(std::shared_ptr<IBaseFilter>* ppFilter) const
{
    if (ppFilter == nullptr) {
        return E_POINTER;
    }
    ppFilter->reset();
    GstElementHandle element = AdoptElement(gst_device_create_element(m_device.get(), nullptr));
    if (element == nullptr) {
        return E_FAIL;
    }
    *ppFilter = std::make_shared<IBaseFilter>(std::move(element));
    return S_OK;
}

IEnumMoniker::IEnumMoniker(std::vector<std::shared_ptr<IMoniker>> monikers)
    : m_monikers(std::move(monikers))
{}

HRESULT IEnumMoniker::Reset()
{
    m_nNext = 0;
    return S_OK;
}

HRESULT IEnumMoniker::Next(std::shared_ptr<IMoniker>* ppMoniker)
{
    if (ppMoniker == nullptr) {
        return E_POINTER;
    }
    if (m_nNext >= m_monikers.size()) {
        ppMoniker->reset();
        return S_FALSE;
    }
    *ppMoniker = m_monikers[m_nNext++];
    return S_OK;
}

std::shared_ptr<ICreateDevEnum> ICreateDevEnum::Create()
{
    if (!MediaFrameworkStartup()) {
        return nullptr;
    }
    return std::shared_ptr<ICreateDevEnum>(new ICreateDevEnum());
}

HRESULT ICreateDevEnum::CreateClassEnumerator(const GUID& category,
                                              std::shared_ptr<IEnumMoniker>* ppEnum,
                                              std::uint32_t /*dwFlags*/) const
{
    if (ppEnum == nullptr) {
        return E_POINTER;
    }
    ppEnum->reset();
    if (category != CLSID_VideoInputDeviceCategory) {
        return E_INVALIDARG;
    }
    // Not started, the monitor asks each provider for the devices it sees now and watches
    // nothing: one snapshot, as a chooser shows it.
    const GstDeviceMonitorHandle monitor(gst_device_monitor_new());
    gst_device_monitor_add_filter(monitor.get(), kVideoSourceClass, nullptr);
    std::vector<std::shared_ptr<IMoniker>> monikers;
    GList* devices = gst_device_monitor_get_devices(monitor.get());
    for (GList* item = devices; item != nullptr; item = item->next) {
        // The list's reference passes to the moniker.
        monikers.push_back(std::make_shared<IMoniker>(GstDeviceHandle(GST_DEVICE(item->data))));
    }
    g_list_free(devices);
    if (monikers.empty()) {
        return S_FALSE;
    }
    *ppEnum = std::make_shared<IEnumMoniker>(std::move(monikers));
    return S_OK;
}
