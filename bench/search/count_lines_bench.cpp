// Counting the lines of a 1 GiB address list against `wc -l` on the same file.
#include "text/LineReader.h"

#include <chrono>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

static double seconds(const std::function<void()>& f)
{
    auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

int main(int argc, char** argv)
{
    std::string path = argc > 1 ? argv[1] : "/tmp/lt-bench-1gib.txt";
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        std::printf("writing %s ...\n", path.c_str());
        FILE* f = std::fopen(path.c_str(), "wb");
        long long bytes = 0;
        for (long long i = 0; bytes < (1LL << 30); ++i) {
            int n = std::fprintf(f, "http://bbs.example.com/forum/thread-%lld-1-1.html\r\n", i);
            bytes += n;
        }
        std::fclose(f);
    }
    std::string wc = "wc -l < '" + path + "' > /dev/null";
    // Warm the page cache for both.
    [[maybe_unused]] int rc = std::system(wc.c_str());
    long long lines = lt::countLines(path);
    double best = 1e9, bestWc = 1e9;
    for (int r = 0; r < 3; ++r) {
        best = std::min(best, seconds([&] { lines = lt::countLines(path); }));
        bestWc = std::min(bestWc, seconds([&] { rc = std::system(wc.c_str()); }));
    }
    std::printf("%lld lines; countLines %.3f s, wc -l %.3f s, ratio %.2f\n", lines, best, bestWc, best / bestWc);
}
