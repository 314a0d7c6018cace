#include "Fakes.h"
#include "search/LinkFilter.h"
#include "search/LinkHarvester.h"

#include <gtest/gtest.h>

using namespace lt;
using namespace lt::test;

namespace {
struct Harvest : ::testing::Test {
    FakeHost host;
    FakeView view;
    FoundSet found;
    std::int32_t count = 0;
    LinkHarvester harvester{host, view, view, view, found, count};

    void show(const std::string& location, std::vector<std::string> links)
    {
        host.location = location;
        host.shown = std::move(links);
    }
};
} // namespace

TEST(SiteKey, HostPartsOfTheTable)
{
    auto key = [](const char* loc) { return LinkFilter::siteKey(loc); };
    EXPECT_EQ(key("http://a.b/"), "a.b");
    EXPECT_EQ(key("http://w.a.b/x"), "a.b");
    EXPECT_EQ(key("http://x.w.a.b/"), "a.b");
    EXPECT_EQ(key("http://www.sina.com.cn/"), "com.cn");
    EXPECT_EQ(key("http://l1.l2.l3.l4.l5.l6.l7.l8.l9/"), "l7.l8.l9");
    EXPECT_EQ(key("http://w.a.b:8080/p"), "a.b:8080");
    EXPECT_EQ(key("http://192.168.10.20/"), "10.20");
    EXPECT_EQ(key("http://a/"), "a");
    EXPECT_EQ(key("https://w.a.b/"), "a.b");
}

TEST(SiteKey, OddLocations)
{
    auto key = [](const char* loc) { return LinkFilter::siteKey(loc); };
    EXPECT_EQ(key("http://w.a.b"), "");         // no "/" after the host
    EXPECT_EQ(key("file:///home/x.html"), "");  // "//" followed by "/"
    EXPECT_EQ(key("xw.a.b/p"), "a.b");          // no "//": first character dropped
    EXPECT_EQ(key("nothing"), "");
    EXPECT_EQ(key(""), "");
    EXPECT_EQ(key("http://.a.b/"), ".a.b");     // leading dot: no pass applies
}

TEST_F(Harvest, SchemeTestAcceptsOnlyLowerCaseHttp)
{
    show("http://w.a.b/", {"http://w.a.b/1", "https://w.a.b/2", "HTTP://w.a.b/3", "mailto:x@a.b",
                           "ftp://a.b/", "xhttp://a.b/"});
    harvester.harvest();
    EXPECT_EQ(view.results, std::vector<std::string>{"http://w.a.b/1"});
    EXPECT_EQ(count, 1);
    EXPECT_EQ(view.panels[5], "1");
}

TEST_F(Harvest, OwnSiteMatchesTheKeyAnywhereInTheLink)
{
    view.setOwnSiteOption(true);
    show("http://www.a.b/", {"http://c.d/?from=a.b", "http://xa.b/", "http://c.d/", "http://news.a.b/x"});
    harvester.harvest();
    EXPECT_EQ(view.results, (std::vector<std::string>{"http://c.d/?from=a.b", "http://xa.b/", "http://news.a.b/x"}));
}

TEST_F(Harvest, EmptyKeyWithOwnSiteAcceptsNothing)
{
    view.setOwnSiteOption(true);
    show("http://www.a.b", {"http://www.a.b/"});
    harvester.harvest();
    EXPECT_TRUE(view.results.empty());
}

TEST_F(Harvest, FilterListsLineRules)
{
    view.setFilterOption(true);
    view.setFilterText(FilterList::MustContain, "http://\nnews\n");
    view.setFilterText(FilterList::MustNotContain, "#\n\nads");
    show("http://a.b/", {"http://a.b/news/1", "http://a.b/news/1#top", "http://a.b/sport", "http://a.b/news/ads"});
    harvester.harvest();
    EXPECT_EQ(view.results, std::vector<std::string>{"http://a.b/news/1"});

    // An empty line inside the must-contain list rejects every link.
    view.results.clear();
    view.setFilterText(FilterList::MustContain, "news\n\nhttp");
    harvester.harvest();
    EXPECT_TRUE(view.results.empty());

    // Both lists empty: only the scheme and own-site tests apply.
    view.setFilterText(FilterList::MustContain, "");
    view.setFilterText(FilterList::MustNotContain, "");
    harvester.harvest();
    EXPECT_EQ(view.results.size(), 4u);
}

TEST_F(Harvest, FilterOffIgnoresTheLists)
{
    show("http://a.b/", {"http://a.b/#x"});
    harvester.harvest();
    EXPECT_EQ(view.results.size(), 1u);
    view.setFilterOption(true);
    view.results.clear();
    harvester.harvest();
    EXPECT_TRUE(view.results.empty()); // default "#" list rejects it
}

TEST_F(Harvest, RepeatsWithinAPageDropLetterCaseIgnoredButNotAcrossPages)
{
    show("http://a.b/", {"http://a.b/Page", "http://A.B/page", "http://a.b/page", "http://a.b/other"});
    harvester.harvest();
    EXPECT_EQ(view.results, (std::vector<std::string>{"http://a.b/Page", "http://a.b/other"}));
    harvester.harvest();
    EXPECT_EQ(view.results.size(), 4u);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(view.visibleCalls, 4);
}

TEST_F(Harvest, EmptyLocationKeepsTheFoundSet)
{
    show("http://a.b/", {"http://a.b/1"});
    harvester.harvest();
    show("", {"http://a.b/2"});
    harvester.harvest();
    EXPECT_EQ(found.size(), 1u);
    EXPECT_EQ(view.results.size(), 1u);
}

TEST_F(Harvest, FailureAtLinkKKeepsEarlierLinks)
{
    show("http://a.b/", {"http://a.b/0", "http://a.b/1", "http://a.b/2", "http://a.b/3"});
    host.failLinkAt = 2;
    EXPECT_THROW(harvester.harvest(), Error);
    EXPECT_EQ(view.results, (std::vector<std::string>{"http://a.b/0", "http://a.b/1"}));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(found.size(), 2u);
}

TEST(FoundSetIndex, KeepsOrderAcrossGrowthAndClear)
{
    FoundSet set;
    for (int i = 0; i < 5000; ++i)
        EXPECT_TRUE(set.insert("http://h/" + std::to_string(i) + "/X"));
    for (int i = 0; i < 5000; ++i)
        EXPECT_FALSE(set.insert("HTTP://H/" + std::to_string(i) + "/x"));
    EXPECT_EQ(set.size(), 5000u);
    EXPECT_EQ(set.links()[1234], "http://h/1234/X");
    EXPECT_TRUE(set.contains("http://h/4999/x"));
    EXPECT_FALSE(set.contains("http://h/5000/x"));
    set.clear();
    EXPECT_FALSE(set.contains("http://h/1/x"));
    EXPECT_TRUE(set.insert("http://h/1/x"));
    EXPECT_EQ(set.size(), 1u);
}

TEST(LinkFilterRules, HttpsOnlyWhenAskedFor)
{
    MemoryOptions options;
    LinkFilter window(options), command(options, LinkSchemes::HttpAndHttps);
    for (const char* link : {"http://a.b/", "https://a.b/"})
        EXPECT_TRUE(command.accepts(link, "a.b")) << link;
    EXPECT_TRUE(window.accepts("http://a.b/", "a.b"));
    EXPECT_FALSE(window.accepts("https://a.b/", "a.b"));
    for (const char* link : {"HTTPS://a.b/", "xhttps://a.b/", "ftp://a.b/"})
        EXPECT_FALSE(command.accepts(link, "a.b")) << link;
}

TEST(LinkFilterRules, WholePageHarvestMatchesTheStepByStepOne)
{
    // The same page through the stepped harvester and through harvestPage.
    const std::vector<std::string> links = {"http://w.a.b/1", "http://A.B/x#f", "http://c.d/a.b", "https://a.b/",
                                            "http://W.A.B/1", "http://c.d/2", "http://w.a.b/2"};
    FakeView view;
    view.setOwnSiteOption(true);
    view.setFilterOption(true);
    FakeHost host;
    host.location = "http://www.a.b/index";
    host.shown = links;
    FoundSet stepped, whole;
    std::int32_t count = 0;
    LinkHarvester(host, view, view, view, stepped, count).harvest();
    LinkFilter(view).harvestPage("http://www.a.b/index", std::vector<std::string>(links), whole);
    EXPECT_EQ(whole.links(), view.results);
    EXPECT_EQ(whole.links(), (std::vector<std::string>{"http://w.a.b/1", "http://c.d/a.b", "http://w.a.b/2"}));

    // An empty location harvests nothing and keeps what the set held.
    LinkFilter(view).harvestPage("", std::vector<std::string>(links), whole);
    EXPECT_EQ(whole.size(), 3u);
}
