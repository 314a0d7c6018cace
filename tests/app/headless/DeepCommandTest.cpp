// linktrawl --deep end to end: the links of frames of the page's own origin
// and of open shadow roots, where they stand in the page, under the page's
// rules; nothing of another origin's frames; without it the document alone.
#include "CommandFixture.h"
#include "CommandOutput.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace lt::test;

namespace {

class DeepCommand : public CommandFixture {
protected:
    // Another origin: the same host on another port.
    HttpTestServer otherSite;

    void SetUp() override
    {
        CommandFixture::SetUp();
        // An old forum's frameset; a link of the right frame repeats one of
        // the left one.
        server.serveHtml("/frameset.html", "<html><frameset cols='30%,70%'><frame src='/menu.html'>"
                                           "<frame src='/main.html'></frameset></html>");
        server.serveHtml("/menu.html", "<a href='/board/1'>Board 1</a><a href='/board/2'>Board 2</a>");
        server.serveHtml("/main.html", "<a href='/thread/1'>Thread 1</a><a href='/BOARD/1'>Board 1 again</a>"
                                       "<a href='/thread/2'>Thread 2</a>");
        // An iframe holding a nested one and a shadow root; shadow roots
        // made by the page's script, one inside another, one closed; a
        // frame of another origin.
        server.serveHtml(
            "/mixed.html",
            "<a href='/m/1'>1</a><iframe src='/inner.html'></iframe><a href='/m/2'>2</a>"
            "<a href='/INNER/1'>a frame's link again</a>"
            "<div id='open'><a href='/m/light'>light</a></div><div id='closed'></div>"
            "<iframe src='" + otherSite.url("/foreign.html") + "'></iframe><a href='/m/3'>3</a>"
            "<script>"
            "var root = document.getElementById('open').attachShadow({mode: 'open'});"
            "root.innerHTML = \"<a href='/shadow/1'>s1</a><span id='deeper'></span><slot></slot>"
            "<a href='/m/1'>the page's link again</a>\";"
            "root.getElementById('deeper').attachShadow({mode: 'open'}).innerHTML = \"<a href='/shadow/2'>s2</a>\";"
            "document.getElementById('closed').attachShadow({mode: 'closed'}).innerHTML = "
            "\"<a href='/closed'>c</a>\";"
            "</script>");
        server.serveHtml("/inner.html",
                         "<a href='/inner/1'>i1</a><iframe src='/nested.html'></iframe><div id='host'></div>"
                         "<a href='/inner/2'>i2</a><a href='/m/1'>the page's link again</a>"
                         "<script>document.getElementById('host').attachShadow({mode: 'open'}).innerHTML = "
                         "\"<a href='/inner/shadow'>is</a>\";</script>");
        server.serveHtml("/nested.html", "<a href='/nested/1'>n1</a>");
        otherSite.serveHtml("/foreign.html", "<a href='/foreign/1'>f1</a><a href='" + server.url("/m/foreign") +
                                                 "'>back to the page's site</a>");
        dir.write("list.txt", server.url("/frameset.html") + "\n" + server.url("/mixed.html") + "\n");
    }

    std::string deepLinks() const
    {
        return links({"/board/1", "/board/2", "/thread/1", "/thread/2", "/m/1", "/inner/1", "/nested/1",
                      "/inner/shadow", "/inner/2", "/m/2", "/shadow/1", "/shadow/2", "/m/light", "/m/3"});
    }
};

} // namespace

TEST_F(DeepCommand, FramesAndShadowRootsAreReadWhereTheyStandInBothSearches)
{
    EXPECT_EQ(outputOf({"--jobs", "2", "--deep", "list.txt"}), deepLinks());
    // Without an interceptor the other origin's frame loads here, and is
    // still out of reach.
    EXPECT_EQ(outputOf({"--interval", "1", "--deep", "list.txt"}), deepLinks());
}

TEST_F(DeepCommand, WithoutDeepOnlyTheDocumentsOwnLinksCome)
{
    EXPECT_EQ(outputOf({"--jobs", "2", "list.txt"}), links({"/m/1", "/m/2", "/INNER/1", "/m/light", "/m/3"}));
}

TEST_F(DeepCommand, FramesThatAnswerLateOrComeLaterAreWaitedFor)
{
    // Well past the settle time: read without its frames, the page would
    // have none of their links.
    HttpTestServer::Response slow;
    slow.body = "<a href='/slow/1'>Slow one</a>";
    slow.delayMs = 1500;
    server.serve("/slow.html", slow);
    server.serveHtml("/slow-frameset.html", "<frameset rows='50%,50%'><frame src='/slow.html'>"
                                            "<frame src='/nested.html'></frameset>");
    // An iframe added once the document is parsed, holding a slow one.
    server.serveHtml("/added.html", "<a href='/added/1'>added</a><iframe src='/slow.html'></iframe>");
    server.serveHtml("/late.html", "<a href='/late/1'>late</a><script>"
                                   "document.addEventListener('DOMContentLoaded', function () {"
                                   "var f = document.createElement('iframe'); f.src = '/added.html';"
                                   "document.body.appendChild(f); });</script>");
    dir.write("list.txt", server.url("/slow-frameset.html") + "\n" + server.url("/late.html") + "\n");

    // A frame waited for without end would outlast the run's wait.
    const std::string out = outputOf({"--jobs", "2", "--deep", "--format", "jsonl", "--timeout", "600", "list.txt"});
    const std::vector<std::string> lines = splitLines(out);
    ASSERT_EQ(lines.size(), 5u) << out;
    // A frame's links belong to the page: its address, not the frame's.
    EXPECT_EQ(lines[0], "{\"line\":1,\"page\":\"" + server.url("/slow-frameset.html") + "\",\"link\":\"" +
                            server.url("/slow/1") + "\",\"text\":\"Slow one\"}");
    std::vector<std::string> found;
    for (const std::string& line : lines)
        found.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(line))
                            .object()
                            .value("link")
                            .toString()
                            .toStdString());
    EXPECT_EQ(found, (std::vector<std::string>{server.url("/slow/1"), server.url("/nested/1"), server.url("/late/1"),
                                               server.url("/added/1"), server.url("/slow/1")}));
}

TEST_F(DeepCommand, TheSteppedSearchReadsFramesInsideShadowRoots)
{
    // The stepped search reads a page once it has loaded, frames and all.
    server.serveHtml("/shadow-frame.html",
                     "<a href='/sf/1'>1</a><div id='host'></div><a href='/sf/2'>2</a><script>"
                     "document.getElementById('host').attachShadow({mode: 'open'}).innerHTML = "
                     "\"<iframe src='/nested.html'></iframe>\";</script>");
    dir.write("list.txt", server.url("/shadow-frame.html") + "\n");
    EXPECT_EQ(outputOf({"--interval", "1", "--deep", "list.txt"}), links({"/sf/1", "/nested/1", "/sf/2"}));
}
