#include "bbs/BbsListGenerator.h"
#include "support/TempDir.h"
#include "text/Error.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace lt;
using lt::test::readFile;
using lt::test::TempDir;

namespace {

// Field texts as the window would hold them; a field may be given a list of
// texts handed out one per read, to see which fields are read again.
class FakeFields : public BbsFieldSource {
public:
    FakeFields& set(BbsField f, std::string text)
    {
        texts_[f] = {std::move(text)};
        return *this;
    }
    FakeFields& sequence(BbsField f, std::vector<std::string> texts)
    {
        texts_[f] = std::move(texts);
        return *this;
    }
    const std::string& text(BbsField f) const override
    {
        ++reads_[f];
        const std::vector<std::string>& list = texts_[f];
        if (list.empty())
            return empty_;
        std::size_t n = reads_[f] - 1;
        return list[n < list.size() ? n : list.size() - 1];
    }
    int reads(BbsField f) const { return reads_[f]; }

private:
    mutable std::map<BbsField, std::vector<std::string>> texts_;
    mutable std::map<BbsField, int> reads_;
    std::string empty_;
};

FakeFields oneCounter(std::string prefix, std::string rate, std::string start, std::string end,
                      std::string suffix)
{
    FakeFields f;
    f.set(BbsField::Prefix, std::move(prefix))
        .set(BbsField::Rate, std::move(rate))
        .set(BbsField::Start, std::move(start))
        .set(BbsField::End, std::move(end))
        .set(BbsField::Suffix, std::move(suffix));
    return f;
}

FakeFields twoCounter(std::string front, std::string start, std::string end, std::string middle,
                      std::string second, std::string back)
{
    FakeFields f;
    f.set(BbsField::Front, std::move(front))
        .set(BbsField::FirstStart, std::move(start))
        .set(BbsField::FirstEnd, std::move(end))
        .set(BbsField::Middle, std::move(middle))
        .set(BbsField::SecondStart, std::move(second))
        .set(BbsField::Back, std::move(back));
    return f;
}

struct Outcome {
    std::string error;            // empty when the generation succeeded
    std::vector<std::int64_t> shown; // every count handed to the label
};

Outcome runOne(const FakeFields& fields, const std::string& path, BbsListGenerator::Clock clock = {})
{
    Outcome r;
    BbsListGenerator g(fields, [&](std::int64_t n) { r.shown.push_back(n); }, std::move(clock));
    try {
        g.writeOneCounterList(path);
    } catch (const Error& e) {
        r.error = e.what();
    }
    return r;
}

Outcome runTwo(const FakeFields& fields, const std::string& path)
{
    Outcome r;
    BbsListGenerator g(fields, [&](std::int64_t n) { r.shown.push_back(n); });
    try {
        g.writeTwoCounterList(path);
    } catch (const Error& e) {
        r.error = e.what();
    }
    return r;
}

bool exists(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

} // namespace

TEST(OneCounterList, WritesPrefixRateTimesCounterSuffixWithCrLf)
{
    TempDir dir;
    const std::string out = dir.file("list.txt");
    Outcome r = runOne(oneCounter("list-", "20", "1", "3", ".htm"), out);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(readFile(out), "list-20.htm\r\nlist-40.htm\r\nlist-60.htm\r\n");
    ASSERT_FALSE(r.shown.empty());
    EXPECT_EQ(r.shown.back(), 3);
}

TEST(OneCounterList, BoundsAndSigns)
{
    TempDir dir;
    const std::string out = dir.file("o.txt");

    runOne(oneCounter("p", "1", "7", "7", "s"), out);
    EXPECT_EQ(readFile(out), "p7s\r\n");

    runOne(oneCounter("", "1", "-2", "1", ""), out);
    EXPECT_EQ(readFile(out), "-2\r\n-1\r\n0\r\n1\r\n");

    runOne(oneCounter("n=", "0", "1", "3", ""), out);
    EXPECT_EQ(readFile(out), "n=0\r\nn=0\r\nn=0\r\n");

    runOne(oneCounter("", "-5", "1", "2", ""), out);
    EXPECT_EQ(readFile(out), "-5\r\n-10\r\n");

    // Blanks before a number convert; text fields are taken as typed.
    Outcome r = runOne(oneCounter(" a ", "+2", "  1", " $2", " b "), out);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(readFile(out), " a 2 b \r\n a 4 b \r\n");
}

TEST(OneCounterList, EndBelowStartEmptiesTheFileAndLeavesTheCount)
{
    TempDir dir;
    const std::string out = dir.write("old.txt", "old content\r\n");
    // The bad rate is never converted: no line is due.
    Outcome r = runOne(oneCounter("p", "bad", "5", "4", "s"), out);
    EXPECT_EQ(r.error, "");
    EXPECT_TRUE(exists(out));
    EXPECT_EQ(readFile(out), "");
    EXPECT_TRUE(r.shown.empty());
}

TEST(OneCounterList, ExistingFileIsReplaced)
{
    TempDir dir;
    const std::string out = dir.write("old.txt", std::string(5000, 'x'));
    runOne(oneCounter("a", "1", "1", "1", ""), out);
    EXPECT_EQ(readFile(out), "a1\r\n");
}

TEST(OneCounterList, ProductWrapsAt32Bits)
{
    TempDir dir;
    const std::string out = dir.file("w.txt");
    runOne(oneCounter("", "65536", "65535", "65537", ""), out);
    EXPECT_EQ(readFile(out), "-65536\r\n0\r\n65536\r\n");

    runOne(oneCounter("", "2147483647", "2", "3", ""), out);
    EXPECT_EQ(readFile(out), "-2\r\n2147483645\r\n");

    // The loop stops at the top of the range instead of wrapping around.
    Outcome r = runOne(oneCounter("", "1", "2147483646", "2147483647", ""), out);
    EXPECT_EQ(readFile(out), "2147483646\r\n2147483647\r\n");
    EXPECT_EQ(r.shown.back(), 2);
}

TEST(OneCounterList, BadCountsFailAfterTheFileIsCreated)
{
    TempDir dir;
    const std::string out = dir.write("old.txt", "old\r\n");
    // The window's defaults: start "0", end empty.
    Outcome r = runOne(oneCounter("http://", "1", "0", "", ""), out);
    EXPECT_EQ(r.error, "'' is not a valid integer value");
    EXPECT_EQ(readFile(out), "");
    EXPECT_TRUE(r.shown.empty());

    r = runOne(oneCounter("", "1", "1 ", "3", ""), out);
    EXPECT_EQ(r.error, "'1 ' is not a valid integer value");

    r = runOne(oneCounter("", "1", "1", "2147483648", ""), out);
    EXPECT_EQ(r.error, "'2147483648' is not a valid integer value");

    r = runOne(oneCounter("", "1.5", "1", "3", ""), out);
    EXPECT_EQ(r.error, "'1.5' is not a valid integer value");
    EXPECT_EQ(readFile(out), "");
}

TEST(OneCounterList, FieldsAreReadForEveryLine)
{
    TempDir dir;
    const std::string out = dir.file("f.txt");
    FakeFields f = oneCounter("", "", "1", "4", "");
    f.sequence(BbsField::Prefix, {"a", "b", "c"});
    f.sequence(BbsField::Rate, {"1", "10", "100", "oops"});
    f.sequence(BbsField::Suffix, {"x", "y"});
    Outcome r = runOne(f, out);
    // The rate stops converting on the fourth line: the lines before stay.
    EXPECT_EQ(r.error, "'oops' is not a valid integer value");
    EXPECT_EQ(readFile(out), "a1x\r\nb20y\r\nc300y\r\n");
    ASSERT_FALSE(r.shown.empty());
    EXPECT_EQ(r.shown.back(), 3);
    EXPECT_EQ(f.reads(BbsField::Start), 1);
    EXPECT_EQ(f.reads(BbsField::End), 1);
}

TEST(OneCounterList, FileErrors)
{
    TempDir dir;
    Outcome r = runOne(oneCounter("", "1", "1", "1", ""), dir.file("no/such/dir.txt"));
    EXPECT_EQ(r.error, "File not found");

    r = runOne(oneCounter("", "1", "1", "1", ""), "");
    EXPECT_EQ(r.error, "File not found");

    // A write that fails in the middle stops the generation with the count
    // of lines handed over so far.
    r = runOne(oneCounter("http://bbs.example.com/list-", "1", "1", "1000000", ".htm"), "/dev/full");
    EXPECT_EQ(r.error, "Disk full");
    ASSERT_FALSE(r.shown.empty());
    EXPECT_GT(r.shown.back(), 0);
    EXPECT_LT(r.shown.back(), 1000000);
}

TEST(OneCounterList, CountIsShownSparinglyAndExactAtTheEnd)
{
    TempDir dir;
    const std::string out = dir.file("c.txt");

    // Time stands still: the first line and the end only.
    const auto t0 = std::chrono::steady_clock::now();
    Outcome r = runOne(oneCounter("", "1", "1", "100000", ""), out, [t0] { return t0; });
    EXPECT_EQ(r.shown, (std::vector<std::int64_t>{1, 100000}));

    // Every look at the clock finds the period over.
    auto t = t0;
    r = runOne(oneCounter("", "1", "1", "1000", ""), out, [&t] { return t += std::chrono::seconds(1); });
    EXPECT_EQ(r.shown, (std::vector<std::int64_t>{1, 256, 512, 768, 1000}));

    // A failure after some lines still shows the exact count.
    FakeFields f = oneCounter("", "", "1", "1000", "");
    std::vector<std::string> rates(700, "1");
    rates.push_back("bad");
    f.sequence(BbsField::Rate, rates);
    r = runOne(f, out, [t0] { return t0; });
    EXPECT_EQ(r.shown, (std::vector<std::int64_t>{1, 700}));
}

TEST(TwoCounterList, WritesBothCountersAdvancingTogether)
{
    TempDir dir;
    const std::string out = dir.file("two.txt");
    Outcome r = runTwo(twoCounter("a", "5", "7", "_", "100", ""), out);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(readFile(out), "a5_100\r\na6_101\r\na7_102\r\n");
    EXPECT_EQ(r.shown.back(), 3);

    runTwo(twoCounter("t", "-1", "1", "-p", "-1", ".html"), out);
    EXPECT_EQ(readFile(out), "t-1-p-1.html\r\nt0-p0.html\r\nt1-p1.html\r\n");

    // The second counter is a 32-bit counter too.
    runTwo(twoCounter("", "1", "2", "/", "2147483647", ""), out);
    EXPECT_EQ(readFile(out), "1/2147483647\r\n2/-2147483648\r\n");
}

TEST(TwoCounterList, EndBelowStartAndEndEqualStart)
{
    TempDir dir;
    const std::string out = dir.write("old.txt", "old\r\n");
    Outcome r = runTwo(twoCounter("a", "3", "2", "_", "0", ""), out);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(readFile(out), "");
    EXPECT_TRUE(r.shown.empty());

    runTwo(twoCounter("a", "3", "3", "_", "9", "z"), out);
    EXPECT_EQ(readFile(out), "a3_9z\r\n");
}

TEST(TwoCounterList, BadSecondStartLeavesTheFileUntouched)
{
    TempDir dir;
    const std::string out = dir.write("keep.txt", "keep me\r\n");
    Outcome r = runTwo(twoCounter("a", "1", "3", "_", "x", ""), out);
    EXPECT_EQ(r.error, "'x' is not a valid integer value");
    EXPECT_EQ(readFile(out), "keep me\r\n");

    const std::string fresh = dir.file("fresh.txt");
    r = runTwo(twoCounter("a", "1", "3", "_", "", ""), fresh);
    EXPECT_EQ(r.error, "'' is not a valid integer value");
    EXPECT_FALSE(exists(fresh));

    // A bad first counter is found after the file has been emptied.
    r = runTwo(twoCounter("a", "1", "", "_", "0", ""), out);
    EXPECT_EQ(r.error, "'' is not a valid integer value");
    EXPECT_TRUE(exists(out));
    EXPECT_EQ(readFile(out), "");
}

TEST(TwoCounterList, TextPartsAreReadForEveryLine)
{
    TempDir dir;
    const std::string out = dir.file("t.txt");
    FakeFields f = twoCounter("", "1", "3", "", "10", "");
    f.sequence(BbsField::Front, {"a", "b"});
    f.sequence(BbsField::Middle, {"-", "+", "*"});
    f.sequence(BbsField::Back, {"", "!"});
    runTwo(f, out);
    EXPECT_EQ(readFile(out), "a1-10\r\nb2+11!\r\nb3*12!\r\n");
    EXPECT_EQ(f.reads(BbsField::SecondStart), 1);
    EXPECT_EQ(f.reads(BbsField::Rate), 0);
}
