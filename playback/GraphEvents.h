#pragma once

#include "common/AppMessage.h"
#include "common/Result.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

class QObject;

// The event queue of one graph. Streaming threads push events; the owner's thread pops them.
// Whenever an event arrives in an empty queue, the registered message is posted to the registered
// target, so one message announces each batch and the receiver drains the queue. Once closed (the
// graph is going away) nothing is queued or posted any more.
class CGraphEvents
{
public:
    struct Event
    {
        long code = 0;
        LParam param1 = 0;
        LParam param2 = 0;
    };

    // Any thread.
    void Push(const Event& event);
    void Close();

    // The owner's thread. A null target stops the notifications.
    void SetNotify(QObject* target, std::uint32_t message, LParam instanceData);
    // Waits up to msTimeout for an event (negative: without limit); false when none came.
    bool Pop(Event* event, long msTimeout);

private:
    void PostLocked();

    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::deque<Event> m_queue;
    QObject* m_pTarget = nullptr;
    std::uint32_t m_nMessage = 0;
    LParam m_instanceData = 0;
    bool m_bClosed = false;
};
