#include "app/headless/ConsoleSearchView.h"

#include <chrono>
#include <cstdlib>

namespace lt {

ConsoleSearchView::ConsoleSearchView(LinkStream& links, ProgressLine& progress) : links_(links), progress_(progress)
{
}

void ConsoleSearchView::setPageSource(std::function<Page()> harvested, std::function<std::string()> loading)
{
    harvested_ = std::move(harvested);
    loading_ = std::move(loading);
}

int ConsoleSearchView::appendItem(const std::string& caption)
{
    const Page page = harvested_ ? harvested_() : Page{};
    links_.add(page.line, page.location, caption, anchorText_ ? anchorText_(caption) : std::string());
    return appended_++;
}

void ConsoleSearchView::setPanelText(int panel, const std::string& text)
{
    if (panel < 0 || panel >= kStatusPanelCount)
        return;
    panels_[panel] = text;
    if (panel == kPanelPosition && !text.empty()) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        rate_.record(std::chrono::duration<double>(now).count(), std::strtoll(text.c_str(), nullptr, 10));
    }
    std::string line = panels_[kPanelPosition] + "/" + (totalUnknown_ ? "?" : panels_[kPanelTotal]) + "  found "
        + panels_[kPanelFound]
        + rate_.describe(totalUnknown_ ? std::nullopt
                                       : std::optional<std::int64_t>(std::strtoll(panels_[kPanelTotal].c_str(),
                                                                                  nullptr, 10)))
        + "  " + panels_[kPanelMessage];
    if (loading_) {
        std::string address = loading_();
        if (address.size() > 60)
            address = address.substr(0, 57) + "...";
        line += "  " + address;
    }
    progress_.show(line);
}

std::optional<std::string> ConsoleSearchView::inputDialog(const std::string&, const std::string&,
                                                          const std::string& initial)
{
    return breakpointAnswer_ ? breakpointAnswer_ : std::optional<std::string>(initial);
}

std::optional<std::string> ConsoleSearchView::openFileDialog(const std::string&)
{
    return openFileAnswer_;
}

} // namespace lt
