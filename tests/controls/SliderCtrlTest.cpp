// The position slider's seek gesture: every press and release of the left button posts its seek
// message, so that each arrives after the slider has handled the event that caused it.

#include "MessageRecorder.h"
#include "common/AppMessages.h"
#include "common/Globals.h"
#include "controls/CTavSliderCtrl.h"

#include <QStyle>
#include <QTest>
#include <QWindow>

#include <functional>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

// Through the window, as the platform delivers it, so that the mouse grab decides who gets the
// release.
TEST(SliderCtrlTest, EachGesturePostsItsSeekMessagesAfterTheSliderHandledThem)
{
    QWidget window;
    auto* slider = new CTavSliderCtrl(&window);
    slider->setGeometry(40, 40, 120, 20);
    slider->setRange(0, 1000);
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // Each message with the slider's value, and whether its thumb was held, on arrival.
    using Arrivals = std::vector<std::tuple<std::uint32_t, int, bool>>;
    Arrivals arrivals;
    CMessageRecorder mainWindow([&](std::uint32_t message) {
        arrivals.emplace_back(message, slider->value(), slider->isSliderDown());
    });
    g_hMainWnd = &mainWindow;

    QWindow* w = window.windowHandle();
    // The thumb sits at the start of the groove.
    const QPoint thumb(40 + slider->style()->pixelMetric(QStyle::PM_SliderLength) / 2, 50);
    const QPoint channel = thumb + QPoint(60, 0);
    constexpr auto B = WM_SEEK_BEGIN;
    constexpr auto E = WM_SEEK_END;
    const std::tuple<const char*, std::function<void()>, Arrivals> gestures[] = {
        // Dragged past the end of the groove and released outside the slider.
        {"drag",
         [&] {
             QTest::mousePress(w, Qt::LeftButton, {}, thumb);
             QTest::mouseMove(w, thumb + QPoint(140, 0));
             QTest::mouseRelease(w, Qt::LeftButton, {}, thumb + QPoint(140, 35));
         },
         {{B, 0, true}, {E, 1000, false}}},
        // A trackbar moves a page (a fifth of the range) towards the click, never to it.
        {"click on the channel",
         [&] { QTest::mouseClick(w, Qt::LeftButton, {}, channel); },
         {{B, 200, false}, {E, 200, false}}},
        // The second press of a double click is a press too: every end has its begin. (The
        // messages arrive once the whole double click has been handled.)
        {"double click",
         [&] { QTest::mouseDClick(w, Qt::LeftButton, {}, thumb); },
         {{B, 0, false}, {E, 0, false}, {B, 0, false}, {E, 0, false}}},
        {"right click", [&] { QTest::mouseClick(w, Qt::RightButton, {}, channel); }, {}},
    };
    for (const auto& [name, gesture, expected] : gestures) {
        slider->setValue(0);
        arrivals.clear();
        gesture();
        QCoreApplication::processEvents();
        EXPECT_EQ(arrivals, expected) << name;
    }
    g_hMainWnd = nullptr;
}
