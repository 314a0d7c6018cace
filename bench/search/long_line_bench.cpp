// Memory and time of reading a list whose lines are very long, the way each
// command reads it: the search's addresses, "网址"'s count, "继续"'s
// skipping. Run by hand, e.g. with a 2 GB line:
//   { printf 'http://h/a '; head -c 2G /dev/zero | tr '\0' x; printf '\r\nhttp://h/b\r\n'; } > long.txt
//   long_line_bench long.txt address|count|skip
#include "text/LineReader.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s list address|count|skip\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    if (std::strcmp(argv[2], "count") == 0) {
        std::printf("%lld lines\n", lt::countLines(argv[1]));
    } else {
        lt::LineReader reader(argv[1]);
        const bool skip = std::strcmp(argv[2], "skip") == 0;
        long long lines = 0;
        while (!reader.atEof()) {
            ++lines;
            if (skip) {
                reader.skipLine();
                continue;
            }
            const std::string address = reader.readAddress();
            std::printf("line %lld: address of %zu bytes\n", lines, address.size());
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("%.2f s, peak resident memory %ld KiB\n", seconds, usage.ru_maxrss);
    return 0;
}
