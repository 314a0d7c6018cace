#pragma once
#include "app/headless/LinkStream.h"
#include "app/headless/ProgressLine.h"
#include "app/headless/ProgressRate.h"
#include "search/MemoryOptions.h"
#include "search/SearchView.h"
#include "search/StatusPanels.h"

#include <functional>
#include <optional>
#include <string>

namespace lt {

// The search view of the command's stepped search: accepted links go to the
// link stream as they are accepted; the status panels become the progress
// line; boxes become refusals for the command to report.
class ConsoleSearchView : public SearchView, public MemoryOptions {
public:
    // The line and the address of the page being harvested.
    struct Page {
        std::int64_t line = 0;
        std::string location;
    };

    ConsoleSearchView(LinkStream& links, ProgressLine& progress);

    // Answers of the dialogs the controller asks.
    void answerOpenFile(std::string path) { openFileAnswer_ = std::move(path); }
    void answerBreakpoint(std::string line) { breakpointAnswer_ = std::move(line); }
    // Where the view learns which page the links come from, and which
    // address is loading (for the progress line).
    void setPageSource(std::function<Page()> harvested, std::function<std::string()> loading);
    // Where the view learns the visible text of a link it is given, for the
    // formats that carry it.
    void setAnchorTextSource(std::function<std::string(const std::string& link)> anchorText)
    {
        anchorText_ = std::move(anchorText);
    }
    // The list is read from standard input: its length is not known.
    void setTotalUnknown(bool unknown) { totalUnknown_ = unknown; }

    // The last box shown: a refusal of the controller.
    const std::optional<std::string>& refusal() const { return refusal_; }
    const std::string& panelText(int panel) const { return panels_[panel]; }

    int appendItem(const std::string& caption) override;
    void makeVisible(int) override {}
    void clearResults() override {}
    void setPanelText(int panel, const std::string& text) override;

    void setCommandEnabled(SearchCommand, bool) override {}
    void repaintNow() override {}
    void informationBox(const std::string& text) override { refusal_ = text; }
    void plainMessageBox(const std::string& text) override { refusal_ = text; }
    std::optional<std::string> inputDialog(const std::string& caption, const std::string& prompt,
                                           const std::string& initial) override;
    std::optional<std::string> openFileDialog(const std::string& initialFolder) override;

private:
    LinkStream& links_;
    ProgressLine& progress_;
    std::string panels_[kStatusPanelCount];
    bool totalUnknown_ = false;
    ProgressRate rate_;
    std::optional<std::string> refusal_;
    std::optional<std::string> openFileAnswer_;
    std::optional<std::string> breakpointAnswer_;
    std::function<Page()> harvested_;
    std::function<std::string()> loading_;
    std::function<std::string(const std::string&)> anchorText_;
    int appended_ = 0;
};

} // namespace lt
