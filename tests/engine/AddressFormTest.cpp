// Addresses between the list, the engine and the harvest: the address-bar
// form of what the engine reports, and the URL loaded for a line.
#include "search/engine/AddressForm.h"
#include "search/engine/PageLinks.h"
#include "text/LineReader.h"

#include <QUrl>
#include <gtest/gtest.h>

using namespace lt;

namespace {
std::string loaded(const std::string& address)
{
    return urlForAddress(address).toEncoded().toStdString();
}
} // namespace

TEST(AddressBarForm, DecodesUtf8TextAndKeepsEscapesThatMeanSomething)
{
    const std::string h = "http://127.0.0.1:8080";
    EXPECT_EQ(addressBarForm(h + "/k-na-%E4%B8%AD%E6%96%87"), h + "/k-na-中文");
    EXPECT_EQ(addressBarForm(h + "/s?q=%E4%B8%AD%E6%96%87#%E9%A1%B5"), h + "/s?q=中文#页");
    EXPECT_EQ(addressBarForm(h + "/%e4%b8%ad"), h + "/中");
    EXPECT_EQ(addressBarForm(h + "/%C3%89t%C3%A9"), h + "/Été");
    // Escapes of ASCII bytes stay as written, also inside a decoded run.
    EXPECT_EQ(addressBarForm(h + "/a%20b%2Fc%25d%41%7e"), h + "/a%20b%2Fc%25d%41%7e");
    EXPECT_EQ(addressBarForm(h + "/%E4%B8%AD%20%E6%96%87%3F"), h + "/中%20文%3F");
    // Lone or broken percent signs.
    EXPECT_EQ(addressBarForm(h + "/100%?%zz%4"), h + "/100%?%zz%4");
    EXPECT_EQ(addressBarForm("http://a/b"), "http://a/b");
    EXPECT_EQ(addressBarForm("mailto:%E5%BC%A0%E4%B8%89@x.cn"), "mailto:张三@x.cn");
    EXPECT_EQ(addressBarForm("http://%E7%94%A8%E6%88%B7:pw@h/"), "http://用户:pw@h/");
}

TEST(AddressBarForm, KeepsBytesThatAreNotUtf8AndCharactersNoOneCouldSee)
{
    const std::string h = "http://h";
    // A query escaped in GBK, and a run that is not UTF-8 as a whole although
    // a pair inside it is ("%D1%AF").
    EXPECT_EQ(addressBarForm(h + "/s?q=%D6%D0%CE%C4"), h + "/s?q=%D6%D0%CE%C4");
    EXPECT_EQ(addressBarForm(h + "/s?%B2%E9%D1%AF=1"), h + "/s?%B2%E9%D1%AF=1");
    // Cut, overlong and surrogate sequences.
    EXPECT_EQ(addressBarForm(h + "/a%E4%B8"), h + "/a%E4%B8");
    EXPECT_EQ(addressBarForm(h + "/%C0%AF%ED%A0%80"), h + "/%C0%AF%ED%A0%80");
    // NBSP, ideographic space, a bidi override, a zero-width space.
    EXPECT_EQ(addressBarForm(h + "/%C2%A0%E3%80%80%E2%80%AE%E2%80%8B"), h + "/%C2%A0%E3%80%80%E2%80%AE%E2%80%8B");
    EXPECT_EQ(addressBarForm(h + "/%E4%B8%AD%E2%80%AE%E6%96%87"), h + "/中%E2%80%AE文");
}

TEST(AddressBarForm, ShowsInternationalHostsInUnicode)
{
    EXPECT_EQ(addressBarForm("http://xn--fiq228c.example/%E8%B7%AF%E5%BE%84?%E6%9F%A5=1"),
              "http://中文.example/路径?查=1");
    EXPECT_EQ(addressBarForm("http://u:p@xn--fiq228c.example:8080/"), "http://u:p@中文.example:8080/");
    EXPECT_EQ(addressBarForm("http://www.xn--bcher-kva.de/"), "http://www.bücher.de/");
    EXPECT_EQ(addressBarForm("http://[::1]:8080/%E4%B8%AD"), "http://[::1]:8080/中");
    // Only the host: an ACE-looking path stays.
    EXPECT_EQ(addressBarForm("http://a.example/xn--fiq228c"), "http://a.example/xn--fiq228c");
}

TEST(AddressBarForm, TheShownFormLoadsThePageItCameFrom)
{
    for (const std::string href :
         {"http://127.0.0.1:8080/k-na-%E4%B8%AD%E6%96%87?q=%E4%B8%AD&r=%D6%D0%CE%C4#%E9%A1%B5",
          "http://xn--fiq228c.example/%E8%B7%AF%20x%2Fy?%B2%E9%D1%AF=%D6%B5",
          "http://h/%C2%A0%E4%B8%AD%E2%80%AE/%25E4", "http://u:p@[::1]:81/a%E4%B8"}) {
        const std::string shown = addressBarForm(href);
        EXPECT_EQ(loaded(shown), QUrl(QString::fromStdString(href)).toEncoded().toStdString()) << shown;
    }
}

TEST(UrlForAddress, AddressesWithoutASchemeLoadAsAnAddressBarWouldLoadThem)
{
    EXPECT_EQ(loaded("www.example.com/a"), "http://www.example.com/a");
    EXPECT_EQ(loaded("example.com"), "http://example.com");
    EXPECT_EQ(loaded("127.0.0.1:8080/x"), "http://127.0.0.1:8080/x");
    EXPECT_EQ(loaded("localhost:8080/x"), "http://localhost:8080/x");
    EXPECT_EQ(loaded("ftp.example.com/x"), "http://ftp.example.com/x");
    EXPECT_EQ(loaded("中文.example/路径"), "http://xn--fiq228c.example/%E8%B7%AF%E5%BE%84");
    EXPECT_EQ(loaded("/srv/pages/a.html"), "file:///srv/pages/a.html");
    // Schemes of their own are taken as written.
    EXPECT_EQ(loaded("HTTP://Example.com/A"), "http://example.com/A");
    EXPECT_EQ(loaded("ftp://127.0.0.1/x"), "ftp://127.0.0.1/x");
    EXPECT_EQ(loaded("mailto:x@example.com"), "mailto:x@example.com");
    EXPECT_EQ(loaded("mailto:1234"), "mailto:1234");
    EXPECT_EQ(schemeLength("view-source:http://a/"), 11u);
    EXPECT_EQ(schemeLength("127.0.0.1:80"), 0u);
    EXPECT_EQ(schemeLength("nocolon"), 0u);
}

TEST(UrlForAddress, TheListsTextReachesTheServerAsWritten)
{
    EXPECT_EQ(loaded("http://h/g2/址"), "http://h/g2/%E5%9D%80");
    // Bytes the list's encoding could not read go as their escapes.
    EXPECT_EQ(loaded("http://h/q?x=\xd6\xd0&y=中"), "http://h/q?x=%D6%D0&y=%E4%B8%AD");
    EXPECT_EQ(loaded("http://h/a%20b%2F"), "http://h/a%20b%2F");
}

TEST(UrlForAddress, MalformedAndOverLongAddressesLoadAnEmptyPage)
{
    for (const std::string& bad : {std::string(), std::string("no scheme here"), std::string("http://a b/")})
        EXPECT_EQ(loaded(bad), "about:blank") << bad;
    const std::string atLimit = "http://h/" + std::string(kLongestAddress - 9, 'a');
    EXPECT_EQ(loaded(atLimit).size(), kLongestAddress);
    EXPECT_EQ(loaded(atLimit + "a"), "about:blank");
    // The limit holds for the encoded form: 300,000 "中" are 0.9 MB as text
    // and 2.7 MB encoded.
    std::string wide = "http://h/";
    for (int i = 0; i < 300000; ++i)
        wide += "中";
    EXPECT_EQ(loaded(wide), "about:blank");
}
