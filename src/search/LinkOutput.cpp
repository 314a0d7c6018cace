#include "search/LinkOutput.h"

#include "base/Files.h"
#include "base/IoErrors.h"
#include "text/TextEncoding.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace lt {

namespace {
constexpr std::size_t kFlushAt = 64 * 1024;
} // namespace

bool OutputError::readerGone() const
{
    return errnum_ == EPIPE;
}

void appendJsonString(std::string& out, std::string_view text)
{
    static const char hex[] = "0123456789abcdef";
    for (;;) {
        const std::size_t valid = validUtf8Length(text);
        for (const char ch : text.substr(0, valid)) {
            const auto c = static_cast<unsigned char>(ch);
            if (c == '"' || c == '\\') {
                out += '\\';
                out += ch;
            } else if (c < 0x20 || c == 0x7F) {
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else {
                out += ch;
            }
        }
        text.remove_prefix(valid);
        if (text.empty())
            return;
        // A byte that is not UTF-8.
        out += "\xEF\xBF\xBD";
        text.remove_prefix(1);
    }
}

void appendCsvField(std::string& out, std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

bool LinkOutput::parseFormat(std::string_view name, OutputFormat& format)
{
    if (name == "text")
        format = OutputFormat::Text;
    else if (name == "jsonl")
        format = OutputFormat::JsonLines;
    else if (name == "csv")
        format = OutputFormat::Csv;
    else
        return false;
    return true;
}

LinkOutput::LinkOutput(int fd, OutputFormat format) : fd_(fd), format_(format) {}

void LinkOutput::append(std::int64_t line, std::string_view page, std::string_view link, std::string_view anchorText)
{
    switch (format_) {
    case OutputFormat::Text:
        buf_ += link;
        buf_ += '\n';
        break;
    case OutputFormat::JsonLines:
        buf_ += "{\"line\":";
        buf_ += std::to_string(line);
        buf_ += ",\"page\":\"";
        appendJsonString(buf_, page);
        buf_ += "\",\"link\":\"";
        appendJsonString(buf_, link);
        buf_ += "\",\"text\":\"";
        appendJsonString(buf_, anchorText);
        buf_ += "\"}\n";
        break;
    case OutputFormat::Csv:
        if (!headerDone_) {
            buf_ += "line,page,link,text\r\n";
            headerDone_ = true;
        }
        buf_ += std::to_string(line);
        buf_ += ',';
        appendCsvField(buf_, page);
        buf_ += ',';
        appendCsvField(buf_, link);
        buf_ += ',';
        appendCsvField(buf_, anchorText);
        buf_ += "\r\n";
        break;
    }
}

void LinkOutput::write(std::int64_t line, std::string_view page, std::string_view link, std::string_view anchorText)
{
    if (failed_)
        return;
    // A full buffer goes out at a page's boundary only, so a failed write
    // tells exactly which pages were written whole.
    if (buf_.size() >= kFlushAt && line != lastBufferedLine_)
        flush();
    if (firstBufferedLine_ < 0)
        firstBufferedLine_ = line;
    lastBufferedLine_ = line;
    append(line, page, link, anchorText);
}

void LinkOutput::flush()
{
    if (failed_ || buf_.empty())
        return;
    const int err = writeAll(fd_, buf_);
    const std::int64_t first = firstBufferedLine_;
    buf_.clear();
    firstBufferedLine_ = -1;
    if (err) {
        failed_ = true;
        throw OutputError("cannot write the links: " + ioErrorMessage(err), err, first);
    }
}

void LinkOutput::sync(std::int64_t nextLine)
{
    flush();
    if (failed_)
        return;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))
        return;
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        const int err = errno;
        failed_ = true;
        throw OutputError("cannot write the links: " + ioErrorMessage(err), err, nextLine);
    }
}

} // namespace lt
