#include "EngineTestSupport.h"
#include "HttpTestServer.h"
#include "cache/DelIECache.h"
#include "cache/WebEngineDataStore.h"
#include "search/engine/HarvestPage.h"
#include "ui/WindowLook.h"

#include <QElapsedTimer>
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
    EXPECT_EQ(store.calls, (std::vector<std::string>{"history", "cache"}));
    form.SpeedButton4->click();
    EXPECT_EQ(store.calls.size(), 4u);
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
