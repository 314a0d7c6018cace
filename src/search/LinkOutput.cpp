#include "search/LinkOutput.h"

#include "base/Files.h"
#include "base/IoErrors.h"
#include "text/IntegerText.h"
#include "text/TextEncoding.h"

#include <cerrno>

namespace lt {

namespace {
constexpr std::size_t kFlushAt = 64 * 1024;

// Length of the UTF-8 sequence at p, or 0 when none starts there.
std::size_t utf8Length(const unsigned char* p, const unsigned char* end)
{
    const unsigned char c = *p;
    std::size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || static_cast<std::size_t>(end - p) < len)
        return 0;
    return isValidUtf8(std::string_view(reinterpret_cast<const char*>(p), len)) ? len : 0;
}
} // namespace

bool OutputError::readerGone() const
{
    return errnum_ == EPIPE;
}

void appendJsonString(std::string& out, std::string_view text)
{
    static const char hex[] = "0123456789abcdef";
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++p;
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
            ++p;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++p;
        } else if (std::size_t len = utf8Length(p, end)) {
            out.append(reinterpret_cast<const char*>(p), len);
            p += len;
        } else {
            out += "\xEF\xBF\xBD";
            ++p;
        }
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

void LinkOutput::append(std::int64_t line, std::string_view page, std::string_view link)
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
        buf_ += "\"}\n";
        break;
    case OutputFormat::Csv:
        if (!headerDone_) {
            buf_ += "line,page,link\r\n";
            headerDone_ = true;
        }
        buf_ += std::to_string(line);
        buf_ += ',';
        appendCsvField(buf_, page);
        buf_ += ',';
        appendCsvField(buf_, link);
        buf_ += "\r\n";
        break;
    }
}

void LinkOutput::write(std::int64_t line, std::string_view page, std::string_view link)
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
    append(line, page, link);
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

} // namespace lt
