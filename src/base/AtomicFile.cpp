#include "base/AtomicFile.h"

#include "base/IoErrors.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

std::string nameOf(const std::string& path)
{
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

constexpr std::size_t kRandomLength = 6;

bool mkstempCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Creates the temporary file, locked. A cleaner at the next start of another
// instance may remove a temporary between its creation and its lock (it
// takes the lock itself first); the writer then finds it unlinked and makes
// another.
int createLockedTemporary(std::string& name, const std::string& pattern)
{
    for (;;) {
        name = pattern;
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) {
            name.clear(); // nothing of ours to remove
            return -1;
        }
        struct stat st {};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &st) == 0 && st.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        return fd;
    }
}

// Removes the file at path if it is a regular file that no writer holds.
void removeUnheld(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat opened {}, named {};
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
        && ::lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
        ::unlink(path.c_str());
    ::close(fd);
}

} // namespace

bool AtomicFile::isTemporaryName(std::string_view name, std::string_view targetName)
{
    const std::size_t stem = targetName.size() + kTemporaryMark.size();
    if (targetName.empty() || name.size() != stem + kRandomLength || name.substr(0, targetName.size()) != targetName
        || name.substr(targetName.size(), kTemporaryMark.size()) != kTemporaryMark)
        return false;
    for (char c : name.substr(stem))
        if (!mkstempCharacter(c))
            return false;
    return true;
}

void AtomicFile::removeLeftovers(const std::string& target)
{
    const std::string folder = folderOf(target);
    const std::string targetName = nameOf(target);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        if (isTemporaryName(entry->d_name, targetName))
            removeUnheld(folder + "/" + entry->d_name);
    }
    ::closedir(dir);
}

AtomicFile::AtomicFile(std::string path, WriteErrors errors) : path_(std::move(path)), errors_(errors)
{
    if (path_.empty())
        fail(ENOENT);
    if (isWriteProtected(path_))
        fail(EACCES);
    fd_ = createLockedTemporary(temporary_, path_ + std::string(kTemporaryMark) + std::string(kRandomLength, 'X'));
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
        if (!temporary_.empty())
            ::unlink(temporary_.c_str());
    }
}

void AtomicFile::fail(int errnum)
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty())
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

void AtomicFile::publish()
{
    if (fd_ < 0)
        fail(EBADF);
    flush();
    if (::fsync(fd_) != 0)
        fail(errno);
    if (temporary_.empty())
        return;
    // Renamed while still locked, so no cleaner takes it away first; the
    // writer goes on writing the same file, now under the target's name.
    if (::rename(temporary_.c_str(), path_.c_str()) != 0)
        fail(errno);
    temporary_.clear();
    // The rename itself must reach the disk too.
    int dir = ::open(folderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void AtomicFile::commit()
{
    publish();
    // The text is on the disk by now: a failing close changes nothing.
    ::close(std::exchange(fd_, -1));
}

} // namespace lt
