#include "search/engine/SubresourceFilter.h"

#include <QUrl>

namespace lt {

namespace {
// The address as the page's own world names it: origin and path.
std::string addressOf(const QUrl& url)
{
    const QString path = url.path(QUrl::FullyEncoded);
    return (url.scheme() + QLatin1String("://") + url.authority(QUrl::RemoveUserInfo | QUrl::FullyEncoded)
            + (path.isEmpty() ? QStringLiteral("/") : path))
        .toStdString();
}
} // namespace

void SubresourceFilter::setLongOpen(std::unordered_set<std::string> addresses)
{
    std::lock_guard<std::mutex> lock(mutex_);
    longOpen_ = std::move(addresses);
}

void SubresourceFilter::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    bool block = false;
    switch (info.resourceType()) {
    case QWebEngineUrlRequestInfo::ResourceTypeImage:
    case QWebEngineUrlRequestInfo::ResourceTypeFontResource:
    case QWebEngineUrlRequestInfo::ResourceTypeMedia:
    case QWebEngineUrlRequestInfo::ResourceTypeFavicon:
        block = !images_;
        break;
    case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
        // A frame of another site (an ad, a widget): its links are not the
        // page's, and it costs a document of its own.
        block = !images_ && !info.firstPartyUrl().isEmpty()
            && info.firstPartyUrl().adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment)
                != info.requestUrl().adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
        break;
    case QWebEngineUrlRequestInfo::ResourceTypeXhr: {
        std::lock_guard<std::mutex> lock(mutex_);
        block = !longOpen_.empty() && longOpen_.count(addressOf(info.requestUrl())) > 0;
        break;
    }
    default:
        break;
    }
    if (block) {
        info.block(true);
        ++blocked_;
    }
}

} // namespace lt
