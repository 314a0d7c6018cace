#include "app/headless/StateFolder.h"

#include "base/Error.h"
#include "base/IoErrors.h"
#include "search/ProgramFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lt {

namespace {
void makeFolder(const std::string& path)
{
    // Each missing parent in turn, as mkdir -p does.
    for (std::size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            throw Error("cannot make the state folder " + path + ": " + ioErrorMessage(errno));
        if (slash == std::string::npos)
            break;
    }
}
} // namespace

StateFolder::StateFolder(const std::string& dir)
{
    if (dir.empty()) {
        files_ = programFolder();
    } else {
        std::string folder = dir;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        makeFolder(folder);
        files_ = folder + "/";
        engine_ = files_ + "engine";
    }
    lock_ = ::open(files_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock_ < 0)
        throw Error("cannot use the state folder " + files_ + ": " + ioErrorMessage(errno));
    if (::flock(lock_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lock_);
        lock_ = -1;
        throw Error("the state folder " + files_ + " is in use by another linktrawl run; give each run a "
                    "--state-dir of its own");
    }
}

StateFolder::~StateFolder()
{
    if (lock_ >= 0)
        ::close(lock_);
}

} // namespace lt
