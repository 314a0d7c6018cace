#include "app/headless/LinkStream.h"

namespace lt {

LinkStream::LinkStream(int fd, OutputFormat format, const std::string& saveFile) : out_(fd, format)
{
    if (!saveFile.empty())
        save_ = std::make_unique<ResultListFile>(saveFile, WriteErrors::CannotCreate);
}

void LinkStream::add(std::int64_t line, std::string_view page, std::string_view link, std::string_view anchorText)
{
    out_.write(line, page, link, anchorText);
    if (save_)
        save_->add(link);
    ++count_;
}

void LinkStream::pageDone()
{
    out_.flush();
}

void LinkStream::writePage(std::int64_t line, std::string_view page, const std::vector<std::string>& links,
                           const std::vector<std::string>& anchorTexts)
{
    for (std::size_t i = 0; i < links.size(); ++i)
        add(line, page, links[i], i < anchorTexts.size() ? std::string_view(anchorTexts[i]) : std::string_view());
    pageDone();
}

void LinkStream::checkpoint(std::int64_t nextLine)
{
    out_.sync(nextLine);
    if (save_)
        save_->publish();
}

void LinkStream::commitSave()
{
    if (save_) {
        auto save = std::move(save_);
        save->commit();
    }
}

} // namespace lt
