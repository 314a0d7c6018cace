#include "search/LinkHarvester.h"

#include "search/StatusPanels.h"
#include "text/IntegerText.h"

namespace lt {

LinkHarvester::LinkHarvester(BrowserHost& host, OptionsView& options, ResultSink& results,
                             StatusBarView& status, FoundSet& found, std::int32_t& foundCount)
    : host_(host), options_(options), results_(results), status_(status), found_(found),
      foundCount_(foundCount)
{
}

std::size_t LinkHarvester::pos(std::string_view needle, std::string_view text)
{
    if (needle.empty())
        return 0;
    auto at = text.find(needle);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::string LinkHarvester::siteKey(std::string_view location)
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

bool LinkHarvester::accepted(const std::string& s, const std::string& key) const
{
    // Every test is made, even after one has rejected the link.
    bool ok = true;
    if (pos("http://", s) != 1)
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

void LinkHarvester::harvest()
{
    if (host_.locationUrl().empty())
        return;
    const std::string key = siteKey(host_.locationUrl());
    found_.clear();
    const std::int32_t n = host_.linkCount();
    if (n > 0)
        found_.reserve(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        std::string s = host_.linkText(i);
        if (!accepted(s, key))
            continue;
        if (!found_.insert(std::move(s)))
            continue;
        const std::string& link = found_.links().back();
        // The result list batches its own redrawing.
        int item = results_.appendItem(link);
        results_.makeVisible(item);
        ++foundCount_;
        status_.setPanelText(kPanelFound, intToStr(foundCount_));
    }
}

} // namespace lt
