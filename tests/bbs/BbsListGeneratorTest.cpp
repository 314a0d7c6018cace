#include "bbs/BbsListGenerator.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"
#include "base/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <span>
#include <unistd.h>
#include <vector>

using namespace lt;
using F = lt::BbsField;
using lt::test::readFile;
using lt::test::TempDir;

namespace {

// Field texts; a field given several texts hands out the next one on every
// read (the last one repeats), which shows which fields are read per line.
class FakeFields : public BbsFieldSource {
public:
    FakeFields(std::map<F, std::vector<std::string>> texts) : texts_(std::move(texts)) {}
    const std::string& text(F f) const override
    {
        const std::vector<std::string>& list = texts_[f];
        const std::size_t n = reads_[f]++;
        return list.empty() ? empty_ : list[std::min(n, list.size() - 1)];
    }
    mutable std::map<F, std::size_t> reads_;

private:
    mutable std::map<F, std::vector<std::string>> texts_;
    std::string empty_;
};

FakeFields one(std::string prefix, std::string rate, std::string start, std::string end, std::string suffix)
{
    return FakeFields({{F::Prefix, {prefix}}, {F::Rate, {rate}}, {F::Start, {start}}, {F::End, {end}},
                       {F::Suffix, {suffix}}});
}

FakeFields two(std::string front, std::string start, std::string end, std::string middle,
               std::string second, std::string back)
{
    return FakeFields({{F::Front, {front}}, {F::FirstStart, {start}}, {F::FirstEnd, {end}},
                       {F::Middle, {middle}}, {F::SecondStart, {second}}, {F::Back, {back}}});
}

struct Outcome {
    std::string error;               // empty when the generation succeeded
    std::vector<std::int64_t> shown; // every count handed to the label
};

Outcome run(bool twoCounters, const FakeFields& fields, const std::string& path,
            BbsListGenerator::Clock clock = {})
{
    Outcome r;
    BbsListGenerator g(fields, [&](std::int64_t n) { r.shown.push_back(n); }, std::move(clock));
    try {
        twoCounters ? g.writeTwoCounterList(path) : g.writeOneCounterList(path);
    } catch (const Error& e) {
        r.error = e.what();
    }
    return r;
}

struct Case {
    const char* name;
    FakeFields fields;
    std::string file;  // what the file holds afterwards ("old" when it was left as it was)
    std::string error;
};

} // namespace

TEST(BbsListGenerator, WritesTheListsAndFailsWhereItShould)
{
    const Case oneCases[] = {
        {"example", one("list-", "20", "1", "3", ".htm"), "list-20.htm\r\nlist-40.htm\r\nlist-60.htm\r\n", ""},
        {"window defaults", one("http://", "1", "0", "", ""), "", "'' is not a valid integer value"},
        {"end equal to start", one("p", "1", "7", "7", "s"), "p7s\r\n", ""},
        {"end below start, bad rate unread", one("p", "bad", "5", "4", "s"), "", ""},
        {"rate 0", one("n=", "0", "1", "2", ""), "n=0\r\nn=0\r\n", ""},
        {"negative rate", one("", "-5", "1", "2", ""), "-5\r\n-10\r\n", ""},
        {"negative start", one("", "1", "-2", "1", ""), "-2\r\n-1\r\n0\r\n1\r\n", ""},
        {"blanks", one(" a ", "+2", "  1", " $2", " b "), " a 2 b \r\n a 4 b \r\n", ""},
        {"trailing blank", one("", "1", "1 ", "3", ""), "", "'1 ' is not a valid integer value"},
        {"bad rate", one("", "1.5", "1", "3", ""), "", "'1.5' is not a valid integer value"},
        {"product wraps", one("", "65536", "65535", "65537", ""), "-65536\r\n0\r\n65536\r\n", ""},
        {"top of the range", one("", "1", "2147483646", "2147483647", ""), "2147483646\r\n2147483647\r\n", ""},
    };
    const Case twoCases[] = {
        {"example", two("a", "5", "7", "_", "100", ""), "a5_100\r\na6_101\r\na7_102\r\n", ""},
        {"negatives", two("t", "-1", "0", "-p", "-1", ".h"), "t-1-p-1.h\r\nt0-p0.h\r\n", ""},
        {"second wraps", two("", "1", "2", "/", "2147483647", ""), "1/2147483647\r\n2/-2147483648\r\n", ""},
        {"end below start", two("a", "3", "2", "_", "0", ""), "", ""},
        {"bad second start", two("a", "1", "3", "_", "x", ""), "old", "'x' is not a valid integer value"},
        {"bad first end", two("a", "1", "", "_", "0", ""), "", "'' is not a valid integer value"},
    };
    TempDir dir;
    for (bool twoCounters : {false, true}) {
        for (const Case& c : twoCounters ? std::span<const Case>(twoCases) : std::span<const Case>(oneCases)) {
            const std::string path = dir.write("out.txt", "old");
            const Outcome r = run(twoCounters, c.fields, path);
            EXPECT_EQ(r.error, c.error) << c.name;
            EXPECT_EQ(readFile(path), c.file) << c.name;
            const auto lines = std::count(c.file.begin(), c.file.end(), '\n');
            EXPECT_EQ(r.shown.empty() ? 0 : r.shown.back(), lines) << c.name;
        }
    }
}

TEST(BbsListGenerator, BadSecondStartCreatesNoFile)
{
    TempDir dir;
    EXPECT_NE(run(true, two("a", "1", "3", "_", "", ""), dir.file("new.txt")).error, "");
    EXPECT_NE(::access(dir.file("new.txt").c_str(), F_OK), 0);
}

TEST(BbsListGenerator, FieldsAreReadForEveryLine)
{
    TempDir dir;
    FakeFields f({{F::Start, {"1"}}, {F::End, {"4"}}, {F::Prefix, {"a", "b", "c"}},
                  {F::Rate, {"1", "10", "100", "oops"}}, {F::Suffix, {"x", "y"}}});
    // The rate stops converting on the fourth line: the lines before stay.
    Outcome r = run(false, f, dir.file("f.txt"));
    EXPECT_EQ(r.error, "'oops' is not a valid integer value");
    EXPECT_EQ(readFile(dir.file("f.txt")), "a1x\r\nb20y\r\nc300y\r\n");
    EXPECT_EQ(r.shown.back(), 3);
    EXPECT_EQ(f.reads_[F::Start], 1u);
    EXPECT_EQ(f.reads_[F::End], 1u);

    FakeFields g({{F::FirstStart, {"1"}}, {F::FirstEnd, {"3"}}, {F::SecondStart, {"10"}},
                  {F::Front, {"a", "b"}}, {F::Middle, {"-", "+", "*"}}, {F::Back, {"", "!"}}});
    run(true, g, dir.file("g.txt"));
    EXPECT_EQ(readFile(dir.file("g.txt")), "a1-10\r\nb2+11!\r\nb3*12!\r\n");
    EXPECT_EQ(g.reads_[F::SecondStart], 1u);
}

TEST(BbsListGenerator, FileErrors)
{
    TempDir dir;
    EXPECT_EQ(run(false, one("", "1", "1", "1", ""), dir.file("no/dir.txt")).error, "File not found");
    // A disk that takes nothing: lines were shown on their way, but none
    // reached the file, and the count ends at 0.
    Outcome r = run(false, one("http://bbs.example.com/list-", "1", "1", "1000000", ".htm"), "/dev/full");
    EXPECT_EQ(r.error, "Disk full");
    ASSERT_FALSE(r.shown.empty());
    EXPECT_GT(r.shown.front(), 0);
    EXPECT_EQ(r.shown.back(), 0);

    // A disk that fills up in the middle: the count ends at the whole lines
    // in the file, not at those handed over.
    for (bool twoCounters : {false, true}) {
        const std::string path = dir.file("full.txt");
        {
            lt::test::FileSizeLimit limit(100000);
            r = twoCounters ? run(true, two("http://bbs.example.com/", "1", "1000000", "-", "1", ".htm"), path)
                            : run(false, one("http://bbs.example.com/list-", "1", "1", "1000000", ".htm"), path);
        }
        EXPECT_EQ(r.error, "Disk full");
        const std::string file = readFile(path);
        ASSERT_FALSE(r.shown.empty());
        EXPECT_GT(r.shown.back(), 0);
        EXPECT_EQ(r.shown.back(), std::count(file.begin(), file.end(), '\n')) << twoCounters;
    }
}

TEST(BbsListGenerator, CountIsShownSparinglyAndExactAtTheEnd)
{
    TempDir dir;
    const std::string out = dir.file("c.txt");
    const auto t0 = std::chrono::steady_clock::now();
    auto frozen = [t0] { return t0; };

    EXPECT_EQ(run(false, one("", "1", "1", "100000", ""), out, frozen).shown,
              (std::vector<std::int64_t>{1, 100000}));

    // Every look at the clock finds the period over.
    auto t = t0;
    EXPECT_EQ(run(false, one("", "1", "1", "1000", ""), out, [&t] { return t += std::chrono::seconds(1); }).shown,
              (std::vector<std::int64_t>{1, 256, 512, 768, 1000}));

    std::vector<std::string> rates(700, "1");
    rates.push_back("bad");
    FakeFields f({{F::Start, {"1"}}, {F::End, {"1000"}}, {F::Rate, rates}});
    EXPECT_EQ(run(false, f, out, frozen).shown, (std::vector<std::int64_t>{1, 700}));
}
