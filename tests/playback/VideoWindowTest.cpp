#include "PlaybackTestSupport.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace {

constexpr int kBound = 3000; // ms
constexpr int kWidth = 480;
constexpr int kHeight = 360;
// The colour bars of the test clips: the middle one is green, the last one blue.
const std::string kGreen = "#00ff00";
const std::string kBlue = "#0000ff";
const QPoint kMiddleBar(kWidth / 2, kHeight / 4);
const QPoint kLastBar(kWidth * 13 / 14, kHeight / 4);

// Top-level windows mapped on the X server now, whichever client made them.
int CountMappedTopLevels()
{
    auto* connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
    int mapped = 0;
    for (int i = 0; tree != nullptr && i < xcb_query_tree_children_length(tree); ++i) {
        const xcb_window_t child = xcb_query_tree_children(tree)[i];
        xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, child), nullptr);
        mapped += attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
    }
    std::free(tree);
    return mapped;
}

// What the screen shows at a point of the panel, whichever window drew it: the expected colour
// once it is near (JPEG and colour conversion shift it a little), else the last colour seen.
std::string ShownColor(const QWidget& panel, QPoint at, const std::string& expectedName)
{
    const QColor expected(QString::fromStdString(expectedName));
    const QPoint p = panel.mapToGlobal(at);
    QColor seen;
    const auto isNear = [&] {
        seen = panel.screen()->grabWindow(0, p.x(), p.y(), 1, 1).toImage().pixelColor(0, 0);
        return std::abs(seen.red() - expected.red()) + std::abs(seen.green() - expected.green()) +
                   std::abs(seen.blue() - expected.blue()) <
               100;
    };
    return QTest::qWaitFor(isNear, kBound) ? expectedName : seen.name().toStdString();
}

TEST(VideoWindow, PictureDrawsIntoTheOwnerHidesOnRequestAndOpensNoWindowOfItsOwn)
{
    // What the video panel is to the player: a native window that paints its own background.
    QWidget panel;
    panel.setAttribute(Qt::WA_NativeWindow);
    panel.setFixedSize(kWidth, kHeight);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    const int topLevels = CountMappedTopLevels();

    const OpenedClip opened = OpenClip(TestClip::Avi);
    ASSERT_EQ(opened.hr, S_OK);
    // Prerolled before any owner is known, the sink must not have opened a window of its own.
    EXPECT_EQ(CountMappedTopLevels(), topLevels);

    const auto window = opened.graph->QueryVideoWindow();
    window->put_Owner(panel.winId());
    window->SetWindowPosition(0, 0, kWidth, kHeight);
    window->put_Visible(OATRUE);
    // The stopped picture appears, scaled to the whole panel.
    EXPECT_EQ(ShownColor(panel, kMiddleBar, kGreen), kGreen);
    EXPECT_EQ(ShownColor(panel, kLastBar, kBlue), kBlue);
    // Hidden, the panel shows its background; shown again, the picture is back.
    const std::string background = panel.palette().color(QPalette::Window).name().toStdString();
    window->put_Visible(OAFALSE);
    EXPECT_EQ(ShownColor(panel, kMiddleBar, background), background);
    window->put_Visible(OATRUE);
    EXPECT_EQ(ShownColor(panel, kMiddleBar, kGreen), kGreen);
    EXPECT_EQ(CountMappedTopLevels(), topLevels);
}

} // namespace
