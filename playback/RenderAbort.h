#pragma once

#include <memory>
#include <mutex>

class CBusWatch;

// Lets another thread give up a render: Abort() wakes a render that is waiting for its pipeline
// to get ready, which then fails with E_ABORT, and every later render that uses this object
// fails at once. Once aborted it stays aborted. Any thread.
class CRenderAbort
{
public:
    void Abort();
    bool IsAborted() const;

    // For the render: the wait that Abort() must end, and the end of that wait. Attach refuses
    // (false) once aborted.
    bool Attach(std::shared_ptr<CBusWatch> watch);
    void Detach();

private:
    mutable std::mutex m_mutex;
    bool m_bAborted = false;
    std::shared_ptr<CBusWatch> m_watch;
};
