// The position slider's seek messages: posted, in order, after the slider's own handling.

#include "common/AppMessage.h"
#include "common/AppMessages.h"
#include "common/Globals.h"
#include "controls/CTavSliderCtrl.h"

#include <QStyleOptionSlider>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>

#include <gtest/gtest.h>
#include <vector>

namespace {

// Stands in for the main window: records each message with the slider's state on arrival.
class CRecorder : public QObject
{
public:
    struct Arrival
    {
        std::uint32_t nMessage;
        int nSliderValue;
    };

    explicit CRecorder(const QSlider* slider) : m_slider(slider) {}
    std::vector<Arrival> arrivals;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != CAppMessageEvent::EventType()) {
            return QObject::event(event);
        }
        arrivals.push_back({static_cast<CAppMessageEvent*>(event)->Message(), m_slider->value()});
        return true;
    }

private:
    const QSlider* m_slider;
};

QRect Thumb(QSlider* slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.pageStep = slider->pageStep();
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                           slider);
}

class SliderCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&m_window);
        layout->setContentsMargins(40, 40, 40, 40);
        m_slider = new CTavSliderCtrl;
        m_slider->setFixedSize(120, 20);
        m_slider->setRange(0, 1000);
        layout->addWidget(m_slider);
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
        m_recorder = std::make_unique<CRecorder>(m_slider);
        g_hMainWnd = m_recorder.get();
    }

    void TearDown() override { g_hMainWnd = nullptr; }

    std::vector<std::uint32_t> Messages() const
    {
        std::vector<std::uint32_t> result;
        for (const auto& arrival : m_recorder->arrivals) {
            result.push_back(arrival.nMessage);
        }
        return result;
    }

    QWidget m_window;
    CTavSliderCtrl* m_slider = nullptr;
    std::unique_ptr<CRecorder> m_recorder;
};

const std::vector<std::uint32_t> kBeginEnd{WM_SEEK_BEGIN, WM_SEEK_END};

} // namespace

TEST_F(SliderCtrlTest, PressOnTheChannelMovesOnePageBeforeTheMainWindowHears)
{
    const QRect rcThumb = Thumb(m_slider);
    const QPoint ptChannel(m_slider->width() - 5, rcThumb.center().y());
    QTest::mousePress(m_slider, Qt::LeftButton, {}, ptChannel);
    // Posted, not sent: nothing has arrived yet, but the slider has already moved.
    EXPECT_TRUE(m_recorder->arrivals.empty());
    EXPECT_EQ(m_slider->value(), 200) << "a page, not a jump to the click point";
    QCoreApplication::processEvents();
    ASSERT_EQ(m_recorder->arrivals.size(), 1u);
    EXPECT_EQ(m_recorder->arrivals[0].nMessage, WM_SEEK_BEGIN);
    EXPECT_EQ(m_recorder->arrivals[0].nSliderValue, 200);

    QTest::mouseRelease(m_slider, Qt::LeftButton, {}, ptChannel);
    EXPECT_EQ(m_recorder->arrivals.size(), 1u);
    QCoreApplication::processEvents();
    EXPECT_EQ(Messages(), kBeginEnd);
}

TEST_F(SliderCtrlTest, DragReleasedOutsideTheSliderStillEndsTheSeek)
{
    // Through the window, as the platform delivers it, so that the mouse grab decides who gets
    // the release.
    QWindow* window = m_window.windowHandle();
    const QPoint ptThumb = m_slider->mapTo(&m_window, Thumb(m_slider).center());
    QTest::mousePress(window, Qt::LeftButton, {}, ptThumb);
    for (int dx = 10; dx <= 60; dx += 10) {
        QTest::mouseMove(window, ptThumb + QPoint(dx, 0));
    }
    const int nDragged = m_slider->value();
    EXPECT_GT(nDragged, 0);
    const QPoint ptOutside = ptThumb + QPoint(60, 35);
    ASSERT_FALSE(m_slider->geometry().contains(ptOutside));
    QTest::mouseRelease(window, Qt::LeftButton, {}, ptOutside);
    QCoreApplication::processEvents();

    EXPECT_EQ(Messages(), kBeginEnd);
    EXPECT_FALSE(m_slider->isSliderDown());
    ASSERT_EQ(m_recorder->arrivals.size(), 2u);
    EXPECT_EQ(m_recorder->arrivals[1].nSliderValue, nDragged);
}

TEST_F(SliderCtrlTest, OtherButtonsPostNothing)
{
    const QPoint ptThumb = Thumb(m_slider).center();
    QTest::mouseClick(m_slider, Qt::RightButton, {}, ptThumb);
    QTest::mouseClick(m_slider, Qt::MiddleButton, {}, ptThumb + QPoint(40, 0));
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_recorder->arrivals.empty());
}

TEST_F(SliderCtrlTest, ADoubleClickKeepsBeginAndEndPaired)
{
    // On the channel: each of the two presses moves one page, the double click no further.
    QWindow* window = m_window.windowHandle();
    const QRect rcThumb = Thumb(m_slider);
    const QPoint ptChannel =
        m_slider->mapTo(&m_window, QPoint(m_slider->width() - 5, rcThumb.center().y()));
    QTest::mouseDClick(window, Qt::LeftButton, {}, ptChannel);
    QCoreApplication::processEvents();
    const std::vector<std::uint32_t> expected{WM_SEEK_BEGIN, WM_SEEK_END, WM_SEEK_BEGIN,
                                              WM_SEEK_END};
    EXPECT_EQ(Messages(), expected);
    EXPECT_EQ(m_slider->value(), 400);
}

TEST(Trackbar, PageIsAFifthOfTheRange)
{
    const struct
    {
        int nMin;
        int nMax;
        int nPage;
    } cases[] = {{0, 1000, 200}, {-5000, 0, 1000}, {0, 10, 2}, {0, 4, 0}};
    for (const auto& c : cases) {
        QSlider slider(Qt::Horizontal);
        MakeTrackbar(&slider);
        slider.setRange(c.nMin, c.nMax);
        EXPECT_EQ(slider.pageStep(), c.nPage) << c.nMin << ".." << c.nMax;
    }
}
