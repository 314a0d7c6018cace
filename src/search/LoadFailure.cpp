#include "search/LoadFailure.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace lt {

namespace {

struct NetError {
    int code;
    const char* words;
    bool transient;
};

// The engine's network error numbers a user meets (Chromium's net_error_list).
constexpr NetError kNetErrors[] = {
    {-7, "timed out", true},
    {-15, "connection lost", true},
    {-21, "network changed", true},
    {-100, "connection closed", true},
    {-101, "connection reset", true},
    {-102, "connection refused", true},
    {-103, "connection aborted", true},
    {-104, "connection failed", true},
    {-105, "host not found", false},
    {-106, "no network", true},
    {-109, "address unreachable", true},
    {-118, "connection timed out", true},
    {-130, "proxy connection failed", true},
    {-137, "host name lookup failed", true},
    {-300, "invalid address", false},
    {-301, "address of an unknown scheme", false},
    {-310, "too many redirects", false},
    {-320, "invalid response", true},
    {-324, "empty response", true},
    {-352, "connection closed without a response", true},
};

const char* statusWords(int status)
{
    switch (status) {
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 408: return "Request Timeout";
    case 410: return "Gone";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    default: return nullptr;
    }
}

bool allDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// "Sun, 06 Nov 1994 08:49:37 GMT" as seconds since the epoch.
std::optional<std::time_t> httpDate(std::string_view s)
{
    static constexpr std::array<const char*, 12> months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (s.size() != 29 || s[3] != ',' || s.substr(25) != " GMT")
        return std::nullopt;
    auto number = [&](std::size_t at, std::size_t n) -> std::optional<int> {
        const std::string_view digits = s.substr(at, n);
        if (!allDigits(digits))
            return std::nullopt;
        int v = 0;
        for (char c : digits)
            v = v * 10 + (c - '0');
        return v;
    };
    const auto day = number(5, 2), year = number(12, 4), hour = number(17, 2), minute = number(20, 2),
               second = number(23, 2);
    const auto month = std::find(months.begin(), months.end(), s.substr(8, 3));
    if (!day || !year || !hour || !minute || !second || month == months.end())
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = *year - 1900;
    tm.tm_mon = static_cast<int>(month - months.begin());
    tm.tm_mday = *day;
    tm.tm_hour = *hour;
    tm.tm_min = *minute;
    tm.tm_sec = *second;
    return ::timegm(&tm);
}

} // namespace

LoadFailure httpStatusFailure(int status)
{
    LoadFailure f;
    f.kind = LoadFailure::Kind::HttpStatus;
    f.code = status;
    f.words = "HTTP " + std::to_string(status);
    if (const char* w = statusWords(status))
        f.words += std::string(" ") + w;
    f.transient = status == 408 || status == 429 || (status >= 500 && status <= 599);
    return f;
}

LoadFailure networkFailure(int netError, std::string_view engineText)
{
    LoadFailure f;
    f.kind = LoadFailure::Kind::Network;
    f.code = netError;
    for (const NetError& e : kNetErrors) {
        if (e.code == netError) {
            f.words = e.words;
            f.transient = e.transient;
            return f;
        }
    }
    f.words = "network error " + std::to_string(netError);
    if (!engineText.empty())
        f.words += " (" + std::string(engineText) + ")";
    return f;
}

LoadFailure certificateFailure(int netError)
{
    LoadFailure f;
    f.kind = LoadFailure::Kind::Certificate;
    f.code = netError;
    f.words = "certificate not trusted";
    return f;
}

std::optional<std::int64_t> retryAfterSeconds(std::string_view value, std::time_t now)
{
    value = trimmed(value);
    if (allDigits(value)) {
        if (value.size() > 9) // longer than any run waits anyway
            return std::int64_t{999999999};
        return std::stoll(std::string(value));
    }
    if (const auto when = httpDate(value))
        return std::max<std::int64_t>(0, static_cast<std::int64_t>(*when - now));
    return std::nullopt;
}

std::int64_t RetryPolicy::pauseMs(int attempt, std::optional<std::int64_t> retryAfter) const
{
    const int doublings = std::clamp(attempt - 1, 0, 5);
    const std::int64_t own = std::min<std::int64_t>(std::int64_t{1000} << doublings, 30000);
    if (retryAfter && !tooLong(retryAfter))
        return std::max(own, *retryAfter * 1000);
    return own;
}

} // namespace lt
