#pragma once
#include <string>
#include <unordered_set>
#include <vector>

namespace lt {

// What a look at a loading page found: how far its document is, what it
// still waits for, and how long its links have stood still.
struct PageProbe {
    // A request of the page's own scripts (fetch, XMLHttpRequest) or a script
    // it loads, still without an answer.
    struct Open {
        std::string address; // scheme, host, port and path: no query
        double ageMs = 0;
        bool script = false;
    };
    // A data request that has answered since the look before (a failure,
    // such as a request blocked, is no answer).
    struct Answered {
        std::string address;
        double tookMs = 0;
    };

    // The document is parsed and its DOMContentLoaded handlers have run.
    bool parsed = false;
    // Since the last of: its DOMContentLoaded, a change of its links, a
    // script it loaded, an answer to one of its data requests.
    double quietMs = 0;
    std::vector<Open> open;
    std::vector<Answered> answered;
};

// When a page of a long list is read: once its document is parsed, the
// scripts it loads have run, the data requests those scripts make have
// answered, and its links have not changed for the settle time. Images,
// fonts, media and frames hold no page. A request open for longer than the
// hold (a long poll, an event stream, a tracker that never answers) holds
// its page no more, and its address (scheme, host, port and path) is taken
// for one that stays open: its later requests hold no page at all. An
// address that has once answered within the hold serves data, and is never
// taken so: a data request that waits in the engine's queue on a busy site
// is waited for on every page. The rule knows nothing of time itself: it
// reads the ages in each probe.
class PageReadiness {
public:
    static constexpr double kHoldMs = 3000;

    explicit PageReadiness(int settleMs, double holdMs = kHoldMs) : settleMs_(settleMs), holdMs_(holdMs) {}

    // Whether the page can be read now; learns the addresses that stay open.
    bool ready(const PageProbe& probe);
    // Addresses whose requests stay open past the hold, for a report.
    const std::unordered_set<std::string>& longOpen() const { return longOpen_; }
    // Counts the changes of longOpen().
    unsigned long long changes() const { return changes_; }

private:
    int settleMs_;
    double holdMs_;
    std::unordered_set<std::string> longOpen_;
    std::unordered_set<std::string> answering_;
    unsigned long long changes_ = 0;
};

} // namespace lt
