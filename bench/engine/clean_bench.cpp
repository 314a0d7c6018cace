// Time of the browser data clean on an empty profile and on one where pages
// of several sites have registered cache-first service workers. Run by hand:
// clean_bench [sites] [runs].
#include "CacheFirstSite.h"
#include "cache/WebEngineDataStore.h"
#include "search/engine/EngineProfile.h"
#include "search/engine/EngineStartup.h"
#include "search/engine/HarvestPage.h"
#include "search/engine/WebEngineBrowserHost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

bool loadAndWaitForWorker(lt::WebEngineBrowserHost& host, const std::string& url)
{
    QEventLoop loop;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        if (host.page()->title() == QLatin1String("ready"))
            loop.quit();
    });
    timer.start(10);
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    host.navigate(url);
    loop.exec();
    return host.page()->title() == QLatin1String("ready");
}

double msOf(const std::function<void()>& f)
{
    QElapsedTimer t;
    t.start();
    try {
        f();
    } catch (...) {
    }
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// The clean's steps in their order, each timed.
std::string cleanMs(lt::WebEngineDataStore& store)
{
    const double history = msOf([&] { store.clearHistory(); });
    const double cache = msOf([&] { store.deleteCacheEntries(); });
    const double workers = msOf([&] { store.deleteServiceWorkers(); });
    char text[160];
    std::snprintf(text, sizeof text, "%.1f ms (history %.1f, page cache %.1f, service workers %.1f)",
                  history + cache + workers, history, cache, workers);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    const int sites = argc > 1 ? std::atoi(argv[1]) : 10;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    lt::prepareWebEngine(lt::EngineDisplay::Offscreen);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QTemporaryDir dir;
    std::vector<std::unique_ptr<lt::test::HttpTestServer>> servers;
    for (int i = 0; i < sites; ++i) {
        auto s = std::make_unique<lt::test::HttpTestServer>();
        lt::test::serveCacheFirstSite(*s, "/next");
        servers.push_back(std::move(s));
    }
    {
        lt::EngineProfile profile(dir.filePath("engine"));
        lt::WebEngineBrowserHost host(profile);
        lt::WebEngineDataStore store(profile.profile());
        store.addPage(host.page());
        for (int r = 0; r < runs; ++r)
            std::printf("clean, no service worker data yet: %s\n", cleanMs(store).c_str());
        for (int r = 0; r < runs; ++r) {
            int ready = 0;
            for (auto& s : servers)
                ready += loadAndWaitForWorker(host, s->url("/sw/index.html"));
            host.navigate("about:blank");
            std::printf("clean, %d sites with a worker and its cache: %s\n", ready, cleanMs(store).c_str());
            std::printf("clean right after, nothing left to remove: %s\n", cleanMs(store).c_str());
        }
    }
    return 0;
}
