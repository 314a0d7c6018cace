#include "net/HttpHeader.h"

#include "base/Error.h"

#include <algorithm>
#include <cstring>

namespace lt {

namespace {

bool isTokenChar(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
        || std::strchr("!#$%&'*+-.^_`|~", c) != nullptr;
}

bool hasControl(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7f; });
}

std::string trimmed(const std::string& text)
{
    const std::size_t from = text.find_first_not_of(" \t");
    if (from == std::string::npos)
        return {};
    return text.substr(from, text.find_last_not_of(" \t") - from + 1);
}

bool sameName(const std::string& a, const char* b)
{
    return a.size() == std::strlen(b) && std::equal(a.begin(), a.end(), b, [](unsigned char x, unsigned char y) {
               return (x | 0x20) == (y | 0x20);
           });
}

} // namespace

HttpHeader parseHttpHeader(const std::string& text)
{
    const std::string quoted = "--header '" + text + "'";
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos)
        throw Error(quoted + " is not a header: give it as 'Name: value'");
    HttpHeader header{text.substr(0, colon), trimmed(text.substr(colon + 1))};
    if (header.name.empty() || !std::all_of(header.name.begin(), header.name.end(), isTokenChar))
        throw Error(quoted + ": a header's name is letters, digits and !#$%&'*+-.^_`|~ without blanks");
    if (header.value.empty())
        throw Error(quoted + " has no value");
    if (hasControl(header.value))
        throw Error(quoted + ": a header's value has no line breaks or other control characters");
    for (const char* own : {"Host", "Content-Length", "Transfer-Encoding", "Connection", "Proxy-Authorization"})
        if (sameName(header.name, own))
            throw Error(quoted + ": the browser writes " + own + " itself");
    if (sameName(header.name, "User-Agent"))
        throw Error(quoted + ": give the User-Agent with --user-agent");
    if (sameName(header.name, "Cookie"))
        throw Error(quoted + ": give cookies with --cookies FILE");
    return header;
}

std::string headerValue(const std::string& option, const std::string& text)
{
    if (trimmed(text).empty())
        throw Error(option + " needs a value");
    if (hasControl(text))
        throw Error(option + " '" + text + "': no line breaks or other control characters");
    return trimmed(text);
}

} // namespace lt
