#include "cache/WebEngineDataStore.h"

#include "text/Error.h"

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
// key ("0123456789abcdef_0", "_1", "_s"); the index files are not entries.
// A file is told by name and inode, so an entry the engine writes anew under
// the same name while we wait does not hold the wait.
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
    QSet<QString> before = cacheEntryFiles(folder);
    profile_->clearHttpCache();
    QDeadlineTimer deadline(cacheTimeoutMs_);
    while (!before.isEmpty() && !deadline.hasExpired()) {
        runEngineFor(5);
        before.intersect(cacheEntryFiles(folder));
    }
    // A last turn so the engine has taken the clear in hand before the
    // caller loads the next page.
    runEngineFor(0);
}

} // namespace lt
