#pragma once
#include "search/BrowserHost.h"
#include "search/MemoryOptions.h"
#include "search/SearchView.h"
#include "search/StepTimer.h"

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

// A view that keeps only counts, so the measured cost is the core's. Both
// options are on, the interval is 1.
class CountingView : public SearchView, public MemoryOptions {
public:
    long long items = 0;

    CountingView()
    {
        setOwnSiteOption(true);
        setFilterOption(true);
        setInterval(1);
    }
    int appendItem(const std::string&) override { return static_cast<int>(items++); }
    void makeVisible(int) override {}
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
    std::optional<std::string> openFileDialog(const std::string&) override { return addressListPath(); }
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
