#pragma once

#include "common/AppMessage.h"

#include <QObject>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

#include <cstdint>

// Counts the application messages of one number that reach a window, before its handler runs.
class CMessageCounter : public QObject
{
public:
    CMessageCounter(QObject* window, std::uint32_t message) : m_nMessage(message)
    {
        window->installEventFilter(this);
    }
    int Count() const { return m_nCount; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == CAppMessageEvent::EventType() &&
            static_cast<CAppMessageEvent*>(event)->Message() == m_nMessage) {
            ++m_nCount;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::uint32_t m_nMessage;
    int m_nCount = 0;
};

// Where the slider's thumb is, in the slider's coordinates.
inline QRect SliderThumb(QSlider* slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.upsideDown = slider->invertedAppearance();
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                           slider);
}
