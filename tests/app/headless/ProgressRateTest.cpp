#include "app/headless/ProgressRate.h"

#include <gtest/gtest.h>

using lt::ProgressRate;

namespace {

// A run sampled every half second, as the progress line is.
struct SampledRun {
    ProgressRate rate;
    double seconds = 1000;
    std::int64_t position = 0;

    SampledRun() { rate.record(seconds, position); }
    // pagesPerSecond: an even number, so that every sample is a whole page.
    void go(int forSeconds, int pagesPerSecond)
    {
        for (int i = 0; i < forSeconds * 2; ++i) {
            seconds += 0.5;
            position += pagesPerSecond / 2;
            rate.record(seconds, position);
        }
    }
};

} // namespace

TEST(ProgressRate, ShowsNothingUntilThreeSecondsHavePassed)
{
    ProgressRate rate;
    EXPECT_FALSE(rate.pagesPerSecond());
    EXPECT_EQ(rate.describe(100), "");
    rate.record(1000, 0);
    EXPECT_FALSE(rate.pagesPerSecond());
    rate.record(1002.9, 29);
    EXPECT_FALSE(rate.pagesPerSecond());
    EXPECT_EQ(rate.describe(100), "");
    rate.record(1003, 30);
    ASSERT_TRUE(rate.pagesPerSecond());
    EXPECT_DOUBLE_EQ(*rate.pagesPerSecond(), 10.0);
}

TEST(ProgressRate, TellsTheTimeLeftFromTheTotal)
{
    ProgressRate rate;
    rate.record(0, 100);
    rate.record(4, 110);
    EXPECT_EQ(rate.describe(std::nullopt), "  2.5 pages/s");
    EXPECT_EQ(rate.describe(120), "  2.5 pages/s  4s left");
    EXPECT_EQ(rate.describe(110 + 5 * 187 / 2), "  2.5 pages/s  3:07 left");
    EXPECT_EQ(rate.describe(110), "  2.5 pages/s  0s left");
    // Past a total that was counted short, nothing is left either.
    EXPECT_EQ(rate.describe(90), "  2.5 pages/s  0s left");

    // A run that stands still has a rate, and no time left to tell.
    ProgressRate stalled;
    stalled.record(0, 7);
    stalled.record(10, 7);
    EXPECT_EQ(stalled.describe(20), "  0.0 pages/s");
    EXPECT_EQ(stalled.describe(7), "  0.0 pages/s  0s left");
}

TEST(ProgressRate, FollowsTheLastMinuteOfARunThatChangesPace)
{
    SampledRun run;
    run.go(600, 20);
    ASSERT_TRUE(run.rate.pagesPerSecond());
    EXPECT_NEAR(*run.rate.pagesPerSecond(), 20, 0.1);
    // It slows down to 2 pages/s: half a minute later the rate is between
    // the two, a minute later it is the new one, not the whole run's average.
    run.go(30, 2);
    EXPECT_NEAR(*run.rate.pagesPerSecond(), 11, 0.1);
    run.go(31, 2);
    EXPECT_NEAR(*run.rate.pagesPerSecond(), 2, 0.1);
    // And speeds up again.
    run.go(90, 50);
    EXPECT_NEAR(*run.rate.pagesPerSecond(), 50, 0.1);
}

TEST(ProgressRate, DurationsReadAsAClockDoes)
{
    EXPECT_EQ(ProgressRate::duration(0), "0s");
    EXPECT_EQ(ProgressRate::duration(-5), "0s");
    EXPECT_EQ(ProgressRate::duration(42), "42s");
    EXPECT_EQ(ProgressRate::duration(59.4), "59s");
    EXPECT_EQ(ProgressRate::duration(59.6), "1:00");
    EXPECT_EQ(ProgressRate::duration(187), "3:07");
    EXPECT_EQ(ProgressRate::duration(3599), "59:59");
    EXPECT_EQ(ProgressRate::duration(3600), "1:00:00");
    EXPECT_EQ(ProgressRate::duration(3723), "1:02:03");
    EXPECT_EQ(ProgressRate::duration(100 * 3600 + 5), "100:00:05");
}
