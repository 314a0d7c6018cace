#include "text/LineWriter.h"

#include "base/Files.h"
#include "base/IoErrors.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace lt {

LineWriter::~LineWriter()
{
    if (fd_ >= 0) {
        try {
            flush();
        } catch (...) {
        }
        ::close(fd_);
    }
}

void LineWriter::create(const std::string& path)
{
    if (path.empty())
        throwIoError(ENOENT);
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throwIoError(errno);
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
    buf_.clear();
    buf_.reserve(kFlushAt + 4096);
    lineEnds_.clear();
    linesWritten_ = 0;
}

void LineWriter::flush()
{
    std::size_t written = 0;
    const int err = fd_ < 0 ? 0 : writeAll(fd_, buf_, &written);
    const auto ended = std::upper_bound(lineEnds_.begin(), lineEnds_.end(), written) - lineEnds_.begin();
    linesWritten_ += ended;
    buf_.clear();
    lineEnds_.clear();
    if (err)
        throwIoError(err);
}

void LineWriter::close()
{
    if (fd_ < 0)
        return;
    int err = 0;
    try {
        flush();
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
    if (::close(fd_) != 0 && errno != EINTR)
        err = errno;
    fd_ = -1;
    if (err)
        throwIoError(err);
}

} // namespace lt
