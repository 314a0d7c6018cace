#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lt {

// Where the network presence check gets its facts; replaceable for tests.
struct NetworkFacts {
    // This machine's host name; nothing when it cannot be read.
    std::function<std::optional<std::string>()> hostName;
    // IPv4 addresses of a name in dotted-decimal form, in resolver order;
    // nothing when the name cannot be resolved.
    std::function<std::optional<std::vector<std::string>>(const std::string&)> resolve;
    // IPv4 addresses of the interfaces that are up.
    std::function<std::vector<std::string>()> interfaceAddresses;

    static NetworkFacts system();
};

// The last address the host name resolves to; "" when the name cannot be read
// or resolved. When that is exactly "127.0.0.1" — as it is through /etc/hosts
// on many connected Linux machines — an address of an interface that is up
// and outside 127.0.0.0/8 is returned instead, so only a machine with
// loopback alone reads as not connected.
std::string networkPresenceCheck(const NetworkFacts& facts = NetworkFacts::system());

inline constexpr const char* kLoopbackAddress = "127.0.0.1";

} // namespace lt
