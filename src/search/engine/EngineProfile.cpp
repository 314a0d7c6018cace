#include "search/engine/EngineProfile.h"

#include <QDir>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace lt {

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
    delete profile_;
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
