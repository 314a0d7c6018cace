#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lt {

// The user name and password for a proxy that asks for them (HTTP 407).
struct ProxyLogin {
    std::string host; // lower case, IPv6 without brackets
    std::string user;
    std::string password;
};

// Where the engine sends the requests of its pages.
struct ProxyChoice {
    enum class Kind {
        System,  // whatever the engine finds by itself
        Direct,  // no proxy at all
        Servers, // through the proxies of rules, except what bypass names
    };
    Kind kind = Kind::System;
    // The engine's proxy rules: "URI" for every request, or "http=URI;https=URI".
    std::string rules;
    // The engine's bypass rules, separated by commas.
    std::string bypass;
    std::vector<ProxyLogin> logins;
};

// The login for the proxy host the engine names; nullptr when none is known.
const ProxyLogin* proxyLoginFor(const std::vector<ProxyLogin>& logins, const std::string& host);

// One proxy, as curl -x takes it: [SCHEME://][USER[:PASSWORD]@]HOST[:PORT][/]
// with SCHEME http (the default), https, socks4, socks4a, socks5 or socks5h
// and PORT 1080 by default (443 for https). Every request goes to it.
// Raises Error, its message starting with what, when url is none.
ProxyChoice proxyFromUrl(const std::string& url, const std::string& what = "--proxy");

// Reads an environment variable; nothing when it is not set.
using EnvironmentReader = std::function<std::optional<std::string>(const char* name)>;
EnvironmentReader processEnvironment();

// The proxy variables as curl reads them: http_proxy (never HTTP_PROXY),
// https_proxy or HTTPS_PROXY, all_proxy or ALL_PROXY for a scheme without
// its own, and no_proxy or NO_PROXY for the hosts that go direct, the lower
// case one first; an empty one counts as unset. System when none names a
// proxy. Raises Error naming the variable that holds no proxy address.
ProxyChoice proxyFromEnvironment(const EnvironmentReader& variable);

// The engine's switches for the choice: --proxy-server and
// --proxy-bypass-list, --no-proxy-server for Direct, none for System.
std::vector<std::string> proxySwitches(const ProxyChoice& choice);

} // namespace lt
