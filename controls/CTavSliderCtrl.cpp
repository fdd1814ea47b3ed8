#include "controls/CTavSliderCtrl.h"

#include "common/AppMessage.h"
#include "common/AppMessages.h"
#include "common/Globals.h"

#include <QMouseEvent>
#include <QProxyStyle>

namespace {

// Some styles move the thumb straight to a left click; a trackbar never does.
class CTrackbarStyle final : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        switch (hint) {
        case SH_Slider_AbsoluteSetButtons:
            return Qt::NoButton;
        case SH_Slider_PageSetButtons:
            return Qt::LeftButton;
        default:
            return QProxyStyle::styleHint(hint, option, widget, returnData);
        }
    }
};

} // namespace

CTavSliderCtrl::CTavSliderCtrl(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    MakeTrackbar(this);
}

void CTavSliderCtrl::mousePressEvent(QMouseEvent* event)
{
    // The second press of a double click comes here too, as QWidget's double-click handling,
    // so every WM_SEEK_END has its WM_SEEK_BEGIN.
    if (event->button() == Qt::LeftButton) {
        PostAppMessage(g_hMainWnd, WM_SEEK_BEGIN);
    }
    QSlider::mousePressEvent(event);
}

void CTavSliderCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    // The slider holds the implicit mouse grab while the button is down, so the release arrives
    // here even when it happens outside the slider.
    if (event->button() == Qt::LeftButton) {
        PostAppMessage(g_hMainWnd, WM_SEEK_END);
    }
    QSlider::mouseReleaseEvent(event);
}

void MakeTrackbar(QSlider* slider)
{
    auto* style = new CTrackbarStyle;
    style->setParent(slider);
    slider->setStyle(style);
    const auto setPage = [slider](int min, int max) { slider->setPageStep((max - min) / 5); };
    QObject::connect(slider, &QSlider::rangeChanged, slider, setPage);
    setPage(slider->minimum(), slider->maximum());
}
