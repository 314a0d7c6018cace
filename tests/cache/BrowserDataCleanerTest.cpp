#include "cache/BrowserDataCleaner.h"
#include "base/Error.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace lt;

namespace {

class FakeStore : public BrowserDataStore {
public:
    std::vector<std::string> calls;
    bool historyFails = false;
    bool cacheFails = false;
    bool workersFail = false;
    void clearHistory() override
    {
        calls.push_back("history");
        if (historyFails)
            throw Error("Interface not supported");
    }
    void deleteCacheEntries() override
    {
        calls.push_back("cache");
        if (cacheFails)
            throw 42; // not even an Error
    }
    void deleteServiceWorkers() override
    {
        calls.push_back("workers");
        if (workersFail)
            throw Error("The DevTools frontend did not load");
    }
};

} // namespace

TEST(BrowserDataCleaner, ClearsHistoryThenCacheThenServiceWorkers)
{
    FakeStore store;
    BrowserDataCleaner(store).clean();
    EXPECT_EQ(store.calls, (std::vector<std::string>{"history", "cache", "workers"}));
}

TEST(BrowserDataCleaner, AFailedHistorySkipsTheCacheButNotTheWorkersSilently)
{
    FakeStore store;
    store.historyFails = true;
    EXPECT_NO_THROW(BrowserDataCleaner(store).clean());
    EXPECT_EQ(store.calls, (std::vector<std::string>{"history", "workers"}));
}

TEST(BrowserDataCleaner, SwallowsAnyFailureOfTheCacheOrTheWorkers)
{
    FakeStore store;
    store.cacheFails = true;
    store.workersFail = true;
    EXPECT_NO_THROW(BrowserDataCleaner(store).clean());
    BrowserDataCleaner(store).clean();
    EXPECT_EQ(store.calls.size(), 6u);
}
