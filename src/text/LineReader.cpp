#include "text/LineReader.h"

#include "base/IoErrors.h"
#include "text/TextEncoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lt {

namespace {
constexpr std::size_t kBufferSize = 256 * 1024;
constexpr char kEndOfFileMark = 26;

int openForReading(const std::string& path)
{
    if (path.empty())
        throwIoError(ENOENT);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throwIoError(errno);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

ssize_t readSome(int fd, char* into, std::size_t size)
{
    for (;;) {
        ssize_t n = ::read(fd, into, size);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}
} // namespace

LineReader::~LineReader()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void LineReader::open(const std::string& path)
{
    int fd = openForReading(path);
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
    eof_ = false;
    buf_.resize(kBufferSize);
    pos_ = len_ = 0;
    bufferOffset_ = 0;
    encodingChosen_ = false;
    encoding_ = FileEncoding::Utf8;
}

bool LineReader::fill()
{
    if (eof_ || fd_ < 0)
        return false;
    bufferOffset_ += static_cast<long long>(len_);
    pos_ = len_ = 0;
    ssize_t n = readSome(fd_, buf_.data(), buf_.size());
    if (n < 0)
        throwIoError(errno);
    len_ = static_cast<std::size_t>(n);
    if (n == 0)
        eof_ = true;
    return n > 0;
}

bool LineReader::atEof()
{
    if (fd_ < 0)
        return true;
    if (pos_ >= len_ && !fill())
        return true;
    if (buf_[pos_] == kEndOfFileMark) {
        eof_ = true;
        pos_ = len_ = 0;
        return true;
    }
    return false;
}

void LineReader::watchEncoding(const char* from, const char* to)
{
    if (encodingChosen_)
        return;
    const char* p = from;
    // Eight bytes at a time through ASCII text.
    for (std::uint64_t word; p + 8 <= to; p += 8) {
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ull)
            break;
    }
    for (; p < to; ++p)
        if (static_cast<unsigned char>(*p) >= 0x80) {
            chooseEncodingAt(static_cast<std::size_t>(p - buf_.data()));
            return;
        }
}

void LineReader::chooseEncodingAt(std::size_t index)
{
    // The sample is read aside, so the stream's buffer stays as it is; a
    // file that cannot be read at an offset (a pipe) is judged by what the
    // buffer holds from there.
    std::string sample(kEncodingSample, '\0');
    std::size_t got = 0;
    bool endsFile = false;
    const off_t at = static_cast<off_t>(bufferOffset_ + static_cast<long long>(index));
    for (;;) {
        ssize_t n = ::pread(fd_, sample.data() + got, sample.size() - got, at + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            got = std::min(len_ - index, sample.size());
            sample.assign(buf_.data() + index, got);
            endsFile = eof_;
            break;
        }
        got += static_cast<std::size_t>(n);
        if (n == 0 || got == sample.size()) {
            endsFile = n == 0;
            break;
        }
    }
    sample.resize(got);
    encoding_ = encodingOfSample(sample, endsFile);
    encodingChosen_ = true;
}

void LineReader::passLine(std::string* kept, int stop, std::size_t limit)
{
    bool keeping = kept != nullptr && limit > 0;
    for (;;) {
        const char* start = buf_.data() + pos_;
        const char* end = buf_.data() + len_;
        const char* nl = static_cast<const char*>(std::memchr(start, '\n', len_ - pos_));
        const char* lineEnd = nl ? nl : end;
        watchEncoding(start, lineEnd);
        if (keeping) {
            const char* keepEnd = lineEnd;
            if (stop >= 0) {
                if (const char* s = static_cast<const char*>(std::memchr(start, stop, static_cast<std::size_t>(lineEnd - start)))) {
                    keepEnd = s;
                    keeping = false;
                }
            }
            const std::size_t from = kept->size();
            kept->append(start, keepEnd);
            kept->erase(std::remove(kept->begin() + static_cast<std::ptrdiff_t>(from), kept->end(), '\r'), kept->end());
            if (kept->size() >= limit) {
                kept->resize(limit);
                keeping = false;
            }
        }
        if (nl) {
            pos_ = static_cast<std::size_t>(nl - buf_.data()) + 1;
            return;
        }
        pos_ = len_;
        if (!fill())
            return;
    }
}

std::string LineReader::readLineBytes()
{
    std::string line;
    if (!atEof())
        passLine(&line, -1, line.max_size());
    return line;
}

std::string LineReader::readLine()
{
    std::string line = readLineBytes();
    // Only now is the encoding known if this line holds the first high byte.
    return decodeText(std::move(line), encoding_);
}

std::string LineReader::readAddress()
{
    std::string address;
    if (!atEof())
        passLine(&address, ' ', kLongestAddress + 1);
    return decodeText(std::move(address), encoding_);
}

void LineReader::skipLine()
{
    if (!atEof())
        passLine(nullptr, -1, 0);
}

void LineReader::close()
{
    if (fd_ < 0)
        return;
    int fd = fd_;
    fd_ = -1;
    eof_ = false;
    pos_ = len_ = 0;
    bufferOffset_ = 0;
    if (::close(fd) != 0 && errno != EINTR)
        throwIoError(errno);
}

namespace {
std::size_t countNewlines(const char* p, std::size_t n)
{
    std::size_t count = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i nl = _mm_set1_epi8('\n');
    while (i + 16 <= n) {
        // Byte counters overflow after 255 blocks: fold them in time.
        __m128i acc = _mm_setzero_si128();
        std::size_t blocks = std::min<std::size_t>((n - i) / 16, 255);
        for (std::size_t b = 0; b < blocks; ++b, i += 16) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            acc = _mm_sub_epi8(acc, _mm_cmpeq_epi8(v, nl));
        }
        __m128i sums = _mm_sad_epu8(acc, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums))
            + static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
    }
#endif
    for (; i < n; ++i)
        count += p[i] == '\n';
    return count;
}
} // namespace

long long countLines(const std::string& path, long long* counted)
{
    long long dummy = 0;
    if (!counted)
        counted = &dummy;
    *counted = 0;
    int fd = openForReading(path);
    std::vector<char> buf(kBufferSize);
    long long lines = 0;
    bool atLineStart = true; // the last byte seen was LF, or nothing was seen
    for (;;) {
        ssize_t got = readSome(fd, buf.data(), buf.size());
        if (got < 0) {
            int err = errno;
            ::close(fd);
            throwIoError(err);
        }
        if (got == 0)
            break;
        std::size_t n = static_cast<std::size_t>(got);
        bool ended = false;
        // Look for an end-of-file mark at the start of a line.
        const char* from = buf.data();
        while (const char* z = static_cast<const char*>(
                   std::memchr(from, kEndOfFileMark, n - static_cast<std::size_t>(from - buf.data())))) {
            bool lineStart = z == buf.data() ? atLineStart : z[-1] == '\n';
            if (lineStart) {
                n = static_cast<std::size_t>(z - buf.data());
                ended = true;
                break;
            }
            from = z + 1;
        }
        lines += static_cast<long long>(countNewlines(buf.data(), n));
        *counted = lines;
        if (n > 0)
            atLineStart = buf[n - 1] == '\n';
        if (ended)
            break;
    }
    ::close(fd);
    if (!atLineStart)
        ++lines;
    *counted = lines;
    return lines;
}

} // namespace lt
