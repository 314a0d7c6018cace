#include "search/ProgramFolder.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace lt {

namespace {
std::string withSlash(std::string s)
{
    if (s.empty() || s.back() != '/')
        s += '/';
    return s;
}

void makeFolders(const std::string& path)
{
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/')
            ::mkdir(path.substr(0, i).c_str(), 0700);
    }
}

// An installed copy stays an installed copy for root too, who may write there.
bool systemFolder(const std::string& folder)
{
    for (const char* prefix : {"/usr/", "/opt/", "/bin/", "/sbin/", "/snap/"})
        if (folder.rfind(prefix, 0) == 0)
            return true;
    return false;
}

bool writableFolder(const std::string& folder)
{
    struct stat st {};
    return !folder.empty() && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)
        && ::access(folder.c_str(), W_OK) == 0;
}
} // namespace

std::string executableFolder()
{
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return "./";
    std::string path(buf, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

std::string chooseProgramFolder(const std::string& exeFolder, const std::string& xdgDataHome,
                                const std::string& home)
{
    if (!systemFolder(withSlash(exeFolder)) && writableFolder(exeFolder))
        return withSlash(exeFolder);
    std::string base;
    if (!xdgDataHome.empty() && xdgDataHome[0] == '/')
        base = withSlash(xdgDataHome);
    else
        base = withSlash(home.empty() ? std::string("/tmp") : home) + ".local/share/";
    std::string folder = base + "linktrawler/";
    makeFolders(folder);
    return folder;
}

std::string programFolder()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    return chooseProgramFolder(executableFolder(), xdg ? xdg : "", home ? home : "");
}

} // namespace lt
