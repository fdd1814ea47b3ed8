// The skinned button: which skin file it paints for each role and state, stretched over the whole
// button, or the plain face colour when there is nothing to draw; and the messages it posts to
// the main window on press, release and double click, relative to its click notification.

#include "controls/CTavButtonCtrl.h"

#include "MessageRecorder.h"
#include "common/AppMessages.h"
#include "common/Globals.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using R = TavButtonRole;
using Log = std::vector<std::string>;

const QColor kFace(250, 20, 240);

std::string Png(const std::string& base, const std::string& suffix = {})
{
    return base + suffix + ".png";
}

// "WM_APP+8 (down)": a message, and whether the button was pushed when it arrived.
std::string Entry(std::uint32_t message, bool down)
{
    return "WM_APP+" + std::to_string(message - WM_APP) + (down ? " (down)" : "");
}

// The skin folder holds every file the role table names as a small PNG of a solid colour of its
// own, so the colour a button paints tells which file it drew.
class TavButtonTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const TavButtonSkinRow& row : TavButtonSkinTable()) {
            for (const char* name : {row.normal, row.selected, row.disabled}) {
                if (name != nullptr && !QFile::exists(m_dir.filePath(QLatin1String(name)))) {
                    const QColor colour(10 + 4 * static_cast<int>(m_names.size()), 200, 40);
                    m_names[colour.rgb()] = name;
                    QImage image(8, 6, QImage::Format_ARGB32);
                    image.fill(colour);
                    ASSERT_TRUE(image.save(m_dir.filePath(QLatin1String(name))));
                }
            }
        }
        CTavButtonCtrl::SetSkinFolder(m_dir.path());
        g_hMainWnd = &m_mainWindow;
        m_host.setPalette(QPalette(kFace)); // the buttons' face colour
        m_host.resize(200, 100);
        m_host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_host));
    }

    void TearDown() override
    {
        CTavButtonCtrl::SetSkinFolder(QString());
        g_hMainWnd = nullptr;
    }

    // Four times the size of the test images; the log starts empty.
    CTavButtonCtrl& NewButton(R role)
    {
        m_pNewest = new CTavButtonCtrl(&m_host);
        CTavButtonCtrl& button = *m_pNewest;
        button.setGeometry(10, 10, 32, 24);
        button.SetRole(role);
        button.show();
        QObject::connect(&button, &QAbstractButton::clicked,
                         [this] { m_log.push_back("clicked"); });
        m_log.clear();
        return button;
    }

    // The file the button shows, judged from its middle; "face" for the plain face colour.
    std::string Drawn(QWidget& button) const
    {
        const QImage image = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb pixel = image.pixel(image.width() / 2, image.height() / 2);
        const auto it = m_names.find(pixel);
        return pixel == kFace.rgb() ? "face" : it == m_names.end() ? "?" : it->second;
    }

    // On the newest button, through the window system's path as a person's mouse arrives: events
    // posted meanwhile are delivered after each press or release, and two quick clicks make a
    // double click.
    void Mouse(void (*action)(QWindow*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint, int))
    {
        action(m_host.windowHandle(), Qt::LeftButton, {}, m_pNewest->geometry().center(), -1);
    }

    QTemporaryDir m_dir;
    std::map<QRgb, std::string> m_names;
    Log m_log;
    CMessageRecorder m_mainWindow{[this](std::uint32_t message) {
        m_log.push_back(Entry(message, m_pNewest != nullptr && m_pNewest->isDown()));
    }};
    QWidget m_host;
    CTavButtonCtrl* m_pNewest = nullptr; // the host's, as all buttons are
};

TEST_F(TavButtonTest, EachRoleDrawsItsImageInEveryState)
{
    // clang-format off
    const std::pair<R, std::string> table[] = {
        {R::AddFile, "addFile"},         {R::AddFolder, "addFolder"}, {R::Capture, "capture"},
        {R::Compact, "compact"},         {R::DeckSwap, "deckSwap"},   {R::Delete, "delete"},
        {R::DeleteAll, "deleteAll"},     {R::Eq, "eq"},               {R::FastForward, "fastForward"},
        {R::List, "list"},               {R::MoveDown, "moveDown"},   {R::MoveUp, "moveUp"},
        {R::NextTrack, "nextTrack"},     {R::Open, "open"},           {R::Play, "play"},
        {R::PlayPause, "playPause"},     {R::Power, "powerOn"},       {R::Power, "powerOff"},
        {R::PreviousTrack, "previousTrack"}, {R::Remove, "remove"},   {R::Rewind, "rewind"},
        {R::Reverse, "reverse"},         {R::Save, "save"},           {R::Speaker, "speaker"},
        {R::Stop, "stop"},               {R::Uncompact, "uncompact"},
    };
    // clang-format on
    // While the enabled flag is false these show a greyed image of their own, and these their
    // normal image even when held down; the others ignore the flag.
    const std::set<std::string> ownDisabled{"fastForward", "play", "playPause", "rewind",
                                            "reverse"};
    const std::set<std::string> normalDisabled{"capture", "compact", "open", "stop", "uncompact"};
    for (const auto& [role, base] : table) {
        SCOPED_TRACE(base);
        CTavButtonCtrl& button = NewButton(role);
        button.SetPowerOn(base == "powerOn");
        const std::string normal = Png(base);
        const std::string selected = Png(base, "Selected");
        const bool usual = !ownDisabled.contains(base) && !normalDisabled.contains(base);
        const std::string disabled = ownDisabled.contains(base) ? Png(base, "Disabled") : normal;

        button.EnableButton(true);
        EXPECT_EQ(Drawn(button), normal);
        QTest::mousePress(&button, Qt::LeftButton);
        EXPECT_EQ(Drawn(button), selected);
        // Disabled as a widget while held: the button follows by itself, and drops the press
        // whose release a disabled widget never gets (it would stay drawn pressed).
        button.setEnabled(false);
        EXPECT_EQ(Drawn(button), disabled);
        button.setEnabled(true);
        EXPECT_EQ(Drawn(button), normal);
        QTest::mouseRelease(&button, Qt::LeftButton);

        // Held down with the flag false: the widget stays usable so that it can be pressed.
        button.SetEnabledFlag(false);
        QTest::mousePress(&button, Qt::LeftButton);
        EXPECT_EQ(Drawn(button), usual ? selected : disabled);
        QTest::mouseRelease(&button, Qt::LeftButton);
        EXPECT_EQ(Drawn(button), disabled);
    }
}

TEST_F(TavButtonTest, TheImageIsStretchedOverTheWholeButton)
{
    // Quadrants of their own colours: each must cover its quarter of the button.
    const QColor quadrant[4] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    QImage image(8, 6, QImage::Format_ARGB32);
    QPainter painter(&image);
    for (int q = 0; q < 4; ++q) {
        painter.fillRect(q % 2 * 4, q / 2 * 3, 4, 3, quadrant[q]);
    }
    painter.end();
    ASSERT_TRUE(image.save(m_dir.filePath(QStringLiteral("stop.png"))));
    const QImage painted = NewButton(R::Stop).grab().toImage();
    for (int q = 0; q < 4; ++q) {
        const bool right = q % 2 == 1;
        const bool low = q / 2 == 1;
        for (const QPoint point :
             {QPoint(right ? 31 : 0, low ? 23 : 0), QPoint(right ? 18 : 13, low ? 14 : 9)}) {
            EXPECT_EQ(QColor(painted.pixel(point)).name().toStdString(),
                      quadrant[q].name().toStdString())
                << "at " << point.x() << "," << point.y();
        }
    }
}

TEST_F(TavButtonTest, NothingToDrawLeavesThePlainFaceColour)
{
    CTavButtonCtrl& noRole = NewButton(R::Eq);
    noRole.SetRole(R::Eq, false);
    EXPECT_EQ(Drawn(noRole), "face");

    CTavButtonCtrl& missing = NewButton(R::Save);
    ASSERT_TRUE(QFile::remove(m_dir.filePath(QStringLiteral("save.png"))));
    EXPECT_EQ(Drawn(missing), "face");
}

TEST_F(TavButtonTest, ClickAndDoubleClickPostAroundTheClickNotification)
{
    const struct
    {
        R role;
        std::uint32_t down, up, doubleClick;
    } table[] = {
        {R::Delete, WM_DELETE_PRESSED, 0, WM_DELETE_PRESSED},
        {R::FastForward, WM_FAST_FORWARD_BEGIN, WM_FAST_FORWARD_END, 0},
        {R::MoveDown, WM_MOVE_DOWN_PRESSED, 0, WM_MOVE_DOWN_PRESSED},
        {R::MoveUp, WM_MOVE_UP_PRESSED, 0, WM_MOVE_UP_PRESSED},
        {R::NextTrack, WM_PLAY_NEXT, 0, 0},
        {R::PreviousTrack, WM_PLAY_PREVIOUS, 0, 0},
        {R::Reverse, WM_REVERSE_BEGIN, WM_REVERSE_END, 0},
        {R::Rewind, WM_REWIND_BEGIN, WM_REWIND_END, 0},
        {R::Play, 0, 0, 0},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(static_cast<int>(c.role));
        NewButton(c.role).EnableButton(true);
        Mouse(QTest::mousePress);
        Mouse(QTest::mouseRelease);
        Mouse(QTest::mouseDClick);

        // The press's message arrives once the press has pushed the button; the release's is
        // posted before the click notification, so it arrives after it.
        Log expected;
        const auto add = [&expected](std::uint32_t message, bool down) {
            if (message != 0) {
                expected.push_back(Entry(message, down));
            }
        };
        add(c.down, true);
        expected.push_back("clicked");
        add(c.up, false);
        // A double click, its messages arriving after it: its second press is no press of its
        // own and brings no second click, so a double click on Next steps once.
        expected.push_back("clicked");
        for (const std::uint32_t message : {c.down, c.up, c.doubleClick, c.up}) {
            add(message, false);
        }
        EXPECT_EQ(m_log, expected);
    }
}

} // namespace
