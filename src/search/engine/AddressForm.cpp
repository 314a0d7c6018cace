#include "search/engine/AddressForm.h"

#include "text/TextEncoding.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <string_view>

namespace lt {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isEscape(std::string_view s, std::size_t i)
{
    return i + 2 < s.size() && s[i] == '%' && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0;
}

// Characters a reader could not see, or that would reorder the text around
// them: an address bar keeps them escaped, so no address can pass for another.
bool keptEscaped(char32_t cp)
{
    return (cp >= 0x80 && cp <= 0xA0) || cp == 0xAD || cp == 0x34F || cp == 0x61C || cp == 0x115F || cp == 0x1160
        || cp == 0x1680 || cp == 0x17B4 || cp == 0x17B5 || (cp >= 0x180B && cp <= 0x180E)
        || (cp >= 0x2000 && cp <= 0x200F) || (cp >= 0x2028 && cp <= 0x202F) || (cp >= 0x205F && cp <= 0x206F)
        || cp == 0x2800 || cp == 0x3000 || cp == 0x3164 || (cp >= 0xFE00 && cp <= 0xFE0F) || cp == 0xFEFF
        || cp == 0xFFA0 || (cp >= 0xFFF0 && cp <= 0xFFFF) || (cp >= 0xE0000 && cp <= 0xE0FFF);
}

// Length and code point of the UTF-8 sequence at bytes[b], known to be valid.
std::size_t sequenceAt(const std::string& bytes, std::size_t b, char32_t& cp)
{
    const auto c = static_cast<unsigned char>(bytes[b]);
    const std::size_t len = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    cp = c & (0x7F >> len);
    for (std::size_t k = 1; k < len; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(bytes[b + k]) & 0x3F);
    return len;
}

// One run of escapes ("%E4%B8%AD%20...").
void appendRun(std::string& out, std::string_view run)
{
    std::string bytes;
    bytes.reserve(run.size() / 3);
    for (std::size_t i = 0; i < run.size(); i += 3)
        bytes += static_cast<char>(hexValue(run[i + 1]) * 16 + hexValue(run[i + 2]));
    if (!isValidUtf8(bytes)) {
        out.append(run);
        return;
    }
    for (std::size_t b = 0; b < bytes.size();) {
        if (static_cast<unsigned char>(bytes[b]) < 0x80) {
            out.append(run.substr(b * 3, 3));
            ++b;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = sequenceAt(bytes, b, cp);
        if (keptEscaped(cp))
            out.append(run.substr(b * 3, len * 3));
        else
            out.append(bytes, b, len);
        b += len;
    }
}

void appendDecoded(std::string& out, std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t pct = s.find('%', i);
        if (pct == std::string_view::npos) {
            out.append(s.substr(i));
            return;
        }
        out.append(s.substr(i, pct - i));
        std::size_t end = pct;
        while (isEscape(s, end))
            end += 3;
        if (end == pct) {
            out += '%';
            i = pct + 1;
            continue;
        }
        appendRun(out, s.substr(pct, end - pct));
        i = end;
    }
}

bool holdsAceLabel(std::string_view host)
{
    for (std::size_t i = 0; i + 4 <= host.size(); ++i)
        if ((host[i] == 'x' || host[i] == 'X') && (host[i + 1] == 'n' || host[i + 1] == 'N') && host[i + 2] == '-'
            && host[i + 3] == '-')
            return true;
    return false;
}

// The host in Unicode whatever its top-level domain; as it is when it is not
// valid ACE. The links of a page mostly share a few hosts: the last one is
// remembered.
std::string unicodeHostName(std::string_view ace)
{
    thread_local std::string lastAce, lastUnicode;
    if (ace != lastAce) {
        const QString unicode = QUrl::fromAce(QByteArray(ace.data(), static_cast<qsizetype>(ace.size())),
                                              QUrl::IgnoreIDNWhitelist);
        lastAce = ace;
        lastUnicode = unicode.isEmpty() ? std::string(ace) : unicode.toStdString();
    }
    return lastUnicode;
}

// Where the host stands in "scheme://userinfo@host:port/...": [begin, end);
// empty when the address has no authority.
void locateHost(std::string_view href, std::size_t& begin, std::size_t& end)
{
    begin = end = 0;
    const std::size_t i = schemeLength(href);
    if (i == 0 || href.substr(i, 3) != "://")
        return;
    const std::size_t authority = i + 3;
    std::size_t authorityEnd = href.find_first_of("/?#", authority);
    if (authorityEnd == std::string_view::npos)
        authorityEnd = href.size();
    const std::size_t at = href.substr(authority, authorityEnd - authority).rfind('@');
    begin = at == std::string_view::npos ? authority : authority + at + 1;
    if (begin < authorityEnd && href[begin] == '[') {
        const std::size_t close = href.find(']', begin);
        end = close == std::string_view::npos || close > authorityEnd ? authorityEnd : close + 1;
        return;
    }
    const std::size_t colon = href.find(':', begin);
    end = colon == std::string_view::npos || colon > authorityEnd ? authorityEnd : colon;
}

} // namespace

std::size_t schemeLength(std::string_view address)
{
    auto isAlpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (address.empty() || !isAlpha(address[0]))
        return 0;
    std::size_t i = 1;
    while (i < address.size() && (isAlpha(address[i]) || (address[i] >= '0' && address[i] <= '9')
                                  || address[i] == '+' || address[i] == '-' || address[i] == '.'))
        ++i;
    return i < address.size() && address[i] == ':' ? i : 0;
}

std::string addressBarForm(std::string href)
{
    std::size_t hostBegin = 0, hostEnd = 0;
    locateHost(href, hostBegin, hostEnd);
    const std::string_view all(href);
    const std::string_view host = all.substr(hostBegin, hostEnd - hostBegin);
    const bool aceHost = holdsAceLabel(host);
    if (!aceHost && all.find('%') == std::string_view::npos)
        return href;

    std::string out;
    out.reserve(href.size());
    appendDecoded(out, all.substr(0, hostBegin));
    if (aceHost)
        out.append(unicodeHostName(host));
    else
        out.append(host);
    appendDecoded(out, all.substr(hostEnd));
    return out;
}

} // namespace lt
