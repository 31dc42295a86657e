#include "install/time_estimate.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using install::TimeEstimate;

std::string Line(int32_t seconds) {
    char text[64];
    TimeEstimate::Format(seconds, text, sizeof text);
    return text;
}

TEST(TimeEstimate, TheThreeFormsOfTheLine) {
    EXPECT_EQ(Line(0), "估计剩余时间0秒.");
    EXPECT_EQ(Line(59), "估计剩余时间59秒.");
    EXPECT_EQ(Line(60), "估计剩余时间1分0秒.");
    EXPECT_EQ(Line(3599), "估计剩余时间59分59秒.");
    EXPECT_EQ(Line(3600), "估计剩余时间1小时0分0秒.");
    EXPECT_EQ(Line(3661), "估计剩余时间1小时1分1秒.");
}

TEST(TimeEstimate, FollowsTheRateOnlyBeyondAFactorOfFour) {
    char text[64];
    TimeEstimate estimate(1000000);
    ASSERT_TRUE(estimate.Update(10000, 100, text, sizeof text));  // 100 bytes/ms
    EXPECT_EQ(estimate.rate(), 100.0);
    EXPECT_EQ(std::string(text), Line(9));           // 990000 bytes at 100/ms: 9.9 s, truncated
    estimate.Update(35000, 100, text, sizeof text);  // 350: ratio 3.5 keeps 100
    EXPECT_EQ(estimate.rate(), 100.0);
    estimate.Update(40100, 100, text, sizeof text);  // 401: replaces
    EXPECT_EQ(estimate.rate(), 401.0);

    TimeEstimate falling(1000000);
    falling.Update(10000, 100, text, sizeof text);
    falling.Update(2500, 100, text, sizeof text);  // 25: exactly a quarter keeps 100
    EXPECT_EQ(falling.rate(), 100.0);
    falling.Update(2400, 100, text, sizeof text);  // 24: replaces
    EXPECT_EQ(falling.rate(), 24.0);
}

TEST(TimeEstimate, TheFirstTickAndNothingDone) {
    char text[64] = "unchanged";
    TimeEstimate nothing(0);
    EXPECT_FALSE(nothing.Update(0, 0, text, sizeof text)) << "0/0 is no estimate";
    EXPECT_STREQ(text, "unchanged");
    EXPECT_FALSE(nothing.Update(0, 50, text, sizeof text)) << "a rate of 0 is no estimate";

    TimeEstimate instant(100000);
    ASSERT_TRUE(instant.Update(5000, 0, text, sizeof text));  // within the first tick
    EXPECT_EQ(std::string(text), Line(0));
    ASSERT_TRUE(instant.Update(10000, 100, text, sizeof text));  // ratio 0 replaces infinity
    EXPECT_EQ(instant.rate(), 100.0);
    EXPECT_EQ(std::string(text), Line(0));  // 90000 bytes at 100/ms: 0.9 s
}

TEST(TimeEstimate, ACrawlingRateSaysTheMostItCanInsteadOfWrapping) {
    char text[64];
    TimeEstimate slow(INT64_C(0x7FFFFFFF) * 1000);
    ASSERT_TRUE(slow.Update(1, 1000000, text, sizeof text));
    EXPECT_EQ(std::string(text), Line(2147483));
}

}  // namespace
