#include "Fakes.h"
#include "search/ProgressFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

using namespace lt;
using namespace lt::test;

namespace {
struct Progress : ::testing::Test {
    TempDir dir;
    ProgressFile files{dir.path()};
    FakeView view;
    std::int32_t position = 0, total = 0;

    std::string load()
    {
        try {
            files.loadProgress(view, position, total);
        } catch (const Error& e) {
            return e.what();
        }
        return "";
    }
};
} // namespace

TEST_F(Progress, RoundTripKeepsEveryValue)
{
    view.setAddressListPath("/home/u/网址.txt");
    view.setOwnSiteOption(true);
    view.setFilterOption(false);
    view.setInterval(17);
    files.writeProgress(view, -3, 1234);
    EXPECT_EQ(readFile(files.progressPath()), "/home/u/网址.txt\r\n-3\r\n1234\r\nwebyes\r\n17\r\nfilterno\r\n");

    FakeView back;
    back.setOwnSiteOption(false);
    back.setFilterOption(true);
    files.loadProgress(back, position, total);
    EXPECT_EQ(back.addressListPath(), view.addressListPath());
    EXPECT_EQ(position, -3);
    EXPECT_EQ(total, 1234);
    EXPECT_TRUE(back.ownSiteOption());
    EXPECT_FALSE(back.filterOption());
    EXPECT_EQ(back.interval(), 17);
}

TEST_F(Progress, AListPathThatIsNotUtf8ComesBackByteForByte)
{
    // "/home/u/网址/列表.txt" with GB2312 folder and file names.
    const std::string path = "/home/u/\xcd\xf8\xd6\xb7/\xc1\xd0\xb1\xed.txt";
    view.setAddressListPath(path);
    files.writeProgress(view, 7, 9);
    EXPECT_EQ(readFile(files.progressPath()).substr(0, path.size() + 4), path + "\r\n7\r");
    FakeView back;
    files.loadProgress(back, position, total);
    EXPECT_EQ(back.addressListPath(), path);
    EXPECT_EQ(position, 7);
}

TEST_F(Progress, OptionWordsAreExactAndIntervalIsClamped)
{
    dir.write("linktrawler.ini", "p\n$1F\n0x10\nWEBYES\n0\nfilteryes \n");
    view.setOwnSiteOption(true);
    view.setFilterOption(true);
    EXPECT_EQ(load(), "");
    EXPECT_EQ(position, 31);
    EXPECT_EQ(total, 16);
    EXPECT_FALSE(view.ownSiteOption());
    EXPECT_FALSE(view.filterOption());
    EXPECT_EQ(view.interval(), 1);
    dir.write("linktrawler.ini", "p\n1\n2\nwebyes\n75\nfilteryes\n");
    EXPECT_EQ(load(), "");
    EXPECT_EQ(view.interval(), 60);
    EXPECT_TRUE(view.filterOption());
}

TEST_F(Progress, ThreeLineFileAppliesWhatComesBeforeTheBadLine)
{
    dir.write("linktrawler.ini", "list.txt\r\n4\r\n9\r\n");
    view.setOwnSiteOption(true);
    view.setFilterOption(true);
    view.setInterval(8);
    EXPECT_EQ(load(), "'' is not a valid integer value");
    EXPECT_EQ(view.addressListPath(), "list.txt");
    EXPECT_EQ(position, 4);
    EXPECT_EQ(total, 9);
    EXPECT_FALSE(view.ownSiteOption());
    EXPECT_EQ(view.interval(), 8);
    EXPECT_TRUE(view.filterOption());
}

TEST_F(Progress, NumberFollowedByBlankFails)
{
    dir.write("linktrawler.ini", "list.txt\r\n12 \r\n9\r\n");
    EXPECT_EQ(load(), "'12 ' is not a valid integer value");
    EXPECT_EQ(view.addressListPath(), "list.txt");
}

TEST_F(Progress, ReadOnlyProgressFileRaisesAccessDeniedAndStaysWhole)
{
    std::string path = dir.write("linktrawler.ini", "old\r\n");
    ::chmod(path.c_str(), 0444);
    try {
        files.writeProgress(view, 1, 2);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "File access denied");
    }
    EXPECT_EQ(readFile(path), "old\r\n");
}

TEST_F(Progress, FilterListsRoundTripWithAndWithoutFinalBreak)
{
    view.setFilterText(FilterList::MustContain, "http://\nnews\n");
    view.setFilterText(FilterList::MustNotContain, "#\nads");
    files.writeFilterLists(view);
    EXPECT_EQ(readFile(dir.file("linktrawlok.ini")), "http://\r\nnews\r\n");
    EXPECT_EQ(readFile(dir.file("linktrawlno.ini")), "#\r\nads");
    FakeView back;
    files.loadFilterLists(back);
    EXPECT_EQ(back.filterText(FilterList::MustContain), "http://\nnews\n");
    EXPECT_EQ(back.filterText(FilterList::MustNotContain), "#\nads");
}

TEST_F(Progress, MissingFilterFilesLeaveDefaultsAndGbFilesLoad)
{
    files.loadFilterLists(view);
    EXPECT_EQ(view.filterText(FilterList::MustContain), "http://");
    EXPECT_EQ(view.filterText(FilterList::MustNotContain), "#");
    dir.write("linktrawlno.ini", "\xb9\xe3\xb8\xe6\r\n"); // "广告" in GB2312
    files.loadFilterLists(view);
    EXPECT_EQ(view.filterText(FilterList::MustNotContain), "广告\n");
}

TEST_F(Progress, UnreadableFilterFileStopsTheLoad)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    std::string ok = dir.write("linktrawlok.ini", "a");
    ::chmod(ok.c_str(), 0);
    dir.write("linktrawlno.ini", "x");
    try {
        files.loadFilterLists(view);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + ok);
    }
    EXPECT_EQ(view.filterText(FilterList::MustNotContain), "#");
}

TEST_F(Progress, UnwritableFolderGivesCannotCreate)
{
    ProgressFile nowhere("/nonexistent-folder/");
    try {
        nowhere.writeFilterLists(view);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Cannot create file /nonexistent-folder/linktrawlok.ini");
    }
}

TEST_F(Progress, LeftoversOfTheThreeFilesGoAndNothingElse)
{
    for (const char* name : {"linktrawler.ini.~ltQ1w2E3", "linktrawlok.ini.~lt9z8Y7x", "linktrawlno.ini.~ltAAAAAA"})
        dir.write(name, "half");
    const std::vector<std::string> kept = {"linktrawler.ini", "linktrawler.tmp", "linktrawler.tmp.~ltQ1w2E3",
                                           "linktrawlno.ini", "list.txt.~ltQ1w2E3", "linktrawlok.ini.bak"};
    for (const std::string& name : kept)
        dir.write(name, "x");
    files.removeLeftovers();
    std::vector<std::string> sorted = kept;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(dir.names(), sorted);
}
