#include "text/LineWriter.h"

#include "text/IoErrors.h"

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
}

void LineWriter::flush()
{
    if (fd_ < 0) {
        buf_.clear();
        return;
    }
    const char* p = buf_.data();
    std::size_t left = buf_.size();
    while (left > 0) {
        ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            buf_.clear();
            throwIoError(err);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    buf_.clear();
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
