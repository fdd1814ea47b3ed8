// The main window's controls, its layout for several client sizes and its compact and
// full-screen forms, on the offscreen platform.

#include "MainWindowFixture.h"
#include "controls/CTavButtonCtrl.h"
#include "resources/MainDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QScreen>

#include <array>

namespace {

// The fourteen controls: ID, the class they are made of, and their template text.
struct ControlRow
{
    int nId;
    const char* pszClass;
    const char* pszText;
};

const ControlRow kControls[] = {
    {1004, "QGroupBox", "Controls"},
    {1016, "QCheckBox", "Play List"},
    {1000, "CTavButtonCtrl", "Open"},
    {1019, "CTavButtonCtrl", "Prev"},
    {1001, "CTavButtonCtrl", "Play"},
    {1018, "CTavButtonCtrl", "Next"},
    {1010, "CTavButtonCtrl", "Video In"},
    {1003, "CTavButtonCtrl", "Stop"},
    {1017, "CTavButtonCtrl", "delete"},
    {1015, "CTavButtonCtrl", "Compact"},
    {1002, "CTavSliderCtrl", ""},
    {1006, "QLabel", "00:00:00"},
    {1014, "QSlider", ""},
    {1009, "CVideoPanel", ""},
};

QString ControlText(QWidget* control)
{
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return label->text();
    }
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        return group->title();
    }
    return {};
}

// The strip in left-to-right order, as the layout chains it.
constexpr std::array<int, 11> kStripOrder{IDC_CHECK_PLAYLIST, IDC_OPEN,         IDC_PREV,
                                          IDC_PLAY,           IDC_NEXT,         IDC_STOP,
                                          IDC_DELETE_FILE,    IDC_COMPACT,      IDC_SLIDER_POSITION,
                                          IDC_STATIC_TIME,    IDC_SLIDER_VOLUME};

struct LayoutCase
{
    int cx;
    int cy;
    QRect rcGroup;
    std::array<int, 11> xs; // left edges of the strip, in kStripOrder
    int yButtons;
    int ySliders;
    QRect rcPanel;
};

// Worked out by hand from the strip's rules: group box 574 wide and centred (never left of 0),
// check box 60, buttons 32 with gaps of 5, position slider 120, time 50, volume 10 further on.
const LayoutCase kLayouts[] = {
    {640,
     480,
     {33, 424, 574, 48},
     {43, 108, 145, 182, 219, 256, 293, 330, 367, 492, 552},
     440,
     442,
     {0, 0, 640, 416}},
    {800,
     600,
     {113, 544, 574, 48},
     {123, 188, 225, 262, 299, 336, 373, 410, 447, 572, 632},
     560,
     562,
     {0, 0, 800, 536}},
    {577,
     300,
     {1, 244, 574, 48},
     {11, 76, 113, 150, 187, 224, 261, 298, 335, 460, 520},
     260,
     262,
     {0, 0, 577, 236}},
    {573,
     300,
     {0, 244, 574, 48},
     {10, 75, 112, 149, 186, 223, 260, 297, 334, 459, 519},
     260,
     262,
     {0, 0, 573, 236}},
    {400,
     200,
     {0, 144, 574, 48},
     {10, 75, 112, 149, 186, 223, 260, 297, 334, 459, 519},
     160,
     162,
     {0, 0, 400, 136}},
};

} // namespace

TEST_F(MainWindowTest, HasEveryControlOfItsTableWithIdNameAndText)
{
    for (const ControlRow& row : kControls) {
        QWidget* control = Control(row.nId);
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->metaObject()->className(), row.pszClass) << row.nId;
        EXPECT_EQ(ControlText(control), QString::fromUtf8(row.pszText)) << row.nId;
        EXPECT_EQ(control->objectName(), QString::number(row.nId));
        EXPECT_EQ(control->property("controlId").toInt(), row.nId);
    }
}

TEST_F(MainWindowTest, StartsAt16x16With640x480AndTheInitialState)
{
    EXPECT_EQ(Dlg().frameGeometry(), QRect(16, 16, 640, 480));
    EXPECT_EQ(Dlg().windowTitle(), QStringLiteral("Vessa Video Player"));
    EXPECT_EQ(g_hMainWnd, &Dlg());
    EXPECT_FALSE(Button(IDC_PLAY)->isEnabled());
    for (const int nId : {IDC_OPEN, IDC_STOP, IDC_COMPACT, IDC_DELETE_FILE, IDC_VIDEO_IN}) {
        EXPECT_TRUE(Button(nId)->isEnabled()) << nId;
    }
    // Each button shows its role's image; Play its disabled one.
    const std::pair<int, const char*> images[] = {
        {IDC_OPEN, "open.png"},          {IDC_PREV, "previousTrack.png"},
        {IDC_PLAY, "playDisabled.png"},  {IDC_NEXT, "nextTrack.png"},
        {IDC_VIDEO_IN, "capture.png"},   {IDC_STOP, "stop.png"},
        {IDC_DELETE_FILE, "remove.png"}, {IDC_COMPACT, "compact.png"},
    };
    for (const auto& [nId, pszImage] : images) {
        EXPECT_EQ(Control<CTavButtonCtrl>(nId)->ImageName().toStdString(), pszImage) << nId;
    }
    EXPECT_TRUE(Control<QCheckBox>(IDC_CHECK_PLAYLIST)->isChecked());
    EXPECT_EQ(TimeText(), QStringLiteral("00:00:00"));

    QSlider* volume = Slider(IDC_SLIDER_VOLUME);
    EXPECT_EQ(volume->minimum(), -5000);
    EXPECT_EQ(volume->maximum(), 0);
    EXPECT_EQ(volume->value(), -2000);
    EXPECT_EQ(volume->pageStep(), 1000);
    QSlider* position = Slider(IDC_SLIDER_POSITION);
    EXPECT_EQ(position->minimum(), 0);
    EXPECT_EQ(position->maximum(), 1000);
    EXPECT_EQ(position->value(), 0);
    EXPECT_EQ(position->pageStep(), 200);

    // Video In is never seen, yet neither hidden nor disabled.
    QWidget* videoIn = Control(IDC_VIDEO_IN);
    EXPECT_EQ(videoIn->geometry(), QRect(0, 0, 0, 0));
    EXPECT_FALSE(videoIn->isHidden());
}

TEST_F(MainWindowTest, LaysTheStripOutForEachClientSize)
{
    for (const LayoutCase& c : kLayouts) {
        SCOPED_TRACE(testing::Message() << c.cx << "x" << c.cy);
        Dlg().resize(c.cx, c.cy);
        ASSERT_EQ(Dlg().size(), QSize(c.cx, c.cy));
        EXPECT_EQ(Control(IDC_GROUP_CONTROLS)->geometry(), c.rcGroup);
        for (std::size_t i = 0; i < kStripOrder.size(); ++i) {
            const QRect rc = Control(kStripOrder[i])->geometry();
            const bool bButtonRow = i < 8;
            const int cx = i == 0 ? 60 : bButtonRow ? 32 : i == 8 ? 120 : 50;
            const QRect expected(c.xs[i], bButtonRow ? c.yButtons : c.ySliders, cx,
                                 bButtonRow ? 25 : 20);
            EXPECT_EQ(rc, expected) << "control " << kStripOrder[i];
        }
        EXPECT_EQ(Control(IDC_VIDEO_IN)->geometry(), QRect(0, 0, 0, 0));
        EXPECT_EQ(Control(IDC_VIDEO_PANEL)->geometry(), c.rcPanel);
    }
}

TEST_F(MainWindowTest, FullScreenFillsThePrimaryScreenAndRestoresTheWindow)
{
    const QRect rcBefore = Dlg().frameGeometry();
    QWidget* panel = Control(IDC_VIDEO_PANEL);
    QTest::mouseDClick(panel, Qt::LeftButton);
    ASSERT_TRUE(Dlg().IsFullScreen());

    // Frameless: the whole screen is client area.
    const QRect rcScreen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(Dlg().geometry(), rcScreen);
    EXPECT_EQ(g_nControlBarHeight.load(), 0);
    EXPECT_EQ(panel->geometry(), QRect(QPoint(0, 0), rcScreen.size()));
    for (const int nId : kStripOrder) {
        EXPECT_EQ(Control(nId)->geometry(), QRect(0, 0, 0, 0)) << nId;
    }
    EXPECT_EQ(Control(IDC_GROUP_CONTROLS)->geometry(), QRect(0, 0, 0, 0));
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);
    EXPECT_TRUE(Dlg().windowFlags().testFlag(Qt::FramelessWindowHint));

    QTest::mouseDClick(panel, Qt::LeftButton);
    ASSERT_FALSE(Dlg().IsFullScreen());
    EXPECT_EQ(Dlg().frameGeometry(), rcBefore);
    EXPECT_EQ(g_nControlBarHeight.load(), 64);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(Dlg().windowFlags().testFlag(Qt::FramelessWindowHint));
    // The normal layout again, for the client area inside the restored frame.
    const QSize client = Dlg().size();
    EXPECT_EQ(panel->geometry(), QRect(0, 0, client.width(), client.height() - 64));
    EXPECT_EQ(Control(IDC_GROUP_CONTROLS)->geometry(),
              QRect((client.width() - 574) / 2, client.height() - 56, 574, 48));
}

TEST_F(MainWindowTest, CompactDropsTheFrameAndKeepsTheOuterRectangle)
{
    Dlg().setGeometry(100, 80, 700, 500);
    const QRect rcBefore = Dlg().frameGeometry();
    QAbstractButton* compact = Button(IDC_COMPACT);

    Click(IDC_COMPACT);
    EXPECT_TRUE(g_bCompact);
    EXPECT_EQ(compact->text(), QStringLiteral("Normal"));
    EXPECT_EQ(Control<CTavButtonCtrl>(IDC_COMPACT)->ImageName(), QStringLiteral("uncompact.png"));
    EXPECT_TRUE(Dlg().windowFlags().testFlag(Qt::FramelessWindowHint));
    // Frameless, the old outer rectangle is all client area.
    EXPECT_EQ(Dlg().geometry(), rcBefore);
    EXPECT_EQ(Control(IDC_VIDEO_PANEL)->geometry(),
              QRect(0, 0, rcBefore.width(), rcBefore.height() - 64));
    EXPECT_TRUE(Dlg().isVisible()) << "changing the frame must not end the window's run";

    Click(IDC_COMPACT);
    EXPECT_FALSE(g_bCompact);
    EXPECT_EQ(compact->text(), QStringLiteral("Compact"));
    EXPECT_EQ(Control<CTavButtonCtrl>(IDC_COMPACT)->ImageName(), QStringLiteral("compact.png"));
    EXPECT_FALSE(Dlg().windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(Dlg().frameGeometry(), rcBefore);
    EXPECT_EQ(Dlg().size(), QSize(700, 500));
    EXPECT_EQ(Control(IDC_GROUP_CONTROLS)->geometry(), QRect(63, 444, 574, 48));
}

TEST_F(MainWindowTest, LeavingFullScreenAlsoLeavesCompactForm)
{
    const QRect rcBefore = Dlg().frameGeometry();
    Click(IDC_COMPACT);
    ASSERT_TRUE(g_bCompact);
    QWidget* panel = Control(IDC_VIDEO_PANEL);
    QTest::mouseDClick(panel, Qt::LeftButton);
    QTest::mouseDClick(panel, Qt::LeftButton);

    EXPECT_FALSE(Dlg().IsFullScreen());
    EXPECT_FALSE(g_bCompact);
    EXPECT_EQ(Button(IDC_COMPACT)->text(), QStringLiteral("Compact"));
    EXPECT_EQ(Control<CTavButtonCtrl>(IDC_COMPACT)->ImageName(), QStringLiteral("compact.png"));
    EXPECT_FALSE(Dlg().windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(Dlg().frameGeometry(), rcBefore);
}

TEST_F(MainWindowTest, OnlyALeftDoubleClickOnThePanelSwitchesTheForm)
{
    QTest::mouseClick(Control(IDC_VIDEO_PANEL), Qt::LeftButton);
    QTest::mouseDClick(Control(IDC_VIDEO_PANEL), Qt::MiddleButton);
    EXPECT_FALSE(Dlg().IsFullScreen());
    EXPECT_EQ(g_nControlBarHeight.load(), 64);
}
