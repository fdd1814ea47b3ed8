#include "playback/MediaFramework.h"

#include "playback/AvcodecDecoders.h"
#include "playback/BaseFilter.h"
#include "playback/DecoderRanks.h"
#include "playback/GraphCore.h"
#ifdef VESSA_HAVE_LIBMPEG2
#include "playback/Mpeg2Decoder.h"
#endif

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// GStreamer counts nanoseconds, the interfaces 100 ns units.
constexpr gint64 kNsPerUnit = 100;
constexpr long kMinVolume = -10000;
constexpr long kMaxVolume = 0;
constexpr std::uint32_t kPositioningMask = 0x3;

} // namespace

bool MediaFrameworkStartup()
{
    // Thread-safe once; gst_init_check itself may be called again, but the answer is kept.
    static const bool started = [] {
        GError* error = nullptr;
        const bool ok = gst_init_check(nullptr, nullptr, &error) != FALSE;
        const GErrorHandle errorHandle(error);
        if (ok) {
            PreferLeanDecoders();
#ifdef VESSA_HAVE_LIBMPEG2
            RegisterMpeg2Decoder();
#endif
#ifdef VESSA_HAVE_AVCODEC
            RegisterAvcodecDecoders();
#endif
        }
        return ok;
    }();
    return started;
}

IMediaControl::IMediaControl(std::shared_ptr<CGraphCore> core) : m_core(std::move(core)) {}

HRESULT IMediaControl::Run()
{
    return m_core->Run();
}

HRESULT IMediaControl::Stop()
{
    return m_core->Stop();
}

IMediaSeeking::IMediaSeeking(std::shared_ptr<CGraphCore> core) : m_core(std::move(core)) {}

HRESULT IMediaSeeking::GetDuration(REFERENCE_TIME* pDuration)
{
    if (pDuration == nullptr) {
        return E_POINTER;
    }
    gint64 ns = 0;
    const HRESULT hr = m_core->Duration(&ns);
    if (Succeeded(hr)) {
        *pDuration = ns / kNsPerUnit;
    }
    return hr;
}

HRESULT IMediaSeeking::GetCurrentPosition(REFERENCE_TIME* pCurrent)
{
    if (pCurrent == nullptr) {
        return E_POINTER;
    }
    gint64 ns = 0;
    const HRESULT hr = m_core->Position(&ns);
    if (Succeeded(hr)) {
        *pCurrent = ns / kNsPerUnit;
    }
    return hr;
}

HRESULT IMediaSeeking::SetPositions(REFERENCE_TIME* pCurrent, std::uint32_t dwCurrentFlags,
                                    REFERENCE_TIME* /*pStop*/, std::uint32_t dwStopFlags)
{
    if ((dwStopFlags & kPositioningMask) != AM_SEEKING_NoPositioning) {
        return E_NOTIMPL; // playing up to a stop position is not offered
    }
    const std::uint32_t positioning = dwCurrentFlags & kPositioningMask;
    if (pCurrent == nullptr || positioning == AM_SEEKING_NoPositioning) {
        return S_OK;
    }
    if (positioning != AM_SEEKING_AbsolutePositioning) {
        return E_NOTIMPL;
    }
    constexpr REFERENCE_TIME kLimit = std::numeric_limits<gint64>::max() / kNsPerUnit;
    return m_core->Seek(std::clamp<REFERENCE_TIME>(*pCurrent, 0, kLimit) * kNsPerUnit);
}

IBasicAudio::IBasicAudio(std::shared_ptr<CGraphCore> core) : m_core(std::move(core)) {}

HRESULT IBasicAudio::put_Volume(long lVolume)
{
    const long clamped = std::clamp(lVolume, kMinVolume, kMaxVolume);
    return m_core->SetVolumeDb(static_cast<double>(clamped) / 100.0);
}

HRESULT IBasicAudio::get_Volume(long* plVolume)
{
    if (plVolume == nullptr) {
        return E_POINTER;
    }
    double db = 0.0;
    const HRESULT hr = m_core->VolumeDb(&db);
    if (Succeeded(hr)) {
        // Silence is minus infinity decibels.
        const double hundredths = std::isfinite(db) ? std::round(db * 100.0) : kMinVolume;
        *plVolume = static_cast<long>(std::clamp<double>(hundredths, kMinVolume, kMaxVolume));
    }
    return hr;
}

IVideoWindow::IVideoWindow(std::shared_ptr<CGraphCore> core) : m_core(std::move(core)) {}

HRESULT IVideoWindow::put_Owner(OAHWND owner)
{
    m_core->Video().SetOwner(owner);
    return S_OK;
}

HRESULT IVideoWindow::get_Owner(OAHWND* pOwner)
{
    if (pOwner == nullptr) {
        return E_POINTER;
    }
    *pOwner = m_core->Video().Owner();
    return S_OK;
}

HRESULT IVideoWindow::put_WindowStyle(long /*style*/)
{
    // The picture is always a child of its owner that draws nothing outside its rectangle.
    return S_OK;
}

HRESULT IVideoWindow::SetWindowPosition(long left, long top, long width, long height)
{
    m_core->Video().SetRect({left, top, width, height});
    return S_OK;
}

HRESULT IVideoWindow::GetWindowPosition(long* pLeft, long* pTop, long* pWidth, long* pHeight)
{
    if (pLeft == nullptr || pTop == nullptr || pWidth == nullptr || pHeight == nullptr) {
        return E_POINTER;
    }
    const CVideoOverlay::Rect rect = m_core->Video().GetRect();
    *pLeft = rect.left;
    *pTop = rect.top;
    *pWidth = rect.width;
    *pHeight = rect.height;
    return S_OK;
}

HRESULT IVideoWindow::put_MessageDrain(OAHWND /*drain*/)
{
    // The sink never takes input, so mouse and keys on the picture already reach the owner.
    return S_OK;
}

HRESULT IVideoWindow::put_Visible(long visible)
{
    m_core->Video().SetVisible(visible != OAFALSE);
    return S_OK;
}

HRESULT IVideoWindow::get_Visible(long* pVisible)
{
    if (pVisible == nullptr) {
        return E_POINTER;
    }
    *pVisible = m_core->Video().Visible() ? OATRUE : OAFALSE;
    return S_OK;
}

IMediaEventEx::IMediaEventEx(std::shared_ptr<CGraphCore> core) : m_core(std::move(core)) {}

HRESULT IMediaEventEx::SetNotifyWindow(QObject* target, std::uint32_t message, LParam instanceData)
{
    m_core->Events().SetNotify(target, message, instanceData);
    return S_OK;
}

HRESULT IMediaEventEx::GetEvent(long* plEventCode, LParam* plParam1, LParam* plParam2,
                                long msTimeout)
{
    if (plEventCode == nullptr || plParam1 == nullptr || plParam2 == nullptr) {
        return E_POINTER;
    }
    CGraphEvents::Event event;
    if (!m_core->Events().Pop(&event, msTimeout)) {
        return E_ABORT;
    }
    *plEventCode = event.code;
    *plParam1 = event.param1;
    *plParam2 = event.param2;
    return S_OK;
}

HRESULT IMediaEventEx::FreeEventParams(long /*lEventCode*/, LParam /*lParam1*/, LParam /*lParam2*/)
{
    return S_OK; // the parameters are plain numbers
}

IGraphBuilder::IGraphBuilder(std::shared_ptr<CGraphCore> core) : m_core(std::move(core)) {}

std::shared_ptr<IGraphBuilder> IGraphBuilder::Create()
{
    if (!MediaFrameworkStartup()) {
        return nullptr;
    }
    return std::shared_ptr<IGraphBuilder>(new IGraphBuilder(std::make_shared<CGraphCore>()));
}

HRESULT IGraphBuilder::RenderFile(const QString& path)
{
    return m_core->RenderFile(path);
}

HRESULT IGraphBuilder::AddFilter(const std::shared_ptr<IBaseFilter>& pFilter, const QString& name)
{
    if (pFilter == nullptr || pFilter->Element() == nullptr) {
        return E_POINTER;
    }
    if (m_core->IsRendered() || pFilter->IsInGraph() ||
        GST_OBJECT_PARENT(pFilter->Element()) != nullptr) {
        return E_UNEXPECTED;
    }
    // The element's own name shows in the pipeline's messages; an empty one gets a unique default.
    const QByteArray utf8 = name.toUtf8();
    gst_object_set_name(GST_OBJECT(pFilter->Element()),
                        utf8.isEmpty() ? nullptr : utf8.constData());
    pFilter->AddedAs(name);
    m_filters.push_back(pFilter);
    return S_OK;
}

bool IGraphBuilder::HoldsFilter(const IBaseFilter* pFilter) const
{
    return std::any_of(m_filters.begin(), m_filters.end(),
                       [pFilter](const auto& held) { return held.get() == pFilter; });
}

void IGraphBuilder::ShowVideoAhead(OAHWND owner, long width, long height)
{
    CVideoOverlay& video = m_core->Video();
    video.SetOwner(owner);
    video.SetRect({0, 0, width, height});
    video.SetVisible(true);
}

bool IGraphBuilder::IsBeingBuilt() const
{
    return !m_core->IsRendered() && !m_filters.empty();
}

std::shared_ptr<IMediaControl> IGraphBuilder::QueryMediaControl() const
{
    return m_core->IsRendered() || IsBeingBuilt() ? std::make_shared<IMediaControl>(m_core)
                                                  : nullptr;
}

std::shared_ptr<IMediaSeeking> IGraphBuilder::QueryMediaSeeking() const
{
    return m_core->IsRendered() ? std::make_shared<IMediaSeeking>(m_core) : nullptr;
}

std::shared_ptr<IBasicAudio> IGraphBuilder::QueryBasicAudio() const
{
    return m_core->HasAudio() || IsBeingBuilt() ? std::make_shared<IBasicAudio>(m_core) : nullptr;
}

std::shared_ptr<IVideoWindow> IGraphBuilder::QueryVideoWindow() const
{
    return m_core->HasVideo() || IsBeingBuilt() ? std::make_shared<IVideoWindow>(m_core) : nullptr;
}

std::shared_ptr<IMediaEventEx> IGraphBuilder::QueryMediaEventEx() const
{
    return m_core->IsRendered() || IsBeingBuilt() ? std::make_shared<IMediaEventEx>(m_core)
                                                  : nullptr;
}
