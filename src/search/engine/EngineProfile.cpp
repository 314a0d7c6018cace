#include "search/engine/EngineProfile.h"

#include <QDateTime>
#include <QDir>
#include <QNetworkCookie>
#include <QTimer>
#include <QUrl>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

namespace lt {

namespace {

// On the profile, so that it comes before the filter a page of --jobs has
// of its own, and reaches the pages of both kinds of search.
class HeaderSetter : public QWebEngineUrlRequestInterceptor {
public:
    explicit HeaderSetter(const std::vector<HttpHeader>& headers)
    {
        // The engine keeps names as they are spelt, in no order: of two
        // spellings of one name either might be sent. The later one counts.
        for (const HttpHeader& h : headers) {
            const QByteArray name = QByteArray::fromStdString(h.name);
            std::erase_if(headers_,
                          [&name](const auto& kept) { return kept.first.compare(name, Qt::CaseInsensitive) == 0; });
            headers_.emplace_back(name, QByteArray::fromStdString(h.value));
        }
    }
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        for (const auto& [name, value] : headers_)
            info.setHttpHeader(name, value);
    }

private:
    std::vector<std::pair<QByteArray, QByteArray>> headers_;
};

// A cookie as the store names it when it has taken it: the domain without
// its leading dot, whether it was set for the subdomains too or not.
std::string storeKey(const std::string& name, std::string domain, const std::string& path)
{
    if (!domain.empty() && domain.front() == '.')
        domain.erase(0, 1);
    return name + '\t' + domain + '\t' + path;
}

QNetworkCookie toQt(const Cookie& c)
{
    QNetworkCookie cookie(QByteArray::fromStdString(c.name), QByteArray::fromStdString(c.value));
    // Without a domain the cookie is the host's alone, as the file says.
    if (c.includeSubdomains)
        cookie.setDomain(QString::fromStdString("." + c.domain));
    cookie.setPath(QString::fromStdString(c.path));
    cookie.setSecure(c.secure);
    cookie.setHttpOnly(c.httpOnly);
    if (c.expires != 0)
        cookie.setExpirationDate(QDateTime::fromSecsSinceEpoch(c.expires, Qt::UTC));
    return cookie;
}

// The address the cookie is set from: one it would be sent to (a secure
// cookie is refused from an http address).
QUrl originOf(const Cookie& c)
{
    return QUrl(QString::fromStdString((c.secure ? "https://" : "http://") + c.domain + c.path));
}

} // namespace

QString EngineProfile::defaultFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/linktrawler/engine");
}

EngineProfile::EngineProfile(const QString& folder, QObject* parent) : QObject(parent), folder_(folder)
{
    QDir().mkpath(folder_);
    // Service workers and their caches of an earlier run go before the engine
    // opens them: a worker would serve its stored pages without asking the
    // server. The clean removes those of this run.
    QDir(folder_ + QStringLiteral("/storage/Service Worker")).removeRecursively();
    profile_ = new QWebEngineProfile(QStringLiteral("linktrawler"), this);
    profile_->setPersistentStoragePath(folder_ + QStringLiteral("/storage"));
    profile_->setCachePath(cacheFolder());
    profile_->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    profile_->setDownloadPath(folder_ + QStringLiteral("/downloads"));
    connect(profile_, &QWebEngineProfile::downloadRequested, this, &EngineProfile::refuseDownload);
}

EngineProfile::~EngineProfile()
{
    networkStarter_.reset();
    delete profile_;
}

void EngineProfile::setUserAgent(const std::string& text)
{
    profile_->setHttpUserAgent(QString::fromStdString(text));
}

void EngineProfile::setRequestHeaders(const std::vector<HttpHeader>& headers)
{
    profile_->setUrlRequestInterceptor(nullptr);
    headers_.reset();
    if (headers.empty())
        return;
    headers_ = std::make_unique<HeaderSetter>(headers);
    profile_->setUrlRequestInterceptor(headers_.get());
}

const ProxyLogin* EngineProfile::proxyLoginFor(const QString& host) const
{
    return lt::proxyLoginFor(proxyLogins_, host.toStdString());
}

void EngineProfile::addCookies(const std::vector<Cookie>& cookies,
                               std::function<void(std::vector<Cookie> untaken)> done, int timeoutMs)
{
    QWebEngineCookieStore* store = profile_->cookieStore();
    if (cookies.empty()) {
        done({});
        return;
    }
    untaken_ = cookies;
    cookiesDone_ = std::move(done);
    const auto finish = [this] {
        cookieTimer_->stop();
        disconnect(profile_->cookieStore(), &QWebEngineCookieStore::cookieAdded, this, nullptr);
        networkStarter_.reset();
        auto done = std::move(cookiesDone_);
        cookiesDone_ = nullptr;
        done(std::move(untaken_));
    };
    // The store tells of every cookie it has taken; one it refuses is never
    // told of, hence the time limit.
    connect(store, &QWebEngineCookieStore::cookieAdded, this, [this, finish](const QNetworkCookie& added) {
        const std::string key = storeKey(added.name().toStdString(), added.domain().toLower().toStdString(),
                                         added.path().toStdString());
        for (auto it = untaken_.begin(); it != untaken_.end(); ++it) {
            if (storeKey(it->name, it->domain, it->path) == key) {
                untaken_.erase(it);
                break;
            }
        }
        if (untaken_.empty())
            finish();
    });
    if (!cookieTimer_) {
        cookieTimer_ = std::make_unique<QTimer>();
        cookieTimer_->setSingleShot(true);
    }
    disconnect(cookieTimer_.get(), nullptr, this, nullptr);
    connect(cookieTimer_.get(), &QTimer::timeout, this, finish);
    cookieTimer_->start(timeoutMs);
    for (const Cookie& c : cookies)
        store->setCookie(toQt(c), originOf(c));
    // The store keeps the cookies to itself until the profile's network is
    // up, which the first load of a page brings: a blank one, so that the
    // first real one already sends them.
    networkStarter_ = std::make_unique<QWebEnginePage>(profile_);
    networkStarter_->load(QUrl(QStringLiteral("about:blank")));
}

QString EngineProfile::cacheFolder() const
{
    return folder_ + QStringLiteral("/cache");
}

void EngineProfile::refuseDownload(QWebEngineDownloadRequest* download)
{
    // A search loads pages; nothing it meets is saved to disk.
    download->cancel();
}

} // namespace lt
