#include "common/AppMessage.h"

#include "common/AppMessages.h"

#include <QCoreApplication>
#include <QObject>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

// A window stand-in with a message map: it records what it handled, in order.
class CRecordingWindow : public QObject
{
public:
    CRecordingWindow()
    {
        m_map.On(WM_PLAY_NEXT, this, &CRecordingWindow::OnPlayNext);
        m_map.On(WM_SEEK_BEGIN, [this](WParam w, LParam) {
            m_handled.push_back(WM_SEEK_BEGIN);
            m_threads.push_back(QThread::currentThread());
            return static_cast<LResult>(w * 2);
        });
    }

    std::vector<std::uint32_t> m_handled;
    std::vector<QThread*> m_threads;

protected:
    bool event(QEvent* e) override { return m_map.Dispatch(e) || QObject::event(e); }

private:
    LResult OnPlayNext(WParam, LParam lParam)
    {
        m_handled.push_back(WM_PLAY_NEXT);
        m_threads.push_back(QThread::currentThread());
        return lParam + 1;
    }

    CAppMessageMap m_map;
};

TEST(AppMessageTest, PostedMessagesArriveLaterInPostingOrder)
{
    CRecordingWindow window;
    PostAppMessage(&window, WM_SEEK_BEGIN);
    PostAppMessage(&window, WM_PLAY_NEXT);
    PostAppMessage(&window, WM_SEEK_BEGIN);
    EXPECT_TRUE(window.m_handled.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(window.m_handled,
              (std::vector<std::uint32_t>{WM_SEEK_BEGIN, WM_PLAY_NEXT, WM_SEEK_BEGIN}));
}

TEST(AppMessageTest, SendOnTheSameThreadRunsTheHandlerAtOnceAndReturnsItsResult)
{
    CRecordingWindow window;
    EXPECT_EQ(SendAppMessage(&window, WM_PLAY_NEXT, 0, 41), 41 + 1);
    EXPECT_EQ(window.m_handled, (std::vector<std::uint32_t>{WM_PLAY_NEXT}));
}

TEST(AppMessageTest, MessagesWithoutAHandlerOrTargetHaveNoEffect)
{
    CRecordingWindow window;
    EXPECT_EQ(SendAppMessage(&window, WM_PLAYLIST_CLOSED, 0, 129), 0);
    PostAppMessage(&window, WM_APP + 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.m_handled.empty());
    PostAppMessage(nullptr, WM_PLAY_NEXT);
    EXPECT_EQ(SendAppMessage(nullptr, WM_PLAY_NEXT, 1, 2), 0);
}

TEST(AppMessageTest, SendFromAnotherThreadBlocksUntilTheTargetThreadHandledIt)
{
    CRecordingWindow window;
    std::atomic<bool> returned{false};
    LResult result = 0;
    std::thread sender([&] {
        result = SendAppMessage(&window, WM_SEEK_BEGIN, 21);
        returned = true;
    });
    // The sender cannot finish before this thread runs its event loop.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned.load());
    EXPECT_TRUE(QTest::qWaitFor([&] { return returned.load(); }, 5000));
    sender.join();
    EXPECT_EQ(result, 42);
    ASSERT_EQ(window.m_threads.size(), 1u);
    EXPECT_EQ(window.m_threads.front(), QThread::currentThread());
}

TEST(AppMessageTest, PostFromAnotherThreadIsHandledOnTheTargetThread)
{
    CRecordingWindow window;
    std::thread poster([&] {
        for (int i = 0; i < 100; ++i) {
            PostAppMessage(&window, i % 2 == 0 ? WM_PLAY_NEXT : WM_SEEK_BEGIN);
        }
    });
    poster.join();
    QCoreApplication::processEvents();
    ASSERT_EQ(window.m_handled.size(), 100u);
    for (std::size_t i = 0; i < window.m_handled.size(); ++i) {
        EXPECT_EQ(window.m_handled[i], i % 2 == 0 ? WM_PLAY_NEXT : WM_SEEK_BEGIN);
        EXPECT_EQ(window.m_threads[i], QThread::currentThread());
    }
}

} // namespace
