// The harvest over real pages: what the engine reports meets the scheme,
// own-site and filter tests.
#include "EngineTestSupport.h"
#include "Fakes.h"
#include "HttpTestServer.h"
#include "search/FoundSet.h"
#include "search/LinkHarvester.h"

#include <gmock/gmock.h>

using namespace lt;
using namespace lt::test;
using ::testing::ElementsAre;

namespace {

struct HarvestRig {
    HttpTestServer server;
    CountingHost h;
    FakeView view;
    FoundSet found;
    std::int32_t foundCount = 0;
    LinkHarvester harvester{h.host, view, view, view, found, foundCount};

    HarvestRig()
    {
        server.serveHtml("/page.html", R"HTML(<html><body>
            <a href="/own/1">own</a>
            <a href="keep/2">relative own</a>
            <a href="http://other.example/keep">other site</a>
            <a href="https://secure.example/keep">https</a>
            <a href="mailto:x@example.com">mail</a>
            <a href="javascript:void(0)">script</a>
            <a href="/own/1">repeat</a>
            <a href="/OWN/1">repeat in other letter case</a>
            <a href="/own/3#part">fragment</a>
            </body></html>)HTML");
    }
    std::string at(const std::string& path) { return server.url(path); }
};

} // namespace

TEST(HarvestOnEngine, OnlyPlainHttpLinksPassAndRepeatsAreDropped)
{
    HarvestRig rig;
    ASSERT_TRUE(rig.h.load(rig.at("/page.html")));
    rig.harvester.harvest();
    EXPECT_THAT(rig.view.results, ElementsAre(rig.at("/own/1"), rig.at("/keep/2"), "http://other.example/keep",
                                              rig.at("/own/3#part")));
    EXPECT_EQ(rig.foundCount, 4);
    EXPECT_EQ(rig.view.panels[5], "4");
}

TEST(HarvestOnEngine, OwnSiteAndFiltersOnRealLinks)
{
    HarvestRig rig;
    ASSERT_TRUE(rig.h.load(rig.at("/page.html")));
    rig.view.setOwnSiteOption(true);
    rig.harvester.harvest();
    // The site key of 127.0.0.1:port is "0.1:port", found in every own link.
    EXPECT_THAT(rig.view.results,
                ElementsAre(rig.at("/own/1"), rig.at("/keep/2"), rig.at("/own/3#part")));

    rig.view.results.clear();
    rig.view.setOwnSiteOption(false);
    rig.view.setFilterOption(true);
    rig.view.setFilterText(FilterList::MustContain, "keep\n");
    rig.view.setFilterText(FilterList::MustNotContain, "#\nother");
    rig.harvester.harvest();
    EXPECT_THAT(rig.view.results, ElementsAre(rig.at("/keep/2")));
}
