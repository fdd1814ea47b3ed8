#include "common/AppMessage.h"

#include "MessageRecorder.h"
#include "common/AppMessages.h"

#include <QTest>
#include <QThread>

#include <atomic>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <stop_token>
#include <thread>

namespace {

// A number shared by two messages would have a window handle one as the other.
TEST(AppMessageTest, EveryMessageHasANumberOfItsOwnInTheApplicationRange)
{
    std::set<std::uint32_t> seen;
    for (const std::uint32_t message :
         {WM_GRAPH_NOTIFY,       WM_PLAY_NEXT,        WM_PLAYLIST_CHANGED,    WM_FILES_DROPPED,
          WM_PLAY_CURRENT,       WM_PLAY_PREVIOUS,    WM_TRACK_LENGTH_LOADED, WM_SEEK_BEGIN,
          WM_SEEK_END,           WM_PLAYLIST_CLOSED,  WM_FIND_ENTER,          WM_DELETE_PRESSED,
          WM_FAST_FORWARD_BEGIN, WM_FAST_FORWARD_END, WM_MOVE_DOWN_PRESSED,   WM_MOVE_UP_PRESSED,
          WM_REVERSE_BEGIN,      WM_REVERSE_END,      WM_REWIND_BEGIN,        WM_REWIND_END}) {
        EXPECT_TRUE(message >= WM_APP && message <= 0xBFFF) << message;
        EXPECT_TRUE(seen.insert(message).second) << message;
    }
}

// The target's thread has taken the call up but not yet handled the message when the sender is
// stopped (the owner stopping its worker from that thread): the sender returns at once with no
// result, and the message is never handled.
TEST(AppMessageTest, AStopEndsAStoppableSendThatWaitsAndItsMessageIsNeverHandled)
{
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
    std::atomic<int> handled = 0;
    CMessageRecorder window([&](std::uint32_t) { ++handled; });
    QThread targetThread;
    window.moveToThread(&targetThread);
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return hold.taken.load(); }, 30000));
    source.request_stop();
    const bool bReturnedWhileHeld = QTest::qWaitFor([&] { return returned.load(); }, 30000);
    hold.release = true;
    hold.release.notify_all();
    sender.join();
    EXPECT_TRUE(bReturnedWhileHeld);
    EXPECT_EQ(result, std::nullopt);

    // The queued call has run by the time the target's thread has finished.
    targetThread.quit();
    ASSERT_TRUE(targetThread.wait(30000));
    EXPECT_EQ(handled, 0);
}

} // namespace
