// The video panel paints itself black only while nothing is shown in it.

#include "common/Globals.h"
#include "controls/CVideoPanel.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Renders the panel over a marker colour: what the panel leaves alone keeps the marker.
QImage RenderOverMarker(CVideoPanel& panel)
{
    QImage image(panel.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    panel.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

int CountPixels(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

class VideoPanelTest : public ::testing::Test
{
protected:
    void SetUp() override { m_panel.resize(64, 48); }
    void TearDown() override
    {
        g_bPlaying = false;
        g_bCaptureActive = false;
    }
    CVideoPanel m_panel;
};

} // namespace

TEST_F(VideoPanelTest, HasANativeWindowForTheVideoSink)
{
    EXPECT_TRUE(m_panel.testAttribute(Qt::WA_NativeWindow));
    EXPECT_NE(m_panel.winId(), 0u);
}

TEST_F(VideoPanelTest, PaintsBlackOnlyWhileNothingIsShown)
{
    const int nAll = 64 * 48;
    const struct
    {
        bool bPlaying;
        bool bCapture;
        QRgb expected;
    } cases[] = {
        {false, false, qRgb(0, 0, 0)},
        {true, false, qRgb(255, 0, 255)},
        {false, true, qRgb(255, 0, 255)},
        {true, true, qRgb(255, 0, 255)},
    };
    for (const auto& c : cases) {
        g_bPlaying = c.bPlaying;
        g_bCaptureActive = c.bCapture;
        EXPECT_EQ(CountPixels(RenderOverMarker(m_panel), c.expected), nAll)
            << "playing " << c.bPlaying << ", capture " << c.bCapture;
    }
}

TEST_F(VideoPanelTest, OnlyALeftDoubleClickIsAnnounced)
{
    m_panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_panel));
    QSignalSpy doubleClicks(&m_panel, &CVideoPanel::doubleClicked);
    QTest::mouseClick(&m_panel, Qt::LeftButton);
    QTest::mouseDClick(&m_panel, Qt::RightButton);
    EXPECT_EQ(doubleClicks.count(), 0);
    QTest::mouseDClick(&m_panel, Qt::LeftButton);
    EXPECT_EQ(doubleClicks.count(), 1);
}
