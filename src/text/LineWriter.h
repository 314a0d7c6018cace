#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lt {

// Buffered sequential text writer; every line is ended by CR LF. The file is
// created, or emptied when it exists. Errors raise the runtime's file messages.
class LineWriter {
public:
    LineWriter() = default;
    explicit LineWriter(const std::string& path) { create(path); }
    ~LineWriter();
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    void create(const std::string& path);
    bool isOpen() const { return fd_ >= 0; }

    // Appends text to the current line without ending it.
    void write(std::string_view text)
    {
        if (buf_.size() + text.size() > kFlushAt)
            flush();
        buf_.append(text);
    }
    void writeLine(std::string_view text)
    {
        write(text);
        endLine();
    }
    void endLine()
    {
        write("\r\n");
        lineEnds_.push_back(buf_.size());
    }

    void flush();
    // Flushes and closes; raises the file error when either fails.
    void close();

    // Lines whose line end has reached the file; after a failed write, those
    // before the failure. Lines still in the buffer do not count.
    std::int64_t linesWritten() const { return linesWritten_; }

private:
    static constexpr std::size_t kFlushAt = 1 << 20;
    int fd_ = -1;
    std::string buf_;
    // Where each line ended in buf_, in order.
    std::vector<std::size_t> lineEnds_;
    std::int64_t linesWritten_ = 0;
};

} // namespace lt
