#pragma once
#include "search/FoundSet.h"
#include "search/LinkFilter.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lt {

// What a page slot brought back for the address it loaded.
struct PageOutcome {
    // Address of the document shown after the load, in the form the harvest
    // reads; empty when the navigation showed no document of its own.
    std::string location;
    std::vector<std::string> links;
    // Why the page's links could not be read; location and links are then empty.
    std::optional<std::string> error;
    // The load had not finished within its time: the page was read as it stood.
    bool timedOut = false;
    // The page's own load failed, but the document the site sent with the
    // failure (an HTTP error page) was read: why, for the user.
    std::optional<std::string> failure = std::nullopt;
    // The visible text of each link, when the slots read them; else empty.
    std::vector<std::string> anchorTexts = {};
};

// Pages that load side by side, one address at a time in each slot.
class PageSlots {
public:
    using DoneHandler = std::function<void(int slot, PageOutcome outcome)>;
    virtual ~PageSlots() = default;
    virtual int slotCount() const = 0;
    // Starts loading and returns; the outcome comes later through the
    // handler, never from inside load().
    virtual void load(int slot, const std::string& address) = 0;
    virtual void setDoneHandler(DoneHandler handler) = 0;
};

// Receives the pages in list order.
class ParallelSearchSink {
public:
    virtual ~ParallelSearchSink() = default;
    // The page's accepted links, each once, and the visible text of each
    // when the slots read them (else none); may raise (a failed output),
    // which ends the search with this line not done.
    virtual void pageHarvested(std::int64_t line, const std::string& location,
                               const std::vector<std::string>& accepted,
                               const std::vector<std::string>& anchorTexts) = 0;
    virtual void pageUnreadable(std::int64_t line, const std::string& address, const std::string& error) = 0;
    // Nothing had loaded when the page's time was up; it is then harvested
    // as it stood, which gives nothing.
    virtual void pageNotLoaded(std::int64_t /*line*/, const std::string& /*address*/) {}
    // The page's own load failed (an HTTP error status); the document that
    // came with it is harvested next.
    virtual void pageFailed(std::int64_t /*line*/, const std::string& /*address*/, const std::string& /*why*/) {}
    // Every page handed out is done: the list is at its end, or the search
    // was stopped.
    virtual void searchEnded() = 0;
};

// The search with several pages in flight. Lines are read in order and
// handed to free slots; pages finish in any order but reach the sink in list
// order, each harvested by the shared filter rules. The position is the
// number of lines from the top whose pages are done and reached the sink, so
// a search continued from it neither skips nor repeats a line.
class ParallelSearch {
public:
    // The next address of the list (the text before its first blank), or
    // nothing at the end; raises when the list cannot be read.
    using AddressSource = std::function<std::optional<std::string>()>;

    // lookahead: how many lines past the position may be in flight or
    // waiting for an earlier page, at least one per slot.
    ParallelSearch(AddressSource next, PageSlots& slots, const LinkFilter& filter, ParallelSearchSink& sink,
                   std::int64_t lookahead = 0);

    // linesDone: lines consumed already (a continued search).
    void start(std::int64_t linesDone);
    // Hands out no more lines; the pages in flight are still harvested.
    void stop();
    // A slot's outcome (the owner routes the slots' done handler here).
    // Raises what the sink or the list raises; the search has then ended.
    void pageDone(int slot, PageOutcome outcome);

    std::int64_t position() const { return position_; }
    // Pages reported: unreadable, not loaded, or failed with a status.
    std::int64_t unreadablePages() const { return unreadable_; }
    bool listEnded() const { return listEnded_; }
    bool ended() const { return ended_; }
    // Lines in flight, for a progress line.
    int busySlots() const;

private:
    struct InFlight {
        std::int64_t line = 0;
        std::string address;
    };
    struct Done {
        std::string address;
        PageOutcome outcome;
    };

    void handOut();
    void deliver();
    void checkEnd();

    AddressSource next_;
    PageSlots& slots_;
    const LinkFilter& filter_;
    ParallelSearchSink& sink_;
    std::int64_t lookahead_;
    FoundSet found_;

    std::vector<std::optional<InFlight>> inFlight_;
    std::map<std::int64_t, Done> waiting_; // done, behind an earlier page still in flight
    std::int64_t position_ = 0;
    std::int64_t nextLine_ = 1;
    std::int64_t unreadable_ = 0;
    bool stopping_ = false;
    bool listEnded_ = false;
    bool ended_ = false;
    bool started_ = false;
};

} // namespace lt
