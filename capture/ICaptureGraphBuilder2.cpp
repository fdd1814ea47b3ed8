#include "capture/ICaptureGraphBuilder2.h"

#include "playback/BaseFilter.h"
#include "playback/GraphCore.h"
#include "playback/MediaFramework.h"
#include "playback/SinkFactory.h"

namespace {

// The category and media type a capture source's picture answers to; null asks for any.
bool IsVideoOutput(const GUID* pCategory, const GUID* pType)
{
    const bool category = pCategory == nullptr || *pCategory == PIN_CATEGORY_PREVIEW ||
                          *pCategory == PIN_CATEGORY_CAPTURE;
    const bool type = pType == nullptr || *pType == MEDIATYPE_Video;
    return category && type;
}

GstElementHandle MakeElement(const char* factory)
{
    return AdoptElement(gst_element_factory_make(factory, nullptr));
}

} // namespace

std::unique_ptr<ICaptureGraphBuilder2> ICaptureGraphBuilder2::Create()
{
    if (!MediaFrameworkStartup()) {
        return nullptr;
    }
    return std::unique_ptr<ICaptureGraphBuilder2>(new ICaptureGraphBuilder2());
}

HRESULT ICaptureGraphBuilder2::AllocCapFile(const QString& /*strFile*/, std::uint64_t /*dwlSize*/)
{
    return E_NOTIMPL;
}

HRESULT ICaptureGraphBuilder2::ControlStream(const GUID* /*pCategory*/, const GUID* /*pType*/,
                                             IBaseFilter* /*pFilter*/, REFERENCE_TIME* /*pStart*/,
                                             REFERENCE_TIME* /*pStop*/,
                                             std::uint16_t /*wStartCookie*/,
                                             std::uint16_t /*wStopCookie*/)
{
    return E_NOTIMPL;
}

HRESULT ICaptureGraphBuilder2::CopyCaptureFile(const QString& /*strOld*/, const QString& /*strNew*/,
                                               int /*fAllowEscAbort*/,
                                               IAMCopyCaptureFileProgress* /*pCallback*/)
{
    return E_NOTIMPL;
}

HRESULT ICaptureGraphBuilder2::FindInterface(const GUID* /*pCategory*/, const GUID* /*pType*/,
                                             IBaseFilter* /*pFilter*/, const GUID& /*riid*/,
                                             void** ppInterface)
{
    if (ppInterface != nullptr) {
        *ppInterface = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT ICaptureGraphBuilder2::FindPin(IBaseFilter* /*pSource*/, PIN_DIRECTION /*direction*/,
                                       const GUID* /*pCategory*/, const GUID* /*pType*/,
                                       bool /*bUnconnected*/, int /*nIndex*/, IPin** ppPin)
{
    if (ppPin != nullptr) {
        *ppPin = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT ICaptureGraphBuilder2::GetFiltergraph(std::shared_ptr<IGraphBuilder>* ppGraph)
{
    if (ppGraph == nullptr) {
        return E_POINTER;
    }
    *ppGraph = m_pGraph;
    return m_pGraph != nullptr ? S_OK : E_UNEXPECTED;
}

HRESULT ICaptureGraphBuilder2::RenderStream(const GUID* pCategory, const GUID* pType,
                                            IBaseFilter* pSource, IBaseFilter* pCompressor,
                                            IBaseFilter* pRenderer)
{
    if (m_pGraph == nullptr) {
        return E_UNEXPECTED;
    }
    if (pSource == nullptr) {
        return E_POINTER;
    }
    if (pCompressor != nullptr || pRenderer != nullptr) {
        return E_NOTIMPL; // the graph always chooses its own sink
    }
    if (!IsVideoOutput(pCategory, pType) || !m_pGraph->HoldsFilter(pSource)) {
        return E_INVALIDARG;
    }
    if (m_pGraph->Core()->IsRendered() || GST_OBJECT_PARENT(pSource->Element()) != nullptr) {
        return E_UNEXPECTED;
    }

    GstElementHandle pipeline = AdoptElement(gst_pipeline_new("capture-preview"));
    // Converts and scales: the plain X sink asks for the window's size and never scales itself.
    GstElementHandle convert = MakeElement("videoconvertscale");
    GstElementHandle sink = CreateVideoSink();
    if (pipeline == nullptr || convert == nullptr || sink == nullptr) {
        return E_FAIL;
    }
    GstBin* bin = GST_BIN(pipeline.get());
    for (GstElement* element : {pSource->Element(), convert.get(), sink.get()}) {
        if (!gst_bin_add(bin, element)) {
            return E_FAIL; // the pipeline goes, and gives the source back
        }
    }
    if (!gst_element_link_many(pSource->Element(), convert.get(), sink.get(), nullptr)) {
        return E_FAIL;
    }
    return m_pGraph->Core()->RenderPipeline(std::move(pipeline), true, false);
}

HRESULT ICaptureGraphBuilder2::SetFiltergraph(std::shared_ptr<IGraphBuilder> pGraph)
{
    if (pGraph == nullptr) {
        return E_POINTER;
    }
    if (m_pGraph != nullptr) {
        return E_UNEXPECTED;
    }
    m_pGraph = std::move(pGraph);
    return S_OK;
}

HRESULT ICaptureGraphBuilder2::SetOutputFileName(const GUID* /*pType*/, const QString& /*strFile*/,
                                                 IBaseFilter** ppFilter, IFileSinkFilter** ppSink)
{
    if (ppFilter != nullptr) {
        *ppFilter = nullptr;
    }
    if (ppSink != nullptr) {
        *ppSink = nullptr;
    }
    return E_NOTIMPL;
}
