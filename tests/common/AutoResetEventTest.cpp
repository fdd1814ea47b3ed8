#include "common/AutoResetEvent.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

TEST(AutoResetEventTest, StartsUnsignalledUnlessAskedOtherwise)
{
    CAutoResetEvent event;
    EXPECT_FALSE(event.WaitFor(0ms));
    CAutoResetEvent signalled(true);
    EXPECT_TRUE(signalled.WaitFor(0ms));
    EXPECT_FALSE(signalled.WaitFor(0ms));
}

TEST(AutoResetEventTest, TwoSignalsBeforeTheWaitWakeOnce)
{
    CAutoResetEvent event;
    event.Set();
    event.Set();
    EXPECT_TRUE(event.WaitFor(0ms));
    EXPECT_FALSE(event.WaitFor(20ms));
}

TEST(AutoResetEventTest, OneSignalReleasesOneOfTwoWaiters)
{
    CAutoResetEvent event;
    std::atomic<int> woken{0};
    auto waiter = [&] {
        if (event.WaitFor(500ms)) {
            ++woken;
        }
    };
    std::thread first(waiter);
    std::thread second(waiter);
    std::this_thread::sleep_for(50ms);
    event.Set();
    first.join();
    second.join();
    EXPECT_EQ(woken.load(), 1);
}

} // namespace
