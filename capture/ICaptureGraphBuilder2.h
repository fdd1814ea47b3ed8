#pragma once

#include "capture/CaptureTypes.h"
#include "common/Result.h"
#include "common/TimeText.h"

#include <QString>

#include <cstdint>
#include <memory>

class IBaseFilter;
class IGraphBuilder;

// The media layer's capture graph builder: given a graph and a capture source in it, it connects
// the source's video to a video sink, so that the graph shows the device's live picture. It
// offers the nine operations of a capture graph builder; those that write capture files or look
// for pins are not implemented here and say so.
class ICaptureGraphBuilder2
{
public:
    // Null when the media framework cannot be started.
    static std::unique_ptr<ICaptureGraphBuilder2> Create();

    HRESULT AllocCapFile(const QString& strFile, std::uint64_t dwlSize);
    HRESULT ControlStream(const GUID* pCategory, const GUID* pType, IBaseFilter* pFilter,
                          REFERENCE_TIME* pStart, REFERENCE_TIME* pStop, std::uint16_t wStartCookie,
                          std::uint16_t wStopCookie);
    HRESULT CopyCaptureFile(const QString& strOld, const QString& strNew, int fAllowEscAbort,
                            IAMCopyCaptureFileProgress* pCallback);
    HRESULT FindInterface(const GUID* pCategory, const GUID* pType, IBaseFilter* pFilter,
                          const GUID& riid, void** ppInterface);
    HRESULT FindPin(IBaseFilter* pSource, PIN_DIRECTION direction, const GUID* pCategory,
                    const GUID* pType, bool bUnconnected, int nIndex, IPin** ppPin);
    // S_OK with the graph given to SetFiltergraph; E_UNEXPECTED before that.
    HRESULT GetFiltergraph(std::shared_ptr<IGraphBuilder>* ppGraph);
    // Connects the source's video (the preview or capture output, or either when the category
    // is null) to a video sink of the graph's own and brings the graph to its stopped state,
    // ready to run. The source must be in the graph; no compressor or renderer of the caller's
    // is taken. The graph's result when it cannot start the source. One stream per graph.
    HRESULT RenderStream(const GUID* pCategory, const GUID* pType, IBaseFilter* pSource,
                         IBaseFilter* pCompressor, IBaseFilter* pRenderer);
    // The graph to build in, once: a second graph is refused with E_UNEXPECTED.
    HRESULT SetFiltergraph(std::shared_ptr<IGraphBuilder> pGraph);
    HRESULT SetOutputFileName(const GUID* pType, const QString& strFile, IBaseFilter** ppFilter,
                              IFileSinkFilter** ppSink);

private:
    ICaptureGraphBuilder2() = default;

    std::shared_ptr<IGraphBuilder> m_pGraph;
};
