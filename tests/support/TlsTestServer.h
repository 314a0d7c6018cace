#pragma once
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lt::test {

// An https front of a test server on 127.0.0.1: it speaks TLS with a
// self-signed certificate for 127.0.0.1, made as it starts, and passes what
// it decrypts on to the plain server at backendPort. No browser trusts the
// certificate.
class TlsTestServer {
public:
    explicit TlsTestServer(int backendPort);
    ~TlsTestServer();
    TlsTestServer(const TlsTestServer&) = delete;
    TlsTestServer& operator=(const TlsTestServer&) = delete;

    // "https://127.0.0.1:<port>" followed by path.
    std::string url(const std::string& path) const;
    // Connections whose TLS handshake was completed.
    int handshakes() const { return handshakes_; }

private:
    void acceptLoop();
    void relay(int client);

    int backendPort_;
    int listenFd_ = -1;
    int port_ = 0;
    void* context_ = nullptr; // SSL_CTX
    std::atomic<bool> stopping_{false};
    std::atomic<int> handshakes_{0};
    std::mutex mutex_;
    std::thread acceptThread_;
    std::vector<std::thread> workers_;
};

} // namespace lt::test
