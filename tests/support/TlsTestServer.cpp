#include "TlsTestServer.h"

#include "LoopbackSocket.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace lt::test {

namespace {

constexpr int kPollMs = 100;

// A context with a fresh key and a certificate of its own for 127.0.0.1.
SSL_CTX* selfSignedContext()
{
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* cert = X509_new();
    if (!key || !cert)
        throw std::runtime_error("TLS test server cannot make its key");
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 7 * 24 * 3600);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1,
                               -1, 0);
    X509_set_issuer_name(cert, name);
    X509V3_CTX v3;
    X509V3_set_ctx_nodb(&v3);
    X509V3_set_ctx(&v3, cert, cert, nullptr, nullptr, 0);
    if (X509_EXTENSION* san = X509V3_EXT_conf_nid(nullptr, &v3, NID_subject_alt_name, "IP:127.0.0.1")) {
        X509_add_ext(cert, san, -1);
        X509_EXTENSION_free(san);
    }
    X509_sign(cert, key, EVP_sha256());
    SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
    if (!ctx || SSL_CTX_use_certificate(ctx, cert) != 1 || SSL_CTX_use_PrivateKey(ctx, key) != 1)
        throw std::runtime_error("TLS test server cannot use its certificate");
    X509_free(cert);
    EVP_PKEY_free(key);
    return ctx;
}

} // namespace

TlsTestServer::TlsTestServer(int backendPort) : backendPort_(backendPort)
{
    context_ = selfSignedContext();
    listenFd_ = listenOnLoopback(port_);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

TlsTestServer::~TlsTestServer()
{
    stopping_ = true;
    if (acceptThread_.joinable())
        acceptThread_.join();
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(mutex_);
        workers.swap(workers_);
    }
    for (auto& t : workers)
        t.join();
    ::close(listenFd_);
    SSL_CTX_free(static_cast<SSL_CTX*>(context_));
}

std::string TlsTestServer::url(const std::string& path) const
{
    return "https://127.0.0.1:" + std::to_string(port_) + path;
}

void TlsTestServer::acceptLoop()
{
    while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, kPollMs) <= 0)
            continue;
        const int fd = ::accept(listenFd_, nullptr, nullptr);
        if (fd < 0)
            continue;
        std::lock_guard lock(mutex_);
        workers_.emplace_back([this, fd] {
            relay(fd);
            ::close(fd);
        });
    }
}

void TlsTestServer::relay(int client)
{
    SSL* ssl = SSL_new(static_cast<SSL_CTX*>(context_));
    SSL_set_fd(ssl, client);
    // A client that refuses the certificate ends the handshake: that is all
    // such a connection does.
    if (SSL_accept(ssl) != 1) {
        SSL_free(ssl);
        return;
    }
    ++handshakes_;
    const int backend = connectToLoopback(backendPort_);
    char buf[16384];
    bool clientOpen = backend >= 0;
    while (clientOpen && !stopping_) {
        // Bytes SSL has already decrypted are not seen by poll.
        if (SSL_pending(ssl) == 0) {
            pollfd fds[2] = {{client, POLLIN, 0}, {backend, POLLIN, 0}};
            if (::poll(fds, 2, kPollMs) <= 0)
                continue;
            if (fds[1].revents) {
                const ssize_t n = ::recv(backend, buf, sizeof buf, 0);
                if (n <= 0 || SSL_write(ssl, buf, static_cast<int>(n)) <= 0)
                    break;
                continue;
            }
        }
        const int n = SSL_read(ssl, buf, sizeof buf);
        if (n <= 0)
            break;
        if (::send(backend, buf, static_cast<std::size_t>(n), MSG_NOSIGNAL) != n)
            break;
    }
    SSL_shutdown(ssl);
    SSL_free(ssl);
    if (backend >= 0)
        ::close(backend);
}

} // namespace lt::test
