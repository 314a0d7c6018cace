// Whole searches through the search controller and the real engine, over
// lists as users write them: GB2312 text, lines that load no page of their
// own, addresses without a scheme, over-long lines.
#include "EngineTestSupport.h"
#include "Fakes.h"
#include "HttpTestServer.h"
#include "cache/BrowserDataCleaner.h"
#include "cache/WebEngineDataStore.h"
#include "search/FoundSet.h"
#include "search/SearchController.h"
#include "search/engine/HarvestPage.h"

#include <fstream>
#include <gmock/gmock.h>

using namespace lt;
using namespace lt::test;
using ::testing::ElementsAre;

namespace {

struct EngineSearch {
    TempDir dir;
    HttpTestServer server;
    FakeView view;
    ManualTimer timer;
    WebEngineBrowserHost host{EngineEnvironment::profile()};
    FoundSet found;
    WebEngineDataStore store{EngineEnvironment::profile().profile()};
    SearchController c{view, view, timer, ProgressFile(dir.path()), found,
                       SearchEnvironment{[](int) {}, [this] { BrowserDataCleaner(store).clean(); },
                                         [] { return std::string("192.0.2.1"); }}};
    // The results each line's harvest appended, by line.
    std::vector<std::vector<std::string>> byLine;

    EngineSearch()
    {
        store.addPage(host.page());
        c.bindBrowserHost(&host);
        host.setCompletionHandler([this] { c.pageComplete(); });
    }

    void choose(const std::string& bytes)
    {
        view.fileAnswers.push_back(dir.write("list.txt", bytes));
        c.chooseList();
    }

    // Starts a search and runs it to its end.
    void run()
    {
        c.start();
        runSteps();
    }
    // A tick comes as soon as the page has completed, or after tickMs: a
    // page that never completes is harvested at the sixth tick, as on a timer.
    void runSteps(int tickMs = 1000)
    {
        std::size_t before = view.results.size();
        int line = c.position();
        while (timer.armed) {
            [[maybe_unused]] const bool completed = QTest::qWaitFor([&] { return host.tag() != 0; }, tickMs);
            c.step();
            if (c.position() != line || !timer.armed) {
                byLine.emplace_back(view.results.begin() + static_cast<std::ptrdiff_t>(before), view.results.end());
                before = view.results.size();
                line = c.position();
            }
        }
    }
    std::string at(const std::string& path) const { return server.url(path); }
};

} // namespace

TEST(SearchOnEngine, AGbListLoadsEveryLineAsWritten)
{
    EngineSearch s;
    // "址" alone is also valid UTF-8 (U+05B7); "网址" is not.
    s.server.serveHtml("/g2/%E5%9D%80", "<a href='/from-g2'>g2</a>");
    s.server.serveHtml("/g1/%E7%BD%91%E5%9D%80", "<a href='/from-g1'>g1</a>");
    s.choose(s.at("/g2/") + "\xd6\xb7\r\n" + s.at("/g1/") + "\xcd\xf8\xd6\xb7 \xd7\xa2\xca\xcd\r\n");
    s.run();
    EXPECT_THAT(s.view.results, ElementsAre(s.at("/from-g2"), s.at("/from-g1")));
    EXPECT_EQ(s.server.requestCount("/g2/%E5%9D%80"), 1);
    EXPECT_EQ(s.server.requestCount("/g1/%E7%BD%91%E5%9D%80"), 1);
}

TEST(SearchOnEngine, ALineThatShowsNoDocumentOfItsOwnAddsNothing)
{
    EngineSearch s;
    s.server.serveHtml("/a", "<a href='/x'>x</a><a href='/y'>y</a>");
    s.server.serveHtml("/b", "<a href='/z'>z</a>");
    HttpTestServer::Response attachment;
    attachment.body = "<a href='/never'>never</a>";
    attachment.headers = {{"Content-Disposition", "attachment; filename=\"a.html\""}};
    s.server.serve("/attachment", attachment);
    HttpTestServer::Response binary;
    binary.contentType = "application/octet-stream";
    binary.body = std::string(2000, 'b');
    s.server.serve("/binary", binary);
    HttpTestServer::Response empty;
    empty.status = 204;
    s.server.serve("/empty", empty);
    HttpTestServer::Response pdf;
    pdf.contentType = "application/pdf";
    pdf.body = "%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n";
    s.server.serve("/doc.pdf", pdf);
    HttpTestServer::Response silent;
    silent.neverAnswers = true;
    s.server.serve("/silent", silent);

    const char* const noDocument[] = {"/attachment", "/binary", "/empty", "/doc.pdf", "/silent"};
    std::string list = s.at("/a") + "\r\n";
    for (const char* path : noDocument)
        list += s.at(path) + "\r\n";
    list += "mailto:someone@example.com\r\nftp://127.0.0.1:" + std::to_string(s.server.port()) + "/x\r\n";
    list += s.at("/b") + "\r\n";
    s.choose(list);
    s.run();

    ASSERT_EQ(s.byLine.size(), 9u);
    EXPECT_THAT(s.byLine[0], ElementsAre(s.at("/x"), s.at("/y")));
    for (std::size_t line = 1; line <= 7; ++line)
        EXPECT_TRUE(s.byLine[line].empty()) << "line " << line + 1;
    EXPECT_THAT(s.byLine[8], ElementsAre(s.at("/z")));
    EXPECT_EQ(s.c.foundCount(), 3);
    EXPECT_EQ(s.view.panels[5], "3");
    EXPECT_EQ(s.c.position(), 9);
    for (const char* path : noDocument)
        EXPECT_EQ(s.server.requestCount(path), 1) << path;
    s.server.stop();
}

TEST(SearchOnEngine, AddressesWithoutASchemeLoadAsInAnAddressBar)
{
    EngineSearch s;
    const std::string port = std::to_string(s.server.port());
    s.server.serveHtml("/x", "<a href='/from-ip'>ip</a>");
    s.server.serveHtml("/a", "<a href='/from-www'>www</a>");
    s.server.serveHtml("/", "<a href='/from-bare'>bare</a>");
    s.server.serveHtml("/%E8%B7%AF%E5%BE%84", "<a href='/from-idn'>idn</a>");
    s.choose("127.0.0.1:" + port + "/x\r\nwww.site.example:" + port + "/a\r\nsite.example:" + port +
             "\r\n中文.example:" + port + "/路径\r\n");
    s.run();
    EXPECT_THAT(s.view.results, ElementsAre(s.at("/from-ip"), "http://www.site.example:" + port + "/from-www",
                                            "http://site.example:" + port + "/from-bare",
                                            "http://中文.example:" + port + "/from-idn"));
    EXPECT_EQ(s.c.foundCount(), 4);
}

TEST(SearchOnEngine, LinksAndTheOwnSiteAreReadInTheAddressBarsForm)
{
    EngineSearch s;
    const std::string port = std::to_string(s.server.port());
    const std::string site = "http://网站.example:" + port;
    s.server.serveHtml("/page", "<a href='/k-na-中文'>path</a><a href='/s?q=中文'>query</a>"
                                "<a href='/Été'>upper</a><a href='/été'>lower</a><a href='/a b'>blank</a>"
                                "<a href='http://其他.example/中文'>other site</a>");
    s.choose(site + "/page\r\n");
    s.view.setOwnSiteOption(true);
    s.view.setFilterOption(true);
    s.view.setFilterText(FilterList::MustContain, "中文");
    s.view.setFilterText(FilterList::MustNotContain, "#");
    s.run();
    // The own site is "网站.example:port"; "/été" repeats "/Été".
    EXPECT_THAT(s.view.results, ElementsAre(site + "/k-na-中文", site + "/s?q=中文"));

    s.view.setOwnSiteOption(false);
    s.view.setFilterOption(false);
    s.run();
    EXPECT_THAT(s.view.results, ElementsAre(site + "/k-na-中文", site + "/s?q=中文", site + "/Été",
                                            site + "/a%20b", "http://其他.example/中文"));
}

TEST(SearchOnEngine, OverLongLinesCostTheirAddressAndLoadNothingOfTheirOwn)
{
    EngineSearch s;
    s.server.serveHtml("/a", "<a href='/x'>x</a>");
    s.server.serveHtml("/b", "<a href='/z'>z</a>");
    const std::string path = s.dir.file("long.txt");
    {
        std::ofstream out(path, std::ios::binary);
        const std::string block(1 << 20, 'c');
        out << s.at("/a") << ' ';
        for (int i = 0; i < 64; ++i)
            out << block;
        out << "\r\n" << s.at("/long?") << block << block << block << "\r\n" << s.at("/b") << "\r\n";
    }
    s.view.fileAnswers.push_back(path);
    s.c.chooseList();
    EXPECT_EQ(s.view.panels[1], "3");
    s.run();
    ASSERT_EQ(s.byLine.size(), 3u);
    EXPECT_THAT(s.byLine[0], ElementsAre(s.at("/x")));
    EXPECT_TRUE(s.byLine[1].empty());
    EXPECT_THAT(s.byLine[2], ElementsAre(s.at("/z")));
    EXPECT_EQ(s.c.foundCount(), 2);
    EXPECT_EQ(s.server.requestCount("/a"), 1);

    // Continue passes the long lines as it skips them.
    s.view.inputAnswers.push_back(std::string("2"));
    s.view.results.clear();
    s.c.continueSearch();
    s.runSteps();
    EXPECT_THAT(s.view.results, ElementsAre(s.at("/z")));
    EXPECT_EQ(s.c.position(), 3);
}
