#include "CacheFirstSite.h"
#include "EngineTestSupport.h"
#include "HttpTestServer.h"
#include "cache/DelIECache.h"
#include "cache/WebEngineDataStore.h"
#include "search/engine/HarvestPage.h"
#include "ui/WindowLook.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QToolButton>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <gmock/gmock.h>

using namespace lt;
using namespace lt::test;

namespace {

class RecordingStore : public BrowserDataStore {
public:
    std::vector<std::string> calls;
    void clearHistory() override { calls.push_back("history"); }
    void deleteCacheEntries() override { calls.push_back("cache"); }
    void deleteServiceWorkers() override { calls.push_back("workers"); }
};

} // namespace

TEST(Tdelform, IsAHiddenWindowWhoseButtonRunsTheClean)
{
    RecordingStore store;
    Tdelform form(store);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("清空IE历史数据"));
    EXPECT_EQ(form.size().grownBy(lt::frameOf(form)), QSize(202, 111)); // outer size
    EXPECT_FALSE(form.isVisible());
    ASSERT_NE(form.SpeedButton4, nullptr);
    EXPECT_EQ(form.SpeedButton4->objectName(), "SpeedButton4");
    EXPECT_EQ(form.SpeedButton4->text(), QStringLiteral("清理"));
    EXPECT_EQ(form.SpeedButton4->geometry(), QRect(58, 20, 70, 37));
    EXPECT_TRUE(form.SpeedButton4->autoRaise());

    form.clean();
    EXPECT_EQ(store.calls, (std::vector<std::string>{"history", "cache", "workers"}));
    form.SpeedButton4->click();
    EXPECT_EQ(store.calls.size(), 6u);
    EXPECT_FALSE(form.isVisible());
}

TEST(CacheClean, RemovesACachedPageHistoryAndVisitedLinks)
{
    HttpTestServer server;
    HttpTestServer::Response cacheable;
    cacheable.body = "<a href='/next'>next</a>";
    cacheable.headers = {{"Cache-Control", "max-age=3600"}};
    server.serve("/cached.html", cacheable);
    server.serveHtml("/other.html", "<a href='/cached.html'>back</a>");
    const std::string cached = server.url("/cached.html");

    CountingHost h;
    WebEngineDataStore store(EngineEnvironment::profile().profile());
    store.addPage(h.host.page());
    Tdelform form(store);

    ASSERT_TRUE(h.load(cached));
    ASSERT_TRUE(h.load(server.url("/other.html")));
    EXPECT_TRUE(h.host.page()->history()->canGoBack());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return EngineEnvironment::profile().profile()->visitedLinksContainsUrl(QUrl(QString::fromStdString(cached))); }, 10000));

    server.stopListening();
    // Still there from the cache without the server.
    ASSERT_TRUE(h.load(cached));
    ASSERT_EQ(h.host.linkCount(), 1);
    EXPECT_EQ(h.host.linkText(0), server.url("/next"));
    EXPECT_EQ(server.requestCount("/cached.html"), 1);

    form.clean();
    EXPECT_FALSE(h.host.page()->history()->canGoBack());
    EXPECT_FALSE(EngineEnvironment::profile().profile()->visitedLinksContainsUrl(QUrl(QString::fromStdString(cached))));

    bool ok = true;
    auto c = QObject::connect(h.host.page(), &QWebEnginePage::loadFinished, [&](bool b) { ok = b; });
    ASSERT_TRUE(h.load(cached));
    QObject::disconnect(c);
    EXPECT_FALSE(ok);
    // The engine's error page is shown, not the cached document.
    for (std::int32_t i = 0, n = h.host.linkCount(); i < n; ++i)
        EXPECT_NE(h.host.linkText(i), server.url("/next"));
    EXPECT_EQ(server.requestCount("/cached.html"), 1);

    // A second clean finds nothing left and returns at once.
    form.clean();
}

TEST(CacheClean, APageStillLoadingDoesNotHoldTheClean)
{
    HttpTestServer server;
    HttpTestServer::Response endless;
    endless.body = "<html><body><a href='/x'>x</a>" + std::string(20000, ' ');
    endless.neverEnds = true;
    endless.headers = {{"Cache-Control", "max-age=3600"}};
    server.serve("/endless.html", endless);
    CountingHost h;
    WebEngineDataStore store(EngineEnvironment::profile().profile());
    store.addPage(h.host.page());
    store.setCacheTimeoutMs(8000);
    h.host.navigate(server.url("/endless.html"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.host.linkCount() == 1; }, 10000));
    QTest::qWait(200);
    QElapsedTimer t;
    t.start();
    Tdelform(store).clean();
    // Well inside the bound of the wait: the entry being written is dropped too.
    EXPECT_LT(t.elapsed(), 6000);
    server.stop();
}

namespace {

// The page's title once it starts with prefix (its scripts set it late).
std::string titleAfterLoad(CountingHost& h, const std::string& url, const std::string& prefix)
{
    if (!h.load(url))
        return "(no load)";
    const bool titled =
        QTest::qWaitFor([&] { return h.host.page()->title().startsWith(QString::fromStdString(prefix)); }, 10000);
    return titled ? h.host.page()->title().toStdString() : "(title " + h.host.page()->title().toStdString() + ")";
}

} // namespace

TEST(CacheClean, RemovesServiceWorkersAndTheirCachesButKeepsCookies)
{
    HttpTestServer server;
    serveCacheFirstSite(server, "/v1");
    HttpTestServer::Response cookie;
    cookie.body = "<script>document.title = 'cookie:' + document.cookie;</script>";
    cookie.headers = {{"Set-Cookie", "keep=1; Max-Age=86400; Path=/"}};
    server.serve("/cookie.html", cookie);
    server.serveHtml("/cookie-check.html", "<script>document.title = 'cookie:' + document.cookie;</script>");
    const std::string page = server.url("/sw/index.html");

    CountingHost h;
    WebEngineDataStore store(EngineEnvironment::profile().profile());
    store.addPage(h.host.page());
    ASSERT_EQ(titleAfterLoad(h, server.url("/cookie.html"), "cookie:"), "cookie:keep=1");
    ASSERT_EQ(titleAfterLoad(h, page, "ready"), "ready");
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requestCount("/sw/index.html") == 2; }, 10000));

    // The server has a new page; the worker still serves the stored one.
    serveCacheFirstSite(server, "/v2");
    ASSERT_TRUE(h.load(page));
    ASSERT_EQ(h.host.linkCount(), 1);
    EXPECT_EQ(h.host.linkText(0), server.url("/v1"));
    EXPECT_EQ(server.requestCount("/sw/index.html"), 2);

    Tdelform(store).clean();

    ASSERT_TRUE(h.load(page));
    ASSERT_EQ(h.host.linkCount(), 1);
    EXPECT_EQ(h.host.linkText(0), server.url("/v2"));
    EXPECT_EQ(server.requestCount("/sw/index.html"), 3);
    EXPECT_EQ(titleAfterLoad(h, server.url("/cookie-check.html"), "cookie:"), "cookie:keep=1");
}

TEST(CacheClean, RemovesCacheStorageThatAPageFilledWithoutAWorker)
{
    HttpTestServer server;
    server.serveHtml("/fill.html", "<script>caches.open('page').then(function (c) {"
                                   "  return c.put('/entry', new Response('stored')); })"
                                   ".then(function () { document.title = 'stored'; });</script>");
    server.serveHtml("/keys.html", "<script>caches.keys().then(function (k) { document.title = 'keys:' + k.join(','); });"
                                   "</script>");
    CountingHost h;
    WebEngineDataStore store(EngineEnvironment::profile().profile());
    ASSERT_EQ(titleAfterLoad(h, server.url("/fill.html"), "stored"), "stored");
    ASSERT_EQ(titleAfterLoad(h, server.url("/keys.html"), "keys:"), "keys:page");
    // The clean learns of such a cache from the index the engine keeps of it.
    const QString storage = EngineEnvironment::profile().profile()->persistentStoragePath();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        QDirIterator it(storage + "/Service Worker/CacheStorage", {"index.txt"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (f.open(QIODevice::ReadOnly) && f.readAll().contains(QByteArray::fromStdString(server.url("/"))))
                return true;
        }
        return false;
    }, 30000));
    Tdelform(store).clean();
    EXPECT_EQ(titleAfterLoad(h, server.url("/keys.html"), "keys:"), "keys:");
}

TEST(CacheClean, ServiceWorkersOfAnEarlierRunGoBeforeTheProfileOpens)
{
    TempDir dir;
    const QString folder = QString::fromStdString(dir.path() + "engine");
    QDir().mkpath(folder + "/storage/Service Worker/Database");
    dir.write("engine/storage/Service Worker/Database/LOG", "earlier run");
    dir.write("engine/storage/Cookies", "kept");
    {
        EngineProfile profile(folder);
        EXPECT_FALSE(QFileInfo::exists(folder + "/storage/Service Worker/Database/LOG"));
    }
    EXPECT_TRUE(QFileInfo::exists(folder + "/storage/Cookies"));
}
