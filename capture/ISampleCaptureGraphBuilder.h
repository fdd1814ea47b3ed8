#pragma once

#include "capture/ICaptureGraphBuilder2.h"

#include <memory>

// The object the capture preview builds its graph through. It owns one media-layer capture
// builder and offers the same nine operations, each passing its arguments unchanged to that
// builder and returning the builder's result. All on the UI thread.
class ISampleCaptureGraphBuilder
{
public:
    ISampleCaptureGraphBuilder();
    virtual ~ISampleCaptureGraphBuilder();
    ISampleCaptureGraphBuilder(const ISampleCaptureGraphBuilder&) = delete;
    ISampleCaptureGraphBuilder& operator=(const ISampleCaptureGraphBuilder&) = delete;

    // False when the media layer's builder could not be created: such an object must not be
    // used (every operation then answers E_UNEXPECTED).
    bool HasBuilder() const { return m_pBuilder2 != nullptr; }

    virtual HRESULT AllocCapFile(const QString& strFile, std::uint64_t dwlSize);
    virtual HRESULT ControlStream(const GUID* pCategory, const GUID* pType, IBaseFilter* pFilter,
                                  REFERENCE_TIME* pStart, REFERENCE_TIME* pStop,
                                  std::uint16_t wStartCookie, std::uint16_t wStopCookie);
    virtual HRESULT CopyCaptureFile(const QString& strOld, const QString& strNew,
                                    int fAllowEscAbort, IAMCopyCaptureFileProgress* pCallback);
    virtual HRESULT FindInterface(const GUID* pCategory, const GUID* pType, IBaseFilter* pFilter,
                                  const GUID& riid, void** ppInterface);
    virtual HRESULT FindPin(IBaseFilter* pSource, PIN_DIRECTION direction, const GUID* pCategory,
                            const GUID* pType, bool bUnconnected, int nIndex, IPin** ppPin);
    virtual HRESULT GetFiltergraph(std::shared_ptr<IGraphBuilder>* ppGraph);
    virtual HRESULT RenderStream(const GUID* pCategory, const GUID* pType, IBaseFilter* pSource,
                                 IBaseFilter* pCompressor, IBaseFilter* pRenderer);
    virtual HRESULT SetFiltergraph(std::shared_ptr<IGraphBuilder> pGraph);
    virtual HRESULT SetOutputFileName(const GUID* pType, const QString& strFile,
                                      IBaseFilter** ppFilter, IFileSinkFilter** ppSink);

private:
    std::unique_ptr<ICaptureGraphBuilder2> m_pBuilder2;
};
