#include "common/AppMessage.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// Qt's queue of posted calls locks with primitives a thread checker cannot see. A queued call's
// captures are written on the sending thread and read on the target's thread; doing both under a
// lock of ours makes that hand-over visible. It is a lock that the call can reach without reading
// a capture first, so one for the whole process: it is held only while a call is queued and while
// a call starts.
std::mutex s_queuedCallMutex;

// What a stoppable send shares with the call it queued: the call may run after the sender gave up
// and returned, so both own it.
struct StoppableSend
{
    std::mutex mutex;
    std::condition_variable_any handled;
    std::optional<LResult> result;
};

} // namespace

CAppMessageEvent::CAppMessageEvent(std::uint32_t message, WParam wParam, LParam lParam)
    : QEvent(EventType()), m_nMessage(message), m_wParam(wParam), m_lParam(lParam)
{}

QEvent::Type CAppMessageEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostAppMessage(QObject* target, std::uint32_t message, WParam wParam, LParam lParam)
{
    if (target == nullptr) {
        return;
    }
    // Normal priority keeps posted messages in posting order with each other.
    QCoreApplication::postEvent(target, new CAppMessageEvent(message, wParam, lParam));
}

LResult SendAppMessage(QObject* target, std::uint32_t message, WParam wParam, LParam lParam)
{
    if (target == nullptr) {
        return 0;
    }
    CAppMessageEvent event(message, wParam, lParam);
    if (target->thread() == QThread::currentThread()) {
        QCoreApplication::sendEvent(target, &event);
    } else {
        // The event lives on this thread's stack; the blocking call keeps it alive until the
        // target's thread has handled it.
        QMetaObject::invokeMethod(
            target, [target, &event] { QCoreApplication::sendEvent(target, &event); },
            Qt::BlockingQueuedConnection);
    }
    return event.Result();
}

std::optional<LResult> SendAppMessageUnlessStopped(QObject* target, std::uint32_t message,
                                                   std::stop_token stop, WParam wParam,
                                                   LParam lParam)
{
    if (stop.stop_requested()) {
        return std::nullopt;
    }
    if (target == nullptr || target->thread() == QThread::currentThread()) {
        return SendAppMessage(target, message, wParam, lParam);
    }
    const auto send = std::make_shared<StoppableSend>();
    {
        const std::lock_guard callLock(s_queuedCallMutex);
        QMetaObject::invokeMethod(
            target,
            [target, send, stop, message, wParam, lParam] {
                // Before any capture is read: the sender wrote them under this lock.
                s_queuedCallMutex.lock();
                s_queuedCallMutex.unlock();
                if (stop.stop_requested()) {
                    return; // the sender has given the message up
                }
                const LResult result = SendAppMessage(target, message, wParam, lParam);
                {
                    const std::lock_guard lock(send->mutex);
                    send->result = result;
                }
                send->handled.notify_all();
            },
            Qt::QueuedConnection);
    }
    std::unique_lock lock(send->mutex);
    send->handled.wait(lock, stop, [&send] { return send->result.has_value(); });
    return send->result;
}

void CAppMessageMap::On(std::uint32_t message, Handler handler)
{
    m_handlers[message] = std::move(handler);
}

bool CAppMessageMap::Dispatch(QEvent* event) const
{
    if (event->type() != CAppMessageEvent::EventType()) {
        return false;
    }
    auto* message = static_cast<CAppMessageEvent*>(event);
    const auto it = m_handlers.find(message->Message());
    message->SetResult(
        it == m_handlers.end() ? 0 : it->second(message->WParameter(), message->LParameter()));
    return true;
}
