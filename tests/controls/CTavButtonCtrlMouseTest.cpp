// The messages a skinned button posts to the main window on press, release and double click,
// and where they fall relative to its click notification.

#include "common/AppMessage.h"
#include "common/AppMessages.h"
#include "common/Globals.h"
#include "controls/CTavButtonCtrl.h"

#include <QCoreApplication>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

using R = TavButtonRole;
using Log = std::vector<std::string>;

std::string MessageName(std::uint32_t message)
{
    return "WM_APP+" + std::to_string(message - WM_APP);
}

// Stands in for the main window: logs every application message it receives, and whether the
// button was pushed at that moment.
class CRecordingMainWindow : public QObject
{
public:
    Log m_log;
    const QAbstractButton* m_pWatched = nullptr;
    std::vector<bool> m_downAtArrival;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != CAppMessageEvent::EventType()) {
            return QObject::event(event);
        }
        m_log.push_back(MessageName(static_cast<CAppMessageEvent*>(event)->Message()));
        m_downAtArrival.push_back(m_pWatched != nullptr && m_pWatched->isDown());
        return true;
    }
};

class TavButtonMouseTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_hMainWnd = &m_mainWindow;
        m_host.resize(120, 60);
        m_host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_host));
    }

    void TearDown() override { g_hMainWnd = nullptr; }

    CTavButtonCtrl& NewButton(R role)
    {
        m_pButton = std::make_unique<CTavButtonCtrl>(&m_host);
        m_pButton->setGeometry(10, 10, 32, 25);
        m_pButton->SetRole(role);
        m_pButton->EnableButton(true);
        m_pButton->show();
        QObject::connect(m_pButton.get(), &QAbstractButton::clicked,
                         [this] { m_mainWindow.m_log.push_back("clicked"); });
        m_mainWindow.m_pWatched = m_pButton.get();
        m_mainWindow.m_log.clear();
        m_mainWindow.m_downAtArrival.clear();
        return *m_pButton;
    }

    // Mouse input through the window system's path, as a person's mouse arrives: events posted
    // meanwhile are delivered between press and release, and two quick clicks are recognised as
    // a double click.
    QWindow* Window() { return m_host.windowHandle(); }
    QPoint Centre() { return m_pButton->geometry().center(); }
    void Press() { QTest::mousePress(Window(), Qt::LeftButton, {}, Centre()); }
    void Release() { QTest::mouseRelease(Window(), Qt::LeftButton, {}, Centre()); }
    void DoubleClick() { QTest::mouseDClick(Window(), Qt::LeftButton, {}, Centre()); }

    CRecordingMainWindow m_mainWindow;
    QWidget m_host;
    std::unique_ptr<CTavButtonCtrl> m_pButton;
};

struct RoleMessages
{
    R role;
    std::uint32_t down;
    std::uint32_t up;
    std::uint32_t doubleClick;
};

const std::vector<RoleMessages>& AllRoleMessages()
{
    static const std::vector<RoleMessages> table{
        {R::Delete, WM_APP + 1, 0, WM_APP + 1},
        {R::FastForward, WM_APP + 2, WM_APP + 3, 0},
        {R::MoveDown, WM_APP + 6, 0, WM_APP + 6},
        {R::MoveUp, WM_APP + 7, 0, WM_APP + 7},
        {R::NextTrack, WM_APP + 8, 0, 0},
        {R::PreviousTrack, WM_APP + 12, 0, 0},
        {R::Reverse, WM_APP + 13, WM_APP + 14, 0},
        {R::Rewind, WM_APP + 15, WM_APP + 16, 0},
        // The roles that post nothing.
        {R::Remove, 0, 0, 0},
        {R::Play, 0, 0, 0},
        {R::Open, 0, 0, 0},
        {R::Stop, 0, 0, 0},
        {R::Compact, 0, 0, 0},
        {R::Capture, 0, 0, 0},
        {R::Save, 0, 0, 0},
        {R::AddFile, 0, 0, 0},
        {R::DeleteAll, 0, 0, 0},
    };
    return table;
}

void AppendIf(Log& log, std::uint32_t message)
{
    if (message != 0) {
        log.push_back(MessageName(message));
    }
}

TEST_F(TavButtonMouseTest, PressAndReleasePostAroundTheClick)
{
    for (const RoleMessages& role : AllRoleMessages()) {
        SCOPED_TRACE(static_cast<int>(role.role));
        CTavButtonCtrl& button = NewButton(role.role);
        Press();
        EXPECT_TRUE(button.IsSelected());
        Release();
        EXPECT_FALSE(button.IsSelected());

        // The press's message is handled before the release arrives; the release's message is
        // posted before the click notification but, being posted, handled after it.
        Log expected;
        AppendIf(expected, role.down);
        expected.push_back("clicked");
        AppendIf(expected, role.up);
        EXPECT_EQ(m_mainWindow.m_log, expected);
    }
}

TEST_F(TavButtonMouseTest, DoubleClickPostsForTheSecondClickOnlyWhatADoubleClickPosts)
{
    for (const RoleMessages& role : AllRoleMessages()) {
        SCOPED_TRACE(static_cast<int>(role.role));
        CTavButtonCtrl& button = NewButton(role.role);
        DoubleClick();
        EXPECT_FALSE(button.IsSelected());

        // Down, up, double click, up: the second press is not a press of its own.
        Log expectedMessages;
        AppendIf(expectedMessages, role.down);
        AppendIf(expectedMessages, role.up);
        AppendIf(expectedMessages, role.doubleClick);
        AppendIf(expectedMessages, role.up);
        Log messages;
        int clicks = 0;
        for (const std::string& entry : m_mainWindow.m_log) {
            if (entry == "clicked") {
                ++clicks;
            } else {
                messages.push_back(entry);
            }
        }
        EXPECT_EQ(messages, expectedMessages);
        EXPECT_EQ(clicks, 1);
    }
}

TEST_F(TavButtonMouseTest, WithSeveralRolesPressReleaseAndDoubleClickEachHaveTheirOwnOrder)
{
    struct Case
    {
        R first;
        R second;
        Log log; // of a click followed by a double click
    };
    const std::vector<Case> cases{
        // Press tries fast forward before reverse, release tries reverse first.
        {R::FastForward,
         R::Reverse,
         {"WM_APP+2", "WM_APP+14", "WM_APP+2", "WM_APP+14", "WM_APP+14"}},
        {R::FastForward,
         R::Rewind,
         {"WM_APP+2", "WM_APP+16", "WM_APP+2", "WM_APP+16", "WM_APP+16"}},
        {R::NextTrack, R::Delete, {"WM_APP+1", "WM_APP+1", "WM_APP+1"}},
        {R::MoveUp, R::MoveDown, {"WM_APP+6", "WM_APP+6", "WM_APP+6"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log.front());
        CTavButtonCtrl& button = NewButton(c.first);
        button.SetRole(c.second);
        Press();
        Release();
        DoubleClick();
        Log messages = m_mainWindow.m_log;
        std::erase(messages, "clicked");
        EXPECT_EQ(messages, c.log);
    }
}

TEST_F(TavButtonMouseTest, NextPostsPlayNextOnPressToBeHandledAfterThePress)
{
    CTavButtonCtrl& next = NewButton(R::NextTrack);
    // Straight to the widget, with no event processing in between.
    QTest::mousePress(&next, Qt::LeftButton);
    EXPECT_TRUE(m_mainWindow.m_log.empty()) << "posted, not sent";
    QCoreApplication::processEvents();
    EXPECT_EQ(m_mainWindow.m_log, (Log{"WM_APP+8"}));
    // The press had been handled in full, the button pushed, when the message arrived.
    EXPECT_EQ(m_mainWindow.m_downAtArrival, (std::vector<bool>{true}));
    QTest::mouseRelease(&next, Qt::LeftButton);
    EXPECT_EQ(m_mainWindow.m_log, (Log{"WM_APP+8", "clicked"}));
}

TEST_F(TavButtonMouseTest, APressWhileOneIsHeldIsSwallowed)
{
    CTavButtonCtrl& next = NewButton(R::NextTrack);
    QTest::mousePress(&next, Qt::LeftButton);
    QTest::mousePress(&next, Qt::LeftButton);
    QCoreApplication::processEvents();
    QTest::mouseRelease(&next, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_mainWindow.m_log, (Log{"WM_APP+8", "clicked"}));
}

TEST_F(TavButtonMouseTest, ReleaseOutsideTheButtonPostsButDoesNotClick)
{
    CTavButtonCtrl& rewind = NewButton(R::Rewind);
    Press();
    QTest::mouseRelease(Window(), Qt::LeftButton, {}, QPoint(100, 50));
    EXPECT_FALSE(rewind.IsSelected());
    EXPECT_EQ(m_mainWindow.m_log, (Log{"WM_APP+15", "WM_APP+16"}));
}

TEST_F(TavButtonMouseTest, OtherMouseButtonsNeitherSelectNorPost)
{
    CTavButtonCtrl& next = NewButton(R::NextTrack);
    QTest::mousePress(Window(), Qt::RightButton, {}, Centre());
    EXPECT_FALSE(next.IsSelected());
    QTest::mouseRelease(Window(), Qt::RightButton, {}, Centre());
    EXPECT_TRUE(m_mainWindow.m_log.empty());
}

TEST_F(TavButtonMouseTest, DisablingAHeldButtonDropsItsSelection)
{
    // A disabled button never sees the release of the press it holds; without dropping the
    // selection it would stay drawn pressed and swallow its next press once enabled again.
    CTavButtonCtrl& next = NewButton(R::NextTrack);
    Press();
    next.EnableButton(false);
    EXPECT_FALSE(next.IsSelected());
    Release();
    next.EnableButton(true);
    Press();
    Release();
    EXPECT_EQ(m_mainWindow.m_log, (Log{"WM_APP+8", "WM_APP+8", "clicked"}));
}

} // namespace
