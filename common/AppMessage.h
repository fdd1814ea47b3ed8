#pragma once

#include <QEvent>

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <unordered_map>

class QObject;

using WParam = quintptr;
using LParam = qintptr;
using LResult = qintptr;

// One application message on its way to a window: the number, its two parameters and, once the
// receiver has handled it, its result.
class CAppMessageEvent final : public QEvent
{
public:
    CAppMessageEvent(std::uint32_t message, WParam wParam, LParam lParam);

    static QEvent::Type EventType();

    std::uint32_t Message() const { return m_nMessage; }
    WParam WParameter() const { return m_wParam; }
    LParam LParameter() const { return m_lParam; }
    LResult Result() const { return m_nResult; }
    void SetResult(LResult result) { m_nResult = result; }

private:
    std::uint32_t m_nMessage;
    WParam m_wParam;
    LParam m_lParam;
    LResult m_nResult = 0;
};

// Queues the message for the target's thread. Messages posted to one target arrive in posting
// order. Safe from any thread; the target must outlive the delivery.
void PostAppMessage(QObject* target, std::uint32_t message, WParam wParam = 0, LParam lParam = 0);

// Delivers the message and returns its result once the target has handled it. From the target's
// own thread the handler runs at once, nested in this call; from another thread the caller blocks
// until the target's thread has handled it in its event loop (modal loops included).
LResult SendAppMessage(QObject* target, std::uint32_t message, WParam wParam = 0,
                       LParam lParam = 0);

// SendAppMessage for a worker thread that must be able to give up: it waits until the target's
// thread has handled the message or until `stop` is requested, whichever comes first. A plain
// blocking send could not be given up, so an owner that stops its worker from the target's thread
// would wait for the worker while the worker waited for it. No result when stopped first; the
// message is then never handled, even if the target's thread takes the call up later. Whatever
// the sender wrote before the call is seen by the handler, and whatever the handler wrote by the
// sender once the result is back.
std::optional<LResult> SendAppMessageUnlessStopped(QObject* target, std::uint32_t message,
                                                   std::stop_token stop, WParam wParam = 0,
                                                   LParam lParam = 0);

// A window's table of application-message handlers, filled in one place so that it reads like a
// message map. A number without a handler falls to default processing: result 0, no effect.
class CAppMessageMap
{
public:
    using Handler = std::function<LResult(WParam, LParam)>;

    void On(std::uint32_t message, Handler handler);

    template <class Window>
    void On(std::uint32_t message, Window* window, LResult (Window::*handler)(WParam, LParam))
    {
        On(message, [window, handler](WParam w, LParam l) { return (window->*handler)(w, l); });
    }

    // Call from the window's event(): true when the event was an application message, which has
    // then been handled (or given default processing) and carries its result.
    bool Dispatch(QEvent* event) const;

private:
    std::unordered_map<std::uint32_t, Handler> m_handlers;
};
