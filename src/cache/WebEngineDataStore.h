#pragma once
#include "cache/BrowserDataCleaner.h"

#include <QList>
#include <QPointer>
#include <QString>

class QWebEngineProfile;
class QWebEnginePage;

namespace lt {

// The browser data of a QtWebEngine profile: its visited links and the
// back/forward lists of the pages registered here, its disk HTTP cache, and
// its service workers with their Cache Storage.
class WebEngineDataStore : public BrowserDataStore {
public:
    explicit WebEngineDataStore(QWebEngineProfile* profile);

    // Pages whose history is cleared with the profile's visited links.
    void addPage(QWebEnginePage* page);

    void clearHistory() override;
    // The engine clears its cache in the background without telling when it
    // is done; this waits, with the engine running, until every entry file
    // that was there before the call is gone (at most cacheTimeoutMs()) and
    // the engine has settled. An empty cache is left alone.
    void deleteCacheEntries() override;
    // Through ServiceWorkerSweep, at most workerTimeoutMs(): every registered
    // worker's origin, and every origin with Cache Storage on disk. When no
    // worker script and no Cache Storage is stored, nothing is done.
    void deleteServiceWorkers() override;

    static constexpr int kDefaultCacheTimeoutMs = 10000;
    int cacheTimeoutMs() const { return cacheTimeoutMs_; }
    void setCacheTimeoutMs(int ms) { cacheTimeoutMs_ = ms; }

    static constexpr int kDefaultWorkerTimeoutMs = 5000;
    int workerTimeoutMs() const { return workerTimeoutMs_; }
    void setWorkerTimeoutMs(int ms) { workerTimeoutMs_ = ms; }

private:
    QPointer<QWebEngineProfile> profile_;
    QList<QPointer<QWebEnginePage>> pages_;
    int cacheTimeoutMs_ = kDefaultCacheTimeoutMs;
    int workerTimeoutMs_ = kDefaultWorkerTimeoutMs;
};

} // namespace lt
