#include "search/ParallelSearch.h"

#include <algorithm>

namespace lt {

ParallelSearch::ParallelSearch(AddressSource next, PageSlots& slots, const LinkFilter& filter,
                               ParallelSearchSink& sink, std::int64_t lookahead)
    : next_(std::move(next)), slots_(slots), filter_(filter), sink_(sink),
      lookahead_(std::max<std::int64_t>(lookahead, 2 * slots.slotCount())),
      inFlight_(static_cast<std::size_t>(slots.slotCount()))
{
}

int ParallelSearch::busySlots() const
{
    return static_cast<int>(std::count_if(inFlight_.begin(), inFlight_.end(), [](auto& f) { return f.has_value(); }));
}

void ParallelSearch::start(std::int64_t linesDone)
{
    started_ = true;
    position_ = linesDone;
    nextLine_ = linesDone + 1;
    handOut();
    checkEnd();
}

void ParallelSearch::stop()
{
    stopping_ = true;
    checkEnd();
}

void ParallelSearch::handOut()
{
    for (std::size_t slot = 0; slot < inFlight_.size(); ++slot) {
        if (inFlight_[slot])
            continue;
        // A slow page holds the position: keep what waits behind it bounded.
        if (stopping_ || listEnded_ || nextLine_ > position_ + lookahead_)
            return;
        std::optional<std::string> address;
        try {
            address = next_();
        } catch (...) {
            stopping_ = true;
            throw;
        }
        if (!address) {
            listEnded_ = true;
            return;
        }
        inFlight_[slot] = InFlight{nextLine_++, std::move(*address)};
        slots_.load(static_cast<int>(slot), inFlight_[slot]->address);
    }
}

void ParallelSearch::pageDone(int slot, PageOutcome outcome)
{
    auto& entry = inFlight_.at(static_cast<std::size_t>(slot));
    if (!entry || ended_)
        return;
    const std::int64_t line = entry->line;
    waiting_.emplace(line, Done{std::move(entry->address), std::move(outcome)});
    entry.reset();
    try {
        deliver();
        handOut();
    } catch (...) {
        // The sink or the list failed: nothing more is handed out or
        // delivered, and the position stays where the failure left it.
        stopping_ = true;
        ended_ = true;
        throw;
    }
    checkEnd();
}

void ParallelSearch::deliver()
{
    for (auto it = waiting_.begin(); it != waiting_.end() && it->first == position_ + 1; it = waiting_.erase(it)) {
        Done& done = it->second;
        if (done.outcome.error) {
            ++unreadable_;
            sink_.pageUnreadable(it->first, done.address, *done.outcome.error);
        } else {
            if (done.outcome.timedOut && done.outcome.location.empty()) {
                ++unreadable_;
                sink_.pageNotLoaded(it->first, done.address);
            } else if (done.outcome.failure) {
                ++unreadable_;
                sink_.pageFailed(it->first, done.address, *done.outcome.failure);
            }
            // A repeated link keeps the text of its first occurrence.
            std::vector<std::string>& texts = done.outcome.anchorTexts;
            std::vector<std::size_t> kept;
            filter_.harvestPage(done.outcome.location, std::move(done.outcome.links), found_,
                                texts.empty() ? nullptr : &kept);
            std::vector<std::string> keptTexts;
            keptTexts.reserve(kept.size());
            for (const std::size_t i : kept)
                keptTexts.push_back(i < texts.size() ? std::move(texts[i]) : std::string());
            // An empty location harvests nothing and keeps the found set of
            // the page before; that page's links were delivered already.
            static const std::vector<std::string> none;
            sink_.pageHarvested(it->first, done.outcome.location,
                                done.outcome.location.empty() ? none : found_.links(), keptTexts);
        }
        ++position_;
    }
}

void ParallelSearch::checkEnd()
{
    if (ended_ || !started_ || !(stopping_ || listEnded_) || busySlots() > 0)
        return;
    ended_ = true;
    sink_.searchEnded();
}

} // namespace lt
