#include "playback/GraphEvents.h"

#include <chrono>

void CGraphEvents::Push(const Event& event)
{
    std::lock_guard lock(m_mutex);
    if (m_bClosed) {
        return;
    }
    const bool wasEmpty = m_queue.empty();
    m_queue.push_back(event);
    m_arrived.notify_all();
    if (wasEmpty) {
        // Posting under the lock orders it against SetNotify and Close: once either has returned,
        // no message goes to the old target.
        PostLocked();
    }
}

void CGraphEvents::Close()
{
    std::lock_guard lock(m_mutex);
    m_bClosed = true;
    m_pTarget = nullptr;
    m_queue.clear();
    m_arrived.notify_all();
}

void CGraphEvents::SetNotify(QObject* target, std::uint32_t message, LParam instanceData)
{
    std::lock_guard lock(m_mutex);
    m_pTarget = target;
    m_nMessage = message;
    m_instanceData = instanceData;
    // Events that came before anyone listened would otherwise never be announced.
    if (!m_queue.empty()) {
        PostLocked();
    }
}

bool CGraphEvents::Pop(Event* event, long msTimeout)
{
    std::unique_lock lock(m_mutex);
    const auto ready = [this] { return !m_queue.empty() || m_bClosed; };
    if (msTimeout < 0) {
        m_arrived.wait(lock, ready);
    } else if (msTimeout > 0) {
        m_arrived.wait_for(lock, std::chrono::milliseconds(msTimeout), ready);
    }
    if (m_queue.empty()) {
        return false;
    }
    *event = m_queue.front();
    m_queue.pop_front();
    return true;
}

void CGraphEvents::PostLocked()
{
    if (m_pTarget != nullptr && !m_bClosed) {
        PostAppMessage(m_pTarget, m_nMessage, 0, m_instanceData);
    }
}
