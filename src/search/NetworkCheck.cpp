#include "search/NetworkCheck.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lt {

namespace {
std::string dotted(const sockaddr_in* sa)
{
    char buf[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &sa->sin_addr, buf, sizeof buf);
    return buf;
}

std::optional<std::string> systemHostName()
{
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0)
        return std::nullopt;
    return std::string(buf);
}

std::optional<std::vector<std::string>> systemResolve(const std::string& name)
{
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &list) != 0)
        return std::nullopt;
    std::vector<std::string> out;
    for (addrinfo* a = list; a; a = a->ai_next) {
        if (a->ai_family == AF_INET)
            out.push_back(dotted(reinterpret_cast<const sockaddr_in*>(a->ai_addr)));
    }
    ::freeaddrinfo(list);
    return out;
}

std::vector<std::string> systemInterfaceAddresses()
{
    std::vector<std::string> out;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return out;
    for (ifaddrs* a = list; a; a = a->ifa_next) {
        if (a->ifa_addr && a->ifa_addr->sa_family == AF_INET && (a->ifa_flags & IFF_UP))
            out.push_back(dotted(reinterpret_cast<const sockaddr_in*>(a->ifa_addr)));
    }
    ::freeifaddrs(list);
    return out;
}

bool isLoopback(const std::string& address)
{
    return address.rfind("127.", 0) == 0;
}
} // namespace

NetworkFacts NetworkFacts::system()
{
    return {systemHostName, systemResolve, systemInterfaceAddresses};
}

std::string networkPresenceCheck(const NetworkFacts& facts)
{
    std::optional<std::string> name = facts.hostName();
    if (!name)
        return "";
    std::optional<std::vector<std::string>> addresses = facts.resolve(*name);
    if (!addresses)
        return "";
    std::string result;
    for (const std::string& a : *addresses)
        result = a;
    if (result == kLoopbackAddress && facts.interfaceAddresses) {
        for (const std::string& a : facts.interfaceAddresses())
            if (!isLoopback(a))
                return a;
    }
    return result;
}

} // namespace lt
