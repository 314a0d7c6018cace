#pragma once
#include "cache/BrowserDataCleaner.h"

#include <QList>
#include <QPointer>
#include <QString>

class QWebEngineProfile;
class QWebEnginePage;

namespace lt {

// The browser data of a QtWebEngine profile: its visited links and the
// back/forward lists of the pages registered here, and its disk HTTP cache.
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

    static constexpr int kDefaultCacheTimeoutMs = 10000;
    int cacheTimeoutMs() const { return cacheTimeoutMs_; }
    void setCacheTimeoutMs(int ms) { cacheTimeoutMs_ = ms; }

private:
    QPointer<QWebEngineProfile> profile_;
    QList<QPointer<QWebEnginePage>> pages_;
    int cacheTimeoutMs_ = kDefaultCacheTimeoutMs;
};

} // namespace lt
