#pragma once

#include <QSlider>

// The position slider. Tells the main window when the user presses and releases the left mouse
// button on it (WM_SEEK_BEGIN, WM_SEEK_END), posting each before the slider's own handling, so
// that the main window sees it only after the slider has moved. The slider's mouse behaviour is
// otherwise a trackbar's (see MakeTrackbar).
class CTavSliderCtrl : public QSlider
{
    Q_OBJECT

public:
    explicit CTavSliderCtrl(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Gives a slider a trackbar's mouse behaviour whatever the widget style prefers: a left click on
// the channel moves the thumb by one page towards the click and the thumb never jumps to the
// click point. The page is one fifth of the range, set again whenever the range changes.
void MakeTrackbar(QSlider* slider);
