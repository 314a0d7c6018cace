// linktrawl end to end: the built command, copied into a folder of its own
// (its program folder), on pages of a test server.
#include "CommandFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <csignal>
#include <gmock/gmock.h>

using namespace lt::test;
using ::testing::HasSubstr;

namespace {

class Headless : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        for (int i = 1; i <= 6; ++i) {
            const std::string n = std::to_string(i);
            server.serveHtml("/p" + n + ".html", "<a href='/own" + n + "'>own</a><a href='/keep" + n +
                                                     "#x'>frag</a><a href='http://other.example/keep" + n +
                                                     "'>other</a><a href='https://secure.example/'>s</a>"
                                                     "<a href='mailto:a@example.com'>m</a>");
        }
    }

    std::string page(int i) { return server.url("/p" + std::to_string(i) + ".html"); }
    std::string list(int lines)
    {
        std::string text;
        for (int i = 1; i <= lines; ++i)
            text += page(i) + (i == 2 ? " a note after the address" : "") + "\r\n";
        return dir.write("list.txt", text);
    }
};

} // namespace

TEST_F(Headless, SearchesTheListAndSavesAsTheWindowDoes)
{
    const std::string listFile = list(3);
    Outcome r = run({"--interval", "1", "--own-site", "--save", "found.txt", "list.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, links({"/own1", "/keep1#x", "/own2", "/keep2#x", "/own3", "/keep3#x"}));
    EXPECT_EQ(readFile(dir.file("found.txt")),
              server.url("/own1") + "\r\n" + server.url("/keep1#x") + "\r\n" + server.url("/own2") + "\r\n" +
                  server.url("/keep2#x") + "\r\n" + server.url("/own3") + "\r\n" + server.url("/keep3#x") + "\r\n");
    EXPECT_EQ(readFile(dir.file("linktrawler.ini")), listFile + "\r\n3\r\n3\r\nwebyes\r\n1\r\nfilterno\r\n");
    EXPECT_EQ(readFile(dir.file("linktrawlok.ini")), "http://");
    EXPECT_EQ(readFile(dir.file("linktrawlno.ini")), "#");
}

TEST_F(Headless, FiltersReplaceTheSavedListsAndAreSaved)
{
    list(2);
    Outcome r = run({"--interval", "1", "--filter", "--contain", "keep", "--not-contain", "#", "--not-contain",
                 "other", "list.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    r = run({"--interval", "1", "--filter", "--contain", "keep", "--not-contain", "#", "list.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, links({"http://other.example/keep1", "http://other.example/keep2"}));
    EXPECT_EQ(readFile(dir.file("linktrawlok.ini")), "keep");
    EXPECT_EQ(readFile(dir.file("linktrawlno.ini")), "#");
    // Saved lists are used when none are given.
    r = run({"--interval", "1", "--filter", "list.txt"});
    EXPECT_EQ(r.out, links({"http://other.example/keep1", "http://other.example/keep2"}));
}

TEST_F(Headless, InterruptStopsAfterThePageAndContinueGoesOn)
{
    const std::string listFile = list(6);
    QProcess p;
    start(p, {"--interval", "1", "--own-site", "list.txt"});
    ASSERT_TRUE(waitForLine(p)) << p.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    Outcome stopped = finish(p, 30000);
    ASSERT_EQ(stopped.exitCode, 130) << stopped.err;
    const std::string ini = readFile(dir.file("linktrawler.ini"));
    ASSERT_EQ(ini.rfind(listFile + "\r\n", 0), 0u) << ini;
    const int position = std::stoi(ini.substr(listFile.size() + 2));
    ASSERT_GE(position, 1);
    ASSERT_LT(position, 6);
    EXPECT_THAT(ini, HasSubstr("\r\n6\r\nwebyes\r\n1\r\nfilterno\r\n"));

    Outcome resumed = run({"--continue", QString::number(position)});
    ASSERT_EQ(resumed.exitCode, 0) << resumed.err;
    std::string expected;
    for (int i = position + 1; i <= 6; ++i)
        expected += links({"/own" + std::to_string(i), "/keep" + std::to_string(i) + "#x"});
    EXPECT_EQ(resumed.out, expected);
    EXPECT_EQ(readFile(dir.file("linktrawler.ini")), listFile + "\r\n6\r\n6\r\nwebyes\r\n1\r\nfilterno\r\n");

    Outcome usedUp = run({"--continue", "6"});
    EXPECT_EQ(usedUp.exitCode, 0);
    EXPECT_THAT(usedUp.err, HasSubstr("网址列表搜索完毕..."));
}

TEST_F(Headless, RefusalsAndBadCommandLinesSayWhy)
{
    Outcome r = run({"--continue", "3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_THAT(r.err, HasSubstr("您还没有搜索或上次搜索没有保存！"));
    r = run({"missing.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_THAT(r.err, HasSubstr("no address list file at missing.txt"));
    r = run({"--interval", "61", "list.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_THAT(r.err, HasSubstr("between 1 and 60"));
    r = run({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_THAT(r.out, HasSubstr("Usage: linktrawl"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("linktrawler.ini"))));
}

TEST_F(Headless, APageThatNeverCompletesIsHarvestedAtTheWaitingLimit)
{
    HttpTestServer::Response slow;
    slow.body = "<html><body><a href='/while-loading'>x</a>";
    slow.neverEnds = true;
    server.serve("/slow.html", slow);
    dir.write("list.txt", server.url("/slow.html") + "\n" + page(1) + "\n");
    QElapsedTimer t;
    t.start();
    Outcome r = run({"--interval", "1", "--own-site", "list.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, links({"/while-loading", "/own1", "/keep1#x"}));
    // Five waiting ticks of one second before the page was read.
    EXPECT_GE(t.elapsed(), 6000);
}
