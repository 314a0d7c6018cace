#include "app/headless/ConsoleSearchView.h"

namespace lt {

ConsoleSearchView::ConsoleSearchView(std::FILE* out, std::FILE* err, bool showProgress)
    : out_(out), err_(err), showProgress_(showProgress)
{
}

int ConsoleSearchView::appendItem(const std::string& caption)
{
    clearProgressLine();
    results_.push_back(caption);
    std::fwrite(caption.data(), 1, caption.size(), out_);
    std::fputc('\n', out_);
    // Whoever reads the output sees each link as it is found.
    std::fflush(out_);
    return static_cast<int>(results_.size()) - 1;
}

void ConsoleSearchView::setPanelText(int panel, const std::string& text)
{
    if (panel < 0 || panel >= kStatusPanelCount)
        return;
    panels_[panel] = text;
    drawProgress();
}

void ConsoleSearchView::clearProgressLine()
{
    if (progressShown_) {
        std::fputs("\r\033[K", err_);
        std::fflush(err_);
        progressShown_ = false;
    }
}

void ConsoleSearchView::drawProgress()
{
    if (!showProgress_)
        return;
    std::string line = "\r\033[K" + panels_[kPanelPosition] + "/" + panels_[kPanelTotal] + "  found "
        + panels_[kPanelFound] + "  " + panels_[kPanelMessage];
    if (currentAddress_) {
        std::string address = currentAddress_();
        if (address.size() > 60)
            address = address.substr(0, 57) + "...";
        line += "  " + address;
    }
    std::fputs(line.c_str(), err_);
    std::fflush(err_);
    progressShown_ = true;
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
