#pragma once

#include <QtGlobal>

// Identifiers of the capture layer: which output of a source (the pin category) and what it
// carries (the media type). Operations take them by pointer; null means "any".
struct GUID
{
    int nValue;
    friend constexpr bool operator==(const GUID&, const GUID&) = default;
};

inline constexpr GUID PIN_CATEGORY_CAPTURE{1};
inline constexpr GUID PIN_CATEGORY_PREVIEW{2};
inline constexpr GUID MEDIATYPE_Video{3};
inline constexpr GUID MEDIATYPE_Audio{4};
inline constexpr GUID MEDIATYPE_Interleaved{5};

// The device category of video capture sources.
inline constexpr GUID CLSID_VideoInputDeviceCategory{6};

enum PIN_DIRECTION
{
    PINDIR_INPUT = 0,
    PINDIR_OUTPUT = 1,
};

// Objects that operations this layer does not implement would hand out; never defined.
class IPin;
class IFileSinkFilter;
class IAMCopyCaptureFileProgress;
