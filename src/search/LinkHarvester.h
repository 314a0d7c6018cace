#pragma once
#include "search/BrowserHost.h"
#include "search/FoundSet.h"
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
                  FoundSet& found, std::int32_t& foundCount);

    // Raises whatever the browser host raises; what was appended stays.
    void harvest();

    // The site key of a location: for ordinary host names the last two labels
    // of the host part, with a port that follows the last label.
    static std::string siteKey(std::string_view location);

    // Position (from 1) of the first occurrence of needle in text; 0 when it
    // does not occur. The empty needle occurs nowhere.
    static std::size_t pos(std::string_view needle, std::string_view text);

private:
    bool accepted(const std::string& link, const std::string& key) const;

    BrowserHost& host_;
    OptionsView& options_;
    ResultSink& results_;
    StatusBarView& status_;
    FoundSet& found_;
    std::int32_t& foundCount_;
};

} // namespace lt
