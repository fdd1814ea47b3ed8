#include "common/AutoResetEvent.h"

CAutoResetEvent::CAutoResetEvent(bool bInitiallySignalled) : m_bSignalled(bInitiallySignalled) {}

void CAutoResetEvent::Set()
{
    {
        std::lock_guard lock(m_mutex);
        m_bSignalled = true;
    }
    m_signalled.notify_one();
}

void CAutoResetEvent::Wait()
{
    std::unique_lock lock(m_mutex);
    m_signalled.wait(lock, [this] { return m_bSignalled; });
    m_bSignalled = false;
}

bool CAutoResetEvent::WaitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    if (!m_signalled.wait_for(lock, timeout, [this] { return m_bSignalled; })) {
        return false;
    }
    m_bSignalled = false;
    return true;
}
