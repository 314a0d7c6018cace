// linktrawl's two searches over a long list with pages that complete at once
// and 20 links each, every one accepted and written as JSON Lines to
// /dev/null through the command's link stream: memory must stay flat however
// many pages and links went by. Each search runs in a process of its own so
// their peaks do not mix. Run with 100000 (the default) or more.
#include "BenchFakes.h"
#include "app/headless/ConsoleSearchView.h"
#include "app/headless/LinkStream.h"
#include "app/headless/ProgressLine.h"
#include "search/LinkFilter.h"
#include "search/MemoryOptions.h"
#include "search/ParallelSearch.h"
#include "search/SearchController.h"
#include "text/LineReader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace lt;

namespace {

constexpr int kLinksPerPage = 20;
constexpr int kSlots = 8;

// Links of their own for every page, so nothing is shared between pages.
std::vector<std::string> linksOf(const std::string& address)
{
    const std::string base = "http://www.example.com/" + address.substr(address.rfind('/') + 1) + "/";
    std::vector<std::string> links;
    links.reserve(kLinksPerPage);
    for (int i = 0; i < kLinksPerPage; ++i)
        links.push_back(base + std::to_string(i));
    return links;
}

long statusKiB(const char* key)
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long v = -1;
    const std::size_t n = std::strlen(key);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, key, n) == 0) {
            v = std::atol(line + n);
            break;
        }
    std::fclose(f);
    return v;
}

// Prints the memory when a checkpoint is reached.
class Checkpoints {
public:
    Checkpoints(const char* name, long long total) : name_(name), t0_(std::chrono::steady_clock::now())
    {
        for (long long n : {10000LL, 50000LL, 100000LL, total})
            if (n <= total && (marks_.empty() || n > marks_.back()))
                marks_.push_back(n);
    }
    void reached(long long pages, long long links)
    {
        if (next_ >= marks_.size() || pages < marks_[next_])
            return;
        ++next_;
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0_).count();
        std::printf("%-9s %8lld pages %9lld links %7.2f s  %6.2f us/page  VmRSS %6ld KiB  peak RSS %6ld KiB\n", name_,
                    pages, links, s, s * 1e6 / static_cast<double>(pages), statusKiB("VmRSS:"), statusKiB("VmHWM:"));
        std::fflush(stdout);
    }

private:
    const char* name_;
    std::chrono::steady_clock::time_point t0_;
    std::vector<long long> marks_;
    std::size_t next_ = 0;
};

// Slots whose pages complete at once: load() queues the outcome, run()
// delivers the queue, alternately from its front and its back so that pages
// also finish out of list order.
class InstantSlots : public PageSlots {
public:
    int slotCount() const override { return kSlots; }
    void load(int slot, const std::string& address) override { queue_.emplace_back(slot, address); }
    void setDoneHandler(DoneHandler handler) override { done_ = std::move(handler); }

    void run()
    {
        bool back = false;
        while (!queue_.empty()) {
            std::pair<int, std::string> next;
            if (back) {
                next = std::move(queue_.back());
                queue_.pop_back();
            } else {
                next = std::move(queue_.front());
                queue_.pop_front();
            }
            back = !back;
            PageOutcome outcome;
            outcome.location = next.second;
            outcome.links = linksOf(next.second);
            done_(next.first, std::move(outcome));
        }
    }

private:
    std::deque<std::pair<int, std::string>> queue_;
    DoneHandler done_;
};

// What ParallelRun does with each page.
class StreamSink : public ParallelSearchSink {
public:
    StreamSink(LinkStream& links, Checkpoints& marks) : links_(links), marks_(marks) {}
    void pageHarvested(std::int64_t line, const std::string& location, const std::vector<std::string>& accepted,
                       const std::vector<std::string>& anchorTexts) override
    {
        links_.writePage(line, location, accepted, anchorTexts);
        marks_.reached(line, links_.count());
    }
    void pageUnreadable(std::int64_t line, const std::string&, const std::string& error) override
    {
        std::fprintf(stderr, "line %lld: %s\n", static_cast<long long>(line), error.c_str());
    }
    void searchEnded() override { ended = true; }
    bool ended = false;

private:
    LinkStream& links_;
    Checkpoints& marks_;
};

int parallelSearch(const std::string& list, long long n, int out)
{
    LinkStream links(out, OutputFormat::JsonLines, "");
    Checkpoints marks("--jobs 8", n);
    MemoryOptions options; // both options off: every "http://" link passes
    LinkFilter filter(options, LinkSchemes::Http);
    InstantSlots slots;
    StreamSink sink(links, marks);
    LineReader reader(list);
    ParallelSearch search([&]() -> std::optional<std::string> {
        if (reader.atEof())
            return std::nullopt;
        return reader.readAddress();
    }, slots, filter, sink);
    slots.setDoneHandler([&](int slot, PageOutcome outcome) { search.pageDone(slot, std::move(outcome)); });
    search.start(0);
    slots.run();
    if (!sink.ended || search.position() != n || links.count() != n * kLinksPerPage) {
        std::fprintf(stderr, "parallel search ended at %lld with %lld links\n",
                     static_cast<long long>(search.position()), static_cast<long long>(links.count()));
        return 1;
    }
    return 0;
}

// A host whose every page shows links of its own.
class InstantPageHost : public bench::InstantHost {
public:
    void navigate(const std::string& address) override
    {
        location = address;
        links = linksOf(address);
        notifyComplete();
    }
};

int steppedSearch(const std::string& dir, const std::string& list, long long n, int out)
{
    LinkStream links(out, OutputFormat::JsonLines, "");
    ProgressLine progress(stderr, false);
    ConsoleSearchView view(links, progress);
    Checkpoints marks("stepped", n);
    InstantPageHost host;
    bench::NullTimer timer;
    FoundSet found;
    SearchController c(view, view, timer, ProgressFile(dir), found,
                       SearchEnvironment{[](int) {}, [] {}, [] { return std::string("192.0.2.1"); }});
    view.setPageSource([&] { return ConsoleSearchView::Page{c.position(), host.locationUrl()}; },
                       [&] { return host.location; });
    c.bindBrowserHost(&host);
    host.setCompletionHandler([&] { c.pageComplete(); });
    view.answerOpenFile(list);
    c.chooseList();
    c.start();
    while (timer.armed) {
        c.step();
        links.pageDone();
        // The position is the line read last, harvested at a later step.
        marks.reached(links.count() / kLinksPerPage, links.count());
    }
    if (c.position() != n || links.count() != n * kLinksPerPage) {
        std::fprintf(stderr, "stepped search ended at %d with %lld links\n", c.position(),
                     static_cast<long long>(links.count()));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const long long n = argc > 1 ? std::atoll(argv[1]) : 100000;
    char folder[] = "/tmp/lt-parallel-bench-XXXXXX";
    if (!::mkdtemp(folder))
        return 1;
    const std::string dir = std::string(folder) + "/";
    const std::string list = dir + "list.txt";
    {
        FILE* f = std::fopen(list.c_str(), "wb");
        for (long long i = 0; i < n; ++i)
            std::fprintf(f, "http://bbs.example.com/list-%lld.htm\r\n", i);
        std::fclose(f);
    }
    const int out = ::open("/dev/null", O_WRONLY);
    std::printf("%lld pages of %d links, all accepted, written as JSON Lines to /dev/null\n", n, kLinksPerPage);
    std::fflush(stdout);
    int failed = 0;
    for (int which = 0; which < 2; ++which) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int rc = which == 0 ? steppedSearch(dir, list, n, out) : parallelSearch(list, n, out);
            std::fflush(stdout);
            ::_exit(rc);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        failed += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    ::close(out);
    const std::string rm = "rm -rf '" + dir + "'";
    [[maybe_unused]] int rc = std::system(rm.c_str());
    return failed ? 1 : 0;
}
