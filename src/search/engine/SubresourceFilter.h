#pragma once
#include <QWebEngineUrlRequestInterceptor>
#include <atomic>
#include <mutex>
#include <string>
#include <unordered_set>

namespace lt {

// What the pages of a long list do not fetch: images, fonts, media and
// favicons (unless asked for), which nobody sees and no link comes from; and
// data requests to addresses known to stay open (long polls), which would
// hold the server's connections that other pages need. Blocked requests
// fail only themselves, never the page's own load.
class SubresourceFilter : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    explicit SubresourceFilter(bool images, QObject* parent = nullptr)
        : QWebEngineUrlRequestInterceptor(parent), images_(images)
    {
    }

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
    // Addresses (scheme, host, port and path) whose data requests stay open.
    void setLongOpen(std::unordered_set<std::string> addresses);

    // Requests blocked so far (for tests and benchmarks).
    int blocked() const { return blocked_; }

private:
    const bool images_;
    std::atomic<int> blocked_{0};
    // The engine may ask from a thread of its own.
    std::mutex mutex_;
    std::unordered_set<std::string> longOpen_;
};

} // namespace lt
