#pragma once

#include "capture/CaptureTypes.h"
#include "common/Result.h"
#include "playback/GstHandle.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class IBaseFilter;

using GstDeviceHandle = std::unique_ptr<GstDevice, GstObjectUnref>;

// The capture devices of this machine, as the media framework's device providers list them
// (the video sources of GStreamer's device monitor). A moniker stands for one device: its
// properties can be read through its property bag, and it can be bound to a source element.

// The properties of one device. "FriendlyName" is the device's display name.
class IPropertyBag
{
public:
    explicit IPropertyBag(GstDeviceHandle device) : m_device(std::move(device)) {}

    // S_OK with the text; E_INVALIDARG for a property the device does not have (a device
    // without a display name, or with an empty one, has no "FriendlyName"); E_POINTER for a
    // null destination.
    HRESULT Read(const QString& strProperty, QString* pValue) const;

private:
    GstDeviceHandle m_device;
};

class IMoniker
{
public:
    explicit IMoniker(GstDeviceHandle device) : m_device(std::move(device)) {}

    HRESULT BindToStorage(std::shared_ptr<IPropertyBag>* ppBag) const;
    // A new source element of the device, as a filter that can be added to a graph. A failure
    // when the device can no longer make one (it has gone, its plugin is missing).
    HRESULT BindToObject(std::shared_ptr<IBaseFilter>* ppFilter) const;

private:
    GstDeviceHandle m_device;
};

// The devices of one category, in the order the providers listed them when it was made.
class IEnumMoniker
{
public:
    explicit IEnumMoniker(std::vector<std::shared_ptr<IMoniker>> monikers);
    HRESULT Reset();
    // S_OK with the next device; S_FALSE with null after the last.
    HRESULT Next(std::shared_ptr<IMoniker>* ppMoniker);

private:
    std::vector<std::shared_ptr<IMoniker>> m_monikers;
    std::size_t m_nNext = 0;
};

class ICreateDevEnum
{
public:
    // Null when the media framework cannot be started.
    static std::shared_ptr<ICreateDevEnum> Create();

    // Lists the devices of the category present now. S_OK with an enumerator when there is at
    // least one; S_FALSE and null when there is none; E_INVALIDARG for a category other than
    // video input.
    HRESULT CreateClassEnumerator(const GUID& category, std::shared_ptr<IEnumMoniker>* ppEnum,
                                  std::uint32_t dwFlags) const;

private:
    ICreateDevEnum() = default;
};
