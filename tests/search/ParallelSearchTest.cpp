#include "search/LinkOutput.h"
#include "search/MemoryOptions.h"
#include "search/ParallelSearch.h"

#include <deque>
#include <gtest/gtest.h>

using namespace lt;

namespace {

// Slots that finish only when the test says so, in any order.
class ManualSlots : public PageSlots {
public:
    explicit ManualSlots(int n) : loaded(static_cast<std::size_t>(n)) {}
    std::vector<std::optional<std::string>> loaded;
    std::vector<std::string> history;
    DoneHandler done;

    int slotCount() const override { return static_cast<int>(loaded.size()); }
    void load(int slot, const std::string& address) override
    {
        loaded[static_cast<std::size_t>(slot)] = address;
        history.push_back(address);
    }
    void setDoneHandler(DoneHandler handler) override { done = std::move(handler); }

    int slotOf(const std::string& address) const
    {
        for (std::size_t i = 0; i < loaded.size(); ++i)
            if (loaded[i] == address)
                return static_cast<int>(i);
        return -1;
    }
    // Finishes the page loading address with its own links.
    void finish(const std::string& address, std::vector<std::string> links = {})
    {
        const int slot = slotOf(address);
        ASSERT_GE(slot, 0) << address << " is not loading";
        loaded[static_cast<std::size_t>(slot)].reset();
        if (links.empty())
            links = {address + "/a", address + "/b", address + "/A"};
        done(slot, PageOutcome{address, std::move(links), std::nullopt});
    }
    void fail(const std::string& address, const std::string& why)
    {
        const int slot = slotOf(address);
        ASSERT_GE(slot, 0);
        loaded[static_cast<std::size_t>(slot)].reset();
        done(slot, PageOutcome{{}, {}, why});
    }
    void noDocument(const std::string& address)
    {
        const int slot = slotOf(address);
        ASSERT_GE(slot, 0);
        loaded[static_cast<std::size_t>(slot)].reset();
        done(slot, PageOutcome{});
    }
};

struct Recorder : ParallelSearchSink {
    std::vector<std::string> events;
    std::vector<std::vector<std::string>> texts; // per page harvested
    int ends = 0;
    std::int64_t failAtLine = -1;
    void pageHarvested(std::int64_t line, const std::string& location, const std::vector<std::string>& accepted,
                       const std::vector<std::string>& anchorTexts) override
    {
        texts.push_back(anchorTexts);
        if (line == failAtLine)
            throw OutputError("cannot write the links: Disk full", 28, line);
        std::string e = std::to_string(line) + " " + location + ":";
        for (const auto& l : accepted)
            e += " " + l;
        events.push_back(e);
    }
    void pageUnreadable(std::int64_t line, const std::string& address, const std::string& error) override
    {
        events.push_back(std::to_string(line) + " unreadable " + address + " (" + error + ")");
    }
    void pageNotLoaded(std::int64_t line, const std::string& address) override
    {
        events.push_back(std::to_string(line) + " not loaded " + address);
    }
    void pageFailed(std::int64_t line, const std::string& address, const std::string& why) override
    {
        events.push_back(std::to_string(line) + " failed " + address + " (" + why + ")");
    }
    void searchEnded() override { ++ends; }
};

struct Parallel : ::testing::Test {
    std::deque<std::string> list;
    MemoryOptions options;
    LinkFilter filter{options};
    ManualSlots slots{3};
    Recorder sink;
    std::unique_ptr<ParallelSearch> search;

    void make(int lines, std::int64_t lookahead = 0)
    {
        for (int i = 1; i <= lines; ++i)
            list.push_back("http://h" + std::to_string(i));
        search = std::make_unique<ParallelSearch>(
            [this]() -> std::optional<std::string> {
                if (list.empty())
                    return std::nullopt;
                std::string a = list.front();
                list.pop_front();
                return a;
            },
            slots, filter, sink, lookahead);
        slots.setDoneHandler([this](int slot, PageOutcome outcome) { search->pageDone(slot, std::move(outcome)); });
    }
};

} // namespace

TEST_F(Parallel, PagesFinishInAnyOrderAndReachTheSinkInListOrder)
{
    make(5);
    search->start(0);
    EXPECT_EQ(slots.history, (std::vector<std::string>{"http://h1", "http://h2", "http://h3"}));
    slots.finish("http://h3");
    slots.finish("http://h2");
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(search->position(), 0);
    slots.finish("http://h1");
    ASSERT_EQ(sink.events.size(), 3u);
    EXPECT_EQ(sink.events[0], "1 http://h1: http://h1/a http://h1/b"); // repeats within a page dropped, case ignored
    EXPECT_EQ(sink.events[2].substr(0, 13), "3 http://h3: ");
    EXPECT_EQ(search->position(), 3);
    slots.finish("http://h5");
    slots.finish("http://h4");
    EXPECT_EQ(search->position(), 5);
    EXPECT_TRUE(search->listEnded());
    EXPECT_TRUE(search->ended());
    EXPECT_EQ(sink.ends, 1);
}

TEST_F(Parallel, StopHarvestsThePagesInFlightAndHandsOutNoMore)
{
    make(10);
    search->start(0);
    slots.finish("http://h2");
    search->stop();
    EXPECT_FALSE(search->ended());
    slots.finish("http://h1");
    slots.finish("http://h3");
    // Line 4 was handed out when line 2 finished, before the stop.
    EXPECT_FALSE(search->ended());
    slots.finish("http://h4");
    EXPECT_TRUE(search->ended());
    EXPECT_FALSE(search->listEnded());
    EXPECT_EQ(search->position(), 4);
    EXPECT_EQ(sink.events.size(), 4u);
    EXPECT_EQ(slots.history.size(), 4u);
}

TEST_F(Parallel, StopWithASlowPageInFrontKeepsThePositionBeforeIt)
{
    make(10);
    search->start(0);
    slots.finish("http://h2");
    slots.finish("http://h3");
    search->stop();
    slots.finish("http://h4");
    slots.finish("http://h5");
    EXPECT_EQ(search->position(), 0);
    slots.finish("http://h1");
    EXPECT_EQ(search->position(), 5);
    EXPECT_TRUE(search->ended());
}

TEST_F(Parallel, ContinuedSearchNumbersLinesAfterThoseDone)
{
    make(2);
    search->start(7);
    slots.finish("http://h1");
    slots.finish("http://h2");
    EXPECT_EQ(sink.events[0].substr(0, 2), "8 ");
    EXPECT_EQ(search->position(), 9);
}

TEST_F(Parallel, UnreadablePageIsReportedInItsPlaceAndTheSearchGoesOn)
{
    make(4);
    search->start(0);
    slots.fail("http://h2", "did not answer");
    slots.finish("http://h1");
    slots.finish("http://h3");
    slots.finish("http://h4");
    ASSERT_EQ(sink.events.size(), 4u);
    EXPECT_EQ(sink.events[1], "2 unreadable http://h2 (did not answer)");
    EXPECT_EQ(search->unreadablePages(), 1);
    EXPECT_EQ(search->position(), 4);
    EXPECT_TRUE(search->listEnded());
}

TEST_F(Parallel, AnErrorPageIsReportedThenHarvestedAndEveryFailureCounts)
{
    make(3);
    search->start(0);
    PageOutcome notFound{"http://h1", {"http://h1/menu"}, std::nullopt};
    notFound.failure = "HTTP 404 Not Found";
    slots.done(slots.slotOf("http://h1"), notFound);
    PageOutcome timedOut;
    timedOut.timedOut = true;
    slots.done(slots.slotOf("http://h2"), timedOut);
    slots.finish("http://h3");
    ASSERT_EQ(sink.events.size(), 5u);
    EXPECT_EQ(sink.events[0], "1 failed http://h1 (HTTP 404 Not Found)");
    EXPECT_EQ(sink.events[1], "1 http://h1: http://h1/menu");
    EXPECT_EQ(sink.events[2], "2 not loaded http://h2");
    EXPECT_EQ(search->unreadablePages(), 2);
    EXPECT_EQ(search->position(), 3);
}

TEST_F(Parallel, PageWithoutDocumentHarvestsNothing)
{
    make(1);
    search->start(0);
    slots.noDocument("http://h1");
    ASSERT_EQ(sink.events.size(), 1u);
    EXPECT_EQ(sink.events[0], "1 :");
    EXPECT_EQ(search->position(), 1);
}

TEST_F(Parallel, PageReadAtItsTimeoutWithNothingLoadedIsNoted)
{
    make(2);
    search->start(0);
    const int first = slots.slotOf("http://h1");
    slots.loaded[static_cast<std::size_t>(first)].reset();
    PageOutcome nothing;
    nothing.timedOut = true;
    slots.done(first, nothing);
    const int second = slots.slotOf("http://h2");
    slots.loaded[static_cast<std::size_t>(second)].reset();
    PageOutcome partly{"http://h2", {"http://h2/a"}, std::nullopt, true};
    slots.done(second, partly);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"1 not loaded http://h1", "1 :", "2 http://h2: http://h2/a"}));
}

TEST_F(Parallel, EachAcceptedLinkCarriesTheTextOfItsFirstOccurrence)
{
    make(2);
    search->start(0);
    const int first = slots.slotOf("http://h1");
    slots.loaded[static_cast<std::size_t>(first)].reset();
    PageOutcome page{"http://h1", {"mailto:a@b", "http://h1/a", "http://h1/A", "http://h1/b", "http://h1/a"},
                     std::nullopt};
    page.anchorTexts = {"mail", "first", "upper case", "b", "again"};
    slots.done(first, page);
    slots.finish("http://h2");
    EXPECT_EQ(sink.events[0], "1 http://h1: http://h1/a http://h1/b");
    ASSERT_EQ(sink.texts.size(), 2u);
    EXPECT_EQ(sink.texts[0], (std::vector<std::string>{"first", "b"}));
    // Slots that read no texts give none.
    EXPECT_TRUE(sink.texts[1].empty());
}

TEST_F(Parallel, LookaheadBoundsWhatWaitsBehindASlowPage)
{
    make(20, 6);
    search->start(0);
    for (int i = 2; i <= 6; ++i)
        slots.finish("http://h" + std::to_string(i));
    // Lines 2 to 6 wait for line 1; no line past the lookahead is handed out.
    EXPECT_EQ(slots.history.size(), 6u);
    EXPECT_EQ(search->busySlots(), 1);
    slots.finish("http://h1");
    EXPECT_EQ(search->position(), 6);
    EXPECT_EQ(search->busySlots(), 3);
}

TEST_F(Parallel, FailedOutputEndsTheSearchWithThatLineNotDone)
{
    make(6);
    sink.failAtLine = 2;
    search->start(0);
    slots.finish("http://h1");
    EXPECT_THROW(slots.finish("http://h2"), OutputError);
    EXPECT_EQ(search->position(), 1);
    EXPECT_TRUE(search->ended());
    slots.finish("http://h3"); // late outcomes are ignored
    EXPECT_EQ(sink.events.size(), 1u);
    EXPECT_EQ(slots.history.size(), 4u); // line 4 went out when line 1 was done, none after the failure
}

TEST_F(Parallel, EmptyListEndsAtOnce)
{
    make(0);
    search->start(0);
    EXPECT_TRUE(search->ended());
    EXPECT_TRUE(search->listEnded());
    EXPECT_EQ(sink.ends, 1);
}

TEST_F(Parallel, UnreadableListEndsTheSearch)
{
    ManualSlots two(2);
    int calls = 0;
    ParallelSearch s(
        [&]() -> std::optional<std::string> {
            if (++calls == 2)
                throw Error("I/O error 5");
            return "http://x" + std::to_string(calls);
        },
        two, filter, sink);
    EXPECT_THROW(s.start(0), Error);
    EXPECT_EQ(two.history.size(), 1u);
}
