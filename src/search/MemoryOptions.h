#pragma once
#include "search/OptionsView.h"

#include <string>
#include <vector>

namespace lt {

// The options held in memory, for searches that have no window to keep them
// in. Starts with the window's defaults: interval 5, both options off, the
// must-contain list "http://" and the must-not-contain list "#".
class MemoryOptions : public OptionsView {
public:
    MemoryOptions();

    std::string addressListPath() const override { return path_; }
    void setAddressListPath(const std::string& path) override { path_ = path; }
    std::int32_t interval() const override { return interval_; }
    void setInterval(std::int32_t seconds) override;
    bool ownSiteOption() const override { return ownSite_; }
    void setOwnSiteOption(bool on) override { ownSite_ = on; }
    bool filterOption() const override { return filter_; }
    void setFilterOption(bool on) override { filter_ = on; }
    std::string filterText(FilterList list) const override { return text_[index(list)]; }
    void setFilterText(FilterList list, const std::string& text) override;
    int filterLineCount(FilterList list) const override { return static_cast<int>(lines_[index(list)].size()); }
    const std::string& filterLine(FilterList list, int i) const override;

private:
    static int index(FilterList list) { return list == FilterList::MustContain ? 0 : 1; }

    std::string path_;
    std::int32_t interval_;
    bool ownSite_ = false;
    bool filter_ = false;
    std::string text_[2];
    std::vector<std::string> lines_[2];
};

} // namespace lt
