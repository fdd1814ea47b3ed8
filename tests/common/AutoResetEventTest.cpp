#include "common/AutoResetEvent.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

// Whether the waiters wait already or only later, the one signal wakes exactly one of them.
TEST(AutoResetEventTest, OneSignalReleasesOneOfTwoWaiters)
{
    CAutoResetEvent event;
    EXPECT_FALSE(event.WaitFor(0ms));
    std::atomic<int> woken{0};
    const auto waiter = [&] { woken += event.WaitFor(300ms) ? 1 : 0; };
    std::thread first(waiter);
    std::thread second(waiter);
    event.Set();
    first.join();
    second.join();
    EXPECT_EQ(woken.load(), 1);
}
