#include "common/AppMessage.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

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
