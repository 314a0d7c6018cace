#include "cache/WebEngineDataStore.h"

#include "base/Error.h"
#include "cache/ServiceWorkerSweep.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <sys/stat.h>

namespace lt {

namespace {

// An entry of the engine's disk cache is a file named after the hash of its
// key ("0123456789abcdef_0", "_1", "_s"). A file is told by name and inode,
// so an entry the engine writes anew under the same name while we wait does
// not hold the wait.
QSet<QString> cacheEntryFiles(const QString& folder)
{
    static const QRegularExpression entryName(QStringLiteral("^[0-9a-f]{16}_[0-9s]$"));
    QSet<QString> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!entryName.match(it.fileName()).hasMatch())
            continue;
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) == 0)
            files.insert(path + QLatin1Char('#') + QString::number(st.st_ino));
    }
    return files;
}

// Whether a disk cache's folder holds anything besides its index.
bool holdsContent(const QString& folder)
{
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (name != QLatin1String("index") && name != QLatin1String("the-real-index"))
            return true;
    }
    return false;
}

// Origins that have Cache Storage on disk: each one's index ends with the
// origin in plain text.
QStringList cacheStorageOrigins(const QString& workerFolder)
{
    static const QRegularExpression origin(QStringLiteral("(https?://[A-Za-z0-9.\\-\\[\\]:]+)/"));
    QSet<QString> origins;
    QDirIterator it(workerFolder + QStringLiteral("/CacheStorage"), {QStringLiteral("index.txt")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile index(it.next());
        if (!index.open(QIODevice::ReadOnly))
            continue;
        auto found = origin.globalMatch(QString::fromLatin1(index.readAll()));
        while (found.hasNext())
            origins.insert(found.next().captured(1));
    }
    return QStringList(origins.begin(), origins.end());
}

constexpr int kSettleMs = 300;

void runEngineFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

WebEngineDataStore::WebEngineDataStore(QWebEngineProfile* profile) : profile_(profile)
{
}

void WebEngineDataStore::addPage(QWebEnginePage* page)
{
    pages_.append(page);
}

void WebEngineDataStore::clearHistory()
{
    if (!profile_)
        throw Error("The browser profile is not available");
    profile_->clearAllVisitedLinks();
    for (const auto& page : pages_)
        if (page)
            page->history()->clear();
}

void WebEngineDataStore::deleteCacheEntries()
{
    if (!profile_)
        throw Error("The browser profile is not available");
    const QString folder = profile_->cachePath();
    // Clearing a cache the engine has not opened yet can hold the next page
    // load for many seconds; an empty cache needs no clearing anyway.
    if (!holdsContent(folder))
        return;
    QSet<QString> before = cacheEntryFiles(folder);
    profile_->clearHttpCache();
    QDeadlineTimer deadline(cacheTimeoutMs_);
    while (!before.isEmpty() && !deadline.hasExpired()) {
        runEngineFor(5);
        before.intersect(cacheEntryFiles(folder));
    }
    // When the engine has cleared, it replaces its network context; a load
    // begun before that is dropped. It does so within a few milliseconds of
    // the files going, without telling: give it the time.
    runEngineFor(kSettleMs);
}

void WebEngineDataStore::deleteServiceWorkers()
{
    if (!profile_)
        throw Error("The browser profile is not available");
    // The engine's own folder for workers and Cache Storage; it is made when
    // a page first stores either.
    const QString folder = profile_->persistentStoragePath() + QStringLiteral("/Service Worker");
    // A registered worker has its script stored, and Cache Storage its index:
    // with neither there is nothing to remove, and the sweep's fixed cost
    // (a DevTools frontend, some tenths of a second) is saved.
    const QStringList cacheOrigins = cacheStorageOrigins(folder);
    if (cacheOrigins.isEmpty() && !holdsContent(folder + QStringLiteral("/ScriptCache")))
        return;
    ServiceWorkerSweep sweep(*profile_, cacheOrigins);
    if (!sweep.run(QDeadlineTimer(workerTimeoutMs_)))
        throw Error("The service workers could not be removed in time");
}

} // namespace lt
