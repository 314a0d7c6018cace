#include "net/HttpHeader.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

using namespace lt;

namespace {
std::string errorOf(const std::string& text)
{
    return lt::test::errorOf([&] { parseHttpHeader(text); });
}
} // namespace

TEST(HttpHeader, ReadsNameAndValueAsCurlDoes)
{
    const HttpHeader h = parseHttpHeader("X-Api-Key:  abc: def \t");
    EXPECT_EQ(h.name, "X-Api-Key");
    EXPECT_EQ(h.value, "abc: def");
    EXPECT_EQ(parseHttpHeader("Accept-Language:de").value, "de");
}

TEST(HttpHeader, RefusesWhatIsNoHeaderAndSaysWhich)
{
    EXPECT_NE(errorOf("X-Api-Key abc").find("--header 'X-Api-Key abc' is not a header"), std::string::npos);
    EXPECT_NE(errorOf(": abc").find("name"), std::string::npos);
    EXPECT_NE(errorOf("X Key: abc").find("name"), std::string::npos);
    EXPECT_NE(errorOf("X-Empty:").find("'X-Empty:' has no value"), std::string::npos);
    EXPECT_NE(errorOf("X-Empty:   ").find("no value"), std::string::npos);
    EXPECT_NE(errorOf("X-Split: a\r\nHost: b").find("control"), std::string::npos);
    EXPECT_NE(errorOf("host: other.example").find("writes Host itself"), std::string::npos);
    EXPECT_NE(errorOf("cookie: a=b").find("--cookies"), std::string::npos);
    EXPECT_NE(errorOf("User-Agent: x").find("--user-agent"), std::string::npos);
    EXPECT_EQ(headerValue("--user-agent", " Trawler/1.0 "), "Trawler/1.0");
    EXPECT_THROW(headerValue("--user-agent", ""), Error);
    EXPECT_THROW(headerValue("--user-agent", "a\nb"), Error);
}
