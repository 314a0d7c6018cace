#include "search/FoundSet.h"

#include "text/TextEncoding.h"

#include <algorithm>

namespace lt {

void FoundSet::clear()
{
    links_.clear();
    hashes_.clear();
    std::fill(slots_.begin(), slots_.end(), kEmpty);
}

void FoundSet::reserve(std::size_t n)
{
    links_.reserve(n);
    hashes_.reserve(n);
    // Half full at most.
    std::size_t want = 16;
    while (want < n * 2)
        want *= 2;
    if (want > slots_.size())
        grow(want);
}

void FoundSet::grow(std::size_t slots)
{
    slots_.assign(slots, kEmpty);
    const std::size_t mask = slots - 1;
    for (std::uint32_t i = 0; i < links_.size(); ++i) {
        std::size_t s = static_cast<std::size_t>(hashes_[i]) & mask;
        while (slots_[s] != kEmpty)
            s = (s + 1) & mask;
        slots_[s] = i;
    }
}

std::size_t FoundSet::find(std::string_view link, std::uint64_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = static_cast<std::size_t>(hash) & mask;
    for (;;) {
        const std::uint32_t i = slots_[s];
        if (i == kEmpty || (hashes_[i] == hash && equalIgnoringCase(links_[i], link)))
            return s;
        s = (s + 1) & mask;
    }
}

bool FoundSet::contains(std::string_view link) const
{
    if (slots_.empty())
        return false;
    return slots_[find(link, foldedHash(link))] != kEmpty;
}

bool FoundSet::insert(std::string link)
{
    if ((links_.size() + 1) * 2 > slots_.size())
        grow(slots_.empty() ? 16 : slots_.size() * 2);
    const std::uint64_t hash = foldedHash(link);
    const std::size_t s = find(link, hash);
    if (slots_[s] != kEmpty)
        return false;
    slots_[s] = static_cast<std::uint32_t>(links_.size());
    links_.push_back(std::move(link));
    hashes_.push_back(hash);
    return true;
}

} // namespace lt
