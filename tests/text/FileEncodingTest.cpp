// One encoding per file, and a reader whose memory does not grow with the
// length of a line.
#include "support/TempDir.h"
#include "text/LineReader.h"
#include "text/TextEncoding.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace lt;
using lt::test::TempDir;

namespace {
// GB2312 bytes of characters that are also valid UTF-8 on their own
// (址 U+05B7, 路 U+00B7) and of ones that are not (网址, 中文).
const std::string gbSite = "\xd6\xb7";
const std::string gbRoad = "\xc2\xb7";
const std::string gbWebSite = "\xcd\xf8\xd6\xb7";
const std::string gbChinese = "\xd6\xd0\xce\xc4";

std::vector<std::string> addresses(const std::string& path)
{
    LineReader r(path);
    std::vector<std::string> out;
    while (!r.atEof())
        out.push_back(r.readAddress());
    return out;
}
} // namespace

TEST(FileEncoding, SampleDecidesUtf8OnlyWhenAllOfItIsUtf8)
{
    EXPECT_EQ(encodingOfSample("http://a/网址", true), FileEncoding::Utf8);
    EXPECT_EQ(encodingOfSample("", true), FileEncoding::Utf8);
    EXPECT_EQ(encodingOfSample(gbSite, true), FileEncoding::Utf8); // too little to tell
    EXPECT_EQ(encodingOfSample(gbSite + "\r\n" + gbWebSite, true), FileEncoding::Gb18030);
    // A sequence cut by the sample's end is UTF-8 unless the file ends there.
    EXPECT_EQ(encodingOfSample("a\xe7\xbd", false), FileEncoding::Utf8);
    EXPECT_EQ(encodingOfSample("a\xe7\xbd", true), FileEncoding::Gb18030);
    EXPECT_EQ(encodingOfSample("a\xe7z", false), FileEncoding::Gb18030);
    // Overlong forms and surrogates are not UTF-8.
    EXPECT_EQ(encodingOfSample("\xc0\xaf", true), FileEncoding::Gb18030);
    EXPECT_EQ(encodingOfSample("\xed\xa0\x80", true), FileEncoding::Gb18030);
}

TEST(FileEncoding, DecodingKeepsWhatTheEncodingCannotRead)
{
    EXPECT_EQ(decodeText(std::string(gbChinese), FileEncoding::Gb18030), "中文");
    EXPECT_EQ(decodeText(std::string(gbChinese), FileEncoding::Utf8), gbChinese);
    EXPECT_EQ(decodeText("a\x80" "b" + gbChinese + "\xff", FileEncoding::Gb18030), "a\x80" "b中文\xff");
    EXPECT_EQ(decodeText("cut\xd6", FileEncoding::Gb18030), "cut\xd6");
    EXPECT_EQ(decodeFileText(gbWebSite + "\r\n"), "网址\r\n");
    EXPECT_EQ(decodeFileText("网址\r\n"), "网址\r\n");
    EXPECT_EQ(escapeNonUtf8Bytes("a/网" + gbChinese + "\xe7\xbd"), "a/网%D6%D0%CE%C4%E7%BD");
}

TEST(FileEncoding, AGbListIsReadAsGbEvenWhereALineLooksLikeUtf8)
{
    TempDir dir;
    // The first Chinese line alone is valid UTF-8; the file is not.
    std::string list = "http://h/start\r\nhttp://h/g2/" + gbSite + "\r\nhttp://h/g1/" + gbWebSite + "\r\nhttp://h/r/" +
                       gbRoad + " " + gbChinese + "\r\n";
    LineReader r(dir.write("gb.txt", list));
    EXPECT_EQ(r.readAddress(), "http://h/start");
    EXPECT_EQ(r.readAddress(), "http://h/g2/址");
    EXPECT_EQ(r.encoding(), FileEncoding::Gb18030);
    EXPECT_EQ(r.readAddress(), "http://h/g1/网址");
    EXPECT_EQ(r.readAddress(), "http://h/r/路");
    EXPECT_TRUE(r.atEof());
}

TEST(FileEncoding, AUtf8ListStaysUtf8AndKeepsALaterStrayGbLineAsBytes)
{
    TempDir dir;
    std::string list = "http://h/网址\n" + std::string(LineReader::kEncodingSample, 'x') + "\nhttp://h/" +
                       gbChinese + "\n";
    LineReader r(dir.write("utf8.txt", list));
    EXPECT_EQ(r.readLine(), "http://h/网址");
    EXPECT_EQ(r.encoding(), FileEncoding::Utf8);
    r.skipLine();
    EXPECT_EQ(r.readLine(), "http://h/" + gbChinese);
}

TEST(FileEncoding, TheFirstHighByteDecidesWhereverItStands)
{
    TempDir dir;
    // In the text after an address's blank, in a skipped line, and with the
    // sample cut in the middle of a UTF-8 character.
    const std::string tail = "\r\nhttp://h/" + gbSite + "\r\n" + gbWebSite + "\r\n";
    EXPECT_EQ(addresses(dir.write("a", "http://h/1 " + gbChinese + tail))[1], "http://h/址");
    {
        LineReader r(dir.write("b", gbChinese + tail));
        r.skipLine();
        EXPECT_EQ(r.readLine(), "http://h/址");
    }
    std::string many;
    for (int i = 0; i < 30000; ++i)
        many += "中";
    LineReader r(dir.write("c", "ascii first\n" + many + "\n"));
    EXPECT_EQ(r.readLine(), "ascii first");
    EXPECT_EQ(r.readLine(), many);
    EXPECT_EQ(r.encoding(), FileEncoding::Utf8);
}

TEST(FileEncoding, AListFromAPipeIsJudgedByWhatHasArrived)
{
    TempDir dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] {
        int fd = ::open(fifo.c_str(), O_WRONLY);
        const std::string text = "http://h/" + gbSite + "\nhttp://h/" + gbWebSite + "\n";
        [[maybe_unused]] ssize_t n = ::write(fd, text.data(), text.size());
        ::close(fd);
    });
    std::vector<std::string> got = addresses(fifo);
    writer.join();
    EXPECT_EQ(got, (std::vector<std::string>{"http://h/址", "http://h/网址"}));
}

TEST(LongLines, OnlyTheAddressIsKeptAndTheLineStillCounts)
{
    TempDir dir;
    const std::string longTail(3 * 1024 * 1024, 'n');
    const std::string atLimit = "http://h/" + std::string(kLongestAddress - 9, 'a');
    const std::string overLimit = "http://h/" + std::string(kLongestAddress, 'b');
    const std::string path = dir.write("long", "http://h/1 " + longTail + "\r\n" + atLimit + "\r\n" + overLimit +
                                                   " tail\r\n" + overLimit + overLimit + "\r\nhttp://h/\rlast\r\n");
    std::vector<std::string> got = addresses(path);
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(got[0], "http://h/1");
    EXPECT_EQ(got[1], atLimit);
    // Cut one byte past the limit: too long for any page, never a prefix
    // that would load another page.
    EXPECT_EQ(got[2].size(), kLongestAddress + 1);
    EXPECT_EQ(got[2], overLimit.substr(0, kLongestAddress + 1));
    EXPECT_EQ(got[3].size(), kLongestAddress + 1);
    EXPECT_EQ(got[4], "http://h/last");
    EXPECT_EQ(countLines(path), 5);
}

TEST(LongLines, SkippingPassesAWholeLineWithoutKeepingIt)
{
    TempDir dir;
    LineReader r(dir.write("skip", std::string(5 * 1024 * 1024, 's') + "\nsecond\n\nfourth"));
    r.skipLine();
    EXPECT_EQ(r.readLine(), "second");
    r.skipLine();
    EXPECT_EQ(r.readAddress(), "fourth");
    EXPECT_TRUE(r.atEof());
    r.skipLine();
    EXPECT_EQ(r.readAddress(), "");
}

TEST(LongLines, AFileNameComesBackAsItsBytes)
{
    TempDir dir;
    const std::string name = "/home/u/" + gbWebSite + "/list.txt";
    LineReader r(dir.write("ini", name + "\r\n" + gbChinese + "\r\n"));
    EXPECT_EQ(r.readLineBytes(), name);
    EXPECT_EQ(r.readLine(), "中文");
}
