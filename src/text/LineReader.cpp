#include "text/LineReader.h"

#include "base/IoErrors.h"
#include "text/TextEncoding.h"

#include <algorithm>
#include <cerrno>
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
}

bool LineReader::fill()
{
    if (eof_ || fd_ < 0)
        return false;
    ssize_t n = readSome(fd_, buf_.data(), buf_.size());
    if (n < 0)
        throwIoError(errno);
    pos_ = 0;
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

std::string LineReader::readLine()
{
    std::string line;
    if (atEof())
        return line;
    for (;;) {
        const char* start = buf_.data() + pos_;
        const char* nl = static_cast<const char*>(std::memchr(start, '\n', len_ - pos_));
        const char* stop = nl ? nl : buf_.data() + len_;
        line.append(start, stop);
        if (nl) {
            pos_ = static_cast<std::size_t>(nl - buf_.data()) + 1;
            break;
        }
        pos_ = len_;
        if (!fill())
            break;
    }
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    return decodeFileText(std::move(line));
}

std::string LineReader::readAddress()
{
    std::string address = readLine();
    const auto blank = address.find(' ');
    if (blank != std::string::npos)
        address.resize(blank);
    return address;
}

void LineReader::close()
{
    if (fd_ < 0)
        return;
    int fd = fd_;
    fd_ = -1;
    eof_ = false;
    pos_ = len_ = 0;
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
