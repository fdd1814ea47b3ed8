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
            if (pGraph) {
                {
                    const std::lock_guard lock(m_mutex);
                    m_pGraph = pGraph;
                    ShowVideoLocked();
                }
                hr = pGraph->RenderFile(m_strPath);
            }
        }
        outputs.join();
        const std::lock_guard lock(m_mutex);
        m_pGraph = std::move(pGraph);
        m_hr = hr;
    });
}

void CFirstFileRender::ShowVideoIn(OAHWND owner, long width, long height)
{
    const std::lock_guard lock(m_mutex);
    m_owner = owner;
    m_ownerSize = {width, height};
    ShowVideoLocked();
}

void CFirstFileRender::ShowVideoLocked()
{
    // Only while the graph is this object's own: once taken, the main window places its video.
    if (m_pGraph && m_owner != 0) {
        m_pGraph->ShowVideoAhead(m_owner, m_ownerSize.first, m_ownerSize.second);
    }
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
