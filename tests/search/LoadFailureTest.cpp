#include "search/LoadFailure.h"

#include <gtest/gtest.h>

using namespace lt;

TEST(LoadFailure, OnlyFailuresThatMayPassAreTriedAgain)
{
    for (int status : {408, 429, 500, 502, 503, 504, 599})
        EXPECT_TRUE(httpStatusFailure(status).transient) << status;
    for (int status : {400, 401, 403, 404, 410, 451})
        EXPECT_FALSE(httpStatusFailure(status).transient) << status;
    EXPECT_TRUE(networkFailure(-102, "").transient);  // refused: the server may come back
    EXPECT_TRUE(networkFailure(-101, "").transient);  // reset
    EXPECT_TRUE(networkFailure(-118, "").transient);  // connection timed out
    EXPECT_FALSE(networkFailure(-105, "").transient); // no such host
    EXPECT_FALSE(certificateFailure(-202).transient);

    const RetryPolicy policy(2);
    EXPECT_TRUE(policy.triesAgain(httpStatusFailure(503), 1));
    EXPECT_TRUE(policy.triesAgain(httpStatusFailure(503), 2));
    EXPECT_FALSE(policy.triesAgain(httpStatusFailure(503), 3));
    EXPECT_FALSE(RetryPolicy(0).triesAgain(networkFailure(-102, ""), 1));
}

TEST(LoadFailure, TheUserReadsWordsNotNumbers)
{
    EXPECT_EQ(httpStatusFailure(404).words, "HTTP 404 Not Found");
    EXPECT_EQ(httpStatusFailure(418).words, "HTTP 418");
    EXPECT_EQ(networkFailure(-102, "net::ERR_CONNECTION_REFUSED").words, "connection refused");
    EXPECT_EQ(networkFailure(-105, "net::ERR_NAME_NOT_RESOLVED").words, "host not found");
    EXPECT_EQ(certificateFailure(-201).words, "certificate not trusted");
    // An error this program has no words for keeps the engine's.
    EXPECT_EQ(networkFailure(-999, "net::ERR_SOMETHING").words, "network error -999 (net::ERR_SOMETHING)");
    EXPECT_TRUE(httpStatusFailure(500).hasDocument());
    EXPECT_FALSE(networkFailure(-102, "").hasDocument());
}

TEST(LoadFailure, RetryAfterReadsSecondsAndDates)
{
    const std::time_t now = 784111777; // Sun, 06 Nov 1994 08:49:37 GMT
    EXPECT_EQ(retryAfterSeconds("120", now), 120);
    EXPECT_EQ(retryAfterSeconds(" 0 ", now), 0);
    EXPECT_EQ(retryAfterSeconds("Sun, 06 Nov 1994 08:51:37 GMT", now), 120);
    EXPECT_EQ(retryAfterSeconds("Sun, 06 Nov 1994 08:00:00 GMT", now), 0); // already past
    EXPECT_EQ(retryAfterSeconds("99999999999999999999", now), 999999999);
    for (const char* bad : {"", "soon", "-5", "1.5", "Sunday, 06-Nov-94 08:49:37 GMT", "Sun, 06 Foo 1994 08:49:37 GMT"})
        EXPECT_FALSE(retryAfterSeconds(bad, now)) << bad;
}

TEST(LoadFailure, PausesGrowAndRetryAfterWithinItsBoundLengthensThem)
{
    const RetryPolicy policy(10);
    EXPECT_EQ(policy.pauseMs(1, std::nullopt), 1000);
    EXPECT_EQ(policy.pauseMs(2, std::nullopt), 2000);
    EXPECT_EQ(policy.pauseMs(3, std::nullopt), 4000);
    EXPECT_EQ(policy.pauseMs(9, std::nullopt), 30000);
    EXPECT_EQ(policy.pauseMs(1, 5), 5000);
    EXPECT_EQ(policy.pauseMs(3, 1), 4000); // never shorter than its own
    EXPECT_EQ(policy.pauseMs(1, RetryPolicy::kMaxRetryAfterSeconds), RetryPolicy::kMaxRetryAfterSeconds * 1000);
    EXPECT_TRUE(RetryPolicy::tooLong(RetryPolicy::kMaxRetryAfterSeconds + 1));
    EXPECT_FALSE(RetryPolicy::tooLong(std::nullopt));
}
