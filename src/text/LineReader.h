#pragma once
#include <string>
#include <vector>

namespace lt {

// Sequential reader of a text file, one line at a time, without holding the
// file in memory. A line ends at LF (a CR before it, or anywhere else in the
// line, is dropped); the last line counts without a line end; a character of
// code 26 at the start of a line ends the file. Lines that are not UTF-8 are
// decoded as GB18030. Errors raise the runtime's file messages.
class LineReader {
public:
    LineReader() = default;
    explicit LineReader(const std::string& path) { open(path); }
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    void open(const std::string& path);
    bool isOpen() const { return fd_ >= 0; }
    // True when no line is left.
    bool atEof();
    // The next line; the empty text beyond the end of the file.
    std::string readLine();
    // The next line's address: its text before the first blank.
    std::string readAddress();
    // Closes the file; raises the file error when closing fails.
    void close();

private:
    bool fill();

    int fd_ = -1;
    bool eof_ = false;
    std::vector<char> buf_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
};

// Number of lines in a file by the reader's rules, streamed at disk speed.
// counted holds the lines counted so far, also when a read error is raised.
long long countLines(const std::string& path, long long* counted = nullptr);

} // namespace lt
