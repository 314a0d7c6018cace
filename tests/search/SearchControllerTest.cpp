#include "Fakes.h"
#include "search/SearchController.h"
#include "support/TempDir.h"
#include "base/Files.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace lt;
using namespace lt::test;

namespace {
struct Search : ::testing::Test {
    TempDir dir;
    FakeView view;
    ManualTimer timer;
    FakeHost host;
    FoundSet found;
    std::string network = "192.0.2.1";
    std::vector<int> pauses;
    int cleans = 0;
    SearchController c{view, view, timer, ProgressFile(dir.path()), found,
                       SearchEnvironment{[this](int ms) { pauses.push_back(ms); }, [this] { ++cleans; },
                                         [this] { return network; }}};

    void SetUp() override
    {
        c.bindBrowserHost(&host);
        host.setCompletionHandler([this] { c.pageComplete(); });
    }

    std::string list(const std::string& name, const std::string& text)
    {
        std::string p = dir.write(name, text);
        view.fileAnswers.push_back(p);
        c.chooseList();
        return p;
    }
    // One tick of the step timer, when it is armed.
    bool tick()
    {
        if (!timer.armed)
            return false;
        c.step();
        return true;
    }
    int ticksUntilIdle(int limit = 100)
    {
        int n = 0;
        while (n < limit && tick())
            ++n;
        return n;
    }
    std::string progress() const { return readFile(dir.file("linktrawler.ini")); }
};
} // namespace

TEST_F(Search, EmptyListFinishesAtOnceAndWritesAllFiles)
{
    list("empty.txt", "");
    EXPECT_EQ(view.panels[1], "0");
    c.start();
    EXPECT_EQ(cleans, 1);
    EXPECT_EQ(pauses, std::vector<int>{500});
    EXPECT_EQ(view.panels[6], "搜索已经结束!");
    EXPECT_EQ(view.commands(), "1101");
    EXPECT_FALSE(timer.armed);
    EXPECT_EQ(progress(), view.addressListPath() + "\r\n0\r\n0\r\nwebno\r\n5\r\nfilterno\r\n");
    EXPECT_EQ(readFile(dir.file("linktrawlok.ini")), "http://");
    EXPECT_EQ(readFile(dir.file("linktrawlno.ini")), "#");
}

TEST_F(Search, ThreeLinesOnePagePerTick)
{
    list("three.txt", "http://a.b/1\r\nhttp://a.b/2\r\nhttp://a.b/3");
    host.pages["http://a.b/1"] = {{"http://a.b/x", "http://a.b/y"}};
    host.pages["http://a.b/2"] = {{"http://a.b/x"}};
    EXPECT_EQ(view.panels[1], "3");
    c.start();
    EXPECT_EQ(view.commands(), "0010");
    EXPECT_EQ(timer.period, 5000);
    EXPECT_EQ(view.panels[3], "1");
    EXPECT_EQ(view.panels[6], "正在搜索...");
    tick();
    EXPECT_EQ(view.panels[3], "2");
    tick();
    EXPECT_EQ(view.panels[3], "3");
    tick();
    EXPECT_EQ(view.panels[6], "搜索已经结束!");
    EXPECT_FALSE(timer.armed);
    EXPECT_EQ(view.results, (std::vector<std::string>{"http://a.b/x", "http://a.b/y", "http://a.b/x"}));
    EXPECT_EQ(view.panels[5], "3");
    EXPECT_EQ(host.navigations, (std::vector<std::string>{"http://a.b/1", "http://a.b/2", "http://a.b/3"}));
    EXPECT_EQ(progress().substr(view.addressListPath().size()), "\r\n3\r\n3\r\nwebno\r\n5\r\nfilterno\r\n");
    EXPECT_FALSE(c.readerOpen());
}

TEST_F(Search, PageThatNeverCompletesIsHarvestedAtTheSixthTick)
{
    list("slow.txt", "http://slow/\nhttp://next/\n");
    host.pages["http://slow/"] = {{"http://slow/link"}, "", false};
    c.start();
    for (int i = 1; i <= 5; ++i) {
        tick();
        EXPECT_EQ(c.waitCount(), i);
        EXPECT_TRUE(view.results.empty());
    }
    tick();
    EXPECT_EQ(view.results, std::vector<std::string>{"http://slow/link"});
    EXPECT_EQ(host.navigations.back(), "http://next/");
}

TEST_F(Search, LateCompletionEndsTheWait)
{
    list("late.txt", "http://slow/\nhttp://next/\n");
    host.pages["http://slow/"] = {{}, "", false};
    c.start();
    tick();
    tick();
    host.complete();
    tick();
    EXPECT_EQ(host.navigations.back(), "http://next/");
    EXPECT_EQ(c.waitCount(), 0);
}

TEST_F(Search, AddressEndsAtFirstBlankAndEmptyLinesCount)
{
    list("blanks.txt", "http://a.b/1 comment here\n\n leading\nhttp://a.b/\t2\n");
    c.start();
    ticksUntilIdle();
    EXPECT_EQ(host.navigations, (std::vector<std::string>{"http://a.b/1", "", "", "http://a.b/\t2"}));
    EXPECT_EQ(c.position(), 4);
}

TEST_F(Search, StopWhileLoadingHarvestsThatPageThenFinishes)
{
    list("stop.txt", "http://a/\nhttp://b/\nhttp://c/\n");
    host.pages["http://b/"] = {{"http://b/1"}, "", false};
    c.start();
    tick(); // on to b, which does not complete
    c.stop();
    EXPECT_EQ(view.panels[6], "终止搜索...");
    EXPECT_EQ(view.commands(), "1101");
    EXPECT_TRUE(timer.armed);
    int ticks = ticksUntilIdle();
    EXPECT_EQ(ticks, 6);
    EXPECT_EQ(view.results, std::vector<std::string>{"http://b/1"});
    EXPECT_EQ(view.panels[6], "搜索已经结束!");
    EXPECT_EQ(progress().substr(view.addressListPath().size(), 5), "\r\n2\r\n");
}

TEST_F(Search, StopBeforeAnySearchThenStartClearsTheFlag)
{
    c.stop();
    EXPECT_EQ(view.panels[6], "终止搜索...");
    EXPECT_EQ(view.commands(), "1101");
    list("one.txt", "http://a/\n");
    c.start();
    EXPECT_FALSE(c.stopFlag());
    EXPECT_EQ(host.navigations.size(), 1u);
}

TEST_F(Search, RefusalsLeaveEverythingAsItWas)
{
    c.start();
    EXPECT_EQ(view.boxes, std::vector<std::string>{"info:您还没有选择网址列表文件！"});
    list("one.txt", "http://a/\n");
    network = "127.0.0.1";
    c.start();
    EXPECT_EQ(view.boxes.back(), "info:您还没有连接到网上！");
    EXPECT_EQ(view.commands(), "1111");
    EXPECT_EQ(cleans, 0);
    network = ""; // a name that cannot be resolved counts as connected
    c.start();
    EXPECT_EQ(cleans, 1);
}

TEST_F(Search, ContinueWithoutProgressFile)
{
    c.continueSearch();
    EXPECT_EQ(view.boxes, std::vector<std::string>{"plain:您还没有搜索或上次搜索没有保存！"});
}

TEST_F(Search, ContinueFromThreeOfTen)
{
    std::string text;
    for (int i = 1; i <= 10; ++i)
        text += "http://h/" + std::to_string(i) + "\r\n";
    std::string path = dir.write("ten.txt", text);
    dir.write("linktrawler.ini", path + "\r\n3\r\n99\r\nwebyes\r\n7\r\nfilteryes\r\n");
    view.inputAnswers.push_back(std::string("3"));
    c.continueSearch();
    EXPECT_EQ(view.inputPrompts, std::vector<std::string>{"继续搜索提示|请输入您上次搜索断点位置        |3"});
    EXPECT_EQ(pauses, (std::vector<int>{1000, 500}));
    EXPECT_EQ(host.navigations, std::vector<std::string>{"http://h/4"});
    EXPECT_EQ(view.panels[3], "4");
    EXPECT_EQ(view.panels[1], "99");
    EXPECT_EQ(view.panels[5], "0");
    EXPECT_EQ(view.panels[6], "继续搜索...");
    EXPECT_EQ(timer.period, 7000);
    EXPECT_TRUE(view.ownSiteOption());
    EXPECT_TRUE(view.filterOption());
    EXPECT_EQ(cleans, 1);
}

TEST_F(Search, ContinueAtTheLineCountUsesUpTheList)
{
    std::string path = dir.write("two.txt", "a\nb\n");
    dir.write("linktrawler.ini", path + "\r\n0\r\n2\r\nwebno\r\n5\r\nfilterno\r\n");
    std::string before = progress();
    view.results = {"stale"};
    view.inputAnswers.push_back(std::string("2"));
    c.continueSearch();
    EXPECT_EQ(view.panels[6], "网址列表搜索完毕...");
    EXPECT_EQ(view.commands(), "1101");
    EXPECT_TRUE(view.results.empty());
    EXPECT_FALSE(c.readerOpen());
    EXPECT_TRUE(host.navigations.empty());
    EXPECT_EQ(progress(), before);
    EXPECT_FALSE(fileExists(dir.file("linktrawlok.ini")));
}

TEST_F(Search, ContinuePutsTheSavedListBackAfterChoosingAnother)
{
    std::string saved = dir.write("saved.txt", "http://s/1\nhttp://s/2\n");
    dir.write("linktrawler.ini", saved + "\r\n1\r\n2\r\nwebno\r\n5\r\nfilterno\r\n");
    list("other.txt", "http://o/1\n");
    view.inputAnswers.push_back(std::string("1"));
    c.continueSearch();
    EXPECT_EQ(view.addressListPath(), saved);
    EXPECT_EQ(host.navigations, std::vector<std::string>{"http://s/2"});
}

TEST_F(Search, ContinueCancelledAtThePrompt)
{
    std::string path = dir.write("l.txt", "a\nb\n");
    dir.write("linktrawler.ini", path + "\r\n1\r\n2\r\nwebno\r\n5\r\nfilterno\r\n");
    view.panels[3] = "7";
    view.inputAnswers.push_back(std::nullopt);
    c.continueSearch();
    EXPECT_EQ(view.panels[6], "取消继续搜索...");
    EXPECT_EQ(view.commands(), "1101");
    EXPECT_EQ(view.panels[3], "");
    EXPECT_EQ(view.panels[5], "");
    EXPECT_EQ(c.position(), 1);
    EXPECT_EQ(cleans, 0);
}

TEST_F(Search, ContinueWithABadPositionHaltsInTheSearchingState)
{
    std::string path = dir.write("l.txt", "a\nb\n");
    dir.write("linktrawler.ini", path + "\r\n1\r\n2\r\nwebno\r\n5\r\nfilterno\r\n");
    view.inputAnswers.push_back(std::string("two"));
    try {
        c.continueSearch();
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'two' is not a valid integer value");
    }
    EXPECT_EQ(view.commands(), "0010");
    EXPECT_FALSE(c.readerOpen());
    EXPECT_FALSE(timer.armed);
    c.stop();
    EXPECT_EQ(view.commands(), "1101");
}

TEST_F(Search, ContinueBelowOneConsumesNothing)
{
    std::string path = dir.write("l.txt", "http://1/\nhttp://2/\n");
    dir.write("linktrawler.ini", path + "\r\n5\r\n2\r\nwebno\r\n5\r\nfilterno\r\n");
    view.inputAnswers.push_back(std::string("-4"));
    c.continueSearch();
    EXPECT_EQ(host.navigations, std::vector<std::string>{"http://1/"});
    EXPECT_EQ(c.position(), 1);
}

TEST_F(Search, AListInAFolderWhoseNameIsNotUtf8IsContinuedAndReadInItsOwnEncoding)
{
    // Folder "网址" and list lines in GB2312; the folder name is not UTF-8,
    // while the first Chinese line of the list happens to be ("址").
    const std::string folder = dir.path() + "\xcd\xf8\xd6\xb7";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string path = folder + "/list.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << "http://h/" << std::string(3 * 1024 * 1024, 'x') << " long line\r\n"
            << "http://h/g2/\xd6\xb7\r\nhttp://h/g1/\xcd\xf8\xd6\xb7\r\n";
    }
    view.fileAnswers.push_back(path);
    c.chooseList();
    EXPECT_EQ(view.addressListPath(), path);
    EXPECT_EQ(view.panels[1], "3");
    c.saveProgress();
    EXPECT_EQ(progress().substr(0, path.size() + 2), path + "\r\n");

    view.setAddressListPath("elsewhere");
    view.inputAnswers.push_back(std::string("1"));
    c.continueSearch();
    EXPECT_EQ(view.addressListPath(), path);
    EXPECT_EQ(std::count(view.boxes.begin(), view.boxes.end(), "info:网址列表文件不存在！"), 0);
    ticksUntilIdle();
    EXPECT_EQ(host.navigations, (std::vector<std::string>{"http://h/g2/址", "http://h/g1/网址"}));
    EXPECT_EQ(c.position(), 3);
}

TEST_F(Search, ContinueWithMissingListOrNoNetworkKeepsLoadedValues)
{
    dir.write("linktrawler.ini", "/nonexistent/list.txt\r\n4\r\n9\r\nwebyes\r\n9\r\nfilterno\r\n");
    c.continueSearch();
    EXPECT_EQ(view.boxes.back(), "info:网址列表文件不存在！");
    EXPECT_EQ(view.addressListPath(), "/nonexistent/list.txt");
    EXPECT_EQ(view.interval(), 9);
    EXPECT_EQ(c.total(), 9);
    std::string path = dir.write("l.txt", "a\n");
    dir.write("linktrawler.ini", path + "\r\n4\r\n9\r\nwebyes\r\n9\r\nfilterno\r\n");
    network = "127.0.0.1";
    c.continueSearch();
    EXPECT_EQ(view.boxes.back(), "info:您还没有连接到网上！");
    EXPECT_EQ(view.commands(), "1111");
}

TEST_F(Search, SaveProgressWhileLoadingThenContinueResumesWithTheNextLine)
{
    list("l.txt", "http://1/\nhttp://2/\nhttp://3/\n");
    host.pages["http://2/"] = {{}, "", false};
    c.start();
    tick(); // page 2 loading
    c.saveProgress();
    EXPECT_EQ(view.boxes.back(), "plain:已经保存当前搜索进程！");
    EXPECT_TRUE(c.readerOpen());
    EXPECT_TRUE(timer.armed);
    EXPECT_EQ(progress().substr(view.addressListPath().size(), 5), "\r\n2\r\n");
    // The search goes on undisturbed.
    host.complete();
    tick();
    EXPECT_EQ(host.navigations.back(), "http://3/");
    ticksUntilIdle();

    dir.write("linktrawler.ini", view.addressListPath() + "\r\n2\r\n3\r\nwebno\r\n5\r\nfilterno\r\n");
    host.navigations.clear();
    view.inputAnswers.push_back(std::string("2"));
    c.continueSearch();
    EXPECT_EQ(host.navigations, std::vector<std::string>{"http://3/"});
}

TEST_F(Search, ErrorInAStepHaltsTheSearch)
{
    list("l.txt", "http://1/\nhttp://2/\nhttp://3/\n");
    host.pages["http://1/"] = {{"http://1/a", "http://1/b", "http://1/c"}};
    host.failLinkAt = 2;
    c.start();
    EXPECT_THROW(c.step(), Error);
    EXPECT_FALSE(timer.armed);
    EXPECT_TRUE(c.readerOpen());
    EXPECT_EQ(view.commands(), "0010");
    EXPECT_EQ(view.results.size(), 2u);
    EXPECT_FALSE(fileExists(dir.file("linktrawler.ini")));
    // A new Start replaces the halted search.
    host.failLinkAt = -1;
    c.start();
    EXPECT_EQ(host.navigations.back(), "http://1/");
    EXPECT_EQ(c.position(), 1);
}

TEST_F(Search, NavigationErrorsAreIgnored)
{
    list("l.txt", "http://1/\nhttp://2/\n");
    host.failNavigate = true;
    c.start();
    EXPECT_TRUE(timer.armed);
    EXPECT_EQ(ticksUntilIdle(), 12);
    EXPECT_EQ(view.panels[6], "搜索已经结束!");
}

TEST_F(Search, FinishStopsAtAFailedFilterListWrite)
{
    list("l.txt", "http://1/\n");
    // A folder where the filter list should go cannot be replaced by a file.
    ::mkdir(dir.file("linktrawlok.ini").c_str(), 0700);
    c.start();
    try {
        tick();
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + dir.file("linktrawlok.ini"));
    }
    EXPECT_FALSE(fileExists(dir.file("linktrawler.ini")));
    EXPECT_EQ(view.commands(), "0010");
    EXPECT_NE(view.panels[6], "搜索已经结束!");
}

TEST_F(Search, IntervalChangeTakesEffectAtTheNextStep)
{
    list("l.txt", "http://1/\nhttp://2/\n");
    view.setInterval(2);
    c.start();
    EXPECT_EQ(timer.period, 2000);
    view.setInterval(9);
    tick();
    EXPECT_EQ(timer.period, 9000);
    view.typedInterval = 0;
    tick();
    EXPECT_EQ(timer.period, 1000);
}

TEST_F(Search, ChooseListLowerCasesOnlyWhenThatNamesTheSameFile)
{
    std::string mixed = dir.write("List.TXT", "a\nb");
    view.fileAnswers.push_back(mixed);
    c.chooseList();
    EXPECT_EQ(view.addressListPath(), mixed); // a case-sensitive folder: the lower-case name is another file
    EXPECT_EQ(view.panels[1], "2");
    EXPECT_EQ(view.dialogFolder, dir.path());
    view.fileAnswers.push_back(std::nullopt);
    c.chooseList();
    EXPECT_EQ(view.addressListPath(), mixed);
}

TEST_F(Search, ChooseListOfAnUnreadableFileRaisesAndKeepsPanelOne)
{
    list("ok.txt", "a\n");
    view.fileAnswers.push_back(dir.file("missing.txt"));
    EXPECT_THROW(c.chooseList(), Error);
    EXPECT_EQ(view.addressListPath(), dir.file("missing.txt"));
    EXPECT_EQ(view.panels[1], "1");
    EXPECT_EQ(c.total(), 0);
}

TEST_F(Search, StepWithoutHostDoesNothing)
{
    c.bindBrowserHost(nullptr);
    list("l.txt", "http://1/\n");
    c.start();
    EXPECT_TRUE(timer.armed);
    c.step();
    EXPECT_TRUE(timer.armed);
    EXPECT_EQ(c.waitCount(), 0);
}
