#pragma once
#include "search/BrowserHost.h"
#include "search/SearchController.h"
#include "search/FilterLists.h"
#include "search/SearchView.h"
#include "text/MemoLines.h"

#include <string>
#include <vector>

namespace lt::bench {

// A browser that shows a fixed set of links for every page and completes at once.
class InstantHost : public BrowserHost {
public:
    std::vector<std::string> links;
    std::string location = "http://www.example.com/";
    void navigate(const std::string&) override { notifyComplete(); }
    std::string locationUrl() override { return location; }
    std::int32_t linkCount() override { return static_cast<std::int32_t>(links.size()); }
    std::string linkText(std::int32_t i) override { return links[static_cast<std::size_t>(i)]; }
};

// A view that keeps only counts, so the measured cost is the core's.
class CountingView : public SearchView {
public:
    std::string path;
    bool ownSite = true, filter = true;
    FilterLists filters;
    long long items = 0;

    std::string addressListPath() const override { return path; }
    void setAddressListPath(const std::string& p) override { path = p; }
    std::int32_t interval() const override { return 1; }
    void setInterval(std::int32_t) override {}
    bool ownSiteOption() const override { return ownSite; }
    void setOwnSiteOption(bool on) override { ownSite = on; }
    bool filterOption() const override { return filter; }
    void setFilterOption(bool on) override { filter = on; }
    std::string filterText(FilterList l) const override { return filters.text(l); }
    void setFilterText(FilterList l, const std::string& t) override { filters.set(l, t); }
    int filterLineCount(FilterList l) const override { return filters.lineCount(l); }
    const std::string& filterLine(FilterList l, int i) const override { return filters.line(l, i); }
    void beginUpdate() override {}
    int appendItem(const std::string&) override { return static_cast<int>(items++); }
    void makeVisible(int) override {}
    void endUpdate() override {}
    void clearResults() override { items = 0; }
    void setPanelText(int, const std::string&) override {}
    void setCommandEnabled(SearchCommand, bool) override {}
    void repaintNow() override {}
    void informationBox(const std::string&) override {}
    void plainMessageBox(const std::string&) override {}
    std::optional<std::string> inputDialog(const std::string&, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    std::optional<std::string> openFileDialog(const std::string&) override { return path; }
};

class NullTimer : public StepTimer {
public:
    bool armed = false;
    void setPeriodMs(int) override {}
    void arm() override { armed = true; }
    void disarm() override { armed = false; }
    bool isArmed() const override { return armed; }
};

} // namespace lt::bench
