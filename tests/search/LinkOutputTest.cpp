#include "search/LinkOutput.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace lt;

namespace {

// What a LinkOutput wrote, read back from a pipe.
struct Captured {
    int fds[2] = {-1, -1};
    Captured() { EXPECT_EQ(::pipe(fds), 0); }
    ~Captured()
    {
        ::close(fds[0]);
        if (fds[1] >= 0)
            ::close(fds[1]);
    }
    std::string text()
    {
        ::close(fds[1]);
        fds[1] = -1;
        std::string out;
        char buf[4096];
        ssize_t n;
        while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
            out.append(buf, static_cast<std::size_t>(n));
        return out;
    }
};

std::string json(std::string_view s)
{
    std::string out;
    appendJsonString(out, s);
    return out;
}

} // namespace

TEST(LinkOutput, EachFormatWritesOneRecordPerLink)
{
    Captured text, jsonl, csv;
    LinkOutput t(text.fds[1], OutputFormat::Text), j(jsonl.fds[1], OutputFormat::JsonLines),
        c(csv.fds[1], OutputFormat::Csv);
    for (LinkOutput* o : {&t, &j, &c}) {
        o->write(3, "http://a.b/p", "http://a.b/1", "");
        o->write(3, "http://a.b/p", "http://a.b/x,\"y\"", "Say \"hi\", 你好");
        o->flush();
    }
    EXPECT_EQ(text.text(), "http://a.b/1\nhttp://a.b/x,\"y\"\n");
    EXPECT_EQ(jsonl.text(),
              "{\"line\":3,\"page\":\"http://a.b/p\",\"link\":\"http://a.b/1\",\"text\":\"\"}\n"
              "{\"line\":3,\"page\":\"http://a.b/p\",\"link\":\"http://a.b/x,\\\"y\\\"\",\"text\":\"Say \\\"hi\\\", 你好\"}\n");
    EXPECT_EQ(csv.text(), "line,page,link,text\r\n3,http://a.b/p,http://a.b/1,\r\n"
                          "3,http://a.b/p,\"http://a.b/x,\"\"y\"\"\",\"Say \"\"hi\"\", 你好\"\r\n");
}

TEST(LinkOutput, CsvHeaderAloneWhenNothingIsFound)
{
    // The header comes with the first record only: an empty result is empty.
    Captured csv;
    LinkOutput c(csv.fds[1], OutputFormat::Csv);
    c.flush();
    EXPECT_EQ(csv.text(), "");
}

TEST(LinkOutput, JsonStringsEscapeWhatJsonForbidsAndKeepUtf8)
{
    EXPECT_EQ(json("a\"b\\c"), "a\\\"b\\\\c");
    EXPECT_EQ(json(std::string("\x01\t\n\x7f", 4)), "\\u0001\\u0009\\u000a\\u007f");
    EXPECT_EQ(json("http://例子.测试/中文"), "http://例子.测试/中文");
    EXPECT_EQ(json("\xD6\xD0x"), "\xEF\xBF\xBD\xEF\xBF\xBDx"); // GBK bytes are not UTF-8
    EXPECT_EQ(json("\xE4\xB8"), "\xEF\xBF\xBD\xEF\xBF\xBD");   // a cut sequence
}

TEST(LinkOutput, FailedWriteNamesTheFirstLineNotWritten)
{
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    LinkOutput o(full, OutputFormat::Text);
    o.write(4, "", "http://a.b/1", "");
    o.write(5, "", "http://a.b/2", "");
    try {
        o.flush();
        ADD_FAILURE() << "no error";
    } catch (const OutputError& e) {
        EXPECT_EQ(e.firstUnwrittenLine(), 4);
        EXPECT_EQ(e.errnum(), ENOSPC);
        EXPECT_FALSE(e.readerGone());
        EXPECT_EQ(std::string(e.what()), "cannot write the links: Disk full");
    }
    o.write(6, "", "http://a.b/3", "");
    EXPECT_NO_THROW(o.flush()); // nothing more is tried after a failure
    ::close(full);
}

TEST(LinkOutput, ClosedPipeIsTheReaderGoingAway)
{
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[0]);
    auto old = ::signal(SIGPIPE, SIG_IGN);
    LinkOutput o(fds[1], OutputFormat::JsonLines);
    o.write(1, "p", "l", "t");
    try {
        o.flush();
        ADD_FAILURE() << "no error";
    } catch (const OutputError& e) {
        EXPECT_TRUE(e.readerGone());
    }
    ::signal(SIGPIPE, old);
    ::close(fds[1]);
}

TEST(LinkOutput, FormatNames)
{
    OutputFormat f;
    EXPECT_TRUE(LinkOutput::parseFormat("jsonl", f));
    EXPECT_EQ(f, OutputFormat::JsonLines);
    EXPECT_TRUE(LinkOutput::parseFormat("csv", f));
    EXPECT_TRUE(LinkOutput::parseFormat("text", f));
    EXPECT_FALSE(LinkOutput::parseFormat("json", f));
}
