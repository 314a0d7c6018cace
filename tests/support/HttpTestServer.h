#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lt::test {

// A small HTTP/1.1 server on 127.0.0.1 for end-to-end tests: the port is
// chosen by the system, every connection runs on a thread of its own, every
// response closes its connection, and the destructor stops everything.
//
// It is a forward proxy too: a request for an absolute address
// ("GET http://forum.example/board") is answered by the route of that
// address, and a CONNECT is counted (by its "host:port") and refused. With
// acceptSocks5() it is a SOCKS 5 proxy that answers what comes through it
// itself.
class HttpTestServer {
public:
    struct Request {
        std::string method;
        std::string target;
        std::vector<std::pair<std::string, std::string>> headers;
        // The value of a header (its name in any case); empty when missing.
        std::string header(const std::string& name) const;
    };

    struct Response {
        int status = 200;
        std::string contentType = "text/html; charset=utf-8";
        std::string body;
        std::vector<std::pair<std::string, std::string>> headers;
        // Sends the head and the body, then keeps the connection open until
        // the server stops: the document never finishes loading.
        bool neverEnds = false;
        // Takes the request and sends nothing at all until the server stops.
        bool neverAnswers = false;
        // Held this long before anything is sent, as a distant or busy site
        // answers; a stopping server sends at once.
        int delayMs = 0;
    };

    HttpTestServer();
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by path.
    std::string url(const std::string& path) const;

    void serve(const std::string& path, Response response);
    // The first GET of path gets the first response, the next the second,
    // and so on; the last stays. A HEAD gets what the GET before it got.
    void serveInTurn(const std::string& path, std::vector<Response> responses);
    void serveHtml(const std::string& path, const std::string& html);
    // The response made for each request, from what it carries.
    void serve(const std::string& path, std::function<Response(const Request&)> answer);

    // As a proxy that asks for a login: a request for an absolute address
    // without this Proxy-Authorization ("Basic " and the base64 of
    // "user:password") is answered 407.
    void requireProxyAuthorization(const std::string& value);
    // Every connection starts with a SOCKS 5 handshake (no login), counted
    // by the "host:port" it asks for.
    void acceptSocks5();
    // Closes the listening socket: later connections are refused.
    void stopListening();
    // Ends everything: open connections are closed and threads joined.
    void stop();

    // Requests received for a path (query included), so far.
    int requestCount(const std::string& path) const;
    // When they came, GET and HEAD alike.
    std::vector<std::chrono::steady_clock::time_point> requestTimes(const std::string& path) const;
    // The most requests answered at once so far (from their arrival to the
    // end of their response).
    int mostAtOnce() const;

private:
    void acceptLoop();
    void handle(int fd);
    // Reads n bytes; false when the peer or the server stops first.
    bool receive(int fd, char* buf, std::size_t n);
    bool socksHandshake(int fd);

    int listenFd_ = -1;
    int wakePipe_[2] = {-1, -1};
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    std::map<std::string, std::function<Response(const Request&)>> routes_;
    std::string proxyAuthorization_;
    bool socks5_ = false;
    std::map<std::string, int> counts_;
    std::map<std::string, std::vector<Response>> turns_;
    std::map<std::string, std::size_t> turnOf_;
    std::map<std::string, std::vector<std::chrono::steady_clock::time_point>> times_;
    int atOnce_ = 0;
    int mostAtOnce_ = 0;
    std::thread acceptThread_;
    std::vector<std::thread> workers_;
};

} // namespace lt::test
