#include "support/FileSizeLimit.h"
#include "support/TempDir.h"
#include "base/Error.h"
#include "base/Files.h"
#include "text/IntegerText.h"
#include "base/IoErrors.h"
#include "text/LineReader.h"
#include "text/LineWriter.h"
#include "text/MemoLines.h"
#include "text/TextEncoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

using namespace lt;
using lt::test::TempDir;

namespace {
std::vector<std::string> readAll(const std::string& path)
{
    LineReader r(path);
    std::vector<std::string> lines;
    while (!r.atEof())
        lines.push_back(r.readLine());
    r.close();
    return lines;
}

std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}
} // namespace

TEST(LineReader, LineEndsAndControlCharacters)
{
    TempDir dir;
    using V = std::vector<std::string>;
    EXPECT_EQ(readAll(dir.write("a", "one\r\ntwo\nthree")), (V{"one", "two", "three"}));
    EXPECT_EQ(readAll(dir.write("b", "a\rb\r\n\r\n\n")), (V{"ab", "", ""}));
    EXPECT_EQ(readAll(dir.write("c", "")), V{});
    EXPECT_EQ(readAll(dir.write("d", "x\n\x1ay\nz\n")), V{"x"});
    EXPECT_EQ(readAll(dir.write("e", "\x1a" "x\n")), V{});
    EXPECT_EQ(readAll(dir.write("f", "x\x1ay\n")), V{"x\x1ay"});
    EXPECT_EQ(readAll(dir.write("g", "tab\there and blank \n")), V{"tab\there and blank "});
}

TEST(LineReader, BeyondTheEndReadsEmptyAndLongLinesStayWhole)
{
    TempDir dir;
    std::string longLine(700000, 'q');
    LineReader r(dir.write("long", longLine + "\r\nend"));
    EXPECT_EQ(r.readLine(), longLine);
    EXPECT_EQ(r.readLine(), "end");
    EXPECT_TRUE(r.atEof());
    EXPECT_EQ(r.readLine(), "");
}

TEST(LineReader, GbEncodedLinesBecomeUtf8)
{
    TempDir dir;
    // "网址" in GB2312, then "广告".
    auto lines = readAll(dir.write("gb", "\xcd\xf8\xd6\xb7\r\n\xb9\xe3\xb8\xe6\r\n"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "网址");
    EXPECT_EQ(lines[1], "广告");
}

TEST(LineReader, MissingFileRaisesRuntimeMessage)
{
    EXPECT_EQ(errorOf([] { LineReader r("/nonexistent/x.txt"); }), "File not found");
    EXPECT_EQ(errorOf([] { LineReader r(""); }), "File not found");
}

TEST(CountLines, AgreesWithTheReaderAcrossBufferBoundaries)
{
    TempDir dir;
    const std::size_t block = 256 * 1024;
    std::vector<std::string> samples = {
        "",
        "\n",
        "a",
        "a\n",
        "a\r\nb",
        "a\rb\r",
        "x\n\x1a" "after\n",
        "x\x1a\ny\n",
        std::string(block - 1, 'a') + "\n\x1a" + "tail\n",
        std::string(block, 'a') + "\x1a\nmore",
        std::string(block - 1, 'b') + "\n" + std::string(100, 'c'),
    };
    std::string many;
    for (int i = 0; i < 50000; ++i)
        many += "http://h/" + std::to_string(i) + (i % 3 ? "\r\n" : "\n");
    samples.push_back(many);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        std::string path = dir.write("s" + std::to_string(i), samples[i]);
        EXPECT_EQ(countLines(path), static_cast<long long>(readAll(path).size())) << "sample " << i;
    }
}

TEST(IntegerText, StrictConversion)
{
    EXPECT_EQ(strToInt("42"), 42);
    EXPECT_EQ(strToInt("   -7"), -7);
    EXPECT_EQ(strToInt("+5"), 5);
    EXPECT_EQ(strToInt("$1F"), 31);
    EXPECT_EQ(strToInt("0x10"), 16);
    EXPECT_EQ(strToInt("X10"), 16);
    EXPECT_EQ(strToInt("-$10"), -16);
    EXPECT_EQ(strToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(strToInt("2147483647"), 2147483647);
    EXPECT_EQ(strToInt("-2147483648"), INT32_MIN);
    for (const char* bad : {"", " ", "5 ", "2147483648", "-2147483649", "$", "0x", "1e3", "\t5", "$100000000", "--1", "12a"})
        EXPECT_EQ(errorOf([&] { strToInt(bad); }), std::string("'") + bad + "' is not a valid integer value") << bad;
    EXPECT_EQ(intToStr(-12), "-12");
    EXPECT_EQ(intToStr(0), "0");
}

TEST(ErrorText, DotRuleAndFileMessages)
{
    EXPECT_EQ(errorBoxText("File not found"), "File not found.");
    EXPECT_EQ(errorBoxText("done."), "done.");
    EXPECT_EQ(errorBoxText("why?"), "why?.");  // '?' sorts after '.'
    EXPECT_EQ(errorBoxText("ends-"), "ends-"); // '-' sorts before '.'
    EXPECT_EQ(errorBoxText("网址"), "网址.");
    EXPECT_EQ(errorBoxText(""), "");
    EXPECT_EQ(ioErrorMessage(ENOENT), "File not found");
    EXPECT_EQ(ioErrorMessage(EACCES), "File access denied");
    EXPECT_EQ(ioErrorMessage(ENOSPC), "Disk full");
    EXPECT_EQ(ioErrorMessage(EMFILE), "Too many open files");
    EXPECT_EQ(ioErrorMessage(EIO), "I/O error 5");
}

TEST(LineWriter, EndsEveryLineWithCrLfAndEmptiesAnExistingFile)
{
    TempDir dir;
    std::string path = dir.write("out.txt", "old contents that must go");
    LineWriter w(path);
    w.writeLine("a");
    w.write("b");
    w.write("c");
    w.endLine();
    w.close();
    EXPECT_EQ(lt::test::readFile(path), "a\r\nbc\r\n");
    EXPECT_EQ(w.linesWritten(), 2);
}

TEST(LineWriter, CountsTheLinesThatReachedTheFile)
{
    TempDir dir;
    const std::string path = dir.file("out.txt");
    std::int64_t written = -1;
    {
        // The file fills up in the middle of a line, long after the first
        // line was handed over.
        lt::test::FileSizeLimit limit(100000);
        LineWriter w(path);
        try {
            for (int i = 0; i < 200000; ++i) {
                w.writeLine("http://bbs.example.com/list-" + std::to_string(i) + ".htm");
                EXPECT_LE(w.linesWritten(), i + 1);
            }
            w.close();
            ADD_FAILURE() << "the file did not fill up";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "Disk full");
        }
        written = w.linesWritten();
    }
    const std::string file = lt::test::readFile(path);
    EXPECT_EQ(file.size(), 100000u);
    EXPECT_GT(written, 0);
    // Whole lines only: the cut one does not count.
    EXPECT_EQ(written, std::count(file.begin(), file.end(), '\n'));
    EXPECT_NE(file.back(), '\n');
}

TEST(MemoLines, FinalBreakIsNoLineButInnerEmptyLinesAre)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(splitMemoLines("http://"), V{"http://"});
    EXPECT_EQ(splitMemoLines("a\nb\n"), (V{"a", "b"}));
    EXPECT_EQ(splitMemoLines("a\n\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(splitMemoLines("\n"), V{""});
    EXPECT_EQ(splitMemoLines(""), V{});
    EXPECT_EQ(normaliseLineBreaks("a\r\nb\rc\n\x1a" "d"), "a\nb\nc\n");
    EXPECT_EQ(toCrLf("a\nb\n"), "a\r\nb\r\n");
}

TEST(AtomicWrite, ReadOnlyTargetIsLeftWhole)
{
    TempDir dir;
    std::string path = dir.write("p.ini", "old\r\n");
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(errorOf([&] { writeFileAtomic(path, "new", WriteErrors::Runtime); }), "File access denied");
    EXPECT_EQ(errorOf([&] { writeFileAtomic(path, "new", WriteErrors::CannotCreate); }), "Cannot create file " + path);
    EXPECT_EQ(lt::test::readFile(path), "old\r\n");
}

TEST(AtomicWrite, AFailureMidWriteKeepsTheOldFileAndLeavesNoTemporary)
{
    TempDir dir;
    std::string path = dir.write("p.ini", "old contents\r\n");
    std::string err;
    {
        lt::test::FileSizeLimit limit(4096);
        err = errorOf([&] { writeFileAtomic(path, std::string(100000, 'x'), WriteErrors::Runtime); });
    }
    EXPECT_EQ(err, "Disk full");
    EXPECT_EQ(lt::test::readFile(path), "old contents\r\n");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"p.ini"});
}

TEST(TextEncoding, FoldCaseIgnoresLetterCaseOnly)
{
    EXPECT_EQ(foldCase("HTTP://Example.COM/A"), "http://example.com/a");
    EXPECT_EQ(foldCase("网址/X"), "网址/x");
    EXPECT_TRUE(isValidUtf8("网址"));
    EXPECT_FALSE(isValidUtf8("\xcd\xf8"));
}

TEST(TextEncoding, CaseInsensitiveEqualityAndHashAgree)
{
    const std::pair<const char*, const char*> same[] = {
        {"http://A.B/Page", "http://a.b/page"}, {"ÄÖÜ/X", "äöü/x"}, {"网址", "网址"}, {"", ""}};
    for (auto [a, b] : same) {
        EXPECT_TRUE(equalIgnoringCase(a, b)) << a;
        EXPECT_EQ(foldedHash(a), foldedHash(b)) << a;
    }
    EXPECT_FALSE(equalIgnoringCase("http://a.b/1", "http://a.b/2"));
    EXPECT_FALSE(equalIgnoringCase("abc", "abcd"));
    // A byte that is not UTF-8 never equals a decoded character.
    EXPECT_FALSE(equalIgnoringCase("\xc4", "\xc3\x84"));
    EXPECT_NE(foldedHash("http://a.b/1"), foldedHash("http://a.b/2"));
}
