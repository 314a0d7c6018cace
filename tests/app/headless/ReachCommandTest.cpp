// linktrawl on pages behind proxies and logins, end to end on the real
// engine: the test's own servers play the proxies (HTTP with and without a
// login, SOCKS 5) and the sites that let in only the right cookies, agent
// and headers; the links that come out prove the way in worked.
#include "CommandFixture.h"

#include <gmock/gmock.h>

using namespace lt::test;
using ::testing::HasSubstr;

namespace {

// The two kinds of search.
const QStringList kStepped{"--interval", "1"};
const QStringList kParallel{"--jobs", "2"};

std::string linkPage(const std::string& link)
{
    return "<a href='" + link + "'>x</a>";
}

HttpTestServer::Response html(const std::string& body)
{
    HttpTestServer::Response r;
    r.body = body;
    return r;
}

class Reach : public CommandFixture {
protected:
    // Answers for sites under .example that only it can reach.
    HttpTestServer proxy;
    int runs = 0;

    std::string proxyAddress() const { return proxy.url(""); }

    void list(const std::vector<std::string>& addresses)
    {
        std::string text;
        for (const std::string& a : addresses)
            text += a + "\n";
        dir.write("list.txt", text);
    }

    // A run of the list in the given kind of search, on a browser profile
    // of its own.
    Outcome search(const QStringList& mode, const QStringList& options)
    {
        const QString state = QString::fromStdString(dir.file("state" + std::to_string(++runs)));
        return run(mode + options + QStringList{"--state-dir", state, "list.txt"});
    }

    // Names under .example loaded directly come to the test's server, not
    // to a name server (the engine takes switches from the environment too).
    void resolveExampleHostsHere()
    {
        extraEnvironment.emplace_back("QTWEBENGINE_CHROMIUM_FLAGS",
                                      "--host-resolver-rules=\"MAP *.example 127.0.0.1\"");
    }
    std::string direct(const std::string& host, const std::string& path) const
    {
        return "http://" + host + ":" + std::to_string(server.port()) + path;
    }
};

} // namespace

TEST_F(Reach, ProxyCarriesEveryPageButThoseOfThisMachine)
{
    proxy.serveHtml("http://forum.example/board", linkPage("http://forum.example/topic1"));
    server.serveHtml("/local.html", linkPage("/near"));
    list({"http://forum.example/board", server.url("/local.html")});
    for (const QStringList& mode : {kStepped, kParallel}) {
        Outcome r = search(mode, {"--proxy", QString::fromStdString(proxyAddress())});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "http://forum.example/topic1\n" + server.url("/near") + "\n") << mode.join(' ').toStdString();
    }
    EXPECT_GE(server.requestCount("/local.html"), 2);
    EXPECT_EQ(proxy.requestCount(server.url("/local.html")), 0);
}

TEST_F(Reach, AProxyLoginIsGivenOncePerPage)
{
    // base64 of "reader:p@ss"
    proxy.requireProxyAuthorization("Basic cmVhZGVyOnBAc3M=");
    for (int i = 1; i <= 3; ++i)
        proxy.serveHtml("http://forum.example/board" + std::to_string(i),
                        linkPage("http://forum.example/topic" + std::to_string(i)));
    list({"http://forum.example/board1", "http://forum.example/board2", "http://forum.example/board3"});
    const QString at = "127.0.0.1:" + QString::number(proxy.port());
    for (const QStringList& mode : {kStepped, kParallel}) {
        Outcome r = search(mode, {"--proxy", "http://reader:p%40ss@" + at});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "http://forum.example/topic1\nhttp://forum.example/topic2\nhttp://forum.example/topic3\n");
    }

    // A wrong password is not sent again and again: each page in flight
    // asks at most three times (without it, with the one the engine has
    // kept from another page, with its own), and the run stops before the
    // rest.
    const auto requests = [this] {
        std::vector<int> n;
        for (int i = 1; i <= 3; ++i)
            n.push_back(proxy.requestCount("http://forum.example/board" + std::to_string(i)));
        return n;
    };
    std::vector<int> before = requests();
    Outcome refused = search(kParallel, {"--proxy", "http://reader:wrong@" + at});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_THAT(refused.err, HasSubstr("the proxy 127.0.0.1 refused the user name and password"));
    EXPECT_EQ(refused.out, "");
    std::vector<int> after = requests();
    EXPECT_LE(after[0] - before[0], 3);
    EXPECT_LE(after[1] - before[1], 3);
    EXPECT_EQ(after[2] - before[2], 0);

    // Without a login the proxy is asked once.
    before = after;
    Outcome none = search(kStepped, {"--proxy", "http://" + at});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_THAT(none.err, HasSubstr("the proxy 127.0.0.1 asks for a user name and password"));
    EXPECT_EQ(none.out, "");
    after = requests();
    EXPECT_EQ(after[0] - before[0], 1);
    EXPECT_EQ(after[1] - before[1], 0);
}

TEST_F(Reach, TheProxyVariablesCountAsCurlReadsThem)
{
    resolveExampleHostsHere();
    proxy.serveHtml("http://forum.example/board", linkPage("http://forum.example/proxied"));
    server.serveHtml("/board", linkPage("http://forum.example/direct"));

    // http_proxy alone: http pages through it.
    list({"http://forum.example/board"});
    extraEnvironment.emplace_back("http_proxy", QString::fromStdString(proxyAddress()));
    Outcome r = search(kParallel, {});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "http://forum.example/proxied\n");

    // no_proxy names a host and those under it; the rest still goes through.
    extraEnvironment.emplace_back("no_proxy", "localhost, .Direct.example");
    list({"http://forum.example/board", direct("www.direct.example", "/board")});
    r = search(kStepped, {});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "http://forum.example/proxied\nhttp://forum.example/direct\n");
    EXPECT_EQ(proxy.requestCount(direct("www.direct.example", "/board")), 0);
    EXPECT_GE(server.requestCount("/board"), 1);

    // --proxy wins over them all, no_proxy too.
    HttpTestServer decoy;
    extraEnvironment.emplace_back("http_proxy", QString::fromStdString(decoy.url("")));
    extraEnvironment.emplace_back("no_proxy", "forum.example");
    list({"http://forum.example/board"});
    r = search(kStepped, {"--proxy", QString::fromStdString(proxyAddress())});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "http://forum.example/proxied\n");
    EXPECT_EQ(decoy.requestCount("http://forum.example/board"), 0);
}

TEST_F(Reach, UpperCaseHttpProxyIsNotReadAndHttpsProxyTakesHttpsAlone)
{
    resolveExampleHostsHere();
    server.serveHtml("/board", linkPage("http://forum.example/direct"));
    list({"https://secure.example/", direct("forum.example", "/board")});
    extraEnvironment.emplace_back("HTTP_PROXY", QString::fromStdString(proxyAddress()));
    extraEnvironment.emplace_back("HTTPS_PROXY", QString::fromStdString(proxyAddress()));
    Outcome r = search(kStepped, {});
    EXPECT_EQ(r.out, "http://forum.example/direct\n") << r.err;
    EXPECT_EQ(proxy.requestCount(direct("forum.example", "/board")), 0);
    // The https page asked the proxy for a tunnel (which it refused).
    EXPECT_GE(proxy.requestCount("secure.example:443"), 1);
}

TEST_F(Reach, ASocksProxyCarriesThePages)
{
    HttpTestServer socks;
    socks.acceptSocks5();
    socks.serveHtml("/board", linkPage("http://forum.example/via-socks"));
    list({"http://forum.example/board"});
    Outcome r = search(kParallel, {"--proxy", "socks5h://127.0.0.1:" + QString::number(socks.port())});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "http://forum.example/via-socks\n");
    // The proxy was given the name, not an address found here.
    EXPECT_GE(socks.requestCount("forum.example:80"), 1);
}

TEST_F(Reach, TheCookiesOfTheFileLogTheFirstPageIn)
{
    server.serve("/members", [](const HttpTestServer::Request& request) {
        const std::string cookies = request.header("Cookie");
        const bool in = cookies.find("sid=abc123") != std::string::npos && cookies.find("old=") == std::string::npos;
        return html(linkPage(in ? "/members-only" : "/login"));
    });
    proxy.serve("http://www.forum.example/board", [](const HttpTestServer::Request& request) {
        const bool in = request.header("Cookie") == "tok=xyz";
        return html(linkPage(in ? "http://forum.example/members-board" : "http://forum.example/login"));
    });
    dir.write("cookies.txt", "# Netscape HTTP Cookie File\r\n"
                             "\r\n"
                             "127.0.0.1\tFALSE\t/\tFALSE\t0\tsid\tabc123\r\n"
                             "127.0.0.1\tFALSE\t/\tFALSE\t1000000000\told\tgone\r\n"
                             "#HttpOnly_.forum.example\tTRUE\t/\tFALSE\t4102444800\ttok\txyz\r\n");
    list({server.url("/members"), "http://www.forum.example/board"});
    for (const QStringList& mode : {kStepped, kParallel}) {
        Outcome r = search(mode, {"--cookies", "cookies.txt", "--proxy", QString::fromStdString(proxyAddress())});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, server.url("/members-only") + "\nhttp://forum.example/members-board\n")
            << mode.join(' ').toStdString();
    }
}

TEST_F(Reach, AgentAndHeadersGoWithEveryRequest)
{
    const auto admitted = [](const HttpTestServer::Request& request) {
        return request.header("User-Agent") == "Trawler/2.0 (+https://example.com/bot)"
            && request.header("X-Api-Key") == "k1" && request.header("X-Team") == "blue";
    };
    server.serve("/page", [admitted](const HttpTestServer::Request& request) {
        return html(linkPage(admitted(request) ? "/in" : "/denied"));
    });
    // A script's request carries them too.
    server.serve("/scripted", [](const HttpTestServer::Request&) {
        return html("<script>fetch('/data').then(r => r.text()).then(t => {"
                    "const a = document.createElement('a'); a.href = t; document.body.appendChild(a); });"
                    "</script>");
    });
    server.serve("/data", [admitted](const HttpTestServer::Request& request) {
        HttpTestServer::Response r;
        r.contentType = "text/plain";
        r.body = admitted(request) ? "/from-script" : "/script-denied";
        return r;
    });
    const QStringList identity{"--user-agent", "Trawler/2.0 (+https://example.com/bot)", "--header", "X-Api-Key: k1",
                               "--header", "X-Team: red", "--header", "x-team:blue"};
    list({server.url("/page")});
    Outcome r = search(kStepped, identity);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, server.url("/in") + "\n");
    // The parallel search waits for the script's data before it reads.
    list({server.url("/page"), server.url("/scripted")});
    r = search(kParallel, identity);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, server.url("/in") + "\n" + server.url("/from-script") + "\n");
}

TEST_F(Reach, WhatCannotBeUsedIsRefusedBeforeAnyPageLoads)
{
    server.serveHtml("/page", linkPage("/x"));
    list({server.url("/page")});
    dir.write("cookies.txt", "# copied by hand\n"
                             "127.0.0.1\tFALSE\t/\tFALSE\t0\tsid\tabc123\n"
                             "127.0.0.1 FALSE / FALSE 0 lang de\n");
    const auto refused = [this](const QStringList& mode, const QStringList& options, const std::string& message) {
        Outcome r = search(mode, options);
        EXPECT_EQ(r.exitCode, 1) << message;
        EXPECT_THAT(r.err, HasSubstr(message));
        return r.err;
    };
    EXPECT_THAT(refused(kStepped, {"--cookies", "cookies.txt"},
                        "cookies.txt line 3: a cookie has 7 fields separated by TABs"),
                HasSubstr(": 127.0.0.1 FALSE / FALSE 0 lang de\n"));
    refused(kParallel, {"--cookies", "missing.txt"},
            "cannot read the cookie file missing.txt: No such file or directory");
    refused(kParallel, {"--header", "X-Api-Key k1"}, "--header 'X-Api-Key k1' is not a header");
    refused(kStepped, {"--header", "X-Empty:"}, "'X-Empty:' has no value");
    refused(kStepped, {"--proxy", "proxy.corp:3128x"}, "--proxy: 'proxy.corp:3128x' is not a proxy address");
    extraEnvironment.emplace_back("https_proxy", "gopher://proxy.corp:70");
    refused(kParallel, {}, "https_proxy: 'gopher://proxy.corp:70' is not a proxy address");

    EXPECT_EQ(server.requestCount("/page"), 0);
}

TEST_F(Reach, ASiteThatAsksForALoginIsAskedOnce)
{
    HttpTestServer::Response locked;
    locked.status = 401;
    locked.headers.emplace_back("WWW-Authenticate", "Basic realm=\"members\"");
    locked.body = linkPage("/login-help");
    server.serve("/private", locked);
    list({server.url("/private")});
    Outcome r = search(kStepped, {});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(server.requestCount("/private"), 1);
    // The refusal shown is not the page's.
    EXPECT_EQ(r.out, "");
}
