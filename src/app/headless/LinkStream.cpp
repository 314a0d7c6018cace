#include "app/headless/LinkStream.h"

namespace lt {

LinkStream::LinkStream(int fd, OutputFormat format, const std::string& saveFile) : out_(fd, format)
{
    if (!saveFile.empty())
        save_ = std::make_unique<ResultListFile>(saveFile, WriteErrors::CannotCreate);
}

void LinkStream::add(std::int64_t line, std::string_view page, std::string_view link)
{
    out_.write(line, page, link);
    if (save_)
        save_->add(link);
    ++count_;
}

void LinkStream::pageDone()
{
    out_.flush();
}

void LinkStream::writePage(std::int64_t line, std::string_view page, const std::vector<std::string>& links)
{
    for (const std::string& link : links)
        add(line, page, link);
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
