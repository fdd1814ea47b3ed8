#include "app/CFirstFileRender.h"

#include "playback/MediaFramework.h"
#include "playback/SinkFactory.h"

CFirstFileRender::~CFirstFileRender()
{
    Finish();
}

void CFirstFileRender::Start(const QString& strPath)
{
    m_strPath = strPath;
    m_thread = std::thread([this] {
        // The window system's side of the video output and the sound probe (which loads and asks
        // the sound server's library) are looked at beside GStreamer's start and the graph's
        // video side, instead of one after the other.
        std::thread outputs([] {
            ConnectVideoOutput();
            MediaFrameworkStartup();
            ProcessHasSoundOutput();
        });
        MediaFrameworkStartup();
        std::shared_ptr<IGraphBuilder> pGraph;
        HRESULT hr = E_FAIL;
        if (!m_strPath.isEmpty()) {
            pGraph = IGraphBuilder::Create();
            hr = pGraph ? pGraph->RenderFile(m_strPath) : E_FAIL;
        }
        outputs.join();
        const std::lock_guard lock(m_mutex);
        m_pGraph = std::move(pGraph);
        m_hr = hr;
    });
}

bool CFirstFileRender::Take(const QString& strPath, std::shared_ptr<IGraphBuilder>* ppGraph,
                            HRESULT* phr)
{
    if (m_bTaken || m_strPath.isEmpty()) {
        return false;
    }
    m_bTaken = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    const std::lock_guard lock(m_mutex);
    if (strPath != m_strPath) {
        // Another file came first: the guess was wrong, and its graph goes now.
        m_pGraph.reset();
        return false;
    }
    *ppGraph = std::move(m_pGraph);
    *phr = m_hr;
    return true;
}

void CFirstFileRender::Finish()
{
    if (m_thread.joinable()) {
        m_thread.join();
    }
    const std::lock_guard lock(m_mutex);
    m_pGraph.reset();
    m_bTaken = true;
}
