#pragma once
#include "text/TextEncoding.h"

#include <cstddef>
#include <string>
#include <vector>

namespace lt {

// The longest address a page can be loaded from: the engine's URL limit
// (2 MiB), counted on the address's encoded form.
inline constexpr std::size_t kLongestAddress = 2 * 1024 * 1024;

// Sequential reader of a text file, one line at a time, without holding the
// file in memory. A line ends at LF (a CR before it, or anywhere else in the
// line, is dropped); the last line counts without a line end; a character of
// code 26 at the start of a line ends the file. Errors raise the runtime's
// file messages.
//
// The file is read in one encoding, chosen where its first byte of 0x80 or
// above stands: the 64 KiB of the file from there decide (encodingOfSample).
// Until then the text is ASCII, which both encodings read alike. The choice
// costs one small read at that place, never a second pass over the file.
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
    // The next line, as UTF-8; the empty text beyond the end of the file.
    std::string readLine();
    // The next line as the file holds it, not decoded: a file name.
    std::string readLineBytes();
    // The next line's address: its text before the first blank, as UTF-8.
    // Only the address is kept while the line streams past. One longer than
    // kLongestAddress bytes comes back cut to kLongestAddress + 1 bytes, too
    // long for any page to load.
    std::string readAddress();
    // Passes over the next line without keeping any of it.
    void skipLine();
    // Closes the file; raises the file error when closing fails.
    void close();

    // The file's encoding as far as it is decided: UTF-8 until a byte of
    // 0x80 or above has been passed.
    FileEncoding encoding() const { return encoding_; }

    // Size of the text that decides the encoding.
    static constexpr std::size_t kEncodingSample = 64 * 1024;

private:
    bool fill();
    // Reads up to the end of the current line. Its bytes, CRs dropped, go to
    // kept until a byte equal to stop (none when stop < 0) or until limit
    // bytes are kept; the rest of the line is passed over.
    void passLine(std::string* kept, int stop, std::size_t limit);
    // Chooses the encoding when [from, to) of the buffer holds its first high byte.
    void watchEncoding(const char* from, const char* to);
    void chooseEncodingAt(std::size_t bufferIndex);

    int fd_ = -1;
    bool eof_ = false;
    std::vector<char> buf_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    long long bufferOffset_ = 0; // file offset of buf_[0]
    bool encodingChosen_ = false;
    FileEncoding encoding_ = FileEncoding::Utf8;
};

// Number of lines in a file by the reader's rules, streamed at disk speed in
// a buffer of fixed size, however long a line is. counted holds the lines
// counted so far, also when a read error is raised.
long long countLines(const std::string& path, long long* counted = nullptr);

} // namespace lt
