#include "HttpTestServer.h"

#include "LoopbackSocket.h"

#include <algorithm>
#include <arpa/inet.h>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace lt::test {

namespace {
void sendAll(int fd, const std::string& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

const char* reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    case 407: return "Proxy Authentication Required";
    default: return "Status";
    }
}
} // namespace

HttpTestServer::HttpTestServer()
{
    listenFd_ = listenOnLoopback(port_);
    if (::pipe(wakePipe_) != 0)
        throw std::runtime_error("test server cannot make its pipe");
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

HttpTestServer::~HttpTestServer()
{
    stop();
}

std::string HttpTestServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string HttpTestServer::Request::header(const std::string& name) const
{
    const auto same = [](const std::string& a, const std::string& b) {
        return a.size() == b.size()
            && std::equal(a.begin(), a.end(), b.begin(),
                          [](char x, char y) { return std::tolower(x) == std::tolower(y); });
    };
    for (const auto& [n, value] : headers)
        if (same(n, name))
            return value;
    return {};
}

void HttpTestServer::serve(const std::string& path, Response response)
{
    serve(path, [response = std::move(response)](const Request&) { return response; });
}

void HttpTestServer::serve(const std::string& path, std::function<Response(const Request&)> answer)
{
    std::lock_guard lock(mutex_);
    routes_[path] = std::move(answer);
}

void HttpTestServer::requireProxyAuthorization(const std::string& value)
{
    std::lock_guard lock(mutex_);
    proxyAuthorization_ = value;
}

void HttpTestServer::acceptSocks5()
{
    std::lock_guard lock(mutex_);
    socks5_ = true;
}

void HttpTestServer::serveInTurn(const std::string& path, std::vector<Response> responses)
{
    std::lock_guard lock(mutex_);
    turns_[path] = std::move(responses);
    turnOf_[path] = 0;
}

std::vector<std::chrono::steady_clock::time_point> HttpTestServer::requestTimes(const std::string& path) const
{
    std::lock_guard lock(mutex_);
    auto it = times_.find(path);
    return it == times_.end() ? std::vector<std::chrono::steady_clock::time_point>{} : it->second;
}

int HttpTestServer::mostAtOnce() const
{
    std::lock_guard lock(mutex_);
    return mostAtOnce_;
}

void HttpTestServer::serveHtml(const std::string& path, const std::string& html)
{
    Response r;
    r.body = html;
    serve(path, std::move(r));
}

int HttpTestServer::requestCount(const std::string& path) const
{
    std::lock_guard lock(mutex_);
    auto it = counts_.find(path);
    return it == counts_.end() ? 0 : it->second;
}

void HttpTestServer::stopListening()
{
    if (acceptThread_.joinable()) {
        [[maybe_unused]] ssize_t n = ::write(wakePipe_[1], "x", 1);
        acceptThread_.join();
    }
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        listenFd_ = -1;
    }
}

void HttpTestServer::stop()
{
    stopListening();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(mutex_);
        workers.swap(workers_);
    }
    for (auto& t : workers)
        t.join();
    for (int& fd : wakePipe_) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void HttpTestServer::acceptLoop()
{
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents)
            return;
        if (fds[0].revents & POLLIN) {
            int fd = ::accept(listenFd_, nullptr, nullptr);
            if (fd < 0)
                continue;
            std::lock_guard lock(mutex_);
            workers_.emplace_back([this, fd] {
                handle(fd);
                ::close(fd);
            });
        }
    }
}

bool HttpTestServer::receive(int fd, char* buf, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0) {
            if (stopping_)
                return false;
            continue;
        }
        const ssize_t got = ::recv(fd, buf + done, n - done, 0);
        if (got <= 0)
            return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool HttpTestServer::socksHandshake(int fd)
{
    // RFC 1928: greeting, "no authentication", then CONNECT to a name or an
    // address, answered as made.
    unsigned char head[2];
    if (!receive(fd, reinterpret_cast<char*>(head), 2) || head[0] != 5)
        return false;
    std::string methods(head[1], '\0');
    if (!receive(fd, methods.data(), methods.size()) || methods.find('\0') == std::string::npos)
        return false;
    sendAll(fd, std::string("\x05\x00", 2));
    unsigned char connect[4];
    if (!receive(fd, reinterpret_cast<char*>(connect), 4) || connect[0] != 5 || connect[1] != 1)
        return false;
    std::string host;
    if (connect[3] == 3) {
        unsigned char length = 0;
        if (!receive(fd, reinterpret_cast<char*>(&length), 1))
            return false;
        host.resize(length);
        if (!receive(fd, host.data(), length))
            return false;
    } else if (connect[3] == 1) {
        unsigned char a[4];
        if (!receive(fd, reinterpret_cast<char*>(a), 4))
            return false;
        for (int i = 0; i < 4; ++i)
            host += (i ? "." : "") + std::to_string(a[i]);
    } else {
        return false;
    }
    unsigned char port[2];
    if (!receive(fd, reinterpret_cast<char*>(port), 2))
        return false;
    {
        std::lock_guard lock(mutex_);
        ++counts_[host + ":" + std::to_string(port[0] * 256 + port[1])];
    }
    sendAll(fd, std::string("\x05\x00\x00\x01\x00\x00\x00\x00\x00\x00", 10));
    return true;
}

void HttpTestServer::handle(int fd)
{
    bool socks = false;
    {
        std::lock_guard lock(mutex_);
        socks = socks5_;
    }
    if (socks && !socksHandshake(fd))
        return;
    // Read the request head; bodies are not expected.
    std::string request;
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0) {
            if (stopping_)
                return;
            continue;
        }
        char buf[4096];
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            return;
        request.append(buf, static_cast<std::size_t>(n));
    }
    auto sp1 = request.find(' ');
    auto sp2 = request.find(' ', sp1 + 1);
    if (sp1 == std::string::npos || sp2 == std::string::npos)
        return;
    Request received;
    received.method = request.substr(0, sp1);
    received.target = request.substr(sp1 + 1, sp2 - sp1 - 1);
    const std::string& target = received.target;
    const bool head = received.method == "HEAD";
    std::string path = target.substr(0, target.find('?'));
    for (std::size_t at = request.find("\r\n"); at != std::string::npos && at + 2 < request.size();) {
        const std::size_t end = request.find("\r\n", at + 2);
        const std::string line = request.substr(at + 2, end - at - 2);
        at = end;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const std::size_t value = line.find_first_not_of(' ', colon + 1);
        received.headers.emplace_back(line.substr(0, colon), value == std::string::npos ? "" : line.substr(value));
    }
    // A request for an absolute address, or a tunnel: one for a proxy.
    const bool proxied = received.method == "CONNECT" || target.rfind("http", 0) == 0;

    Response r;
    bool found = false;
    std::function<Response(const Request&)> answer;
    std::string authorization;
    bool inTurn = false;
    {
        std::lock_guard lock(mutex_);
        ++counts_[target];
        times_[target].push_back(std::chrono::steady_clock::now());
        mostAtOnce_ = std::max(mostAtOnce_, ++atOnce_);
        auto turn = turns_.find(target);
        auto it = routes_.find(target);
        if (it == routes_.end())
            it = routes_.find(path);
        if (turn != turns_.end() && !turn->second.empty()) {
            std::size_t& next = turnOf_[target];
            const std::size_t i = head ? (next > 0 ? next - 1 : 0) : next;
            r = turn->second[std::min(i, turn->second.size() - 1)];
            if (!head)
                ++next;
            inTurn = true;
        } else if (it != routes_.end()) {
            answer = it->second;
        }
        authorization = proxyAuthorization_;
    }
    if (proxied && !authorization.empty() && received.header("Proxy-Authorization") != authorization) {
        r.status = 407;
        r.contentType = "text/plain";
        r.body = "who are you?";
        r.headers.emplace_back("Proxy-Authenticate", "Basic realm=\"test proxy\"");
        found = true;
    } else if (received.method == "CONNECT") {
        r.status = 403;
        r.contentType = "text/plain";
        found = true;
    } else if (inTurn) {
        found = true;
    } else if (answer) {
        r = answer(received);
        found = true;
    }
    // Counts the request as answered when this returns.
    struct Answered {
        HttpTestServer& server;
        ~Answered()
        {
            std::lock_guard lock(server.mutex_);
            --server.atOnce_;
        }
    } answered{*this};
    if (r.neverAnswers) {
        std::unique_lock lock(mutex_);
        stopped_.wait(lock, [this] { return stopping_.load(); });
        return;
    }
    if (!found) {
        r.status = 404;
        r.contentType = "text/plain";
        r.body = "not found";
    }
    if (r.delayMs > 0) {
        std::unique_lock lock(mutex_);
        stopped_.wait_for(lock, std::chrono::milliseconds(r.delayMs), [this] { return stopping_.load(); });
    }
    std::string headers = "HTTP/1.1 " + std::to_string(r.status) + " " + reason(r.status) + "\r\n";
    headers += "Content-Type: " + r.contentType + "\r\n";
    bool hasCacheControl = false;
    for (auto& [name, value] : r.headers) {
        headers += name + ": " + value + "\r\n";
        if (name == "Cache-Control")
            hasCacheControl = true;
    }
    if (!hasCacheControl)
        headers += "Cache-Control: no-store\r\n";
    if (!r.neverEnds)
        headers += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
    headers += "Connection: close\r\n\r\n";
    sendAll(fd, head ? headers : headers + r.body);
    if (r.neverEnds) {
        std::unique_lock lock(mutex_);
        stopped_.wait(lock, [this] { return stopping_.load(); });
        return;
    }
    ::shutdown(fd, SHUT_WR);
    // Let the client read everything before the socket closes.
    for (int i = 0; i < 50; ++i) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0) {
            char buf[512];
            if (::recv(fd, buf, sizeof buf, 0) <= 0)
                break;
        }
    }
}

} // namespace lt::test
