#include "search/NetworkCheck.h"
#include "search/ProgramFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace lt;

namespace {
NetworkFacts facts(std::optional<std::vector<std::string>> resolved, std::vector<std::string> interfaces,
                   bool hasName = true)
{
    NetworkFacts f;
    f.hostName = [hasName]() -> std::optional<std::string> {
        if (!hasName)
            return std::nullopt;
        return std::string("box");
    };
    f.resolve = [resolved](const std::string&) { return resolved; };
    f.interfaceAddresses = [interfaces] { return interfaces; };
    return f;
}
} // namespace

TEST(NetworkCheck, LastResolvedAddressDecides)
{
    EXPECT_EQ(networkPresenceCheck(facts(std::vector<std::string>{"10.0.0.5", "192.0.2.7"}, {})), "192.0.2.7");
    EXPECT_EQ(networkPresenceCheck(facts(std::vector<std::string>{}, {"10.0.0.5"})), "");
    EXPECT_EQ(networkPresenceCheck(facts(std::nullopt, {"10.0.0.5"})), "");
    EXPECT_EQ(networkPresenceCheck(facts(std::vector<std::string>{"1.2.3.4"}, {}, false)), "");
}

TEST(NetworkCheck, LoopbackNameLooksAtTheInterfaces)
{
    EXPECT_EQ(networkPresenceCheck(facts(std::vector<std::string>{"127.0.0.1"}, {"127.0.0.1", "172.17.0.2"})),
              "172.17.0.2");
    EXPECT_EQ(networkPresenceCheck(facts(std::vector<std::string>{"127.0.0.1"}, {"127.0.0.1", "127.0.1.1"})),
              "127.0.0.1");
    // Only the exact loopback address triggers the interface look.
    EXPECT_EQ(networkPresenceCheck(facts(std::vector<std::string>{"127.0.1.1"}, {"172.17.0.2"})), "127.0.1.1");
}

TEST(ProgramFolder, WritableExecutableFolderElsePerUserData)
{
    lt::test::TempDir dir;
    EXPECT_EQ(chooseProgramFolder(dir.path(), "", "/home/x"), dir.path());
    std::string ro = dir.file("ro");
    ::mkdir(ro.c_str(), 0555);
    std::string data = dir.file("data");
    if (::geteuid() != 0) // root may write anywhere
        EXPECT_EQ(chooseProgramFolder(ro, data, "/home/x"), data + "/linktrawler/");
    EXPECT_EQ(chooseProgramFolder("/nonexistent/bin/", data, "/home/x"), data + "/linktrawler/");
    struct stat st {};
    EXPECT_EQ(::stat((data + "/linktrawler").c_str(), &st), 0);
    // An installed copy keeps its files per user, also when root runs it.
    EXPECT_EQ(chooseProgramFolder("/usr/bin/", data, "/home/x"), data + "/linktrawler/");
    EXPECT_EQ(chooseProgramFolder("/nonexistent/bin/", "", dir.path() + "home"),
              dir.path() + "home/.local/share/linktrawler/");
}
