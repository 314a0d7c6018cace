#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lt {

// One line of a cookies.txt file.
struct Cookie {
    std::string domain; // lower case, without a leading dot
    bool includeSubdomains = false;
    std::string path;
    bool secure = false;
    bool httpOnly = false;
    std::int64_t expires = 0; // seconds since 1970; 0: a session cookie
    std::string name;
    std::string value;
    int line = 0;     // in the file
    std::string text; // the line as the file has it
};

// The cookies of a file in the Netscape format that curl -c, wget
// --save-cookies and browsers' exports write: per line domain,
// include-subdomains (TRUE/FALSE), path, secure (TRUE/FALSE), expiry (0 for
// a session cookie), name and value, separated by TABs; a value may be left
// out. "#HttpOnly_" before the domain marks an httpOnly cookie; other lines
// starting with "#", and blank lines, are skipped, and so are cookies expired
// at now. Raises Error "FILE line N: why: LINE" for a line that is none.
std::vector<Cookie> parseCookieText(std::string_view text, const std::string& fileName, std::int64_t now);

// The same from the file at path; an Error also when it cannot be read.
std::vector<Cookie> readCookieFile(const std::string& path, std::int64_t now);

// "FILE line N: why: LINE", as the errors above say it.
std::string cookieLineMessage(const std::string& fileName, const Cookie& cookie, const std::string& why);

} // namespace lt
