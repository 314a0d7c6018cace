#pragma once
#include <QObject>
#include <QString>

class QWebEngineProfile;
class QWebEngineDownloadRequest;

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

private:
    void refuseDownload(QWebEngineDownloadRequest* download);

    QString folder_;
    QWebEngineProfile* profile_ = nullptr;
};

} // namespace lt
