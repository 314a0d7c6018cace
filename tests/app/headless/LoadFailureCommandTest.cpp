// linktrawl --jobs on pages whose own load fails: what it says of them, how
// it tries them again, and how it paces the sites it loads from.
#include "CommandFixture.h"
#include "TlsTestServer.h"

#include <gmock/gmock.h>
#include <sstream>

using namespace lt::test;
using ::testing::HasSubstr;
using ::testing::Not;
using std::chrono::milliseconds;

namespace {

class LoadFailureCommand : public CommandFixture {
protected:
    void list(const std::vector<std::string>& addresses)
    {
        std::string text;
        for (const auto& a : addresses)
            text += a + "\n";
        QFile f(QString::fromStdString(dir.file("list.txt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), static_cast<qint64>(text.size()));
    }

    static HttpTestServer::Response status(int code, const std::string& body = "")
    {
        HttpTestServer::Response r;
        r.status = code;
        r.body = body;
        return r;
    }

    // A port nothing listens on.
    static std::string refusedAddress()
    {
        HttpTestServer gone;
        const std::string url = gone.url("/gone.html");
        gone.stop();
        return url;
    }

    static long long gapMs(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b)
    {
        return std::chrono::duration_cast<milliseconds>(b - a).count();
    }
};

// Host names under .invalid are never found: the engine is told so, no
// lookup leaves the machine. (The variable is split at blanks, the rule at
// any white space.)
struct UnknownHosts {
    UnknownHosts() { qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--host-resolver-rules=MAP\t*.invalid\t~NOTFOUND"); }
    ~UnknownHosts() { qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS"); }
};

} // namespace

TEST_F(LoadFailureCommand, EveryFailedLoadIsSaidWithItsReasonAndCountsForExitStatus3)
{
    UnknownHosts unknown;
    TlsTestServer tls(server.port());
    server.serveHtml("/a.html", "<a href='/from-a'>a</a>");
    server.serveHtml("/b.html", "<a href='/from-b'>b</a>");
    server.serve("/missing.html", status(404, "<nav><a href='/menu'>home</a></nav>"));
    const std::string refused = refusedAddress();
    list({server.url("/a.html"), refused, "http://nowhere.invalid/", tls.url("/a.html"), server.url("/missing.html"),
          server.url("/b.html")});

    Outcome r = run({"--jobs", "3", "--retries", "0", "list.txt"});
    EXPECT_EQ(r.exitCode, 3) << r.err;
    // The error page's menu is harvested where its line stands; the failed
    // loads give nothing, not the links of the page before them.
    EXPECT_EQ(r.out, links({"/from-a", "/menu", "/from-b"}));
    EXPECT_THAT(r.err, HasSubstr("line 2 (" + refused + "): connection refused\n"));
    EXPECT_THAT(r.err, HasSubstr("line 3 (http://nowhere.invalid/): host not found\n"));
    EXPECT_THAT(r.err, HasSubstr("line 4 (" + tls.url("/a.html") + "): certificate not trusted\n"));
    EXPECT_THAT(r.err, HasSubstr("line 5 (" + server.url("/missing.html") + "): HTTP 404 Not Found; the page it "
                                 "served is harvested\n"));
    EXPECT_THAT(r.err, Not(HasSubstr("line 1 ")));
    EXPECT_THAT(r.err, Not(HasSubstr("line 6 ")));
    // The engine's own log lines of these failures stay off standard error.
    std::istringstream lines(r.err);
    for (std::string line; std::getline(lines, line);)
        EXPECT_EQ(line.rfind("linktrawl: ", 0), 0u) << line;
    // Only failures that may pass were worth a second try, and none was given.
    EXPECT_EQ(server.requestCount("/missing.html"), 1);

    // As curl -k: the untrusted site's page is read.
    list({tls.url("/b.html")});
    r = run({"--jobs", "1", "--insecure", "--https", "list.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, tls.url("/from-b") + "\n");
    EXPECT_GE(tls.handshakes(), 1);
}

TEST_F(LoadFailureCommand, TheStepSearchStillPassesOverFailedLoadsInSilence)
{
    server.serveHtml("/a.html", "<a href='/from-a'>a</a>");
    list({server.url("/a.html"), refusedAddress()});
    Outcome r = run({"--interval", "1", "list.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_THAT(r.err, Not(HasSubstr("connection refused")));
}

TEST_F(LoadFailureCommand, PassingFailuresAreTriedAgainAfterGrowingPauses)
{
    // Busy twice, then there.
    server.serveInTurn("/busy.html", {status(503), status(502), status(200, "<a href='/at-last'>x</a>")});
    // Always failing: tried 1 + 2 times, then reported with its last page.
    server.serve("/broken.html", status(500, "<a href='/sorry'>sorry</a>"));
    // Not worth another try.
    server.serve("/gone.html", status(410));
    list({server.url("/busy.html"), server.url("/broken.html"), server.url("/gone.html")});

    Outcome r = run({"--jobs", "3", "list.txt"});
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_EQ(r.out, links({"/at-last", "/sorry"}));
    EXPECT_THAT(r.err, Not(HasSubstr("busy.html")));
    EXPECT_THAT(r.err, HasSubstr("line 2 (" + server.url("/broken.html") + "): HTTP 500 Internal Server Error "
                                 "(after 2 retries); the page it served is harvested\n"));
    EXPECT_THAT(r.err, HasSubstr("line 3 (" + server.url("/gone.html") + "): HTTP 410 Gone; the page"));
    EXPECT_EQ(server.requestCount("/gone.html"), 1);

    // 503 and 502 asked no Retry-After of a HEAD (only 429 and 503 do): the
    // GETs came a pause of 1 s, then 2 s apart.
    auto busy = server.requestTimes("/busy.html");
    ASSERT_EQ(busy.size(), 4u); // GET, HEAD after the 503, GET, GET
    EXPECT_GE(gapMs(busy[0], busy[2]), 1000);
    EXPECT_GE(gapMs(busy[2], busy[3]), 2000);
    auto broken = server.requestTimes("/broken.html");
    ASSERT_EQ(broken.size(), 3u);
    EXPECT_GE(gapMs(broken[1], broken[2]), 2000);
}

TEST_F(LoadFailureCommand, RetryAfterIsWaitedForUpToItsBound)
{
    HttpTestServer::Response slowDown = status(429);
    slowDown.headers = {{"Retry-After", "3"}};
    server.serveInTurn("/limited.html", {slowDown, status(200, "<a href='/in'>in</a>")});
    HttpTestServer::Response never = status(503);
    never.headers = {{"Retry-After", "3600"}};
    server.serve("/closed.html", never);
    list({server.url("/limited.html"), server.url("/closed.html")});

    Outcome r = run({"--jobs", "2", "--retries", "1", "list.txt"});
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_EQ(r.out, links({"/in"}));
    auto limited = server.requestTimes("/limited.html");
    ASSERT_EQ(limited.size(), 3u); // GET, HEAD, GET
    EXPECT_GE(gapMs(limited[0], limited[2]), 3000);
    // An hour is past the bound: no second GET, and the reason says why.
    EXPECT_EQ(server.requestCount("/closed.html"), 2); // GET, HEAD
    EXPECT_THAT(r.err, HasSubstr("HTTP 503 Service Unavailable (Retry-After 3600 seconds, longer than 120 seconds)"));
}

TEST_F(LoadFailureCommand, APoliteRunKeepsToItsSitesLimitAndDelay)
{
    std::vector<std::string> pages;
    for (int n = 1; n <= 6; ++n) {
        const std::string path = "/p" + std::to_string(n) + ".html";
        HttpTestServer::Response r = status(200, "<a href='/l" + std::to_string(n) + "'>x</a>");
        r.delayMs = 300;
        server.serve(path, r);
        pages.push_back(server.url(path));
    }
    list(pages);
    Outcome r = run({"--jobs", "6", "--per-site", "2", "list.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, links({"/l1", "/l2", "/l3", "/l4", "/l5", "/l6"}));
    EXPECT_LE(server.mostAtOnce(), 2);

    pages.resize(4);
    list(pages);
    r = run({"--jobs", "4", "--delay", "800", "list.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, links({"/l1", "/l2", "/l3", "/l4"}));
    std::vector<std::chrono::steady_clock::time_point> requests;
    for (int n = 1; n <= 4; ++n)
        requests.push_back(server.requestTimes("/p" + std::to_string(n) + ".html").back());
    std::sort(requests.begin(), requests.end());
    // Loads start 800 ms apart; a request may leave a little after its load
    // starts, hence the margin.
    for (std::size_t i = 1; i < requests.size(); ++i)
        EXPECT_GE(gapMs(requests[i - 1], requests[i]), 400) << i;
}
