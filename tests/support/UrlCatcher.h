#pragma once
#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

// Takes the desktop's "open" requests for web and mail addresses, so that
// no browser or mail program starts during a test.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher()
    {
        for (const char* scheme : {"http", "https", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~UrlCatcher() override
    {
        for (const char* scheme : {"http", "https", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QStringList opened;

public slots:
    void open(const QUrl& url) { opened << url.toString(); }
};
