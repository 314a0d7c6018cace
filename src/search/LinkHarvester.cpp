#include "search/LinkHarvester.h"

#include "search/StatusPanels.h"
#include "text/IntegerText.h"

namespace lt {

LinkHarvester::LinkHarvester(BrowserHost& host, OptionsView& options, ResultSink& results,
                             StatusBarView& status, FoundSet& found, std::int32_t& foundCount, LinkSchemes schemes)
    : host_(host), filter_(options, schemes), results_(results), status_(status), found_(found),
      foundCount_(foundCount)
{
}

void LinkHarvester::harvest()
{
    if (host_.locationUrl().empty())
        return;
    const std::string key = LinkFilter::siteKey(host_.locationUrl());
    found_.clear();
    const std::int32_t n = host_.linkCount();
    if (n > 0)
        found_.reserve(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        std::string s = host_.linkText(i);
        if (!filter_.accepts(s, key))
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
