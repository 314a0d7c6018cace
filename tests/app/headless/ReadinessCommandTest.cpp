// linktrawl --jobs on pages as sites serve them: read when the links are
// there, not at the load event or a guess; images left out unless asked for.
#include "CommandFixture.h"

#include <algorithm>
#include <gmock/gmock.h>

using namespace lt::test;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class ReadinessCommand : public CommandFixture {
protected:
    // Lines of text output.
    static int lineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

    HttpTestServer::Response never() const
    {
        HttpTestServer::Response r;
        r.neverAnswers = true;
        return r;
    }
};

// Appends a link to the body; the scripts of the test pages share it.
const std::string kAddLink = "function addLink(href) { var a = document.createElement('a'); a.href = href; "
                             "a.textContent = href; document.body.appendChild(a); }";

} // namespace

TEST_F(ReadinessCommand, LinksFromTheHtmlADomContentLoadedScriptAndALateFetchAreAllRead)
{
    HttpTestServer::Response data;
    data.contentType = "application/json";
    data.body = R"(["/fetched/1", "/fetched/2"])";
    data.delayMs = 1000;
    server.serve("/data.json", data);
    server.serveHtml("/late.html",
                     "<script>" + kAddLink +
                         "document.addEventListener('DOMContentLoaded', function () { addLink('/dcl'); });"
                         "fetch('/data.json').then(function (r) { return r.json(); })"
                         ".then(function (list) { list.forEach(addLink); });</script>"
                         "<a href='/html'>h</a>");
    dir.write("list.txt", server.url("/late.html") + "\n");

    Outcome r = run({"--jobs", "2", "list.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, links({"/html", "/dcl", "/fetched/1", "/fetched/2"}));
}

TEST_F(ReadinessCommand, AHangingPixelAndLongPollDoNotHoldThePageAndTheLongPollIsLeftOutLater)
{
    server.serve("/pixel.gif", never());
    server.serve("/poll", never());
    const std::string page = "<img src='/pixel.gif'><a href='/a'>a</a>"
                             "<script>fetch('/poll').then(function () {}, function () {});</script>";
    server.serveHtml("/one.html", page);
    server.serveHtml("/two.html", page + "<a href='/b'>b</a>");
    dir.write("list.txt", server.url("/one.html") + "\n" + server.url("/two.html") + "\n");

    // Far longer than the run may take: a page read only at its timeout
    // would not end within the wait.
    QProcess p;
    start(p, {"--jobs", "1", "--timeout", "300", "list.txt"});
    Outcome r = finish(p, 120000);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, links({"/a", "/a", "/b"}));
    EXPECT_THAT(r.err, Not(HasSubstr("nothing loaded")));
    EXPECT_EQ(server.requestCount("/pixel.gif"), 0);
    // The first page's poll stayed open past the hold; the second page's
    // was not made at all.
    EXPECT_EQ(server.requestCount("/poll"), 1);
}

TEST_F(ReadinessCommand, ImagesAreFetchedOnlyWithTheImagesOption)
{
    HttpTestServer::Response image;
    image.contentType = "image/png";
    image.body = "not really a picture";
    server.serve("/i.png", image);
    server.serveHtml("/pic.html", "<img src='/i.png'><a href='/a'>a</a>");
    dir.write("list.txt", server.url("/pic.html") + "\n");

    Outcome plain = run({"--jobs", "1", "list.txt"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(plain.out, links({"/a"}));
    EXPECT_EQ(server.requestCount("/i.png"), 0);

    Outcome withImages = run({"--jobs", "1", "--images", "list.txt"});
    ASSERT_EQ(withImages.exitCode, 0) << withImages.err;
    EXPECT_EQ(withImages.out, plain.out);
    EXPECT_GE(server.requestCount("/i.png"), 1);

    Outcome stepped = run({"--images", "list.txt"});
    EXPECT_EQ(stepped.exitCode, 1);
    EXPECT_THAT(stepped.err, HasSubstr("go with --jobs"));
}

TEST_F(ReadinessCommand, APageWhoseLinksKeepChangingIsReadAtTheTimeout)
{
    server.serveHtml("/ticker.html",
                     "<a href='/first'>f</a><script>" + kAddLink +
                         "var n = 0; setInterval(function () { addLink('/tick/' + (++n)); }, 100);</script>");
    dir.write("list.txt", server.url("/ticker.html") + "\n");

    Outcome r = run({"--jobs", "1", "--timeout", "3", "list.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), links({"/first"}));
    // Read after its settle time it would hold two or three ticks; at its
    // timeout, about thirty.
    EXPECT_GE(lineCount(r.out), 11) << r.out;
    EXPECT_THAT(r.err, Not(HasSubstr("nothing loaded")));
}
