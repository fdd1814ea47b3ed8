#include "playback/RenderAbort.h"

#include "playback/BusWatch.h"

void CRenderAbort::Abort()
{
    // The watch's own lock is always taken inside this one, never the other way round.
    std::lock_guard lock(m_mutex);
    m_bAborted = true;
    if (m_watch != nullptr) {
        m_watch->Abort();
    }
}

bool CRenderAbort::IsAborted() const
{
    std::lock_guard lock(m_mutex);
    return m_bAborted;
}

bool CRenderAbort::Attach(std::shared_ptr<CBusWatch> watch)
{
    std::lock_guard lock(m_mutex);
    if (m_bAborted) {
        return false;
    }
    m_watch = std::move(watch);
    return true;
}

void CRenderAbort::Detach()
{
    std::lock_guard lock(m_mutex);
    m_watch.reset();
}
