#pragma once
#include "net/CookieFile.h"
#include "net/HttpHeader.h"
#include "net/ProxyChoice.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QWebEngineProfile;
class QWebEngineDownloadRequest;
class QWebEnginePage;
class QWebEngineUrlRequestInterceptor;
class QTimer;

namespace lt {

// The program's own persistent browser profile: visited links, page data and
// a disk HTTP cache under one folder, so the cache cleaner has something real
// to clear and nothing of another browser is touched. Downloads are refused.
// Service workers and Cache Storage left by an earlier run are removed before
// the engine opens the profile; cookies stay.
// Every page on it must be destroyed before it.
class EngineProfile : public QObject {
    Q_OBJECT
public:
    // folder: where the profile keeps its data; created when needed.
    explicit EngineProfile(const QString& folder = defaultFolder(), QObject* parent = nullptr);
    ~EngineProfile() override;

    QWebEngineProfile* profile() const { return profile_; }
    QString folder() const { return folder_; }
    // Folder of the disk HTTP cache.
    QString cacheFolder() const;

    // $XDG_DATA_HOME/linktrawler/engine, by default ~/.local/share/linktrawler/engine.
    static QString defaultFolder();

    // The User-Agent of every request, and the pages' navigator.userAgent.
    void setUserAgent(const std::string& text);
    // Sent with every request of every page, its own and its scripts'.
    void setRequestHeaders(const std::vector<HttpHeader>& headers);
    // As curl -k: the pages take certificates the engine does not trust.
    void setAcceptsUntrustedCertificates(bool accept) { acceptsUntrusted_ = accept; }
    bool acceptsUntrustedCertificates() const { return acceptsUntrusted_; }

    // The logins of the proxies the engine was told of; a page answers a
    // proxy's question with them (HarvestPage).
    void setProxyLogins(std::vector<ProxyLogin> logins) { proxyLogins_ = std::move(logins); }
    const ProxyLogin* proxyLoginFor(const QString& host) const;
    // Told by a page whose proxy asked for a login it has not got, or asked
    // again after it was given one: every later page would be refused too.
    void proxyRefused(const QString& host, bool loginGiven) { emit proxyLoginRefused(host, loginGiven); }

    // Puts the cookies into the store and calls done once the engine has
    // taken every one (loads started then send them), or after timeoutMs
    // with those it has not taken.
    void addCookies(const std::vector<Cookie>& cookies, std::function<void(std::vector<Cookie> untaken)> done,
                    int timeoutMs = kCookieTimeoutMs);
    static constexpr int kCookieTimeoutMs = 30000;

signals:
    void proxyLoginRefused(const QString& host, bool loginGiven);

private:
    void refuseDownload(QWebEngineDownloadRequest* download);

    QString folder_;
    QWebEngineProfile* profile_ = nullptr;
    std::unique_ptr<QWebEngineUrlRequestInterceptor> headers_;
    std::vector<ProxyLogin> proxyLogins_;
    bool acceptsUntrusted_ = false;
    // The cookies of addCookies() not yet taken, and what is told then.
    std::vector<Cookie> untaken_;
    std::function<void(std::vector<Cookie>)> cookiesDone_;
    std::unique_ptr<QTimer> cookieTimer_;
    std::unique_ptr<QWebEnginePage> networkStarter_;
};

} // namespace lt
