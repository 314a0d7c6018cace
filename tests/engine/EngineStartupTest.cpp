// The engine's command line as both programs make it, without starting the
// engine: where its switches go, and the window program's proxy.
#include "search/engine/EngineStartup.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace lt;

namespace {
std::vector<std::string> argvOf(EngineCommandLine& line)
{
    std::vector<std::string> out;
    for (int i = 0; i < line.argc(); ++i)
        out.push_back(line.argv()[i]);
    EXPECT_EQ(line.argv()[line.argc()], nullptr);
    return out;
}

class EngineStartup : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"QTWEBENGINE_CHROMIUM_FLAGS", "http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy",
                                 "ALL_PROXY", "no_proxy", "NO_PROXY"})
            ::unsetenv(name);
    }
};
} // namespace

TEST_F(EngineStartup, SwitchesGoAfterTheEnginesMark)
{
    EngineCommandLine plain({"linktrawler", "-style", "fusion"}, {});
    EXPECT_EQ(argvOf(plain), (std::vector<std::string>{"linktrawler", "-style", "fusion"}));

    EngineCommandLine added({"linktrawler"}, {"--proxy-server=http://p:1", "--log-level=3"});
    EXPECT_EQ(argvOf(added),
              (std::vector<std::string>{"linktrawler", "--webEngineArgs", "--proxy-server=http://p:1", "--log-level=3"}));
    // A command line that has the mark already keeps its own engine switches.
    EngineCommandLine more({"linktrawler", "--webEngineArgs", "--disable-gpu"}, {"--no-proxy-server"});
    EXPECT_EQ(argvOf(more),
              (std::vector<std::string>{"linktrawler", "--webEngineArgs", "--disable-gpu", "--no-proxy-server"}));
}

TEST_F(EngineStartup, SwitchesJoinTheEnginesVariableWhenItIsSet)
{
    // The engine then reads the variable alone.
    ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--host-resolver-rules=\"MAP * 127.0.0.1\"", 1);
    EngineCommandLine line({"linktrawl"}, {"--proxy-server=http://p:1", "--x=a b"});
    EXPECT_STREQ(std::getenv("QTWEBENGINE_CHROMIUM_FLAGS"),
                 "--host-resolver-rules=\"MAP * 127.0.0.1\" --proxy-server=http://p:1 \"--x=a b\"");
}

TEST_F(EngineStartup, TheWindowProgramTakesTheProxyVariables)
{
    EXPECT_EQ(sessionProxy({"linktrawler"}).kind, ProxyChoice::Kind::System);
    ::setenv("http_proxy", "http://reader:pw@proxy.corp:3128", 1);
    ::setenv("no_proxy", "intra.corp", 1);
    const ProxyChoice proxy = sessionProxy({"linktrawler"});
    EXPECT_EQ(proxySwitches(proxy), (std::vector<std::string>{"--proxy-server=http=http://proxy.corp:3128",
                                                              "--proxy-bypass-list=intra.corp,*.intra.corp"}));
    ASSERT_EQ(proxy.logins.size(), 1u);
    EXPECT_EQ(proxy.logins[0].password, "pw");

    // The engine's own switches win, on the command line or in its variable.
    EXPECT_EQ(sessionProxy({"linktrawler", "--webEngineArgs", "--proxy-server=socks5://gate:1080"}).kind,
              ProxyChoice::Kind::System);
    ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-proxy-server", 1);
    EXPECT_EQ(sessionProxy({"linktrawler"}).kind, ProxyChoice::Kind::System);
    ::unsetenv("QTWEBENGINE_CHROMIUM_FLAGS");

    // A broken variable leaves the engine to its own ways, as before.
    ::setenv("http_proxy", "gopher://proxy.corp:70", 1);
    EXPECT_EQ(sessionProxy({"linktrawler"}).kind, ProxyChoice::Kind::System);
}
