#pragma once
#include "base/Error.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lt {

enum class OutputFormat {
    Text,      // the link alone, one per line
    JsonLines, // {"line":N,"page":"…","link":"…","text":"…"} per line
    Csv,       // RFC 4180, header "line,page,link,text"
};

// A write to the output failed. Every record of a line before
// firstUnwrittenLine reached the output, none from it on may have.
class OutputError : public Error {
public:
    OutputError(const std::string& message, int errnum, std::int64_t firstUnwrittenLine)
        : Error(message), errnum_(errnum), firstUnwrittenLine_(firstUnwrittenLine)
    {
    }
    int errnum() const { return errnum_; }
    // The reader went away (a closed pipe): not a failure of the run.
    bool readerGone() const;
    std::int64_t firstUnwrittenLine() const { return firstUnwrittenLine_; }

private:
    int errnum_;
    std::int64_t firstUnwrittenLine_;
};

// Accepted links written to a file descriptor (standard output) in one of
// the formats. Records are buffered and reach the descriptor at flush(), or
// when the buffer fills; lines must come in ascending order.
class LinkOutput {
public:
    LinkOutput(int fd, OutputFormat format);

    // page: the address of the page the link was found on; anchorText: the
    // link's visible text. Text records leave both out. Raises OutputError
    // when a write fails; after that nothing more is written.
    void write(std::int64_t line, std::string_view page, std::string_view link, std::string_view anchorText);
    void flush();
    // flush(), and when the descriptor is a regular file, what it holds
    // reaches the disk; nextLine: the first line not written yet, for the
    // OutputError a failed sync raises.
    void sync(std::int64_t nextLine);

    static bool parseFormat(std::string_view name, OutputFormat& format);

private:
    void append(std::int64_t line, std::string_view page, std::string_view link, std::string_view anchorText);

    int fd_;
    OutputFormat format_;
    bool headerDone_ = false;
    bool failed_ = false;
    std::string buf_;
    std::int64_t firstBufferedLine_ = -1;
    std::int64_t lastBufferedLine_ = -1;
};

// JSON string contents for text (quotes not included); bytes that are not
// UTF-8 become U+FFFD.
void appendJsonString(std::string& out, std::string_view text);
// One CSV field, quoted when it holds a comma, a quote or a line break.
void appendCsvField(std::string& out, std::string_view text);

} // namespace lt
