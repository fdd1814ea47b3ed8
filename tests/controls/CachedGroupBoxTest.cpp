// The control strip's frame: it looks as any group box looks, through the changes a window goes
// through, and the controls on it repaint without the style drawing the frame again.

#include "controls/CCachedGroupBox.h"

#include <QImage>
#include <QPalette>
#include <QProxyStyle>
#include <QSlider>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>
#include <utility>

namespace {

class CFrameCountingStyle final : public QProxyStyle
{
public:
    mutable int nFramesDrawn = 0;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override
    {
        if (control == CC_GroupBox) {
            ++nFramesDrawn;
        }
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    }
};

QImage Shot(QWidget& window, const QWidget& box)
{
    return window.grab(box.geometry()).toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(CachedGroupBoxTest, LooksAsAPlainGroupBoxThroughEveryChange)
{
    QWidget window;
    QGroupBox plain(&window);
    CCachedGroupBox cached(&window);
    plain.setGeometry(10, 10, 300, 60);
    cached.setGeometry(10, 90, 300, 60);
    // A control over each box, as on the control strip: a sibling drawn on top.
    for (QGroupBox* box : {&plain, static_cast<QGroupBox*>(&cached)}) {
        box->setTitle(QStringLiteral("Controls"));
        auto* slider = new QSlider(Qt::Horizontal, &window);
        slider->setGeometry(box->geometry().adjusted(20, 25, -160, -15));
        slider->setValue(40);
    }
    window.resize(320, 160);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const auto both = [&](const std::function<void(QGroupBox&)>& change) {
        change(plain);
        change(cached);
    };
    QPalette dark = window.palette();
    dark.setColor(QPalette::Window, QColor(40, 44, 52));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    QImage tile(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < tile.height(); ++y) {
        for (int x = 0; x < tile.width(); ++x) {
            tile.setPixel(x, y, qRgb(x * 30, y * 40, 90));
        }
    }
    QPalette tiled = dark;
    tiled.setBrush(QPalette::Window, QBrush(tile));
    QFont bold = window.font();
    bold.setBold(true);
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"as shown", [] {}},
        {"new title", [&] { both([](QGroupBox& box) { box.setTitle("Find"); }); }},
        {"disabled", [&] { both([](QGroupBox& box) { box.setEnabled(false); }); }},
        {"enabled again", [&] { both([](QGroupBox& box) { box.setEnabled(true); }); }},
        {"window colours", [&] { window.setPalette(dark); }},
        {"bold font", [&] { window.setFont(bold); }},
        {"resized", [&] { both([](QGroupBox& box) { box.resize(260, 70); }); }},
        // A pattern shows through the box from the window beneath, which the box cannot paint
        // beforehand. (The boxes lie a whole number of tiles apart.)
        {"patterned window", [&] { window.setPalette(tiled); }},
    };
    for (const auto& [name, change] : changes) {
        change();
        window.repaint();
        EXPECT_TRUE(Shot(window, plain) == Shot(window, cached)) << name;
    }
}

TEST(CachedGroupBoxTest, AControlOnItRepaintsWithoutTheFrameBeingDrawnAgain)
{
    QWidget window;
    CFrameCountingStyle style;
    CCachedGroupBox box(&window);
    box.setStyle(&style);
    box.setTitle(QStringLiteral("Controls"));
    box.setGeometry(10, 10, 300, 60);
    QSlider slider(Qt::Horizontal, &window);
    slider.setGeometry(30, 35, 120, 20);
    window.resize(320, 80);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.repaint();
    const int nShown = style.nFramesDrawn;
    ASSERT_GT(nShown, 0);

    for (int value = 1; value <= 20; ++value) {
        slider.setValue(value * 5);
        slider.repaint();
    }
    EXPECT_EQ(style.nFramesDrawn, nShown);

    box.setTitle(QStringLiteral("Show"));
    box.repaint();
    EXPECT_EQ(style.nFramesDrawn, nShown + 1);
}
