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
};

} // namespace

TEST(BrowserDataCleaner, ClearsHistoryThenCache)
{
    FakeStore store;
    BrowserDataCleaner(store).clean();
    EXPECT_EQ(store.calls, (std::vector<std::string>{"history", "cache"}));
}

TEST(BrowserDataCleaner, AFailedHistorySkipsTheCacheSilently)
{
    FakeStore store;
    store.historyFails = true;
    EXPECT_NO_THROW(BrowserDataCleaner(store).clean());
    EXPECT_EQ(store.calls, (std::vector<std::string>{"history"}));
}

TEST(BrowserDataCleaner, SwallowsAnyFailureOfTheCache)
{
    FakeStore store;
    store.cacheFails = true;
    EXPECT_NO_THROW(BrowserDataCleaner(store).clean());
    BrowserDataCleaner(store).clean();
    EXPECT_EQ(store.calls.size(), 4u);
}
