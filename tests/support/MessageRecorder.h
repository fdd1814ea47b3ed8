#pragma once

#include "common/AppMessage.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <utility>

// Stands in for the window a control posts to: hands each application message to the test as it
// arrives, so the test can note what the control looked like at that moment.
class CMessageRecorder : public QObject
{
public:
    explicit CMessageRecorder(std::function<void(std::uint32_t)> onMessage)
        : m_onMessage(std::move(onMessage))
    {}

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != CAppMessageEvent::EventType()) {
            return QObject::event(event);
        }
        m_onMessage(static_cast<CAppMessageEvent*>(event)->Message());
        return true;
    }

private:
    std::function<void(std::uint32_t)> m_onMessage;
};
