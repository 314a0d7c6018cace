#pragma once

namespace lt {

// The browser's stored data as the cleaner sees it. Any operation may
// raise; the cleaner swallows whatever it raises.
class BrowserDataStore {
public:
    virtual ~BrowserDataStore() = default;
    // Forgets the addresses visited so far.
    virtual void clearHistory() = 0;
    // Deletes every content entry of the page cache; returns once they are
    // gone (or a bounded wait for that has passed).
    virtual void deleteCacheEntries() = 0;
    // Removes the service workers pages have registered, with their Cache
    // Storage, from which a worker would serve a page without asking the
    // server; cookies stay. Returns once done or a bounded wait has passed.
    virtual void deleteServiceWorkers() = 0;
};

// Empties the browser's history, then its page cache, then its service
// workers' data, silently: no failure ever reaches the caller, and a failure
// to clear the history leaves the cache for the next clean. The workers go
// in any case: a stale page they serve is what the clean is there to stop.
class BrowserDataCleaner {
public:
    explicit BrowserDataCleaner(BrowserDataStore& store) : store_(store) {}
    void clean() noexcept;

private:
    BrowserDataStore& store_;
};

} // namespace lt
