// A whole search over a long address list with a browser that completes at
// once and pages of 10 links: peak memory must not grow with the list, and
// the core's cost per page stays small. Run with 1000000 and 10000000.
#include "BenchFakes.h"
#include "search/SearchController.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lt;

int main(int argc, char** argv)
{
    long long n = argc > 1 ? std::atoll(argv[1]) : 1000000;
    char folder[] = "/tmp/lt-search-bench-XXXXXX";
    ::mkdtemp(folder);
    std::string dir = std::string(folder) + "/";
    std::string list = dir + "list.txt";
    {
        FILE* f = std::fopen(list.c_str(), "wb");
        for (long long i = 0; i < n; ++i)
            std::fprintf(f, "http://bbs.example.com/list-%lld.htm\r\n", i);
        std::fclose(f);
    }
    bench::InstantHost host;
    for (int i = 0; i < 10; ++i)
        host.links.push_back("http://www.example.com/t/" + std::to_string(i));
    bench::CountingView view;
    view.setOwnSiteOption(false);
    view.setFilterOption(false);
    bench::NullTimer timer;
    FoundSet found;
    SearchController c(view, view, timer, ProgressFile(dir), found,
                       SearchEnvironment{[](int) {}, [] {}, [] { return std::string("192.0.2.1"); }});
    c.bindBrowserHost(&host);
    host.setCompletionHandler([&] { c.pageComplete(); });
    view.setAddressListPath(list);
    c.chooseList();
    auto t0 = std::chrono::steady_clock::now();
    c.start();
    while (timer.armed)
        c.step();
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    rusage ru {};
    ::getrusage(RUSAGE_SELF, &ru);
    std::printf("%lld pages, %lld links listed: %.2f s, %.3f us per page, peak RSS %ld KiB\n", n, view.items, s,
                s * 1e6 / static_cast<double>(n), ru.ru_maxrss);
    std::string rm = "rm -rf '" + dir + "'";
    [[maybe_unused]] int rc = std::system(rm.c_str());
}
