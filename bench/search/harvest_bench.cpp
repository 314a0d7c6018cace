// Harvest time for large pages: half of the links repeat others with their
// letter case changed; own-site and filters on, three lines in each list.
#include "BenchFakes.h"
#include "search/LinkHarvester.h"

#include <chrono>
#include <cstdio>

using namespace lt;

static double harvestMs(int n)
{
    bench::InstantHost host;
    bench::CountingView view;
    view.setFilterText(FilterList::MustContain, "http://\nexample\n/page");
    view.setFilterText(FilterList::MustNotContain, "#\nlogout\n.exe");
    for (int i = 0; i < n / 2; ++i)
        host.links.push_back("http://www.example.com/page/" + std::to_string(i) + ".html?from=list");
    for (int i = 0; i < n / 2; ++i)
        host.links.push_back("http://WWW.EXAMPLE.COM/page/" + std::to_string(i) + ".html?from=list");
    FoundSet found;
    std::int32_t count = 0;
    LinkHarvester h(host, view, view, view, found, count);
    auto t0 = std::chrono::steady_clock::now();
    h.harvest();
    auto t1 = std::chrono::steady_clock::now();
    if (count != n / 2)
        std::printf("unexpected count %d\n", count);
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

int main()
{
    harvestMs(10000); // warm up
    for (int n : {100000, 1000000}) {
        double best = 1e18;
        for (int r = 0; r < 3; ++r)
            best = std::min(best, harvestMs(n));
        std::printf("harvest of %7d links: %8.1f ms (best of 3)\n", n, best);
    }
}
