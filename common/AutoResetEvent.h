#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// An event that releases one waiter per signal and then resets itself. Signalling it while it is
// already signalled changes nothing, so two signals before a wait wake the waiter once.
class CAutoResetEvent
{
public:
    explicit CAutoResetEvent(bool bInitiallySignalled = false);
    CAutoResetEvent(const CAutoResetEvent&) = delete;
    CAutoResetEvent& operator=(const CAutoResetEvent&) = delete;

    void Set();
    void Wait();
    // True when the event was signalled within the time-out (and has been reset by this wait).
    bool WaitFor(std::chrono::milliseconds timeout);

private:
    std::mutex m_mutex;
    std::condition_variable m_signalled;
    bool m_bSignalled;
};
