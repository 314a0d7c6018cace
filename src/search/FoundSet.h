#pragma once
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace lt {

// Links accepted in the current page's harvest, in acceptance order, with a
// membership test that ignores letter case. The hash of case-folded keys keeps
// a harvest linear in the number of links.
class FoundSet {
public:
    void clear();
    bool contains(std::string_view link) const;
    // Adds the link unless an entry equal to it (letter case ignored) is
    // there; true when it was added.
    bool insert(const std::string& link);
    std::size_t size() const { return links_.size(); }
    const std::vector<std::string>& links() const { return links_; }

private:
    std::vector<std::string> links_;
    std::unordered_set<std::string> keys_;
};

} // namespace lt
