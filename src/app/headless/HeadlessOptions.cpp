#include "app/headless/HeadlessOptions.h"
#include "app/headless/OptionTable.h"

#include "base/Error.h"
#include "search/Interval.h"
#include "text/IntegerText.h"

#include <set>
#include <string_view>

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

// A whole number within [low, high]; unit, when given, follows the range in
// the message (" seconds").
std::int32_t numberBetween(const std::string& option, const std::string& text, std::int32_t low, std::int32_t high,
                           const char* unit = "")
{
    const std::int32_t n = wholeNumber(option, text);
    if (n < low || n > high)
        throw Error(option + " must be between " + std::to_string(low) + " and " + std::to_string(high) + unit);
    return n;
}

// text, refused when empty: "--save needs a file name".
const std::string& given(const char* option, const std::string& text, const char* what)
{
    if (text.empty())
        throw Error(std::string(option) + " needs " + what);
    return text;
}

// A line number given to --continue, or a mistyped one ("-3", "12a").
bool looksLikeNumber(const std::string& text)
{
    const std::size_t digits = text.find_first_of("0123456789");
    return digits != std::string::npos && digits <= 1 && (digits == 0 || text[0] == '-' || text[0] == '+');
}

// What the parse has seen besides the options themselves.
struct Parse {
    HeadlessOptions o;
    std::set<std::string_view> given;
};

using Entry = OptionEntry<Parse>;
using V = Entry::Value;
using S = Entry::Section;

// The order of --help.
const Entry kOptions[] = {
    {"--jobs", "", "N", V::Number, S::Search, 1, HeadlessOptions::kMaxJobs, "",
     "load N pages at once ({range}). A page is read as soon as its links are there (see \"When a page is read\" "
     "below), at the latest after --timeout. The links come out in list order, as one page at a time would give "
     "them. A page that cannot be loaded (\"connection refused\", \"host not found\", \"certificate not "
     "trusted\", ...) or whose links cannot be read is reported on standard error with its line number, address "
     "and the reason, and the search goes on. A page the site serves with an HTTP error status (a 404 with a "
     "menu) is harvested, and its status reported the same way.",
     [](Parse& p, const std::string&, std::int32_t n, bool) { p.o.jobs = n; }},
    {"--settle", "", "MS", V::Number, S::Search, 0, 60000, " milliseconds",
     "with --jobs: how long a page's links must stand still before it is read (default 250).",
     [](Parse& p, const std::string&, std::int32_t n, bool) { p.o.settleMs = n; }},
    {"--timeout", "", "SECONDS", V::Number, S::Search, 1, 3600, " seconds",
     "with --jobs: read a page that is still not ready after this long, as it stands (default 30); a page whose "
     "links keep changing (a ticker) is read then. Give up on a page whose links have not come twice this long "
     "after they were asked for (its renderer is replaced).",
     [](Parse& p, const std::string&, std::int32_t n, bool) { p.o.timeoutSeconds = n; }},
    {"--images", "", "", V::None, S::Search, 0, 0, "",
     "with --jobs: let pages fetch images, fonts, media and frames of other sites too (by default they do not: "
     "nobody sees them and no link of the page comes from them).",
     [](Parse& p, const std::string&, std::int32_t, bool) { p.o.images = true; }},
    {"--per-site", "", "N", V::Number, S::Search, 1, HeadlessOptions::kMaxJobs, "",
     "with --jobs: at most N pages of one site (host name) load at once ({range}). Without it, a site's pages "
     "load as long as they keep its six connections busy (see \"When a page is read\").",
     [](Parse& p, const std::string&, std::int32_t n, bool) { p.o.perSite = n; }},
    {"--delay", "", "MS", V::Number, S::Search, 0, 3600000, " milliseconds",
     "with --jobs: at least MS milliseconds between the starts of two page loads from one site, loads again "
     "after a failure included (default 0).",
     [](Parse& p, const std::string&, std::int32_t n, bool) { p.o.delayMs = n; }},
    {"--retries", "", "N", V::Number, S::Search, 0, HeadlessOptions::kMaxRetries, "",
     "with --jobs: load a page whose own load failed again, up to N times ({range}, default 2), after pauses of "
     "1, 2, 4 ... seconds (at most 30). Failures that count: no connection (refused, unreachable, no network), a "
     "reset, closed or timed-out connection, an empty answer, HTTP 408, 429 and 5xx. After a 429 or 503 the page's "
     "Retry-After is asked for with a HEAD request and waited for, up to 120 seconds; a site that asks for longer "
     "is not tried again, and its page is read as it came.",
     [](Parse& p, const std::string&, std::int32_t n, bool) { p.o.retries = n; }},
    {"--insecure", "-k", "", V::None, S::Search, 0, 0, "",
     "accept the certificates of https sites that the browser does not trust (self-signed, expired, of another "
     "name), as curl -k does. Without it, --jobs reports their pages as \"certificate not trusted\".",
     [](Parse& p, const std::string&, std::int32_t, bool) { p.o.insecure = true; }},
    {"--interval", "", "SECONDS", V::Number, S::Search, kIntervalMin, kIntervalMax, " seconds",
     "without --jobs: the time of one step, {range} (default 5). A page is read at the first step after it has "
     "loaded, at the latest after six steps.",
     [](Parse& p, const std::string&, std::int32_t n, bool) { p.o.interval = n; }},
    {"--own-site", "", "", V::None, S::Search, 0, 0, "",
     "accept only links that contain the page's own site (the last two parts of its host name).",
     [](Parse& p, const std::string&, std::int32_t, bool) { p.o.ownSite = true; }},
    {"--filter", "", "", V::None, S::Search, 0, 0, "",
     "apply the filter lists: a link must contain every must-contain text and none of the must-not-contain texts.",
     [](Parse& p, const std::string&, std::int32_t, bool) { p.o.filter = true; }},
    {"--contain", "", "TEXT", V::Text, S::Search, 0, 0, "",
     "a must-contain text; repeat for more. Replaces the saved list (default: \"http://\").",
     [](Parse& p, const std::string& text, std::int32_t, bool) {
         if (!p.o.mustContain)
             p.o.mustContain.emplace();
         p.o.mustContain->push_back(text);
     }},
    {"--not-contain", "", "TEXT", V::Text, S::Search, 0, 0, "",
     "a must-not-contain text; repeat for more. Replaces the saved list (default: \"#\").",
     [](Parse& p, const std::string& text, std::int32_t, bool) {
         if (!p.o.mustNotContain)
             p.o.mustNotContain.emplace();
         p.o.mustNotContain->push_back(text);
     }},
    {"--https", "", "", V::None, S::Search, 0, 0, "", "also accept links that begin with \"https://\".",
     [](Parse& p, const std::string&, std::int32_t, bool) { p.o.https = true; }},
    {"--deep", "", "", V::None, S::Search, 0, 0, "",
     "also read the links inside the page's frames (iframes, framesets) of its own origin and inside open shadow "
     "roots, at any depth, with or without --jobs: each one's links stand where its frame or element stands in the "
     "page, and the same rules apply to them as to the page's own, each link once per page. With --jobs a page is "
     "then read only once those frames are ready too (see \"When a page is read\" below). Frames of another "
     "origin are out of reach.",
     [](Parse& p, const std::string&, std::int32_t, bool) { p.o.deep = true; }},
    {"--continue", "", "[N]", V::OptionalNumber, S::Search, 0, 0, "",
     "go on with the last saved search (its address list and options) from line N+1; without N, from the position "
     "it saved last (after a stop, or its last checkpoint when it was killed).",
     [](Parse& p, const std::string& text, std::int32_t, bool hasNumber) {
         // The line number is optional: without it the saved position counts.
         p.o.continueAfter = HeadlessOptions::kSavedPosition;
         if (hasNumber) {
             const std::int32_t n = wholeNumber("--continue", text);
             if (n < 0)
                 throw Error("--continue needs a line number of 0 or more");
             p.o.continueAfter = n;
         }
     }},

    {"--proxy", "", "URL", V::Text, S::Network, 0, 0, "",
     "load every page through the proxy at URL: http://HOST:PORT, https://HOST:PORT (spoken to over TLS), "
     "socks5://HOST:PORT or socks4://HOST:PORT; PORT is 1080 when left out (443 for https://), as with curl. "
     "USER:PASSWORD@ before HOST is the login for an HTTP proxy that asks for one (%40 for an @ in it). "
     "Replaces the proxy variables (see \"Proxies\" below).",
     [](Parse& p, const std::string& url, std::int32_t, bool) { p.o.proxy = proxyFromUrl(url); }},
    {"--cookies", "", "FILE", V::Text, S::Network, 0, 0, "",
     "send the cookies of FILE, a cookies.txt as curl -c, wget --save-cookies and browsers' exports write it "
     "(Netscape format: per line domain, include-subdomains, path, secure, expiry, name and value, separated by "
     "TABs; \"#HttpOnly_\" before the domain marks an httpOnly cookie). Expired ones are left out. A line that is "
     "none stops the run before it starts. Like the cookies sites set, they stay in the browser's data until "
     "they expire.",
     [](Parse& p, const std::string& file, std::int32_t, bool) {
         p.o.cookieFile = given("--cookies", file, "a file name");
     }},
    {"--user-agent", "", "TEXT", V::Text, S::Network, 0, 0, "",
     "send TEXT as the User-Agent of every request; the pages' scripts see it too (navigator.userAgent).",
     [](Parse& p, const std::string& text, std::int32_t, bool) { p.o.userAgent = headerValue("--user-agent", text); }},
    {"--header", "", "HEADER", V::Text, S::Network, 0, 0, "",
     "add HEADER, \"Name: value\", to every request, a page's own and those of its scripts; repeat for more. A "
     "later one of the same name replaces an earlier one. Host, Cookie, User-Agent and the like are the "
     "browser's or other options'.",
     [](Parse& p, const std::string& text, std::int32_t, bool) { p.o.headers.push_back(parseHttpHeader(text)); }},

    {"--format", "", "FORMAT", V::Text, S::Output, 0, 0, "",
     "text (default): one link per line;\n"
     "jsonl: one JSON object per line, {\"line\":N,\"page\":\"PAGE\",\"link\":\"LINK\",\"text\":\"TEXT\"}, "
     "UTF-8;\n"
     "csv: RFC 4180 with the header line,page,link,text.\n"
     "N is the line of the list, PAGE the address of the page the link was found on, TEXT what the link shows "
     "(on a forum's list page, the thread's title): its text with every run of blanks and line breaks made one "
     "space, at most 200 characters; empty for a picture alone. A link found more than once on a page has the text "
     "of its first occurrence.",
     [](Parse& p, const std::string& name, std::int32_t, bool) {
         if (!LinkOutput::parseFormat(name, p.o.format))
             throw Error("--format is text, jsonl or csv, not '" + name + "'");
     }},
    {"--save", "", "FILE", V::Text, S::Output, 0, 0, "",
     "also write the accepted links to FILE, one per line (CR LF); FILE is replaced at the first checkpoint (or the "
     "end, when that comes first) and then grows.",
     [](Parse& p, const std::string& file, std::int32_t, bool) {
         p.o.saveFile = given("--save", file, "a file name");
     }},
    {"--state-dir", "", "DIR", V::Text, S::Output, 0, 0, "",
     "keep the progress and filter files and the browser's data in DIR (made when missing) instead of the program "
     "folder and ~/.local/share/linktrawler/engine. Runs with different folders can go side by side; a run on a "
     "folder in use refuses.",
     [](Parse& p, const std::string& dir, std::int32_t, bool) {
         p.o.stateDir = given("--state-dir", dir, "a folder");
     }},
    {"--checkpoint", "", "SECONDS", V::Number, S::Output, 1, 3600, " seconds",
     "save the position every SECONDS while the run goes ({range}, default 30; see \"Long runs\" below).",
     [](Parse& p, const std::string&, std::int32_t n, bool) { p.o.checkpointSeconds = n; }},
    {"--verbose", "", "", V::None, S::Output, 0, 0, "",
     "also show the browser engine's and Qt's own log lines on standard error (by default only their fatal ones).",
     [](Parse& p, const std::string&, std::int32_t, bool) { p.o.verbose = true; }},
    {"--help", "-h", "", V::None, S::Output, 0, 0, "", "show this text.",
     [](Parse& p, const std::string&, std::int32_t, bool) { p.o.help = true; }},
    {"--version", "", "", V::None, S::Output, 0, 0, "", "show the version of linktrawl.",
     [](Parse& p, const std::string&, std::int32_t, bool) { p.o.version = true; }},
};

const Entry* entryNamed(const std::string& arg)
{
    for (const Entry& e : kOptions)
        if (arg == e.name || (!e.shortName.empty() && arg == e.shortName))
            return &e;
    return nullptr;
}

std::string sectionHelp(S section)
{
    std::string out;
    for (const Entry& e : kOptions) {
        if (e.section != section)
            continue;
        std::string names = e.shortName.empty() ? std::string(e.name) : std::string(e.shortName) + ", " + std::string(e.name);
        if (!e.valueName.empty())
            names += " " + std::string(e.valueName);
        out += optionHelpEntry(names, withRange(e.help, e.low, e.high));
    }
    return out;
}

} // namespace

HeadlessOptions parseHeadlessOptions(const std::vector<std::string>& args)
{
    Parse p;
    HeadlessOptions& o = p.o;
    bool onlyFiles = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyFiles || a.empty() || a[0] != '-' || a == "-") {
            if (!o.listFile.empty())
                throw Error("Give one address list file, not '" + o.listFile + "' and '" + a + "'");
            o.listFile = a;
            continue;
        }
        if (a == "--") {
            onlyFiles = true;
            continue;
        }
        const Entry* e = entryNamed(a);
        if (!e)
            throw Error("Unknown option '" + a + "' (see linktrawl --help)");
        p.given.insert(e->name);
        std::string text;
        std::int32_t number = 0;
        bool hasNumber = false;
        switch (e->value) {
        case V::None:
            break;
        case V::OptionalNumber:
            if (i + 1 < args.size() && looksLikeNumber(args[i + 1])) {
                text = args[++i];
                hasNumber = true;
            }
            break;
        case V::Text:
        case V::Number:
            if (i + 1 >= args.size())
                throw Error(a + " needs a value");
            text = args[++i];
            if (e->value == V::Number) {
                number = numberBetween(a, text, e->low, e->high, e->unit);
                hasNumber = true;
            }
            break;
        }
        e->apply(p, text, number, hasNumber);
    }
    if (o.help || o.version)
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
    if (o.jobs && o.interval)
        throw Error("--interval sets the time of a step; with --jobs pages are read when they have loaded "
                    "(see --settle and --timeout)");
    if (!o.jobs) {
        for (const char* name : {"--settle", "--timeout", "--images", "--per-site", "--delay", "--retries"})
            if (p.given.count(name))
                throw Error("--settle, --timeout, --images, --per-site, --delay and --retries go with --jobs");
    }
    return o;
}

std::string headlessHelpText()
{
    return R"(Usage: linktrawl [options] ADDRESS-LIST
   or: linktrawl --continue [N] [--contain TEXT]... [--not-contain TEXT]... [options]

Loads every address of ADDRESS-LIST (a text file, one address per line; the
address ends at the first blank; "-" reads the list from standard input)
into a browser that runs without a window, collects the links of each page
and writes every accepted link on standard output as soon as its page is
read. Only links that begin with "http://" are accepted (with --https also
"https://"), each at most once per page.

Search:
)" + sectionHelp(S::Search) +
           "\nNetwork:\n" + sectionHelp(S::Network) + "\nOutput:\n" + sectionHelp(S::Output) + "\n" + R"(While it runs, the position in the list, the number of links found and what
is loading are shown on standard error when that is a terminal. The
browser's history and cache are emptied before the search starts.

Ctrl-C (or SIGTERM) stops the search: the pages being loaded are still read,
then the position (the lines from the top whose pages are done and written),
the options and the filter lists are saved as the window program saves them
(linktrawler.ini, linktrawlok.ini, linktrawlno.ini), so the search can be
continued here with --continue, with or without --jobs, or in the window with
继续. A second Ctrl-C ends at once without saving; SIGTERM, however often it
comes, only stops and saves. A run on standard input
saves /dev/stdin as its list: continue it by giving it the same lines again,
for example  linktrawl --continue N < list.txt , or feed it the lines after
the position yourself:  tail -n +$((N+1)) list.txt | linktrawl -

When a page is read (--jobs): once its document is parsed (DOMContentLoaded),
the scripts it loads have run, the requests its scripts make for data
(fetch, XMLHttpRequest) have answered, and its links have not changed for
--settle milliseconds. Images, fonts, media, frames, event streams and
WebSockets hold no page. A data request still open after 3 seconds (a long
poll, a tracker that never answers) holds its page no longer; its address
(without the query) is then taken for one that stays open, and on later
pages its requests are not made at all, unless that address has answered a
request within 3 seconds before: then it serves data and is always waited
for. At most six pages of one server wait for their documents at once (the
browser's six connections to a server); pages past that wait on their
scripts, their data and other servers, and more of them load meanwhile.
With --deep, though, the page's frames of its own origin hold it as its
document does (their documents, scripts, data requests and links), but for
frames inside shadow roots, which are read as they stand. A frame of
another origin (another scheme, host or port) is out of the reach of the
page's scripts: with or without --jobs its links are never read, and with
--jobs it is not even fetched unless --images is given.

The network options work with and without --jobs. They are not saved with
the search: give them again with --continue.

Proxies: without --proxy, the variables curl reads count, as curl reads
them: http_proxy for http:// addresses (HTTP_PROXY is not read), https_proxy
or HTTPS_PROXY for https:// ones, all_proxy or ALL_PROXY for either when its
own is not set, and no_proxy or NO_PROXY, a list of host names (each with the
names under it), IP addresses and ranges that are loaded directly, or "*" for
all; the lower case one first. Without them pages are loaded directly; the
desktop's proxy settings do not count. Addresses on this machine itself
(localhost, 127.x.x.x, [::1]) never go through a proxy. A proxy that refuses
the login, or asks for one and none was given, stops the run.

Long runs: every --checkpoint seconds, and at the end, the links written so
far are flushed to the disk (standard output when it is a regular file, and
the --save file, which from the first checkpoint on is FILE itself), then the
position is saved. However the run ends (kill -9, out of memory, a power cut),
linktrawl --continue goes on from the last checkpoint: no link written before
it is lost, and at most the pages since it are searched again (their links
may then stand twice). A continued run writes its --save FILE anew: give it
another name. When the position cannot be saved (a read-only or full state
folder), the run stops with a message at once.

When standard output cannot be written (a full disk), the run stops with a
message and saves the position of what was written. When its reader goes
away (| head), it ends quietly, also saving the position.

Exit status:
  0    the list was searched to its end
  1    the search was refused or failed (the reason is on standard error)
  3    the list was searched to its end, but some pages failed to load or
       could not be read (with --jobs; each is reported on standard error)
  130  the search was stopped with Ctrl-C or SIGTERM and saved
  141  the reader of standard output went away; the position is saved
)";
}

std::string headlessVersionText()
{
    // LT_VERSION: the project's version, given by cmake/ManPages.cmake.
    return std::string("linktrawl ") + LT_VERSION + "\n";
}

} // namespace lt
