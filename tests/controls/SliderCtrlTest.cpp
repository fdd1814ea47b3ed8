// The position slider's seek messages: posted, so that each arrives after the slider has handled
// the press or release that caused it.

#include "MessageRecorder.h"
#include "common/AppMessages.h"
#include "common/Globals.h"
#include "controls/CTavSliderCtrl.h"

#include <QStyle>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

// Through the window, as the platform delivers it, so that the mouse grab decides who gets the
// release.
TEST(SliderCtrlTest, SeekBeginAndEndArriveAfterTheSliderHandledThemEvenWhenReleasedOutside)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(40, 40, 40, 40);
    auto* slider = new CTavSliderCtrl;
    layout->addWidget(slider);
    slider->setFixedSize(120, 20);
    slider->setRange(0, 1000);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // Each message with the slider's value, and whether its thumb was held, on arrival.
    using Arrivals = std::vector<std::tuple<std::uint32_t, int, bool>>;
    Arrivals arrivals;
    CMessageRecorder mainWindow([&](std::uint32_t message) {
        arrivals.emplace_back(message, slider->value(), slider->isSliderDown());
    });
    g_hMainWnd = &mainWindow;

    // The thumb sits at the start of the groove.
    const QPoint thumb = slider->mapTo(
        &window, QPoint(slider->style()->pixelMetric(QStyle::PM_SliderLength) / 2, 10));
    QTest::mousePress(window.windowHandle(), Qt::LeftButton, {}, thumb);
    for (int dx = 10; dx <= 60; dx += 10) {
        QTest::mouseMove(window.windowHandle(), thumb + QPoint(dx, 0));
    }
    const int dragged = slider->value();
    EXPECT_GT(dragged, 0);
    const QPoint outside = thumb + QPoint(60, 35);
    EXPECT_FALSE(slider->geometry().contains(outside));
    QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, {}, outside);
    EXPECT_EQ(arrivals, (Arrivals{{WM_SEEK_BEGIN, 0, true}, {WM_SEEK_END, dragged, false}}));
    g_hMainWnd = nullptr;
}
