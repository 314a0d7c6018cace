#pragma once
#include "search/BrowserHost.h"
#include "search/FoundSet.h"
#include "search/LinkFilter.h"
#include "search/OptionsView.h"
#include "search/SearchView.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lt {

// Takes the page the browser host shows, keeps the links that pass the
// user's filters, drops repeats within the page and appends the rest to the
// result list, counting them.
class LinkHarvester {
public:
    LinkHarvester(BrowserHost& host, OptionsView& options, ResultSink& results, StatusBarView& status,
                  FoundSet& found, std::int32_t& foundCount, LinkSchemes schemes = LinkSchemes::Http);

    // Raises whatever the browser host raises; what was appended stays.
    void harvest();

private:
    BrowserHost& host_;
    LinkFilter filter_;
    ResultSink& results_;
    StatusBarView& status_;
    FoundSet& found_;
    std::int32_t& foundCount_;
};

} // namespace lt
