#include "net/CookieFile.h"
#include "support/ErrorOf.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace lt;

namespace {

constexpr std::int64_t kNow = 1700000000;

std::string errorOf(const std::string& text)
{
    return lt::test::errorOf([&] { parseCookieText(text, "cookies.txt", kNow); });
}

// Every field of a cookie: "domain sub path secure httpOnly expires name=value".
std::string fieldsOf(const Cookie& c)
{
    const auto flag = [](bool on) { return on ? " TRUE" : " FALSE"; };
    return c.domain + flag(c.includeSubdomains) + " " + c.path + flag(c.secure) + flag(c.httpOnly) + " "
        + std::to_string(c.expires) + " " + c.name + "=" + c.value;
}

} // namespace

TEST(CookieFile, ReadsTheFilesCurlAndBrowsersWrite)
{
    const std::string text = "\xEF\xBB\xBF# Netscape HTTP Cookie File\r\n"
                             "# https://curl.se/docs/http-cookies.html\r\n"
                             "\r\n"
                             ".Forum.example\tTRUE\t/\tFALSE\t0\tsid\tabc=123\r\n"
                             "#HttpOnly_shop.example\tFALSE\t/cart\tTRUE\t1800000000\ttoken\t\r\n"
                             "wiki.example\tfalse\t/\ttrue\t1800000000\tempty\n"
                             "   \n"
                             "old.example\tFALSE\t/\tFALSE\t1600000000\tgone\tx";
    const std::vector<Cookie> c = parseCookieText(text, "cookies.txt", kNow);
    ASSERT_EQ(c.size(), 3u); // the expired one is left out
    EXPECT_EQ(fieldsOf(c[0]), "forum.example TRUE / FALSE FALSE 0 sid=abc=123");
    EXPECT_EQ(c[0].line, 4);
    EXPECT_EQ(fieldsOf(c[1]), "shop.example FALSE /cart TRUE TRUE 1800000000 token=");
    // Six fields: curl's cookie without a value.
    EXPECT_EQ(fieldsOf(c[2]), "wiki.example FALSE / TRUE FALSE 1800000000 empty=");
    EXPECT_TRUE(parseCookieText("", "c.txt", kNow).empty());
}

TEST(CookieFile, AWrongLineIsRefusedWithFileNumberAndText)
{
    // Blanks where TABs belong: the usual mistake of a copied file.
    EXPECT_EQ(errorOf("# ok\nforum.example TRUE / FALSE 0 sid abc\n"),
              "cookies.txt line 2: a cookie has 7 fields separated by TABs (domain, include-subdomains, path, "
              "secure, expiry, name, value), this line has 1: forum.example TRUE / FALSE 0 sid abc");
    EXPECT_NE(errorOf("a.example\tYES\t/\tFALSE\t0\tn\tv").find("line 1: include-subdomains is TRUE or FALSE"),
              std::string::npos);
    EXPECT_NE(errorOf("a.example\tTRUE\tcart\tFALSE\t0\tn\tv").find("path starts with /"), std::string::npos);
    EXPECT_NE(errorOf("a.example\tTRUE\t/\t1\t0\tn\tv").find("secure is TRUE or FALSE"), std::string::npos);
    EXPECT_NE(errorOf("a.example\tTRUE\t/\tFALSE\t-5\tn\tv").find("expiry"), std::string::npos);
    EXPECT_NE(errorOf("a.example\tTRUE\t/\tFALSE\t17e8\tn\tv").find("expiry"), std::string::npos);
    EXPECT_NE(errorOf("a.example\tTRUE\t/\tFALSE\t0\t\tv").find("name"), std::string::npos);
    EXPECT_NE(errorOf("a.example\tTRUE\t/\tFALSE\t0\tn\tv;w").find("value"), std::string::npos);
    EXPECT_NE(errorOf("a.example\tTRUE\t/\tFALSE\t0\tn\tv\textra").find("this line has 8"), std::string::npos);
    EXPECT_NE(errorOf("http://a.example/\tTRUE\t/\tFALSE\t0\tn\tv").find("domain"), std::string::npos);
    EXPECT_NE(errorOf("\tTRUE\t/\tFALSE\t0\tn\tv").find("line 1: the domain"), std::string::npos);
    // What the browser would drop without a word.
    EXPECT_NE(errorOf("a.example\tTRUE\t/\tFALSE\t0\tn\t" + std::string(4096, 'v')).find("4096 bytes"),
              std::string::npos);
    EXPECT_NE(errorOf("a.example\tTRUE\t/\tFALSE\t0\t__Secure-id\tv").find("__Secure-"), std::string::npos);
    EXPECT_NE(errorOf("a.example\tTRUE\t/\tTRUE\t0\t__Host-id\tv").find("__Host-"), std::string::npos);
    EXPECT_EQ(errorOf("a.example\tFALSE\t/\tTRUE\t0\t__Host-id\tv"), "");
    // The line is quoted as the file has it, a binary one cut short.
    EXPECT_NE(errorOf(std::string(500, 'x')).find(": " + std::string(200, 'x') + "...") , std::string::npos);
}

TEST(CookieFile, AFileThatCannotBeReadIsNamed)
{
    lt::test::TempDir dir;
    dir.write("c.txt", "a.example\tFALSE\t/\tFALSE\t0\tn\tv\n");
    EXPECT_EQ(readCookieFile(dir.file("c.txt"), kNow).at(0).name, "n");
    EXPECT_EQ(lt::test::errorOf([&] { readCookieFile(dir.file("missing.txt"), kNow); }),
              "cannot read the cookie file " + dir.file("missing.txt") + ": No such file or directory");
}
