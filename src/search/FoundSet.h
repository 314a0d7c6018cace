#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lt {

// Links accepted in the current page's harvest, in acceptance order, with a
// membership test that ignores letter case. An open-addressing index of the
// links' case-folded hashes keeps a harvest linear in the number of links and
// allocates nothing per lookup.
class FoundSet {
public:
    void clear();
    // Room for n links without growing the index.
    void reserve(std::size_t n);
    bool contains(std::string_view link) const;
    // Adds the link unless an entry equal to it (letter case ignored) is
    // there; true when it was added.
    bool insert(std::string link);
    std::size_t size() const { return links_.size(); }
    const std::vector<std::string>& links() const { return links_; }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    // Slot holding the entry equal to link, or the empty slot where it goes.
    std::size_t find(std::string_view link, std::uint64_t hash) const;
    void grow(std::size_t slots);

    std::vector<std::string> links_;
    std::vector<std::uint64_t> hashes_; // per link
    std::vector<std::uint32_t> slots_;  // link indices; size a power of two
};

} // namespace lt
