// The skinned button: which skin file it shows for each row of the skin table and each state, and
// the messages it posts to the main window on press, release and double click, relative to its
// click notification.

#include "controls/CTavButtonCtrl.h"

#include "MessageRecorder.h"
#include "common/AppMessages.h"
#include "common/Globals.h"

#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

class TavButtonTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_hMainWnd = &m_mainWindow;
        m_host.resize(200, 100);
        m_host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_host));
    }
    void TearDown() override { g_hMainWnd = nullptr; }

    // A shown, enabled button; the log starts empty.
    CTavButtonCtrl& NewButton(TavButtonRole role)
    {
        delete m_pButton;
        m_pButton = new CTavButtonCtrl(&m_host);
        m_pButton->setGeometry(10, 10, 32, 24);
        m_pButton->SetRole(role);
        m_pButton->EnableButton(true);
        m_pButton->show();
        QObject::connect(m_pButton, &QAbstractButton::clicked,
                         [this] { m_log.push_back("clicked"); });
        m_log.clear();
        return *m_pButton;
    }
    std::string Shown() const { return m_pButton->ImageName().toStdString(); }

    // On the button, through the window system's path as a person's mouse arrives: events posted
    // meanwhile are delivered after each press or release, and two quick clicks make a double
    // click.
    void Mouse(void (*action)(QWindow*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint, int))
    {
        action(m_host.windowHandle(), Qt::LeftButton, {}, m_pButton->geometry().center(), -1);
    }

    Log m_log;
    CMessageRecorder m_mainWindow{[this](std::uint32_t message) {
        m_log.push_back("WM_APP+" + std::to_string(message - WM_APP) +
                        (m_pButton->isDown() ? " (down)" : ""));
    }};
    QWidget m_host;
    CTavButtonCtrl* m_pButton = nullptr; // the host's
};

TEST_F(TavButtonTest, EachRowShowsItsImagesAndItsDisabledImageWhileTheFlagIsFalse)
{
    for (const TavButtonSkinRow& row : TavButtonSkinTable()) {
        SCOPED_TRACE(row.normal);
        for (const char* name : {row.normal, row.selected, row.disabled}) {
            EXPECT_TRUE(
                name == nullptr ||
                !QImage(QStringLiteral(VESSA_RUNTIME_DIR "/") + QLatin1String(name)).isNull())
                << name << " is not beside the executable";
        }
        CTavButtonCtrl& button = NewButton(row.role);
        button.SetPowerOn(row.power == TavButtonSkinRow::Power::On);
        EXPECT_EQ(Shown(), row.normal);
        QTest::mousePress(&button, Qt::LeftButton);
        EXPECT_EQ(Shown(), row.selected);
        QTest::mouseRelease(&button, Qt::LeftButton);

        // The widget stays usable with the flag false, so that it can be pressed: a row with a
        // disabled image shows it even while held down, the others ignore the flag.
        button.SetEnabledFlag(false);
        QTest::mousePress(&button, Qt::LeftButton);
        EXPECT_EQ(Shown(), row.disabled != nullptr ? row.disabled : row.selected);
        QTest::mouseRelease(&button, Qt::LeftButton);
        EXPECT_EQ(Shown(), row.disabled != nullptr ? row.disabled : row.normal);
    }
    // A disabled widget never gets the release of the press it was holding: the button drops the
    // press, or it would stay drawn pressed and swallow its next press.
    NewButton(TavButtonRole::Eq);
    QTest::mousePress(m_pButton, Qt::LeftButton);
    m_pButton->setEnabled(false);
    m_pButton->setEnabled(true);
    EXPECT_EQ(Shown(), "eq.png");
    QCoreApplication::processEvents();
    m_log.clear();
    Mouse(QTest::mouseClick);
    EXPECT_EQ(m_log, Log{"clicked"});
}

// The press's message arrives once the press has pushed the button; the release's is posted
// before the click notification, so it arrives after it. A double click's second press is no
// press of its own and brings no second click, so a double click on Next steps once.
TEST_F(TavButtonTest, ClickAndDoubleClickPostAroundTheClickNotification)
{
    const auto name = [](std::uint32_t message) {
        return "WM_APP+" + std::to_string(message - WM_APP);
    };
    const std::pair<TavButtonRole, Log> cases[] = {
        {TavButtonRole::FastForward,
         {name(WM_FAST_FORWARD_BEGIN) + " (down)", "clicked", name(WM_FAST_FORWARD_END), "clicked",
          name(WM_FAST_FORWARD_BEGIN), name(WM_FAST_FORWARD_END), name(WM_FAST_FORWARD_END)}},
        {TavButtonRole::Delete,
         {name(WM_DELETE_PRESSED) + " (down)", "clicked", "clicked", name(WM_DELETE_PRESSED),
          name(WM_DELETE_PRESSED)}},
        {TavButtonRole::NextTrack,
         {name(WM_PLAY_NEXT) + " (down)", "clicked", "clicked", name(WM_PLAY_NEXT)}},
    };
    for (const auto& [role, expected] : cases) {
        NewButton(role);
        Mouse(QTest::mousePress);
        Mouse(QTest::mouseRelease);
        Mouse(QTest::mouseDClick);
        EXPECT_EQ(m_log, expected) << static_cast<int>(role);
    }
}

} // namespace
