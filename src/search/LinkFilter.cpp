#include "search/LinkFilter.h"

namespace lt {

LinkFilter::LinkFilter(const OptionsView& options, LinkSchemes schemes) : options_(options), schemes_(schemes) {}

std::size_t LinkFilter::pos(std::string_view needle, std::string_view text)
{
    if (needle.empty())
        return 0;
    auto at = text.find(needle);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::string LinkFilter::siteKey(std::string_view location)
{
    std::string_view k = location;
    // Text after the first "//" (or from the second character when there is
    // none), at most 255 characters.
    std::size_t p = pos("//", k);
    std::size_t from = p + 2; // 1-based
    if (from > k.size())
        k = {};
    else
        k = k.substr(from - 1, 255);

    // Up to the first "/"; nothing when there is none or it comes first.
    std::size_t q = pos("/", k);
    k = q == 0 ? std::string_view{} : k.substr(0, q - 1);

    for (int pass = 0; pass < 6; ++pass) {
        std::size_t d = pos(".", k);
        if (d <= 1)
            continue;
        std::string_view t = k.substr(d);
        if (pos(".", t) > 1)
            k = t;
    }
    return std::string(k);
}

bool LinkFilter::accepts(std::string_view s, std::string_view key) const
{
    bool ok = true;
    if (pos("http://", s) != 1 && !(schemes_ == LinkSchemes::HttpAndHttps && pos("https://", s) == 1))
        ok = false;
    if (options_.ownSiteOption() && pos(key, s) == 0)
        ok = false;
    if (options_.filterOption()) {
        for (int i = 0; i < options_.filterLineCount(FilterList::MustContain); ++i)
            if (pos(options_.filterLine(FilterList::MustContain, i), s) == 0)
                ok = false;
    }
    if (options_.filterOption()) {
        for (int i = 0; i < options_.filterLineCount(FilterList::MustNotContain); ++i)
            if (pos(options_.filterLine(FilterList::MustNotContain, i), s) != 0)
                ok = false;
    }
    return ok;
}

void LinkFilter::harvestPage(std::string_view location, std::vector<std::string>&& links, FoundSet& found,
                             std::vector<std::size_t>* kept) const
{
    if (location.empty())
        return;
    const std::string key = siteKey(location);
    found.clear();
    found.reserve(links.size());
    for (std::size_t i = 0; i < links.size(); ++i)
        if (accepts(links[i], key) && found.insert(std::move(links[i])) && kept)
            kept->push_back(i);
}

} // namespace lt
