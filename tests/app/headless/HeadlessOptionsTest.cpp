#include "app/headless/ConsoleSearchView.h"
#include "app/headless/HeadlessOptions.h"
#include "base/Error.h"

#include <cstdio>
#include <gtest/gtest.h>

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
                                   "--not-contain", "#", "--save", "out.txt", "list.txt"});
    EXPECT_EQ(o.listFile, "list.txt");
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

TEST(ConsoleSearchView, PrintsEachAcceptedLinkAndKeepsTheLists)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ConsoleSearchView view(out, err, false);
    view.appendItem("http://a.example/1");
    view.appendItem("http://a.example/2");
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
    char buf[128] = {};
    EXPECT_EQ(std::fread(buf, 1, sizeof buf - 1, out), 38u);
    EXPECT_STREQ(buf, "http://a.example/1\nhttp://a.example/2\n");
    std::rewind(err);
    EXPECT_EQ(std::fread(buf, 1, sizeof buf, err), 0u); // no terminal, no progress line
    std::fclose(out);
    std::fclose(err);
}
