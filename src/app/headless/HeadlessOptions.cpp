#include "app/headless/HeadlessOptions.h"

#include "base/Error.h"
#include "search/Interval.h"
#include "text/IntegerText.h"

namespace lt {

namespace {

std::int32_t wholeNumber(const std::string& option, const std::string& text)
{
    try {
        return strToInt(text);
    } catch (const Error&) {
        throw Error(option + " needs a whole number, not '" + text + "'");
    }
}

} // namespace

HeadlessOptions parseHeadlessOptions(const std::vector<std::string>& args)
{
    HeadlessOptions o;
    bool onlyFiles = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw Error(a + " needs a value");
            return args[++i];
        };
        if (onlyFiles || a.empty() || a[0] != '-' || a == "-") {
            if (!o.listFile.empty())
                throw Error("Give one address list file, not '" + o.listFile + "' and '" + a + "'");
            o.listFile = a;
        } else if (a == "--") {
            onlyFiles = true;
        } else if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a == "--interval") {
            std::int32_t n = wholeNumber(a, value());
            if (n < kIntervalMin || n > kIntervalMax)
                throw Error("--interval must be between " + std::to_string(kIntervalMin) + " and "
                            + std::to_string(kIntervalMax) + " seconds");
            o.interval = n;
        } else if (a == "--own-site") {
            o.ownSite = true;
        } else if (a == "--filter") {
            o.filter = true;
        } else if (a == "--contain") {
            if (!o.mustContain)
                o.mustContain.emplace();
            o.mustContain->push_back(value());
        } else if (a == "--not-contain") {
            if (!o.mustNotContain)
                o.mustNotContain.emplace();
            o.mustNotContain->push_back(value());
        } else if (a == "--continue") {
            std::int32_t n = wholeNumber(a, value());
            if (n < 0)
                throw Error("--continue needs a line number of 0 or more");
            o.continueAfter = n;
        } else if (a == "--save") {
            o.saveFile = value();
            if (o.saveFile.empty())
                throw Error("--save needs a file name");
        } else {
            throw Error("Unknown option '" + a + "' (see linktrawl --help)");
        }
    }
    if (o.help)
        return o;
    if (o.continueAfter) {
        if (!o.listFile.empty() || o.interval || o.ownSite || o.filter)
            throw Error("--continue goes on with the saved address list and options; give no address list "
                        "file, --interval, --own-site or --filter with it");
    } else if (o.listFile.empty()) {
        throw Error("No address list file given (see linktrawl --help)");
    }
    if ((o.mustContain || o.mustNotContain) && !o.filter && !o.continueAfter)
        throw Error("--contain and --not-contain take effect only with --filter");
    return o;
}

std::string headlessHelpText()
{
    return R"(Usage: linktrawl [options] ADDRESS-LIST
       linktrawl --continue N [--contain TEXT]... [--not-contain TEXT]... [--save FILE]

Loads every address of ADDRESS-LIST (a text file, one address per line; the
address ends at the first blank) into a browser that runs without a window,
collects the links of each page and prints every accepted link on standard
output, one per line, as soon as it is found. Only links that begin with
"http://" are accepted, each at most once per page.

Options:
  --interval SECONDS   time per step, 1 to 60 (default 5). A page is read as
                       soon as it has loaded, at the latest after six steps.
  --own-site           accept only links that contain the page's own site
                       (the last two parts of its host name).
  --filter             apply the filter lists: a link must contain every
                       must-contain text and none of the must-not-contain texts.
  --contain TEXT       a must-contain text; repeat for more. Replaces the
                       saved list (default: "http://").
  --not-contain TEXT   a must-not-contain text; repeat for more. Replaces the
                       saved list (default: "#").
  --continue N         go on with the last saved search (its address list,
                       interval and options) from line N+1.
  --save FILE          also write the accepted links to FILE at the end,
                       one per line.
  -h, --help           show this text.

While it runs, the position in the list, the number of links found and the
address being loaded are shown on standard error when that is a terminal.
Ctrl-C stops the search: the page being loaded is still read, then the search
position, options and filter lists are saved as the window program saves them
(linktrawler.ini, linktrawlok.ini, linktrawlno.ini in the program folder), so
the search can be continued here with --continue or in the window with 继续.
A second Ctrl-C ends at once without saving.

The browser's history and cache are emptied before the search starts.
Exit status: 0 when the list has been searched to its end; 130 when the
search was stopped with Ctrl-C and saved; 1 when the search is refused or
fails (the reason is on standard error).
)";
}

} // namespace lt
