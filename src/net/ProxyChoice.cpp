#include "net/ProxyChoice.h"

#include "base/Error.h"

#include <algorithm>
#include <cstdlib>

namespace lt {

namespace {

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

bool isDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return c >= '0' && c <= '9'; });
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Userinfo is percent-encoded, as in any URL: "p%40ss" is "p@ss".
std::string percentDecoded(const std::string& text, const std::string& what)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const int high = i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(text[i + 2]) : -1;
        if (low < 0)
            throw Error(what + ": '%' in a user name or password must be followed by two hexadecimal digits");
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

struct ProxyServer {
    std::string scheme; // as the engine names it
    std::string host;
    int port = 0;
    std::string user;
    std::string password;
    bool hasLogin = false;

    std::string uri() const
    {
        const bool ipv6 = host.find(':') != std::string::npos;
        return scheme + "://" + (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
    }
};

ProxyServer parseServer(const std::string& url, const std::string& what)
{
    const std::string example = " (like http://HOST:PORT or socks5://HOST:PORT)";
    if (url.find_first_of(" \t\r\n") != std::string::npos)
        throw Error(what + ": a proxy address has no blanks: '" + url + "'");
    ProxyServer server;
    std::string rest = url;
    std::string scheme = "http";
    if (const std::size_t at = rest.find("://"); at != std::string::npos) {
        scheme = lowerCase(rest.substr(0, at));
        rest = rest.substr(at + 3);
    }
    // curl's socks4a and socks5h let the proxy find the host's address; the
    // engine's SOCKS 5 always does, and its SOCKS 4 never can.
    if (scheme == "http" || scheme == "https")
        server.scheme = scheme;
    else if (scheme == "socks4" || scheme == "socks4a")
        server.scheme = "socks4";
    else if (scheme == "socks5" || scheme == "socks5h")
        server.scheme = "socks5";
    else
        throw Error(what + ": '" + url + "' is not a proxy address: the scheme is http, https, socks4, socks4a, "
                    "socks5 or socks5h, not '" + scheme + "'");
    if (!rest.empty() && rest.back() == '/')
        rest.pop_back();
    if (rest.find_first_of("/?#") != std::string::npos)
        throw Error(what + ": '" + url + "' is not a proxy address: it has no path" + example);

    if (const std::size_t at = rest.rfind('@'); at != std::string::npos) {
        const std::string userinfo = rest.substr(0, at);
        rest = rest.substr(at + 1);
        const std::size_t colon = userinfo.find(':');
        server.user = percentDecoded(userinfo.substr(0, colon), what);
        if (colon != std::string::npos)
            server.password = percentDecoded(userinfo.substr(colon + 1), what);
        server.hasLogin = true;
        if (server.user.empty())
            throw Error(what + ": '" + url + "' has a password but no user name");
        if (server.scheme == "socks4" || server.scheme == "socks5")
            throw Error(what + ": the browser engine cannot log in to a SOCKS proxy; give an HTTP proxy for one "
                        "that asks for a user name and password");
    }

    std::string port;
    if (!rest.empty() && rest[0] == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string::npos)
            throw Error(what + ": '" + url + "' is not a proxy address: '[' without ']'");
        server.host = lowerCase(rest.substr(1, close - 1));
        const std::string after = rest.substr(close + 1);
        if (!after.empty() && after[0] != ':')
            throw Error(what + ": '" + url + "' is not a proxy address" + example);
        if (!after.empty())
            port = after.substr(1);
        if (server.host.empty() || server.host.find_first_not_of("0123456789abcdef:.") != std::string::npos)
            throw Error(what + ": '" + url + "' is not a proxy address: no IPv6 address between [ and ]");
    } else {
        const std::size_t colon = rest.find(':');
        server.host = lowerCase(rest.substr(0, colon));
        if (colon != std::string::npos)
            port = rest.substr(colon + 1);
        const bool nameLike = !server.host.empty()
            && server.host.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789.-_") == std::string::npos
            && server.host.front() != '.' && server.host.front() != '-';
        if (!nameLike)
            throw Error(what + ": '" + url + "' is not a proxy address: no host name" + example);
    }
    if (port.empty()) {
        // curl's defaults.
        server.port = server.scheme == "https" ? 443 : 1080;
    } else {
        const int n = isDigits(port) && port.size() <= 5 ? std::atoi(port.c_str()) : 0;
        if (n < 1 || n > 65535)
            throw Error(what + ": '" + url + "' is not a proxy address: the port is a number from 1 to 65535, not '"
                        + port + "'");
        server.port = n;
    }
    return server;
}

void addLogin(ProxyChoice& choice, const ProxyServer& server)
{
    if (server.hasLogin && !proxyLoginFor(choice.logins, server.host))
        choice.logins.push_back(ProxyLogin{server.host, server.user, server.password});
}

// no_proxy as curl reads it (a name stands for itself and every name under
// it, a leading dot changes nothing) in the engine's bypass rules (a name
// stands for itself alone).
std::string bypassRules(const std::string& noProxy, bool& everything)
{
    std::string rules;
    const auto add = [&rules](const std::string& rule) { rules += (rules.empty() ? "" : ",") + rule; };
    std::size_t at = 0;
    while (at < noProxy.size()) {
        const std::size_t end = std::min(noProxy.find_first_of(", \t", at), noProxy.size());
        std::string entry = lowerCase(noProxy.substr(at, end - at));
        at = end + 1;
        if (entry == "*") {
            everything = true;
            return {};
        }
        if (!entry.empty() && entry.front() == '[') {
            const std::size_t close = entry.find(']');
            entry = entry.substr(1, close == std::string::npos ? std::string::npos : close - 1)
                + (close == std::string::npos ? "" : entry.substr(close + 1));
        }
        if (std::count(entry.begin(), entry.end(), ':') > 1) {
            // IPv6, with or without a prefix length.
            add(entry.find('/') != std::string::npos ? entry : "[" + entry + "]");
            continue;
        }
        while (!entry.empty() && entry.front() == '.')
            entry.erase(0, 1);
        while (!entry.empty() && entry.back() == '.')
            entry.pop_back();
        if (entry.empty())
            continue;
        if (entry.find_first_not_of("0123456789./") == std::string::npos) {
            add(entry); // an IPv4 address or range
            continue;
        }
        add(entry);
        add("*." + entry);
    }
    return rules;
}

} // namespace

const ProxyLogin* proxyLoginFor(const std::vector<ProxyLogin>& logins, const std::string& host)
{
    std::string name = lowerCase(host);
    if (name.size() > 2 && name.front() == '[' && name.back() == ']')
        name = name.substr(1, name.size() - 2);
    for (const ProxyLogin& login : logins)
        if (login.host == name)
            return &login;
    return nullptr;
}

ProxyChoice proxyFromUrl(const std::string& url, const std::string& what)
{
    if (url.empty())
        throw Error(what + " needs a proxy address (like http://HOST:PORT or socks5://HOST:PORT)");
    const ProxyServer server = parseServer(url, what);
    ProxyChoice choice;
    choice.kind = ProxyChoice::Kind::Servers;
    choice.rules = server.uri();
    addLogin(choice, server);
    return choice;
}

EnvironmentReader processEnvironment()
{
    return [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (!value)
            return std::nullopt;
        return std::string(value);
    };
}

ProxyChoice proxyFromEnvironment(const EnvironmentReader& variable)
{
    struct Found {
        std::string name;
        std::string value;
    };
    const auto first = [&variable](std::initializer_list<const char*> names) -> std::optional<Found> {
        for (const char* name : names)
            if (std::optional<std::string> value = variable(name); value && !value->empty())
                return Found{name, *value};
        return std::nullopt;
    };
    // curl never reads HTTP_PROXY: in a CGI program it would be the
    // request's "Proxy:" header.
    const std::optional<Found> all = first({"all_proxy", "ALL_PROXY"});
    std::optional<Found> http = first({"http_proxy"});
    std::optional<Found> https = first({"https_proxy", "HTTPS_PROXY"});
    if (!http)
        http = all;
    if (!https)
        https = all;
    if (!http && !https)
        return {};

    ProxyChoice choice;
    bool everything = false;
    if (const std::optional<Found> noProxy = first({"no_proxy", "NO_PROXY"}))
        choice.bypass = bypassRules(noProxy->value, everything);
    if (everything) {
        // As curl: the proxy variables are then not even read.
        choice.kind = ProxyChoice::Kind::Direct;
        return choice;
    }
    std::optional<ProxyServer> forHttp;
    std::optional<ProxyServer> forHttps;
    if (http)
        forHttp = parseServer(http->value, http->name);
    if (https)
        forHttps = parseServer(https->value, https->name);
    choice.kind = ProxyChoice::Kind::Servers;
    if (forHttp && forHttps && forHttp->uri() == forHttps->uri()) {
        choice.rules = forHttp->uri();
    } else {
        if (forHttp)
            choice.rules = "http=" + forHttp->uri();
        if (forHttps)
            choice.rules += (choice.rules.empty() ? "https=" : ";https=") + forHttps->uri();
    }
    for (const std::optional<ProxyServer>& server : {forHttp, forHttps})
        if (server)
            addLogin(choice, *server);
    return choice;
}

std::vector<std::string> proxySwitches(const ProxyChoice& choice)
{
    switch (choice.kind) {
    case ProxyChoice::Kind::System:
        return {};
    case ProxyChoice::Kind::Direct:
        return {"--no-proxy-server"};
    case ProxyChoice::Kind::Servers:
        break;
    }
    std::vector<std::string> switches{"--proxy-server=" + choice.rules};
    if (!choice.bypass.empty())
        switches.push_back("--proxy-bypass-list=" + choice.bypass);
    return switches;
}

} // namespace lt
