#include "common/AppMessage.h"

#include "common/AppMessages.h"

#include <QCoreApplication>
#include <QObject>
#include <QTest>
#include <QThread>

#include <atomic>
#include <gtest/gtest.h>
#include <optional>
#include <stop_token>
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

// A sender that can be stopped gets the handler's result when the target's thread handles the
// message; a stop requested before it sends ends it with no result and nothing handled.
TEST(AppMessageTest, AStoppableSendReturnsTheResultOnceHandledAndNothingWhenStoppedBefore)
{
    CRecordingWindow window;
    std::stop_source source;
    std::atomic<bool> returned{false};
    std::optional<LResult> result;
    std::thread sender([&] {
        result = SendAppMessageUnlessStopped(&window, WM_SEEK_BEGIN, source.get_token(), 21);
        returned = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return returned.load(); }, 5000));
    sender.join();
    EXPECT_EQ(result, std::optional<LResult>(42));
    ASSERT_EQ(window.m_threads, std::vector<QThread*>{QThread::currentThread()});

    source.request_stop();
    std::thread([&] {
        result = SendAppMessageUnlessStopped(&window, WM_SEEK_BEGIN, source.get_token(), 21);
    }).join();
    QCoreApplication::processEvents();
    EXPECT_EQ(result, std::nullopt);
    EXPECT_EQ(window.m_handled.size(), 1u);
}

// The target's thread has taken the call up but not yet handled the message when the sender is
// stopped (the owner stopping its worker from that thread): the sender returns at once with no
// result, and the message is never handled.
TEST(AppMessageTest, AStopEndsAStoppableSendThatWaitsAndItsMessageIsNeverHandled)
{
    QThread targetThread;
    CRecordingWindow window;
    window.moveToThread(&targetThread);

    // Holds the target's thread at the queued call until the sender has been stopped.
    class CHoldFilter : public QObject
    {
    public:
        std::atomic<bool> taken{false};
        std::atomic<bool> release{false};

    protected:
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::MetaCall) {
                taken = true;
                release.wait(false);
            }
            return false;
        }
    } hold;
    hold.moveToThread(&targetThread);
    window.installEventFilter(&hold);
    targetThread.start();

    std::stop_source source;
    std::atomic<bool> returned{false};
    std::optional<LResult> result = 0;
    std::thread sender([&] {
        result = SendAppMessageUnlessStopped(&window, WM_PLAY_NEXT, source.get_token(), 0, 1);
        returned = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return hold.taken.load(); }, 5000));
    source.request_stop();
    const bool bReturnedWhileHeld = QTest::qWaitFor([&] { return returned.load(); }, 5000);
    hold.release = true;
    hold.release.notify_all();
    sender.join();
    EXPECT_TRUE(bReturnedWhileHeld);
    EXPECT_EQ(result, std::nullopt);

    // The queued call has run by the time the target's thread has finished.
    targetThread.quit();
    ASSERT_TRUE(targetThread.wait(5000));
    EXPECT_TRUE(window.m_handled.empty());
}

} // namespace
