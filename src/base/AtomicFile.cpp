#include "base/AtomicFile.h"

#include "base/IoErrors.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lt {

namespace {

constexpr std::size_t kFlushAt = 1 << 20;

// A read-only file stays read-only for root too, whose access() always says yes.
bool isWriteProtected(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    if (::geteuid() == 0)
        return (st.st_mode & 0222) == 0;
    return ::access(path.c_str(), W_OK) != 0;
}

std::string folderOf(const std::string& path)
{
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

AtomicFile::AtomicFile(std::string path, WriteErrors errors) : path_(std::move(path)), errors_(errors)
{
    if (path_.empty())
        fail(ENOENT);
    if (isWriteProtected(path_))
        fail(EACCES);
    temporary_ = path_ + std::string(kTemporaryMark) + "XXXXXX";
    fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0)
        fail(errno);
    // mkstemp makes the file private; give it the mode a plain create would,
    // or the target's own.
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t mode = 0666 & ~mask;
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0)
        mode = st.st_mode & 07777;
    ::fchmod(fd_, mode);
    buf_.reserve(64 * 1024);
}

AtomicFile::~AtomicFile()
{
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temporary_.c_str());
    }
}

void AtomicFile::fail(int errnum)
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    ::unlink(temporary_.c_str());
    if (errors_ == WriteErrors::CannotCreate)
        throwCannotCreate(path_);
    throwIoError(errnum);
}

void AtomicFile::write(std::string_view text)
{
    if (fd_ < 0)
        fail(EBADF);
    if (buf_.size() + text.size() > kFlushAt)
        flush();
    if (text.size() > kFlushAt) {
        if (const int err = writeAll(fd_, text))
            fail(err);
        return;
    }
    buf_.append(text);
}

void AtomicFile::flush()
{
    const int err = writeAll(fd_, buf_);
    buf_.clear();
    if (err)
        fail(err);
}

void AtomicFile::commit()
{
    if (fd_ < 0)
        fail(EBADF);
    flush();
    if (::fsync(fd_) != 0)
        fail(errno);
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0)
        fail(errno);
    if (::rename(temporary_.c_str(), path_.c_str()) != 0)
        fail(errno);
    // The rename itself must reach the disk too.
    int dir = ::open(folderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace lt
