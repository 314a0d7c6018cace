#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace lt {

// Why a page's own load failed, as the engine reports it.
struct LoadFailure {
    enum class Kind {
        HttpStatus,  // the server answered with a status of 400 or more
        Network,     // no answer: refused, reset, host not found, …
        Certificate, // the site's certificate is not trusted
    };
    Kind kind = Kind::Network;
    // The HTTP status, or the engine's network error number (negative).
    int code = 0;
    // For the user: "HTTP 404", "connection refused", "certificate not trusted".
    std::string words;
    // Worth trying again: no connection, a reset or timed-out one, HTTP 408,
    // 429 or 5xx.
    bool transient = false;
    // The status's document is shown (and has links of its own).
    bool hasDocument() const { return kind == Kind::HttpStatus; }
};

// engineText: what the engine says of an error this table does not know
// ("net::ERR_…").
LoadFailure httpStatusFailure(int status);
LoadFailure networkFailure(int netError, std::string_view engineText);
LoadFailure certificateFailure(int netError);

// Seconds a Retry-After value asks for: a number of seconds, or an HTTP
// date (IMF-fixdate, as servers send it) compared with now. Nothing when it
// reads as neither.
std::optional<std::int64_t> retryAfterSeconds(std::string_view value, std::time_t now);

// When to load a failed page again.
class RetryPolicy {
public:
    // The longest a Retry-After is waited for; a server that asks for more
    // is not tried again in this run.
    static constexpr std::int64_t kMaxRetryAfterSeconds = 120;
    static constexpr int kDefaultRetries = 2;

    explicit RetryPolicy(int retries = kDefaultRetries) : retries_(retries) {}
    int retries() const { return retries_; }

    // Whether the page loads again after its attempt-th failure (1: its
    // first load failed).
    bool triesAgain(const LoadFailure& failure, int attempt) const { return failure.transient && attempt <= retries_; }
    // The pause before the next load: 1, 2, 4 … seconds, at most 30; a
    // Retry-After that asks for longer (within the bound) is waited for.
    std::int64_t pauseMs(int attempt, std::optional<std::int64_t> retryAfter) const;
    // A Retry-After the run does not wait for.
    static bool tooLong(std::optional<std::int64_t> retryAfter)
    {
        return retryAfter && *retryAfter > kMaxRetryAfterSeconds;
    }

private:
    int retries_;
};

} // namespace lt
