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

    // On the button, through the window system's path as a person's mouse arrives: events posted
    // meanwhile are delivered after each press or release, and two quick clicks make a double
    // click.
    void Mouse(void (*action)(QWindow*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint, int))
    {
        action(m_host.windowHandle(), Qt::LeftButton, {}, m_pButton->geometry().center(), -1);
    }

    Log m_log;
    CMessageRecorder m_mainWindow{[this](std::uint32_t message) {
        m_log.push_back(std::to_string(message - WM_APP) + (m_pButton->isDown() ? " down" : ""));
    }};
    QWidget m_host;
    CTavButtonCtrl* m_pButton = nullptr; // the host's
};

// The widget stays usable with the enabled flag false, so that it can be pressed: a row with a
// disabled image shows it even while held down, the others ignore the flag.
TEST_F(TavButtonTest, EachRowShowsItsImagesAndItsDisabledImageWhileTheFlagIsFalse)
{
    for (const TavButtonSkinRow& row : TavButtonSkinTable()) {
        CTavButtonCtrl& button = NewButton(row.role);
        button.SetPowerOn(row.power == TavButtonSkinRow::Power::On);
        Log shown;
        for (const bool enabled : {true, false}) {
            button.SetEnabledFlag(enabled);
            QTest::mousePress(&button, Qt::LeftButton);
            shown.push_back(button.ImageName().toStdString());
            QTest::mouseRelease(&button, Qt::LeftButton);
            shown.push_back(button.ImageName().toStdString());
        }
        const char* disabled = row.disabled;
        EXPECT_EQ(shown, (Log{row.selected, row.normal, disabled ? disabled : row.selected,
                              disabled ? disabled : row.normal}));
        EXPECT_FALSE(QImage(QStringLiteral(VESSA_RUNTIME_DIR "/") + row.normal).isNull());
    }
    // A disabled widget never gets the release of the press it was holding: the button drops the
    // press, or it would stay drawn pressed and swallow its next press.
    NewButton(TavButtonRole::Eq);
    QTest::mousePress(m_pButton, Qt::LeftButton);
    m_pButton->setEnabled(false);
    m_pButton->setEnabled(true);
    EXPECT_EQ(m_pButton->ImageName(), QStringLiteral("eq.png"));
    QCoreApplication::processEvents();
    m_log.clear();
    Mouse(QTest::mouseClick);
    EXPECT_EQ(m_log, Log{"clicked"});
}

// The press's message arrives once the press has pushed the button; the release's is posted
// before the click notification, so it arrives after it. A double click's second press is no
// press of its own and brings no second click.
TEST_F(TavButtonTest, ClickAndDoubleClickPostAroundTheClickNotification)
{
    const auto name = [](std::uint32_t message) { return std::to_string(message - WM_APP); };
    const std::pair<TavButtonRole, Log> cases[] = {
        {TavButtonRole::FastForward,
         {name(WM_FAST_FORWARD_BEGIN) + " down", "clicked", name(WM_FAST_FORWARD_END), "clicked",
          name(WM_FAST_FORWARD_BEGIN), name(WM_FAST_FORWARD_END), name(WM_FAST_FORWARD_END)}},
        {TavButtonRole::Delete,
         {name(WM_DELETE_PRESSED) + " down", "clicked", "clicked", name(WM_DELETE_PRESSED),
          name(WM_DELETE_PRESSED)}},
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
