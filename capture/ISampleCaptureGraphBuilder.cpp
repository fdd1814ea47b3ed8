#include "capture/ISampleCaptureGraphBuilder.h"

ISampleCaptureGraphBuilder::ISampleCaptureGraphBuilder()
    : m_pBuilder2(ICaptureGraphBuilder2::Create())
{}

ISampleCaptureGraphBuilder::~ISampleCaptureGraphBuilder() = default;

HRESULT ISampleCaptureGraphBuilder::AllocCapFile(const QString& strFile, std::uint64_t dwlSize)
{
    return m_pBuilder2 ? m_pBuilder2->AllocCapFile(strFile, dwlSize) : E_UNEXPECTED;
}

HRESULT ISampleCaptureGraphBuilder::ControlStream(const GUID* pCategory, const GUID* pType,
                                                  IBaseFilter* pFilter, REFERENCE_TIME* pStart,
                                                  REFERENCE_TIME* pStop, std::uint16_t wStartCookie,
                                                  std::uint16_t wStopCookie)
{
    return m_pBuilder2 ? m_pBuilder2->ControlStream(pCategory, pType, pFilter, pStart, pStop,
                                                    wStartCookie, wStopCookie)
                       : E_UNEXPECTED;
}

HRESULT ISampleCaptureGraphBuilder::CopyCaptureFile(const QString& strOld, const QString& strNew,
                                                    int fAllowEscAbort,
                                                    IAMCopyCaptureFileProgress* pCallback)
{
    return m_pBuilder2 ? m_pBuilder2->CopyCaptureFile(strOld, strNew, fAllowEscAbort, pCallback)
                       : E_UNEXPECTED;
}

HRESULT ISampleCaptureGraphBuilder::FindInterface(const GUID* pCategory, const GUID* pType,
                                                  IBaseFilter* pFilter, const GUID& riid,
                                                  void** ppInterface)
{
    return m_pBuilder2 ? m_pBuilder2->FindInterface(pCategory, pType, pFilter, riid, ppInterface)
                       : E_UNEXPECTED;
}

HRESULT ISampleCaptureGraphBuilder::FindPin(IBaseFilter* pSource, PIN_DIRECTION direction,
                                            const GUID* pCategory, const GUID* pType,
                                            bool bUnconnected, int nIndex, IPin** ppPin)
{
    return m_pBuilder2 ? m_pBuilder2->FindPin(pSource, direction, pCategory, pType, bUnconnected,
                                              nIndex, ppPin)
                       : E_UNEXPECTED;
}

HRESULT ISampleCaptureGraphBuilder::GetFiltergraph(std::shared_ptr<IGraphBuilder>* ppGraph)
{
    return m_pBuilder2 ? m_pBuilder2->GetFiltergraph(ppGraph) : E_UNEXPECTED;
}

HRESULT ISampleCaptureGraphBuilder::RenderStream(const GUID* pCategory, const GUID* pType,
                                                 IBaseFilter* pSource, IBaseFilter* pCompressor,
                                                 IBaseFilter* pRenderer)
{
    return m_pBuilder2
               ? m_pBuilder2->RenderStream(pCategory, pType, pSource, pCompressor, pRenderer)
               : E_UNEXPECTED;
}

HRESULT ISampleCaptureGraphBuilder::SetFiltergraph(std::shared_ptr<IGraphBuilder> pGraph)
{
    return m_pBuilder2 ? m_pBuilder2->SetFiltergraph(std::move(pGraph)) : E_UNEXPECTED;
}

HRESULT ISampleCaptureGraphBuilder::SetOutputFileName(const GUID* pType, const QString& strFile,
                                                      IBaseFilter** ppFilter,
                                                      IFileSinkFilter** ppSink)
{
    return m_pBuilder2 ? m_pBuilder2->SetOutputFileName(pType, strFile, ppFilter, ppSink)
                       : E_UNEXPECTED;
}
