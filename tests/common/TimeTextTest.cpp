#include "common/TimeText.h"

#include <gtest/gtest.h>

TEST(FormatTimeTest, WritesHoursMinutesSecondsWithTwoDigitsAtLeast)
{
    const std::pair<std::int32_t, const char*> cases[] = {
        {9, "00:00:09"},
        {61, "00:01:01"},
        {3599, "00:59:59"},
        {360000, "100:00:00"},
        {2147483647, "596523:14:07"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(FormatTime(seconds).toStdString(), text);
    }
}
