#pragma once
#include "search/MemoryOptions.h"
#include "search/SearchView.h"
#include "search/StatusPanels.h"

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lt {

// The search view of the headless command: accepted links go to standard
// output as they are accepted; the status panels become a progress line on
// standard error when that is a terminal; boxes become messages.
class ConsoleSearchView : public SearchView, public MemoryOptions {
public:
    ConsoleSearchView(std::FILE* out, std::FILE* err, bool showProgress);

    // Answers of the dialogs the controller asks.
    void answerOpenFile(std::string path) { openFileAnswer_ = std::move(path); }
    void answerBreakpoint(std::string line) { breakpointAnswer_ = std::move(line); }
    // Where the progress line gets the address being loaded.
    void setCurrentAddress(std::function<std::string()> f) { currentAddress_ = std::move(f); }

    // The last box shown: a refusal of the controller.
    const std::optional<std::string>& refusal() const { return refusal_; }
    const std::vector<std::string>& results() const { return results_; }
    const std::string& panelText(int panel) const { return panels_[panel]; }
    void clearProgressLine();

    int appendItem(const std::string& caption) override;
    void makeVisible(int) override {}
    void clearResults() override { results_.clear(); }
    void setPanelText(int panel, const std::string& text) override;

    void setCommandEnabled(SearchCommand, bool) override {}
    void repaintNow() override {}
    void informationBox(const std::string& text) override { refusal_ = text; }
    void plainMessageBox(const std::string& text) override { refusal_ = text; }
    std::optional<std::string> inputDialog(const std::string& caption, const std::string& prompt,
                                           const std::string& initial) override;
    std::optional<std::string> openFileDialog(const std::string& initialFolder) override;

private:
    void drawProgress();

    std::FILE* out_;
    std::FILE* err_;
    bool showProgress_;
    bool progressShown_ = false;
    std::vector<std::string> results_;
    std::string panels_[kStatusPanelCount];
    std::optional<std::string> refusal_;
    std::optional<std::string> openFileAnswer_;
    std::optional<std::string> breakpointAnswer_;
    std::function<std::string()> currentAddress_;
};

} // namespace lt
