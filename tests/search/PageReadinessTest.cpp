// When a page of a long list is read: the rule on probes of a loading page.
#include "search/PageReadiness.h"

#include <gtest/gtest.h>

using lt::PageProbe;
using lt::PageReadiness;

namespace {

constexpr int kSettle = 250;
const std::string kData = "http://forum.example/api/live";
const std::string kPoll = "http://third.example/poll";

PageProbe parsedFor(double quietMs)
{
    PageProbe p;
    p.parsed = true;
    p.quietMs = quietMs;
    return p;
}

PageProbe with(PageProbe p, const std::string& address, double ageMs, bool script = false)
{
    p.open.push_back({address, ageMs, script});
    return p;
}

PageProbe answered(PageProbe p, const std::string& address, double tookMs)
{
    p.answered.push_back({address, tookMs});
    return p;
}

} // namespace

TEST(PageReadiness, APageIsReadOnceParsedAnsweredAndSettled)
{
    PageReadiness rule(kSettle);
    PageProbe notParsed;
    notParsed.quietMs = 10000;
    EXPECT_FALSE(rule.ready(notParsed));
    EXPECT_FALSE(rule.ready(parsedFor(kSettle - 1)));
    // A data request of its scripts, or a script it loads, holds it.
    EXPECT_FALSE(rule.ready(with(parsedFor(1000), kData, 900)));
    EXPECT_FALSE(rule.ready(with(parsedFor(1000), "http://cdn.example/app.js", 900, true)));
    EXPECT_TRUE(rule.ready(parsedFor(kSettle)));
}

TEST(PageReadiness, ARequestOpenPastTheHoldIsTakenForALongPoll)
{
    PageReadiness rule(kSettle, 3000);
    EXPECT_FALSE(rule.ready(with(parsedFor(2000), kPoll, 2999)));
    EXPECT_TRUE(rule.ready(with(parsedFor(2000), kPoll, 3000)));
    EXPECT_EQ(rule.longOpen().count(kPoll), 1u);
    // Its later requests hold no page, while other data still does.
    EXPECT_TRUE(rule.ready(with(parsedFor(500), kPoll, 10)));
    EXPECT_FALSE(rule.ready(with(with(parsedFor(500), kPoll, 10), kData, 10)));
    // A script that does not come holds no page past the hold, but its
    // address is not one to leave out.
    EXPECT_TRUE(rule.ready(with(parsedFor(500), "http://cdn.example/slow.js", 3000, true)));
    EXPECT_EQ(rule.longOpen().size(), 1u);
}

TEST(PageReadiness, AnAddressThatHasAnsweredInTimeServesDataForGood)
{
    PageReadiness rule(kSettle, 3000);
    rule.ready(answered(parsedFor(0), kData, 600));
    // A busy site keeps a data request queued past the hold: it holds its
    // own page no more, but later pages still wait for theirs.
    EXPECT_TRUE(rule.ready(with(parsedFor(1000), kData, 3500)));
    EXPECT_TRUE(rule.longOpen().empty());
    EXPECT_FALSE(rule.ready(with(parsedFor(1000), kData, 100)));
}

TEST(PageReadiness, ALongPollThatAnswersInTimeIsWaitedForAgain)
{
    PageReadiness rule(kSettle, 3000);
    rule.ready(with(parsedFor(0), kPoll, 4000));
    const auto changes = rule.changes();
    rule.ready(answered(parsedFor(0), kPoll, 200));
    EXPECT_TRUE(rule.longOpen().empty());
    EXPECT_GT(rule.changes(), changes);
    EXPECT_FALSE(rule.ready(with(parsedFor(1000), kPoll, 100)));
    // An answer that took longer than the hold shows nothing.
    PageReadiness other(kSettle, 3000);
    other.ready(with(parsedFor(0), kPoll, 4000));
    other.ready(answered(parsedFor(0), kPoll, 60000));
    EXPECT_EQ(other.longOpen().count(kPoll), 1u);
}
