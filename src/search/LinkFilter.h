#pragma once
#include "search/FoundSet.h"
#include "search/OptionsView.h"

#include <string>
#include <string_view>
#include <vector>

namespace lt {

// Which links the scheme test lets through.
enum class LinkSchemes {
    Http,         // "http://" only, the window's rule
    HttpAndHttps, // also "https://"
};

// The filter rules of a harvest, shared by every kind of search: the scheme
// test, the own-site test, the must-contain and must-not-contain tests, and
// repeats within a page (letter case ignored). The options and lists are
// read at every test, so an edit made during a search takes effect at the
// next link.
class LinkFilter {
public:
    explicit LinkFilter(const OptionsView& options, LinkSchemes schemes = LinkSchemes::Http);

    // The site key of a location: for ordinary host names the last two labels
    // of the host part, with a port that follows the last label.
    static std::string siteKey(std::string_view location);

    // Position (from 1) of the first occurrence of needle in text; 0 when it
    // does not occur. The empty needle occurs nowhere.
    static std::size_t pos(std::string_view needle, std::string_view text);

    // Whether the link passes every test; every test is made, even after one
    // has rejected the link.
    bool accepts(std::string_view link, std::string_view siteKey) const;

    // One page at once: found is emptied and then holds the page's accepted
    // links, each once, in page order. An empty location accepts nothing and
    // leaves found as it was. kept, when given, receives the index in links
    // of each link found holds.
    void harvestPage(std::string_view location, std::vector<std::string>&& links, FoundSet& found,
                     std::vector<std::size_t>* kept = nullptr) const;

private:
    const OptionsView& options_;
    LinkSchemes schemes_;
};

} // namespace lt
