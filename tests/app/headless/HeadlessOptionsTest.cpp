#include "app/headless/ConsoleSearchView.h"
#include "app/headless/HeadlessOptions.h"
#include "base/Error.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

using namespace lt;

namespace {
std::string errorOf(std::vector<std::string> args)
{
    try {
        parseHeadlessOptions(args);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}
} // namespace

TEST(HeadlessOptions, ReadsEveryOption)
{
    auto o = parseHeadlessOptions({"--interval", "7", "--own-site", "--filter", "--contain", "a", "--contain", "",
                                   "--not-contain", "#", "--save", "out.txt", "--deep", "list.txt"});
    EXPECT_EQ(o.listFile, "list.txt");
    EXPECT_TRUE(o.deep);
    EXPECT_FALSE(parseHeadlessOptions({"list.txt"}).deep);
    EXPECT_EQ(o.interval, 7);
    EXPECT_TRUE(o.ownSite);
    EXPECT_TRUE(o.filter);
    EXPECT_EQ(*o.mustContain, (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(*o.mustNotContain, (std::vector<std::string>{"#"}));
    EXPECT_EQ(o.saveFile, "out.txt");
    EXPECT_FALSE(o.continueAfter);

    auto c = parseHeadlessOptions({"--continue", "12"});
    EXPECT_EQ(c.continueAfter, 12);
    EXPECT_TRUE(parseHeadlessOptions({"--help"}).help);
    EXPECT_EQ(parseHeadlessOptions({"--", "-odd-name.txt"}).listFile, "-odd-name.txt");
}

TEST(HeadlessOptions, RefusesWhatWouldBeMisread)
{
    EXPECT_NE(errorOf({}).find("No address list file"), std::string::npos);
    EXPECT_NE(errorOf({"a.txt", "b.txt"}).find("one address list file"), std::string::npos);
    EXPECT_NE(errorOf({"--interval", "0", "a.txt"}).find("between 1 and 60"), std::string::npos);
    EXPECT_NE(errorOf({"--interval", "five", "a.txt"}).find("whole number"), std::string::npos);
    EXPECT_NE(errorOf({"--interval"}).find("needs a value"), std::string::npos);
    EXPECT_NE(errorOf({"--contain", "x", "a.txt"}).find("only with --filter"), std::string::npos);
    EXPECT_NE(errorOf({"--continue", "3", "a.txt"}).find("saved address list"), std::string::npos);
    EXPECT_NE(errorOf({"--continue", "3", "--own-site"}).find("saved address list"), std::string::npos);
    EXPECT_NE(errorOf({"--continue", "-1"}).find("0 or more"), std::string::npos);
    EXPECT_NE(errorOf({"--frobnicate", "a.txt"}).find("Unknown option"), std::string::npos);
}

TEST(HeadlessOptions, ReadsTheParallelAndOutputOptions)
{
    auto o = parseHeadlessOptions({"--jobs", "8", "--settle", "0", "--timeout", "5", "--format", "jsonl", "--https",
                                   "--state-dir", "/tmp/s", "-"});
    EXPECT_EQ(o.jobs, 8);
    EXPECT_EQ(o.settleMs, 0);
    EXPECT_EQ(o.timeoutSeconds, 5);
    EXPECT_EQ(o.format, OutputFormat::JsonLines);
    EXPECT_TRUE(o.https);
    EXPECT_EQ(o.stateDir, "/tmp/s");
    EXPECT_TRUE(o.readsStandardInput());

    auto d = parseHeadlessOptions({"--jobs", "1", "list.txt"});
    EXPECT_EQ(d.settleMs, HeadlessOptions::kDefaultSettleMs);
    EXPECT_EQ(d.timeoutSeconds, 30);
    EXPECT_EQ(d.format, OutputFormat::Text);
    EXPECT_FALSE(d.readsStandardInput());

    EXPECT_NE(errorOf({"--jobs", "0", "a.txt"}).find("between 1 and 32"), std::string::npos);
    EXPECT_NE(errorOf({"--jobs", "33", "a.txt"}).find("between 1 and 32"), std::string::npos);
    EXPECT_NE(errorOf({"--format", "json", "a.txt"}).find("text, jsonl or csv"), std::string::npos);
    EXPECT_NE(errorOf({"--settle", "100", "a.txt"}).find("go with --jobs"), std::string::npos);
    EXPECT_NE(errorOf({"--jobs", "2", "--interval", "3", "a.txt"}).find("--settle and --timeout"), std::string::npos);
    EXPECT_NE(errorOf({"--state-dir", "", "a.txt"}).find("needs a folder"), std::string::npos);
}

TEST(HeadlessOptions, ReadsTheNetworkOptions)
{
    auto o = parseHeadlessOptions({"--proxy", "http://u:p@proxy.corp:3128", "--cookies", "c.txt", "--user-agent",
                                   "Trawler/1", "--header", "X-A: 1", "--header", "X-B: 2", "--continue"});
    ASSERT_TRUE(o.proxy);
    EXPECT_EQ(o.proxy->rules, "http://proxy.corp:3128");
    EXPECT_EQ(o.cookieFile, "c.txt");
    EXPECT_EQ(o.userAgent, "Trawler/1");
    ASSERT_EQ(o.headers.size(), 2u);
    EXPECT_EQ(o.headers[1].name, "X-B");
    EXPECT_FALSE(parseHeadlessOptions({"list.txt"}).proxy);

    // Refused with the command line, before anything starts.
    EXPECT_NE(errorOf({"--proxy", "ftp://proxy:21", "a.txt"}).find("--proxy: 'ftp://proxy:21' is not a proxy"),
              std::string::npos);
    EXPECT_NE(errorOf({"--cookies", "", "a.txt"}).find("needs a file name"), std::string::npos);
    EXPECT_NE(errorOf({"--user-agent", "", "a.txt"}).find("needs a value"), std::string::npos);
    EXPECT_NE(errorOf({"--header", "X-A", "a.txt"}).find("not a header"), std::string::npos);
}

TEST(HeadlessOptions, ContinueTakesTheSavedPositionUnlessALineIsGiven)
{
    EXPECT_EQ(parseHeadlessOptions({"--continue"}).continueAfter, HeadlessOptions::kSavedPosition);
    EXPECT_EQ(parseHeadlessOptions({"--continue", "0"}).continueAfter, 0);
    EXPECT_EQ(parseHeadlessOptions({"--continue", "120", "--jobs", "4"}).continueAfter, 120);

    // An option after it is not its line number.
    auto o = parseHeadlessOptions({"--continue", "--jobs", "4", "--format", "jsonl", "--save", "more.txt"});
    EXPECT_EQ(o.continueAfter, HeadlessOptions::kSavedPosition);
    EXPECT_EQ(o.jobs, 4);
    EXPECT_EQ(o.format, OutputFormat::JsonLines);
    EXPECT_EQ(o.saveFile, "more.txt");
    auto c = parseHeadlessOptions({"--jobs", "2", "--continue", "--contain", "x"});
    EXPECT_EQ(c.continueAfter, HeadlessOptions::kSavedPosition);
    EXPECT_EQ(*c.mustContain, std::vector<std::string>{"x"});

    // A mistyped number is refused, not read as a list file.
    EXPECT_NE(errorOf({"--continue", "12a"}).find("whole number"), std::string::npos);
    EXPECT_NE(errorOf({"--continue", "-3"}).find("0 or more"), std::string::npos);
    EXPECT_NE(errorOf({"--continue", "-1"}).find("0 or more"), std::string::npos);
    EXPECT_NE(errorOf({"--continue", "list.txt"}).find("saved address list"), std::string::npos);
    EXPECT_NE(errorOf({"--continue", "-"}).find("saved address list"), std::string::npos);
}

TEST(HeadlessOptions, CheckpointsAreFromOneSecondToAnHour)
{
    EXPECT_EQ(parseHeadlessOptions({"list.txt"}).checkpointSeconds, 30);
    EXPECT_EQ(parseHeadlessOptions({"--checkpoint", "1", "list.txt"}).checkpointSeconds, 1);
    EXPECT_EQ(parseHeadlessOptions({"--jobs", "2", "--checkpoint", "3600", "list.txt"}).checkpointSeconds, 3600);
    EXPECT_EQ(parseHeadlessOptions({"--continue", "--checkpoint", "5"}).checkpointSeconds, 5);
    for (const char* bad : {"0", "3601", "-1"})
        EXPECT_NE(errorOf({"--checkpoint", bad, "a.txt"}).find("between 1 and 3600 seconds"), std::string::npos)
            << bad;
    EXPECT_NE(errorOf({"--checkpoint", "5s", "a.txt"}).find("whole number"), std::string::npos);
    EXPECT_NE(errorOf({"a.txt", "--checkpoint"}).find("needs a value"), std::string::npos);
}

TEST(HeadlessOptions, HelpNamesEveryOptionAndExitStatus)
{
    const std::string help = headlessHelpText();
    for (const char* word : {"--jobs", "--settle", "--timeout", "--interval", "--own-site", "--filter", "--contain",
                             "--not-contain", "--https", "--deep", "--continue", "--format", "--save", "--state-dir",
                             "--checkpoint", "--per-site", "--delay", "--retries", "--insecure", "--proxy", "--cookies",
                             "--user-agent", "--header", "http_proxy", "HTTPS_PROXY", "no_proxy", "--help", "\n  0 ",
                             "\n  1 ", "\n  3 ", "\n  130 ", "\n  141 "})
        EXPECT_NE(help.find(word), std::string::npos) << word;
}

// --help and the parser read one table: every option the help lists is
// known to the parser, and the help fits a terminal of 80 columns.
TEST(HeadlessOptions, HelpAndParserKnowTheSameOptions)
{
    const std::string help = headlessHelpText();
    const std::regex option("\n  (-[a-z], )?(--[a-z-]+)( [A-Z\\[][A-Z\\]-]*)?(?=  |\n)");
    int listed = 0;
    for (std::sregex_iterator it(help.begin(), help.end(), option), end; it != end; ++it) {
        ++listed;
        const std::string name = (*it)[2];
        const std::string error = errorOf({name, "1", "list.txt"});
        EXPECT_EQ(error.find("Unknown option"), std::string::npos) << name << ": " << error;
    }
    EXPECT_GE(listed, 18);
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("   or: ", 0) != 0) { // the usage lines are as long as they must be
            EXPECT_LE(line.size(), 78u) << line;
        }
    }
    EXPECT_NE(errorOf({"--frobnicate"}).find("Unknown option '--frobnicate'"), std::string::npos);
}

TEST(HeadlessOptions, VersionIsAnsweredLikeHelp)
{
    EXPECT_TRUE(parseHeadlessOptions({"--version"}).version);
    // Nothing else is checked, as with --help.
    EXPECT_TRUE(parseHeadlessOptions({"--continue", "3", "a.txt", "--version"}).version);
    EXPECT_FALSE(parseHeadlessOptions({"a.txt"}).version);
    // help2man reads the version from this line.
    EXPECT_TRUE(std::regex_match(headlessVersionText(), std::regex("linktrawl [0-9]+(\\.[0-9]+)*\n")))
        << headlessVersionText();
    EXPECT_NE(headlessHelpText().find("  -h, --help           show this text.\n  --version "), std::string::npos);
}

TEST(ConsoleSearchView, WritesEachAcceptedLinkWithItsPageAndKeepsTheLists)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    LinkStream links(::fileno(out), OutputFormat::JsonLines, "");
    ProgressLine progress(err, false);
    ConsoleSearchView view(links, progress);
    view.setPageSource([] { return ConsoleSearchView::Page{4, "http://a.example/p"}; }, {});
    view.setAnchorTextSource([](const std::string& link) { return link == "http://a.example/1" ? "One" : ""; });
    view.appendItem("http://a.example/1");
    view.appendItem("http://a.example/2");
    links.pageDone();
    view.setPanelText(6, "正在搜索...");
    view.setFilterText(FilterList::MustContain, "x\n\ny\n");
    EXPECT_EQ(view.filterLineCount(FilterList::MustContain), 3);
    EXPECT_EQ(view.filterLine(FilterList::MustContain, 1), "");
    view.setInterval(99);
    EXPECT_EQ(view.interval(), 60);
    EXPECT_EQ(view.inputDialog("c", "p", "17"), std::optional<std::string>("17"));
    view.answerBreakpoint("3");
    EXPECT_EQ(view.inputDialog("c", "p", "17"), std::optional<std::string>("3"));

    std::rewind(out);
    char buf[256] = {};
    std::fread(buf, 1, sizeof buf - 1, out);
    EXPECT_STREQ(buf, "{\"line\":4,\"page\":\"http://a.example/p\",\"link\":\"http://a.example/1\",\"text\":\"One\"}\n"
                      "{\"line\":4,\"page\":\"http://a.example/p\",\"link\":\"http://a.example/2\",\"text\":\"\"}\n");
    std::rewind(err);
    EXPECT_EQ(std::fread(buf, 1, sizeof buf, err), 0u); // no terminal, no progress line
    std::fclose(out);
    std::fclose(err);
}
