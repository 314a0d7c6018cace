#pragma once
#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace lt::test {

// A fresh folder under /tmp, removed with its contents at the end.
class TempDir {
public:
    TempDir()
    {
        char tmpl[] = "/tmp/lt-test-XXXXXX";
        path_ = ::mkdtemp(tmpl);
        path_ += '/';
    }
    ~TempDir()
    {
        std::string cmd = "chmod -R u+w '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
        [[maybe_unused]] int rc = std::system(cmd.c_str());
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }

    std::string write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(file(name), std::ios::binary);
        out << bytes;
        return file(name);
    }

    // The names in the folder, sorted.
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        if (DIR* d = ::opendir(path_.c_str())) {
            while (const dirent* e = ::readdir(d)) {
                const std::string name = e->d_name;
                if (name != "." && name != "..")
                    out.push_back(name);
            }
            ::closedir(d);
        }
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    std::string path_;
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

} // namespace lt::test
