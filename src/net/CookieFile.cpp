#include "net/CookieFile.h"

#include "base/Error.h"
#include "base/Files.h"

#include <algorithm>
#include <cstring>

namespace lt {

namespace {

constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";
constexpr std::size_t kLongestCookie = 4096;
// A binary file given by mistake is not quoted whole.
constexpr std::size_t kQuotedLength = 200;

std::string lineMessage(const std::string& fileName, int line, std::string_view text, const std::string& why)
{
    std::string quoted(text.substr(0, kQuotedLength));
    if (text.size() > kQuotedLength)
        quoted += "...";
    return fileName + " line " + std::to_string(line) + ": " + why + ": " + quoted;
}

bool sameWord(std::string_view a, const char* b)
{
    return a.size() == std::strlen(b) && std::equal(a.begin(), a.end(), b, [](unsigned char x, unsigned char y) {
               return (x | 0x20) == (y | 0x20);
           });
}

// TRUE or FALSE, in any case, as curl reads them.
bool flag(std::string_view field, const char* which)
{
    if (sameWord(field, "TRUE"))
        return true;
    if (sameWord(field, "FALSE"))
        return false;
    throw Error(std::string(which) + " is TRUE or FALSE, not '" + std::string(field) + "'");
}

// What the browser takes in a cookie's name or value (as in a Set-Cookie
// header): no control characters, no ";".
bool cookieText(std::string_view text)
{
    return std::none_of(text.begin(), text.end(),
                        [](unsigned char c) { return c < 0x20 || c == 0x7f || c == ';'; });
}

std::vector<std::string_view> fields(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t at = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', at);
        out.push_back(line.substr(at, tab == std::string_view::npos ? std::string_view::npos : tab - at));
        if (tab == std::string_view::npos)
            return out;
        at = tab + 1;
    }
}

} // namespace

std::string cookieLineMessage(const std::string& fileName, const Cookie& cookie, const std::string& why)
{
    return lineMessage(fileName, cookie.line, cookie.text, why);
}

std::vector<Cookie> parseCookieText(std::string_view text, const std::string& fileName, std::int64_t now)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<Cookie> cookies;
    int number = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        Cookie c;
        c.line = number;
        c.text = std::string(line);
        std::string_view rest = line;
        if (rest.substr(0, kHttpOnlyPrefix.size()) == kHttpOnlyPrefix) {
            c.httpOnly = true;
            rest.remove_prefix(kHttpOnlyPrefix.size());
        } else if (rest.find_first_not_of(" \t") == std::string_view::npos || rest.front() == '#') {
            continue;
        }
        const auto fail = [&](const std::string& why) { return Error(lineMessage(fileName, number, line, why)); };
        std::vector<std::string_view> f = fields(rest);
        // curl writes a cookie without a value with six fields.
        if (f.size() == 6)
            f.emplace_back();
        if (f.size() != 7)
            throw fail("a cookie has 7 fields separated by TABs (domain, include-subdomains, path, secure, expiry, "
                       "name, value), this line has " + std::to_string(f.size()));
        std::string_view domain = f[0];
        while (!domain.empty() && domain.front() == '.')
            domain.remove_prefix(1);
        if (domain.empty()
            || domain.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-_")
                != std::string_view::npos)
            throw fail("the domain is a host name, not '" + std::string(f[0]) + "'");
        c.domain.resize(domain.size());
        std::transform(domain.begin(), domain.end(), c.domain.begin(),
                       [](unsigned char ch) { return static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch); });
        try {
            c.includeSubdomains = flag(f[1], "include-subdomains");
            if (f[2].empty() || f[2].front() != '/')
                throw Error("the path starts with /, not '" + std::string(f[2]) + "'");
            c.path = std::string(f[2]);
            c.secure = flag(f[3], "secure");
        } catch (const Error& e) {
            throw fail(e.what());
        }
        const std::string_view expiry = f[4];
        if (expiry.empty() || expiry.size() > 18 || expiry.find_first_not_of("0123456789") != std::string_view::npos)
            throw fail("the expiry is a whole number of seconds since 1970 (0 for a session cookie), not '"
                       + std::string(expiry) + "'");
        for (char d : expiry)
            c.expires = c.expires * 10 + (d - '0');
        if (f[5].empty() || f[5].find('=') != std::string_view::npos || !cookieText(f[5]))
            throw fail("the name of a cookie is not empty and has no '=', ';' or control characters");
        if (!cookieText(f[6]))
            throw fail("the value of a cookie has no ';' or control characters");
        c.name = std::string(f[5]);
        c.value = std::string(f[6]);
        // What the browser would refuse without a word, refused here with the line.
        if (c.name.size() + c.value.size() > kLongestCookie)
            throw fail("a cookie's name and value are " + std::to_string(kLongestCookie)
                       + " bytes at most, as a browser keeps them");
        if (c.name.rfind("__Secure-", 0) == 0 && !c.secure)
            throw fail("a cookie whose name starts with __Secure- is secure (TRUE)");
        if (c.name.rfind("__Host-", 0) == 0 && (!c.secure || c.includeSubdomains || c.path != "/"))
            throw fail("a cookie whose name starts with __Host- is secure, for its host alone (FALSE) and for /");
        if (c.expires != 0 && c.expires <= now)
            continue;
        cookies.push_back(std::move(c));
    }
    return cookies;
}

std::vector<Cookie> readCookieFile(const std::string& path, std::int64_t now)
{
    std::string text;
    int errnum = 0;
    if (!readWholeFile(path, text, errnum))
        throw Error("cannot read the cookie file " + path + ": " + std::strerror(errnum));
    return parseCookieText(text, path, now);
}

} // namespace lt
