#include "EngineTestSupport.h"
#include "HttpTestServer.h"
#include "search/engine/HarvestPage.h"
#include "base/Error.h"

#include <QPointer>
#include <QTest>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <csignal>
#include <gmock/gmock.h>

using namespace lt;
using namespace lt::test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::vector<std::string> allLinks(BrowserHost& host)
{
    std::vector<std::string> links;
    const std::int32_t n = host.linkCount();
    for (std::int32_t i = 0; i < n; ++i)
        links.push_back(host.linkText(i));
    return links;
}

std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(BrowserHost, ReadsResolvedLinksAndAreasInDocumentOrder)
{
    HttpTestServer server;
    server.serveHtml("/dir/page.html", R"(<html><body>
        <a href="http://Example.COM/A">a</a>
        <a href="rel.html">relative</a>
        <a name="anchor-without-address">none</a>
        <a href="/root?q=1#frag">root</a>
        <img src="x.png" usemap="#m"><map name="m">
          <area shape="rect" coords="0,0,5,5" href="area.html">
          <area shape="rect" coords="5,5,9,9">
        </map>
        <a href="mailto:someone@example.com">mail</a>
        <a href="https://example.org/">secure</a>
        </body></html>)");
    CountingHost h;
    EXPECT_EQ(h.host.locationUrl(), "");
    ASSERT_TRUE(h.load(server.url("/dir/page.html")));
    EXPECT_EQ(h.host.locationUrl(), server.url("/dir/page.html"));
    EXPECT_THAT(allLinks(h.host),
                ElementsAre("http://example.com/A", server.url("/dir/rel.html"), server.url("/root?q=1#frag"),
                            server.url("/dir/area.html"), "mailto:someone@example.com", "https://example.org/"));
    EXPECT_THAT(errorOf([&] { h.host.linkText(6); }), HasSubstr("out of bounds"));
}

TEST(BrowserHost, SeesLinksThatScriptsAddAfterLoad)
{
    HttpTestServer server;
    server.serveHtml("/late.html", R"(<html><body><a href="/first">first</a><script>
        setTimeout(function () {
            for (var i = 0; i < 3; ++i) {
                var a = document.createElement('a');
                a.href = '/added' + i;
                document.body.appendChild(a);
            }
        }, 200);
        </script></body></html>)");
    CountingHost h;
    ASSERT_TRUE(h.load(server.url("/late.html")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.host.linkCount() == 4; }, 10000));
    EXPECT_THAT(allLinks(h.host), ElementsAre(server.url("/first"), server.url("/added0"), server.url("/added1"),
                                              server.url("/added2")));
}

TEST(BrowserHost, PageScriptsCannotFeedTheHarvestFalseLinks)
{
    HttpTestServer server;
    server.serveHtml("/liar.html", R"(<html><head><script>
        var fake = ['http://fake.example/'];
        Array.from = function () { return fake; };
        Array.prototype.map = function () { return fake; };
        window.String = function () { return 'http://fake.example/'; };
        Object.defineProperty(Document.prototype, 'links',
            { get: function () { return [{ href: 'http://fake.example/' }]; } });
        Object.defineProperty(HTMLAnchorElement.prototype, 'href',
            { get: function () { return 'http://fake.example/'; } });
        </script></head><body><a href="/real">real</a></body></html>)");
    CountingHost h;
    ASSERT_TRUE(h.load(server.url("/liar.html")));
    EXPECT_THAT(allLinks(h.host), ElementsAre(server.url("/real")));
}

TEST(BrowserHost, DialogsAndPopupsNeitherStallNorOpen)
{
    HttpTestServer server;
    server.serveHtml("/noisy.html", R"(<html><body><script>
        alert('hello');
        var c = confirm('sure?');
        var p = prompt('name?', 'x');
        window.open('/popup.html', '_blank');
        document.title = 'after:' + c + ':' + p;
        </script><a href="/kept">kept</a></body></html>)");
    server.serveHtml("/popup.html", "<html><body>popup</body></html>");
    CountingHost h;
    ASSERT_TRUE(h.load(server.url("/noisy.html")));
    EXPECT_THAT(allLinks(h.host), ElementsAre(server.url("/kept")));
    EXPECT_EQ(h.host.page()->title(), "after:false:null");
    EXPECT_GE(h.host.page()->refusedRequests(), 3);
    QTest::qWait(300);
    EXPECT_EQ(server.requestCount("/popup.html"), 0);
}

TEST(BrowserHost, EveryLoadCompletesIncludingErrorsAndBadAddresses)
{
    HttpTestServer server;
    server.serveHtml("/a.html", "<a href='/x'>x</a>");
    const std::string gone = [] {
        HttpTestServer closed;
        return closed.url("/nothing-listens-here");
    }();
    CountingHost h;
    ASSERT_TRUE(h.load(server.url("/a.html")));
    ASSERT_TRUE(h.load(gone));
    EXPECT_EQ(h.host.tag(), 9);
    ASSERT_TRUE(h.load(""));
    EXPECT_EQ(h.host.locationUrl(), "about:blank");
    EXPECT_EQ(h.host.linkCount(), 0);
    ASSERT_TRUE(h.load(server.url("/a.html")));
    ASSERT_TRUE(h.load("no scheme here"));
    EXPECT_EQ(h.host.linkCount(), 0);
    EXPECT_EQ(h.host.lastAddress(), "no scheme here");
}

TEST(BrowserHost, APageThatNeverCompletesCanBeReadWhileItLoads)
{
    HttpTestServer server;
    HttpTestServer::Response r;
    r.body = "<html><body><a href='/one'>1</a><a href='/two'>2</a>";
    r.neverEnds = true;
    server.serve("/slow.html", r);
    CountingHost h;
    h.host.navigate(server.url("/slow.html"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.host.linkCount() == 2; }, 10000));
    EXPECT_EQ(h.completions, 0);
    EXPECT_EQ(h.host.locationUrl(), server.url("/slow.html"));
    EXPECT_THAT(allLinks(h.host), ElementsAre(server.url("/one"), server.url("/two")));
    server.stop();
}

TEST(BrowserHost, AHungRendererFailsInTimeAndTheNextPageLoads)
{
    HttpTestServer server;
    server.serveHtml("/hang.html", "<a href='/h'>h</a><script>"
        // Posted messages are not throttled the way timers of hidden pages are.
        "addEventListener('message', function () { for (;;) {} });"
        "onload = function () { postMessage('hang', '*'); };</script>");
    server.serveHtml("/fine.html", "<a href='/f'>f</a>");
    CountingHost h;
    h.host.setScriptTimeoutMs(1500);
    ASSERT_TRUE(h.load(server.url("/hang.html")));
    QTest::qWait(300);
    EXPECT_THAT(errorOf([&] { h.host.linkCount(); }), HasSubstr("did not answer within 1 seconds"));
    ASSERT_TRUE(h.load(server.url("/fine.html"), 15000));
    EXPECT_THAT(allLinks(h.host), ElementsAre(server.url("/f")));
}

TEST(BrowserHost, ACrashedRendererFailsAtOnceAndTheNextPageLoads)
{
    HttpTestServer server;
    server.serveHtml("/a.html", "<a href='/x'>x</a>");
    CountingHost h;
    ASSERT_TRUE(h.load(server.url("/a.html")));
    bool ended = false;
    QObject::connect(h.host.page(), &QWebEnginePage::renderProcessTerminated, [&] { ended = true; });
    ASSERT_GT(h.host.page()->renderProcessPid(), 0);
    ::kill(static_cast<pid_t>(h.host.page()->renderProcessPid()), SIGKILL);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended; }, 10000));
    EXPECT_THAT(errorOf([&] { h.host.linkCount(); }), HasSubstr("renderer has ended"));
    ASSERT_TRUE(h.load(server.url("/a.html")));
    EXPECT_THAT(allLinks(h.host), ElementsAre(server.url("/x")));
}

TEST(BrowserHost, DownloadsAndPermissionsAreRefused)
{
    HttpTestServer server;
    HttpTestServer::Response file;
    file.contentType = "application/octet-stream";
    file.body = std::string(1000, 'z');
    file.headers = {{"Content-Disposition", "attachment; filename=\"f.bin\""}};
    server.serve("/f.bin", file);
    server.serveHtml("/ask.html", R"(<script>
        Notification.requestPermission().then(function (p) { document.title = 'notify:' + p; });
        </script>)");
    CountingHost h;
    QPointer<QWebEngineDownloadRequest> download;
    QObject::connect(EngineEnvironment::profile().profile(), &QWebEngineProfile::downloadRequested,
                     [&](QWebEngineDownloadRequest* d) { download = d; });
    h.host.navigate(server.url("/f.bin"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !download.isNull(); }, 10000));
    EXPECT_EQ(download->state(), QWebEngineDownloadRequest::DownloadCancelled);

    // A password request is cancelled: the load completes, nothing waits,
    // and no document of the server's is there to harvest.
    HttpTestServer::Response locked;
    locked.status = 401;
    locked.body = "<a href='/denied'>denied</a>";
    locked.headers = {{"WWW-Authenticate", "Basic realm=\"test\""}};
    server.serve("/locked.html", locked);
    ASSERT_TRUE(h.load(server.url("/locked.html")));
    EXPECT_EQ(h.host.locationUrl(), "");

    ASSERT_TRUE(h.load(server.url("/ask.html")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.host.page()->title().startsWith("notify:"); }, 10000));
    EXPECT_EQ(h.host.page()->title(), "notify:denied");
}

TEST(BrowserHost, WorksOnTheViewItIsGiven)
{
    HttpTestServer server;
    server.serveHtml("/a.html", "<a href='/x'>x</a>");
    QWebEngineView view;
    auto* host = new WebEngineBrowserHost(view, EngineEnvironment::profile());
    EXPECT_EQ(view.page(), host->page());
    bool complete = false;
    host->setCompletionHandler([&] { complete = true; });
    host->navigate(server.url("/a.html"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return complete; }, 10000));
    EXPECT_THAT(allLinks(*host), ElementsAre(server.url("/x")));
    delete host;
    EXPECT_NE(view.page(), nullptr);
}

TEST(BrowserHost, APageThatAsksBeforeUnloadIsLeftAnyway)
{
    HttpTestServer server;
    server.serveHtml("/sticky.html", R"(<html><body style="height:500px" onclick="document.title='clicked'">
        <script>addEventListener('beforeunload', function (e) { e.preventDefault(); e.returnValue = 'stay'; return 'stay'; });</script>
        <a href='/s'>s</a></body></html>)");
    server.serveHtml("/next.html", "<a href='/n'>n</a>");
    QWebEngineView view;
    view.resize(400, 300);
    view.show();
    WebEngineBrowserHost host(view, EngineEnvironment::profile());
    int complete = 0;
    host.setCompletionHandler([&] { ++complete; });
    host.navigate(server.url("/sticky.html"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return complete == 1; }, 10000));
    // The page only may ask once the user has touched it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.focusProxy() != nullptr; }, 10000));
    QTest::qWait(200);
    QTest::mouseClick(view.focusProxy(), Qt::LeftButton, {}, QPoint(50, 50));
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.page()->title() == "clicked"; }, 10000));
    host.navigate(server.url("/next.html"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return complete == 2; }, 10000));
    EXPECT_EQ(host.locationUrl(), server.url("/next.html"));
    EXPECT_THAT(allLinks(host), ElementsAre(server.url("/n")));
}
