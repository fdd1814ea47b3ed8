#include "common/TimeText.h"

#include <gtest/gtest.h>

namespace {

struct TimeCase
{
    std::int32_t seconds;
    const char* text;
};

class FormatTimeTest : public testing::TestWithParam<TimeCase>
{};

TEST_P(FormatTimeTest, WritesHoursMinutesSecondsWithTwoDigitsAtLeast)
{
    EXPECT_EQ(FormatTime(GetParam().seconds).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Examples, FormatTimeTest,
                         testing::Values(TimeCase{0, "00:00:00"}, TimeCase{9, "00:00:09"},
                                         TimeCase{10, "00:00:10"}, TimeCase{59, "00:00:59"},
                                         TimeCase{61, "00:01:01"}, TimeCase{3599, "00:59:59"},
                                         TimeCase{3600, "01:00:00"}, TimeCase{36000, "10:00:00"},
                                         TimeCase{360000, "100:00:00"},
                                         TimeCase{2147483647, "596523:14:07"}));

TEST(MediaTimeTest, HundredNanosecondUnitsBecomeSeconds)
{
    EXPECT_DOUBLE_EQ(MediaTimeToSeconds(10'000'000), 1.0);
    // Ten hours stays exact to the 100 ns unit.
    EXPECT_DOUBLE_EQ(MediaTimeToSeconds(360'000'000'001), 36000.0000001);
}

} // namespace
